#pragma once

#include "common/local_date_time.h"
#include "record/accepted_reading.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::events {

// The spread of one value over an event's readings.
struct ValueSpread {
    float min = 0;
    float max = 0;
    double standardDeviation = 0; // of the population: the readings are all there are

    friend bool operator==(const ValueSpread&, const ValueSpread&) = default;
};

// The quality of one ended event, from the readings its averages take.
struct EventStatistics {
    std::int32_t number = 0;
    common::LocalDateTime start;
    common::LocalDateTime end;
    std::int32_t readings = 0;
    ValueSpread tilt; // over the readings whose tilt could be computed
    ValueSpread pitch;
    ValueSpread roll;
    float headingSpread
        = 0; // the narrowest arc holding every heading, in whole degrees: 359 and 1 are 2 apart
    std::int32_t overRange = 0; // readings past the alarm
    std::int32_t noTilt = 0; // readings whose tilt could not be computed
    std::int64_t longestGapMs = 0; // between two readings that follow each other
    std::int32_t excursions = 0; // times the tilt went over range, one running at the start included
    std::int64_t longestExcursionMs
        = 0; // from its first reading over range to the first back, within the event

    friend bool operator==(const EventStatistics&, const EventStatistics&) = default;
};

// Gathers an event's readings as its averages do: the reading current at its start, then every one
// accepted while it collects.
class EventStatisticsCollector final {
public:
    // A new event from its start time; current is the reading its averages start from (none before the
    // first reading).
    void start(const std::optional<record::AcceptedReading>& current, const common::LocalDateTime& startTime);
    void add(const record::AcceptedReading& reading);
    [[nodiscard]] EventStatistics result(
        std::int32_t number, const common::LocalDateTime& start, const common::LocalDateTime& end) const;

private:
    struct Running {
        std::int32_t count = 0;
        double mean = 0;
        double squares = 0; // the sum of squared differences from the mean (Welford)
        float min = 0;
        float max = 0;
        void add(float value);
        [[nodiscard]] ValueSpread spread() const;
    };

    void take(const record::AcceptedReading& reading, std::int64_t ms, bool timed);

    std::int32_t m_readings = 0;
    Running m_tilt;
    Running m_pitch;
    Running m_roll;
    std::bitset<360> m_headings; // whole degrees on the dial
    std::int32_t m_overRange = 0;
    std::int32_t m_noTilt = 0;
    std::optional<std::int64_t> m_lastMs;
    std::int64_t m_longestGapMs = 0;
    std::int32_t m_excursions = 0;
    std::optional<std::int64_t> m_excursionFromMs; // while the tilt is over range
    std::int64_t m_longestExcursionMs = 0;
};

// The event statistics file: this header, then one line per ended event, CR LF like the capture file.
inline constexpr std::string_view kEventStatisticsHeader
    = "Number,Start,End,Readings,TiltMin,TiltMax,TiltStd,PitchMin,PitchMax,PitchStd,RollMin,RollMax,RollStd,"
      "HeadingSpread,OverRange,NoTilt,LongestGapMs,Excursions,LongestExcursionMs\r\n";

// "7,2008-08-18T14:02:11.250,2008-08-18T14:02:41.250,301,2.1,57.3,4.62,...\r\n": times as the raw log has
// them, numbers with "." and standard deviations to a hundredth.
[[nodiscard]] std::string eventStatisticsLine(const EventStatistics& statistics);

} // namespace marlume::events
