#pragma once

#include "chart/chart_model.h"
#include "common/pixel_geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace marlume::chart {

// A value range drawn into a band of the plot; values beyond it stay at its edge.
struct Pane {
    common::Box box;
    float low = 0;
    float high = 0;
    [[nodiscard]] double y(float value) const;
};

// The time axis: local milliseconds (see common::localMilliseconds) across the plot's width.
struct TimeAxis {
    std::int64_t startMs = 0;
    std::int64_t spanMs = 1;
    common::Box box;
    [[nodiscard]] double x(std::int64_t ms) const;
};

enum class Align { Left, Centre, Right };

struct Label {
    common::Box box;
    std::string text;
    Align align = Align::Left;
};

// One unbroken stretch of a series; a single point is drawn as a dot.
struct Line {
    std::size_t series = 0;
    std::vector<common::Point> points;
};

// The low-to-high range of one second of a series.
struct RangeBar {
    std::size_t series = 0;
    common::Point from;
    common::Point to;
};

// Everything the plot draws, placed: the widget only paints it. No two labels overlap, and every label
// lies inside the plot's frame.
struct ChartScene {
    Pane angles; // tilt, pitch and roll
    Pane heading; // 0 to 360: a heading turned below north shows as its equal in that range
    TimeAxis axis;
    std::vector<Label> titles; // each pane's and the time axis's, with units
    std::vector<double> gridLines; // heights of the value marks, both panes
    std::vector<Label> valueLabels;
    double alarmY = 0; // the over-range limit
    std::vector<double> timeMarks; // round times for the span, across both panes
    std::vector<Label> timeLabels;
    // Stretches without a link, and with a link but no reading for more than a second; the text only
    // where it fits, the legend tells the rest.
    std::vector<Label> gaps; // "link down"
    std::vector<Label> silences; // "no data"
    std::vector<common::Box> eventBands;
    std::vector<common::Box> overRangeEvents; // a bar under each event with readings over range
    std::vector<Label> eventNumbers;
    std::vector<RangeBar> ranges; // second by second only
    std::vector<Line> lines;
    std::vector<common::Point> overDots; // readings over range, one by one
    std::vector<common::Box> overMarks; // seconds with a reading over range
};

// What the plot shows: its size in pixels, its span and the moment at its right edge, the series shown,
// and the width of a digit in the font the labels are drawn with.
struct ChartFrame {
    double width = 0;
    double height = 0;
    std::int64_t spanMs = 0;
    std::int64_t endMs = 0;
    char timeSeparator = ':';
    std::array<bool, kSeriesCount> shown { true, true, true, true };
    double digitWidth = 7;
};

// Readings further apart than this are not joined, even where no loss of link was seen.
inline constexpr std::int64_t kLineBreakMs = 3000;
// A link without a reading for longer than this is marked "no data".
inline constexpr std::int64_t kNoDataMs = 1000;
// Spans up to this long are drawn reading by reading; longer ones second by second.
inline constexpr std::int64_t kLongestReadingSpanMs = 2 * 60'000;

[[nodiscard]] ChartScene layoutChart(const ChartModel& model, const ChartFrame& frame);
// Where the time axis runs in a plot of that size: the panes' common width.
[[nodiscard]] common::Box plotArea(double width, double height);

} // namespace marlume::chart
