#pragma once

#include "chart/chart_model.h"
#include "chart/qt_chart_plot.h"
#include "platform/clock.h"
#include "platform/settings_store.h"
#include "qt/qt_side_window.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace marlume::chart {

// View > Chart: a window beside the main one that follows the live data (a few times a second, and only
// while shown) over a chosen span and can be paused, its series shown or hidden, and what it shows saved as
// a picture or as CSV. A silence is measured on the clock, the monitor's own.
class ChartWindow final : public qt::SideWindow {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRefreshInterval { 250 };
    static constexpr std::string_view kPlacementSection = "Chart";

    ChartWindow(const ChartModel& model, const platform::Clock& clock, platform::SettingsStore& settings,
        QWidget* parent);

    // Draws the newest data now, as the refresh does.
    void refresh();
    // Saves what the plot shows; the reason when it could not be saved.
    [[nodiscard]] std::optional<QString> savePicture(const QString& path);
    [[nodiscard]] std::optional<QString> saveCsv(const QString& path);

    [[nodiscard]] ChartPlot& plot() { return *m_plot; }
    [[nodiscard]] QComboBox& spanBox() { return *m_spanBox; }
    [[nodiscard]] QPushButton& pauseButton() { return *m_pauseButton; }
    [[nodiscard]] QCheckBox& seriesBox(Series series)
    {
        return *m_seriesBoxes[static_cast<std::size_t>(series)];
    }
    [[nodiscard]] QLabel& readout() { return *m_readout; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setUpSpanBox();
    void setUpPauseButton();
    void setUpReadout();
    // The row above the plot: the span, the series' boxes and the buttons; the one below: the readout and
    // the legend of the marks.
    [[nodiscard]] QHBoxLayout* controlsRow();
    void addSeriesBoxes(QHBoxLayout& row);
    [[nodiscard]] QHBoxLayout* legendRow();
    void askAndSave(const QString& title, const QString& suffix,
        std::optional<QString> (ChartWindow::*save)(const QString&));
    [[nodiscard]] std::chrono::milliseconds chosenSpan() const;

    const ChartModel& m_model;
    const platform::Clock& m_clock;
    ChartPlot* m_plot;
    QComboBox* m_spanBox;
    std::array<QCheckBox*, kSeriesCount> m_seriesBoxes {};
    QPushButton* m_pauseButton;
    QLabel* m_readout;
    QTimer m_refresh;
    std::int64_t m_newsAtMs; // the clock's when the model last changed
    std::uint64_t m_drawnRevision = 0;
    std::int64_t m_newestMs = 0; // the model's latest moment when it last changed
};

} // namespace marlume::chart
