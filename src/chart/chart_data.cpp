#include "chart/chart_data.h"

#include "common/local_date_time.h"
#include "common/number_text.h"
#include "common/time_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace marlume::chart {

namespace {

constexpr std::array<const char*, kSeriesCount> kNames { "Tilt", "Heading", "Pitch", "Roll" };

ChartPoint lastOf(const ChartSecond& second)
{
    return { second.lastMs, second.last, second.over };
}

// Calls take with each reading from startMs to endMs, in time order.
template <typename Take>
void eachReading(const ChartModel& model, std::int64_t startMs, std::int64_t endMs, bool bySecond, Take take)
{
    if (bySecond) {
        for (std::size_t i = 0; i < model.seconds().size(); ++i) {
            const ChartPoint point = lastOf(model.seconds()[i]);
            if (point.ms >= startMs && point.ms <= endMs)
                take(point);
        }
        return;
    }
    for (std::size_t i = 0; i < model.points().size(); ++i) {
        const ChartPoint& point = model.points()[i];
        if (point.ms >= startMs && point.ms <= endMs)
            take(point);
    }
}

} // namespace

std::optional<ChartPoint> readingNear(
    const ChartModel& model, std::int64_t ms, std::int64_t toleranceMs, bool bySecond)
{
    std::optional<ChartPoint> nearest;
    eachReading(model, ms - toleranceMs, ms + toleranceMs, bySecond, [&](const ChartPoint& point) {
        if (!nearest || std::abs(point.ms - ms) < std::abs(nearest->ms - ms))
            nearest = point;
    });
    return nearest;
}

std::string readoutText(const ChartPoint& point, char timeSeparator)
{
    const common::LocalDateTime time = common::localDateTime(point.ms);
    std::string text
        = common::timeText(time, timeSeparator) + '.' + common::wholeNumberText(time.millisecond, 3);
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        text += "  ";
        text += kNames[series];
        text += ' ';
        text += common::numberText(point.values[series]);
        if (series == static_cast<std::size_t>(Series::Tilt) && point.over)
            text += " over";
    }
    return text;
}

const EventSpan* eventAt(const ChartModel& model, std::int64_t ms)
{
    for (std::size_t i = model.events().size(); i-- > 0;) {
        const EventSpan& span = model.events()[i];
        if (span.startMs <= ms && (!span.endMs || ms <= *span.endMs))
            return &span;
    }
    return nullptr;
}

std::string eventStatisticsText(const events::EventStatistics& statistics)
{
    std::string text = "Event " + common::wholeNumberText(statistics.number, 3) + ": "
        + common::countText(statistics.readings, "reading", "readings");
    const auto spread = [&text](std::string_view name, const events::ValueSpread& value) {
        text += '\n';
        text += name;
        text += ' ' + common::numberText(value.min) + " to " + common::numberText(value.max) + ", deviation "
            + common::numberText(static_cast<float>(std::nearbyint(value.standardDeviation * 100) / 100));
    };
    spread("Tilt", statistics.tilt);
    spread("Pitch", statistics.pitch);
    spread("Roll", statistics.roll);
    text += "\nHeading spread " + common::numberText(statistics.headingSpread) + " degrees";
    text += '\n' + common::wholeNumberText(statistics.overRange) + " over range, "
        + common::wholeNumberText(statistics.noTilt) + " without a tilt, longest gap "
        + common::wholeNumberText(statistics.longestGapMs) + " ms";
    if (statistics.excursions > 0)
        text += '\n' + common::countText(statistics.excursions, "excursion", "excursions")
            + " over range, the longest " + common::wholeNumberText(statistics.longestExcursionMs) + " ms";
    return text;
}

std::string chartCsv(const ChartModel& model, std::int64_t startMs, std::int64_t endMs, bool bySecond)
{
    std::string csv = "Time,Tilt,Heading,Pitch,Roll\r\n";
    eachReading(model, startMs, endMs, bySecond, [&csv](const ChartPoint& point) {
        csv += common::isoDateTimeText(common::localDateTime(point.ms), true);
        for (const float value : point.values) {
            csv += ',';
            csv += common::numberText(value, '.');
        }
        csv += "\r\n";
    });
    return csv;
}

} // namespace marlume::chart
