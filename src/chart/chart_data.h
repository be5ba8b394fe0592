#pragma once

#include "chart/chart_model.h"

#include <cstdint>
#include <optional>
#include <string>

namespace marlume::chart {

// The reading nearest a moment, within a tolerance: one by one over short spans, the last of each
// second over long ones; nullopt where none is that close.
[[nodiscard]] std::optional<ChartPoint> readingNear(
    const ChartModel& model, std::int64_t ms, std::int64_t toleranceMs, bool bySecond);

// "14:02:11.250  Tilt 3.1  Heading 101  Pitch 1.5  Roll -2.5", with "over" after the tilt past the alarm.
[[nodiscard]] std::string readoutText(const ChartPoint& point, char timeSeparator);

// The event shown at a moment, if any.
[[nodiscard]] const EventSpan* eventAt(const ChartModel& model, std::int64_t ms);

// An ended event's statistics for its tooltip: "Event 007: 301 readings", then a line each for the
// tilt, pitch and roll ("Tilt 2.1 to 57.3, deviation 4.62"), the heading's spread, and the readings
// over range or without a tilt and the longest gap.
[[nodiscard]] std::string eventStatisticsText(const events::EventStatistics& statistics);

// The readings from startMs to endMs as the chart draws them, one by one or second by second, as CSV:
// a header "Time,Tilt,Heading,Pitch,Roll", ISO 8601 local times with milliseconds, numbers with ".",
// CR LF line ends like the program's other files.
[[nodiscard]] std::string chartCsv(
    const ChartModel& model, std::int64_t startMs, std::int64_t endMs, bool bySecond);

} // namespace marlume::chart
