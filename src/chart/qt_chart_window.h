#pragma once

#include "chart/chart_model.h"
#include "platform/settings_store.h"
#include "qt/qt_placement_window.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <optional>

class QComboBox;
class QPushButton;

namespace marlume::chart {

// The plot itself: it paints with QPainter what layoutChart places (tilt, pitch and roll with the alarm
// line above, heading below, events shaded and numbered, over readings marked, gaps where the link was
// down), and the legend.
class ChartPlot final : public QWidget {
public:
    // Times are written with the user's time separator.
    ChartPlot(const ChartModel& model, char timeSeparator, QWidget* parent);

    void setSpan(std::chrono::minutes span) { m_span = span; }
    [[nodiscard]] std::chrono::minutes span() const { return m_span; }
    // The moment at the right edge; nothing follows the newest data.
    void setEnd(std::optional<std::int64_t> endMs) { m_endMs = endMs; }
    [[nodiscard]] std::optional<std::int64_t> end() const { return m_endMs; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ChartModel& m_model;
    char m_timeSeparator;
    std::chrono::minutes m_span { 5 };
    std::optional<std::int64_t> m_endMs;
};

// View > Chart: a window of its own, not modal, that follows the live data (a few times a second,
// and only while shown) over a chosen span and can be paused. Its placement is kept in the settings
// store under its own section.
class ChartWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRefreshInterval { 250 };
    static constexpr std::string_view kPlacementSection = "Chart";

    ChartWindow(const ChartModel& model, platform::SettingsStore& settings, QWidget* parent);

    // Shows the window where it was last, or raises it when it is up.
    void showChart();
    // Keeps the placement when the window has been shown in this run.
    void savePlacement();
    // Draws the newest data now, as the refresh does.
    void refresh();

    [[nodiscard]] ChartPlot& plot() { return *m_plot; }
    [[nodiscard]] QComboBox& spanBox() { return *m_spanBox; }
    [[nodiscard]] QPushButton& pauseButton() { return *m_pauseButton; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const ChartModel& m_model;
    platform::SettingsStore& m_settings;
    qt::QtPlacementWindow m_placement;
    ChartPlot* m_plot;
    QComboBox* m_spanBox;
    QPushButton* m_pauseButton;
    QTimer m_refresh;
    std::uint64_t m_drawnRevision = 0;
    bool m_placed = false; // the stored placement has been applied
};

} // namespace marlume::chart
