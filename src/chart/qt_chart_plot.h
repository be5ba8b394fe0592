#pragma once

#include "chart/chart_geometry.h"
#include "chart/chart_model.h"

#include <QBrush>
#include <QColor>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace marlume::chart {

// How the plot draws each thing, for the legend beside it too.
[[nodiscard]] const QColor& seriesColour(std::size_t series);
[[nodiscard]] QBrush gapBrush();
[[nodiscard]] QBrush silenceBrush();
[[nodiscard]] QColor eventColour();

// The plot itself: it paints with QPainter what layoutChart places (tilt, pitch and roll with the alarm
// line above, heading below, events shaded and numbered, over readings marked, stretches without a link
// or without data hatched). While its right edge is held (paused), the wheel zooms in time about the
// pointer and a drag moves back through what the model keeps; the pointer's reading is read out.
class ChartPlot final : public QWidget {
public:
    // Times are written with the user's time separator.
    ChartPlot(const ChartModel& model, char timeSeparator, QWidget* parent);

    void setSpan(std::chrono::milliseconds span) { m_spanMs = span.count(); }
    [[nodiscard]] std::chrono::milliseconds span() const { return std::chrono::milliseconds(m_spanMs); }
    // The moment at the right edge, held; nullopt follows the live end.
    void setEnd(std::optional<std::int64_t> endMs) { m_endMs = endMs; }
    [[nodiscard]] std::optional<std::int64_t> end() const { return m_endMs; }
    // Where the live data stand now: the newest moment, moved on while nothing new comes.
    void setLiveEnd(std::int64_t endMs) { m_liveEndMs = endMs; }
    void setShown(std::size_t series, bool shown) { m_shown[series] = shown; }
    // Told the reading under the pointer ("14:02:11.250  Tilt 3.1  ..."), or an empty text.
    void setOnReadout(std::function<void(const std::string&)> readout) { m_readout = std::move(readout); }

    // What the plot draws now, with the size and font it has.
    [[nodiscard]] ChartFrame frame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // An ended event's statistics as the tooltip over its band.
    bool event(QEvent* event) override;

private:
    void readOut(double x);
    [[nodiscard]] std::int64_t msAt(double x) const;
    [[nodiscard]] double shareOf(double x) const;

    const ChartModel& m_model;
    char m_timeSeparator;
    std::int64_t m_spanMs = 300'000;
    std::optional<std::int64_t> m_endMs;
    std::int64_t m_liveEndMs = 0;
    std::array<bool, kSeriesCount> m_shown { true, true, true, true };
    std::function<void(const std::string&)> m_readout;
    std::optional<double> m_dragFrom; // the pointer's x where a drag began
};

} // namespace marlume::chart
