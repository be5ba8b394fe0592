#include "chart/chart_geometry.h"

#include "common/number_text.h"
#include "common/time_text.h"
#include "record/tilt.h"

#include <algorithm>
#include <utility>

namespace marlume::chart {

namespace {

// Room for the value labels at the left, the legend above and the time labels below.
constexpr double kLeftMargin = 40;
constexpr double kTopMargin = 18;
constexpr double kRightMargin = 10;
constexpr double kBottomMargin = 22;
constexpr double kPaneGap = 10;
constexpr double kAnglesShare = 0.62;
constexpr double kTextHeight = 16;
constexpr double kTimeLabelWidth = 80;

// Whether the link was lost between two readings.
bool gapBetween(const ChartModel& model, std::int64_t fromMs, std::int64_t toMs)
{
    for (std::size_t i = model.gaps().size(); i-- > 0;) {
        const LinkGap& gap = model.gaps()[i];
        if (gap.fromMs >= fromMs && gap.fromMs <= toMs)
            return true;
        if (gap.toMs && *gap.toMs < fromMs)
            break;
    }
    return false;
}

// The first index whose time is not before startMs, less one so that the line enters from the left edge;
// by bisection, since the ring is in time order.
template <typename Items, typename Time>
std::size_t firstShown(const Items& items, std::int64_t startMs, Time timeOf)
{
    std::size_t low = 0;
    std::size_t high = items.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (timeOf(items[middle]) < startMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low > 0 ? low - 1 : 0;
}

// One series through the items from first on, broken at silences and at losses of the link.
template <typename Items, typename Time, typename Value>
void addLines(ChartScene& scene, const ChartModel& model, const Items& items, std::size_t first,
    const Pane& pane, std::size_t series, Time timeOf, Value valueOf)
{
    Line line { series, {} };
    std::int64_t previous = 0;
    for (std::size_t i = first; i < items.size(); ++i) {
        const std::int64_t ms = timeOf(items[i]);
        if (!line.points.empty() && (ms - previous > kLineBreakMs || gapBetween(model, previous, ms)))
            scene.lines.push_back(std::exchange(line, Line { series, {} }));
        line.points.push_back({ scene.axis.x(ms), pane.y(valueOf(items[i])) });
        previous = ms;
    }
    if (!line.points.empty())
        scene.lines.push_back(std::move(line));
}

void addValueMarks(ChartScene& scene, const Pane& pane, std::initializer_list<float> marks)
{
    for (const float mark : marks) {
        const double y = pane.y(mark);
        scene.gridLines.push_back(y);
        scene.valueLabels.push_back({ { 0, y - kTextHeight / 2, pane.box.left - 4, kTextHeight },
            common::numberText(mark), Align::Right });
    }
}

const Pane& paneOf(const ChartScene& scene, std::size_t series)
{
    return series == static_cast<std::size_t>(Series::Heading) ? scene.heading : scene.angles;
}

void addReadings(ChartScene& scene, const ChartModel& model)
{
    const auto& points = model.points();
    const auto timeOf = [](const ChartPoint& point) { return point.ms; };
    const std::size_t first = firstShown(points, scene.axis.startMs, timeOf);
    for (std::size_t series = 0; series < kSeriesCount; ++series)
        addLines(scene, model, points, first, paneOf(scene, series), series, timeOf,
            [series](const ChartPoint& point) { return point.values[series]; });
    constexpr auto kTilt = static_cast<std::size_t>(Series::Tilt);
    for (std::size_t i = first; i < points.size(); ++i) {
        if (points[i].over)
            scene.overDots.push_back({ scene.axis.x(points[i].ms), scene.angles.y(points[i].values[kTilt]) });
    }
}

void addSeconds(ChartScene& scene, const ChartModel& model)
{
    const auto& seconds = model.seconds();
    const auto timeOf = [](const ChartSecond& second) { return second.second * 1000 + 500; };
    const std::size_t first = firstShown(seconds, scene.axis.startMs, timeOf);
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        const Pane& pane = paneOf(scene, series);
        for (std::size_t i = first; i < seconds.size(); ++i) {
            const double x = scene.axis.x(timeOf(seconds[i]));
            scene.ranges.push_back(
                { series, { x, pane.y(seconds[i].low[series]) }, { x, pane.y(seconds[i].high[series]) } });
        }
        addLines(scene, model, seconds, first, pane, series, timeOf,
            [series](const ChartSecond& second) { return second.last[series]; });
    }
    for (std::size_t i = first; i < seconds.size(); ++i) {
        if (seconds[i].over)
            scene.overMarks.push_back({ scene.axis.x(timeOf(seconds[i])) - 1, scene.angles.box.top, 3, 5 });
    }
}

} // namespace

double Pane::y(float value) const
{
    const double clamped = std::clamp(value, low, high);
    return box.bottom() - (clamped - low) / (high - low) * box.height;
}

double TimeAxis::x(std::int64_t ms) const
{
    return box.left + static_cast<double>(ms - startMs) / static_cast<double>(spanMs) * box.width;
}

ChartScene layoutChart(const ChartModel& model, const ChartFrame& frame)
{
    ChartScene scene;
    const Box area { kLeftMargin, kTopMargin, frame.width - kLeftMargin - kRightMargin,
        frame.height - kTopMargin - kBottomMargin };
    scene.angles = { { area.left, area.top, area.width, area.height * kAnglesShare }, -90, 90 };
    const double headingTop = scene.angles.box.bottom() + kPaneGap;
    scene.heading = { { area.left, headingTop, area.width, area.bottom() - headingTop }, 0, 360 };
    scene.axis = { frame.endMs - frame.spanMs, std::max<std::int64_t>(frame.spanMs, 1), area };
    const TimeAxis& axis = scene.axis;

    addValueMarks(scene, scene.angles, { -90, -record::kOverRangeTilt, 0, record::kOverRangeTilt, 90 });
    addValueMarks(scene, scene.heading, { 0, 180, 360 });
    scene.alarmY = scene.angles.y(record::kOverRangeTilt);

    // At the edges and the middle, each inside the plot's width.
    for (const auto& [share, align] : { std::pair { 0.0, Align::Left }, std::pair { 0.5, Align::Centre },
             std::pair { 1.0, Align::Right } }) {
        const std::int64_t ms
            = axis.startMs + static_cast<std::int64_t>(share * static_cast<double>(frame.spanMs));
        scene.timeLabels.push_back(
            { { axis.x(ms) - share * kTimeLabelWidth, area.bottom() + 2, kTimeLabelWidth, kTextHeight + 2 },
                common::timeText(common::localDateTime(ms), frame.timeSeparator), align });
    }

    for (std::size_t i = 0; i < model.gaps().size(); ++i) {
        const LinkGap& gap = model.gaps()[i];
        const std::int64_t to = gap.toMs.value_or(frame.endMs);
        if (to < axis.startMs || gap.fromMs > frame.endMs)
            continue;
        const double left = std::max(axis.x(gap.fromMs), area.left);
        const double right = std::min(axis.x(to), area.right());
        scene.gaps.push_back({ { left, area.top, right - left, area.height }, "link down", Align::Centre });
    }
    for (std::size_t i = 0; i < model.events().size(); ++i) {
        const EventSpan& span = model.events()[i];
        const std::int64_t to = span.endMs.value_or(frame.endMs);
        if (to < axis.startMs || span.startMs > frame.endMs)
            continue;
        const double left = std::max(axis.x(span.startMs), area.left);
        const double right = std::max(std::min(axis.x(to), area.right()), left + 1);
        scene.eventBands.push_back({ left, area.top, right - left, area.height });
        // Inside the band's top, clear of the legend above the plot.
        scene.eventNumbers.push_back({ { left + 2, area.top + 1, std::max(right - left, 30.0), kTextHeight },
            common::wholeNumberText(span.number, 3), Align::Left });
    }

    if (frame.spanMs <= kLongestReadingSpanMs)
        addReadings(scene, model);
    else
        addSeconds(scene, model);
    return scene;
}

} // namespace marlume::chart
