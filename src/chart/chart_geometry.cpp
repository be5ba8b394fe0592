#include "chart/chart_geometry.h"

#include "common/heading_dial.h"
#include "common/number_text.h"
#include "common/time_text.h"
#include "record/tilt.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace marlume::chart {

namespace {

// Room for the value labels at the left, the angles' title above, the heading's title between the
// panes, and the time labels and title below.
constexpr double kLeftMargin = 40;
constexpr double kTopMargin = 18;
constexpr double kRightMargin = 10;
constexpr double kTextHeight = 16;
constexpr double kBottomMargin = 2 * kTextHeight + 4;
constexpr double kPaneGap = kTextHeight + 2;
constexpr double kAnglesShare = 0.62;
constexpr double kLabelGap = 12; // between two labels on one line
constexpr double kOverMarkHeight = 5;
constexpr auto kHeadingSeries = static_cast<std::size_t>(Series::Heading);
constexpr auto kTiltSeries = static_cast<std::size_t>(Series::Tilt);

// Round steps for the time marks, from a second to two hours.
constexpr std::array<std::int64_t, 14> kTimeSteps { 1'000, 2'000, 5'000, 10'000, 15'000, 30'000, 60'000,
    120'000, 300'000, 600'000, 900'000, 1'800'000, 3'600'000, 7'200'000 };

double textWidth(const ChartFrame& frame, std::size_t characters)
{
    return static_cast<double>(characters) * frame.digitWidth + 4;
}

bool overlaps(const common::Box& a, const common::Box& b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

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

// One series through the items from first on, broken at silences, at losses of the link and, for the
// heading, where it passes north.
template <typename Items, typename Time, typename Value>
void addLines(ChartScene& scene, const ChartModel& model, const Items& items, std::size_t first,
    std::size_t series, Time timeOf, Value valueOf)
{
    const bool heading = series == kHeadingSeries;
    const Pane& pane = heading ? scene.heading : scene.angles;
    Line line { series, {} };
    std::int64_t previousMs = 0;
    float previousValue = 0;
    for (std::size_t i = first; i < items.size(); ++i) {
        const std::int64_t ms = timeOf(items[i]);
        const float value = heading ? common::headingOnDial(valueOf(items[i])) : valueOf(items[i]);
        if (!line.points.empty()
            && (ms - previousMs > kLineBreakMs || gapBetween(model, previousMs, ms)
                || (heading && std::abs(value - previousValue) > 180)))
            scene.lines.push_back(std::exchange(line, Line { series, {} }));
        line.points.push_back({ scene.axis.x(ms), pane.y(value) });
        previousMs = ms;
        previousValue = value;
    }
    if (!line.points.empty())
        scene.lines.push_back(std::move(line));
}

// The marks in order of importance: one whose label would touch a label kept before is left out.
void addValueMarks(ChartScene& scene, const Pane& pane, std::initializer_list<float> marks)
{
    std::vector<common::Box> kept;
    for (const float mark : marks) {
        const double y = pane.y(mark);
        const double top = std::clamp(y - kTextHeight / 2, pane.box.top, pane.box.bottom() - kTextHeight);
        const common::Box box { 0, top, pane.box.left - 4, kTextHeight };
        if (std::any_of(
                kept.begin(), kept.end(), [&box](const common::Box& other) { return overlaps(box, other); }))
            continue;
        kept.push_back(box);
        scene.gridLines.push_back(y);
        scene.valueLabels.push_back({ box, common::numberText(mark), Align::Right });
    }
}

void addTimeMarks(ChartScene& scene, const ChartFrame& frame)
{
    const TimeAxis& axis = scene.axis;
    const auto labelWidth
        = [&frame](std::int64_t step) { return textWidth(frame, step < 60'000 ? 8 : 5) + kLabelGap; };
    std::int64_t step = kTimeSteps.back();
    for (const std::int64_t candidate : kTimeSteps) {
        if (static_cast<double>(candidate) / static_cast<double>(axis.spanMs) * axis.box.width
            >= labelWidth(candidate)) {
            step = candidate;
            break;
        }
    }
    const std::int64_t endMs = axis.startMs + axis.spanMs;
    const double width = labelWidth(step) - kLabelGap;
    for (std::int64_t ms = (axis.startMs + step - 1) / step * step; ms <= endMs; ms += step) {
        const double x = axis.x(ms);
        scene.timeMarks.push_back(x);
        const common::Box box { x - width / 2, axis.box.bottom() + 2, width, kTextHeight };
        if (box.left < 0 || box.right() > frame.width)
            continue;
        std::string text = common::timeText(common::localDateTime(ms), frame.timeSeparator);
        if (step >= 60'000)
            text.resize(5); // "14:05": the seconds are all zero
        scene.timeLabels.push_back({ box, std::move(text), Align::Centre });
    }
}

// A band across the plot from one time to another, clipped to the span; its text only where it fits.
void addBand(std::vector<Label>& bands, const ChartScene& scene, const ChartFrame& frame, std::int64_t fromMs,
    std::int64_t toMs, const char* text)
{
    const common::Box& area = scene.axis.box;
    const double left = std::max(scene.axis.x(fromMs), area.left);
    const double right = std::min(scene.axis.x(toMs), area.right());
    if (right <= left)
        return;
    const bool fits = right - left >= textWidth(frame, std::string_view(text).size());
    bands.push_back({ { left, area.top, right - left, area.height }, fits ? text : "", Align::Centre });
}

// Readings further apart than kNoDataMs with the link up, and the stretch since the last reading.
template <typename Items, typename Time>
void addSilences(ChartScene& scene, const ChartModel& model, const ChartFrame& frame, const Items& items,
    std::size_t first, Time firstMsOf, Time lastMsOf)
{
    for (std::size_t i = first + 1; i < items.size(); ++i) {
        const std::int64_t from = lastMsOf(items[i - 1]);
        const std::int64_t to = firstMsOf(items[i]);
        if (to - from > kNoDataMs && !gapBetween(model, from, to))
            addBand(scene.silences, scene, frame, from, to, "no data");
    }
    if (items.size() == 0)
        return;
    const std::int64_t last = lastMsOf(items[items.size() - 1]);
    const bool linkDown = !model.gaps().empty() && !model.gaps().back().toMs;
    if (frame.endMs - last > kNoDataMs && !linkDown && !gapBetween(model, last, frame.endMs))
        addBand(scene.silences, scene, frame, last, frame.endMs, "no data");
}

void addReadings(ChartScene& scene, const ChartModel& model, const ChartFrame& frame)
{
    const auto& points = model.points();
    const auto timeOf = [](const ChartPoint& point) { return point.ms; };
    const std::size_t first = firstShown(points, scene.axis.startMs, timeOf);
    addSilences(scene, model, frame, points, first, timeOf, timeOf);
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        if (frame.shown[series])
            addLines(scene, model, points, first, series, timeOf,
                [series](const ChartPoint& point) { return point.values[series]; });
    }
    for (std::size_t i = first; i < points.size() && frame.shown[kTiltSeries]; ++i) {
        if (points[i].over)
            scene.overDots.push_back(
                { scene.axis.x(points[i].ms), scene.angles.y(points[i].values[kTiltSeries]) });
    }
}

// A second's low-to-high range; a heading that passes north within the second is drawn as two bars.
void addRange(ChartScene& scene, std::size_t series, double x, float low, float high)
{
    if (series != kHeadingSeries) {
        scene.ranges.push_back({ series, { x, scene.angles.y(low) }, { x, scene.angles.y(high) } });
        return;
    }
    const float from = common::headingOnDial(low);
    const float to = from + std::min(high - low, 360.0F);
    const Pane& pane = scene.heading;
    scene.ranges.push_back({ series, { x, pane.y(from) }, { x, pane.y(std::min(to, 360.0F)) } });
    if (to > 360)
        scene.ranges.push_back({ series, { x, pane.y(0) }, { x, pane.y(to - 360) } });
}

void addSeconds(ChartScene& scene, const ChartModel& model, const ChartFrame& frame)
{
    const auto& seconds = model.seconds();
    const auto timeOf = [](const ChartSecond& second) { return second.second * 1000 + 500; };
    const std::size_t first = firstShown(seconds, scene.axis.startMs, timeOf);
    using MsOf = std::int64_t (*)(const ChartSecond&);
    addSilences(scene, model, frame, seconds, first,
        MsOf([](const ChartSecond& second) { return second.firstMs; }),
        MsOf([](const ChartSecond& second) { return second.lastMs; }));
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        if (!frame.shown[series])
            continue;
        for (std::size_t i = first; i < seconds.size(); ++i)
            addRange(scene, series, scene.axis.x(timeOf(seconds[i])), seconds[i].low[series],
                seconds[i].high[series]);
        addLines(scene, model, seconds, first, series, timeOf,
            [series](const ChartSecond& second) { return second.last[series]; });
    }
    for (std::size_t i = first; i < seconds.size() && frame.shown[kTiltSeries]; ++i) {
        if (seconds[i].over)
            scene.overMarks.push_back(
                { scene.axis.x(timeOf(seconds[i])) - 1, scene.angles.box.top, 3, kOverMarkHeight });
    }
}

// Newest first, so that the latest events keep their numbers where not all fit; each kept inside the plot.
void addEvents(ChartScene& scene, const ChartModel& model, const ChartFrame& frame)
{
    const common::Box& area = scene.axis.box;
    std::vector<Label> numbers;
    for (std::size_t i = model.events().size(); i-- > 0;) {
        const EventSpan& span = model.events()[i];
        const std::int64_t to = span.endMs.value_or(frame.endMs);
        if (to < scene.axis.startMs || span.startMs > frame.endMs)
            continue;
        const double left = std::max(scene.axis.x(span.startMs), area.left);
        const double right = std::max(std::min(scene.axis.x(to), area.right()), left + 1);
        scene.eventBands.push_back({ left, area.top, right - left, area.height });
        if (span.statistics && span.statistics->overRange > 0)
            scene.overRangeEvents.push_back(
                { left, scene.angles.box.bottom() - kOverMarkHeight, right - left, kOverMarkHeight });
        std::string text = common::wholeNumberText(span.number, 3);
        const double width = textWidth(frame, text.size());
        // Below the over-range marks at the top of the plot.
        const common::Box box { std::clamp(left + 2, area.left, area.right() - width),
            area.top + kOverMarkHeight + 1, width, kTextHeight };
        const bool free = numbers.empty() || box.right() + kLabelGap / 2 <= numbers.back().box.left;
        if (free && width <= area.width)
            numbers.push_back({ box, std::move(text), Align::Left });
    }
    std::reverse(scene.eventBands.begin(), scene.eventBands.end());
    scene.eventNumbers.assign(numbers.rbegin(), numbers.rend());
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

common::Box plotArea(double width, double height)
{
    return { kLeftMargin, kTopMargin, std::max(width - kLeftMargin - kRightMargin, 1.0),
        std::max(height - kTopMargin - kBottomMargin, 1.0) };
}

ChartScene layoutChart(const ChartModel& model, const ChartFrame& frame)
{
    ChartScene scene;
    const common::Box area = plotArea(frame.width, frame.height);
    scene.angles = { { area.left, area.top, area.width, (area.height - kPaneGap) * kAnglesShare }, -90, 90 };
    const double headingTop = scene.angles.box.bottom() + kPaneGap;
    scene.heading = { { area.left, headingTop, area.width, area.bottom() - headingTop }, 0, 360 };
    scene.axis = { frame.endMs - frame.spanMs, std::max<std::int64_t>(frame.spanMs, 1), area };

    const double titleWidth = area.width;
    scene.titles = {
        { { area.left, 0, titleWidth, kTopMargin }, "Tilt, pitch and roll (degrees)", Align::Left },
        { { area.left, scene.angles.box.bottom(), titleWidth, kPaneGap }, "Heading (degrees)", Align::Left },
        { { area.left, area.bottom() + kTextHeight + 2, titleWidth, kTextHeight }, "Local time",
            Align::Centre },
    };
    addValueMarks(scene, scene.angles, { 0, record::kOverRangeTilt, -record::kOverRangeTilt, 90, -90 });
    addValueMarks(scene, scene.heading, { 0, 180, 360, 90, 270 });
    scene.alarmY = scene.angles.y(record::kOverRangeTilt);
    addTimeMarks(scene, frame);

    for (std::size_t i = 0; i < model.gaps().size(); ++i) {
        const LinkGap& gap = model.gaps()[i];
        addBand(scene.gaps, scene, frame, gap.fromMs, gap.toMs.value_or(frame.endMs), "link down");
    }
    addEvents(scene, model, frame);
    if (frame.spanMs <= kLongestReadingSpanMs)
        addReadings(scene, model, frame);
    else
        addSeconds(scene, model, frame);
    return scene;
}

} // namespace marlume::chart
