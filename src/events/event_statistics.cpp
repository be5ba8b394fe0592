#include "events/event_statistics.h"

#include "common/heading_dial.h"
#include "common/number_text.h"
#include "common/time_text.h"

#include <algorithm>
#include <cmath>

namespace marlume::events {

namespace {

int dialDegree(float heading)
{
    return static_cast<int>(common::headingOnDial(std::nearbyint(heading)));
}

// 360 less the widest stretch of the dial that no heading falls in.
float arcSpread(const std::bitset<360>& headings)
{
    if (headings.none())
        return 0;
    int widestEmpty = 0;
    int first = -1;
    int previous = -1;
    for (int degree = 0; degree < 360; ++degree) {
        if (!headings[static_cast<std::size_t>(degree)])
            continue;
        if (previous >= 0)
            widestEmpty = std::max(widestEmpty, degree - previous);
        else
            first = degree;
        previous = degree;
    }
    widestEmpty = std::max(widestEmpty, first + 360 - previous); // across north
    return static_cast<float>(360 - widestEmpty);
}

void appendSpread(std::string& line, const ValueSpread& spread)
{
    line += ',';
    line += common::numberText(spread.min, '.');
    line += ',';
    line += common::numberText(spread.max, '.');
    line += ',';
    line += common::numberText(static_cast<float>(std::nearbyint(spread.standardDeviation * 100) / 100), '.');
}

} // namespace

void EventStatisticsCollector::Running::add(float value)
{
    min = count == 0 ? value : std::min(min, value);
    max = count == 0 ? value : std::max(max, value);
    ++count;
    const double delta = value - mean;
    mean += delta / count;
    squares += delta * (value - mean);
}

ValueSpread EventStatisticsCollector::Running::spread() const
{
    return { min, max, count > 0 ? std::sqrt(squares / count) : 0 };
}

void EventStatisticsCollector::start(
    const std::optional<record::AcceptedReading>& current, const common::LocalDateTime& startTime)
{
    *this = {};
    // Before the first reading the record's values are all 0, and the averages start from them. An
    // excursion running then counts from the event's start.
    take(current.value_or(record::AcceptedReading {}), common::localMilliseconds(startTime), false);
}

void EventStatisticsCollector::add(const record::AcceptedReading& reading)
{
    take(reading, common::localMilliseconds(reading.time), true);
}

void EventStatisticsCollector::take(const record::AcceptedReading& reading, std::int64_t ms, bool timed)
{
    if (reading.overRange && !m_excursionFromMs) {
        ++m_excursions;
        m_excursionFromMs = ms;
    } else if (!reading.overRange && m_excursionFromMs) {
        m_longestExcursionMs = std::max(m_longestExcursionMs, ms - *m_excursionFromMs);
        m_excursionFromMs.reset();
    }
    ++m_readings;
    if (std::isfinite(reading.tilt))
        m_tilt.add(reading.tilt);
    else
        ++m_noTilt;
    m_pitch.add(reading.pitch);
    m_roll.add(reading.roll);
    m_headings.set(static_cast<std::size_t>(dialDegree(reading.heading)));
    m_overRange += reading.overRange ? 1 : 0;
    if (!timed)
        return;
    if (m_lastMs)
        m_longestGapMs = std::max(m_longestGapMs, ms - *m_lastMs);
    m_lastMs = ms;
}

EventStatistics EventStatisticsCollector::result(
    std::int32_t number, const common::LocalDateTime& start, const common::LocalDateTime& end) const
{
    // An excursion the event ends in lasts until its end.
    const std::int64_t longestExcursionMs = m_excursionFromMs
        ? std::max(m_longestExcursionMs, common::localMilliseconds(end) - *m_excursionFromMs)
        : m_longestExcursionMs;
    return { number, start, end, m_readings, m_tilt.spread(), m_pitch.spread(), m_roll.spread(),
        arcSpread(m_headings), m_overRange, m_noTilt, m_longestGapMs, m_excursions, longestExcursionMs };
}

std::string eventStatisticsLine(const EventStatistics& statistics)
{
    std::string line = common::wholeNumberText(statistics.number);
    line += ',';
    common::appendIsoDateTime(line, statistics.start, true);
    line += ',';
    common::appendIsoDateTime(line, statistics.end, true);
    line += ',';
    line += common::wholeNumberText(statistics.readings);
    appendSpread(line, statistics.tilt);
    appendSpread(line, statistics.pitch);
    appendSpread(line, statistics.roll);
    for (const std::int64_t count : { static_cast<std::int64_t>(statistics.headingSpread),
             static_cast<std::int64_t>(statistics.overRange), static_cast<std::int64_t>(statistics.noTilt),
             statistics.longestGapMs, static_cast<std::int64_t>(statistics.excursions),
             statistics.longestExcursionMs }) {
        line += ',';
        line += common::wholeNumberText(count);
    }
    line += "\r\n";
    return line;
}

} // namespace marlume::events
