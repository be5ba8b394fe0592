#pragma once

#include "platform/clock.h"
#include "platform/file_writer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace marlume::record {

// The sensor record: parses "heading,pitch,roll" sentences into the current reading,
// computes the tilt, sums readings over a trigger event, numbers events and writes
// capture-file lines.
class DataRecordClass final {
public:
    explicit DataRecordClass(const platform::Clock& clock);

    [[nodiscard]] std::int32_t SequenceNumber() const { return m_sequenceNumber; }
    void ResetSequenceNumber() { m_sequenceNumber = 0; }

    // The current reading. LastTilt is rounded to a tenth; the others are as stored.
    [[nodiscard]] float LastTilt() const;
    [[nodiscard]] float LastHeading() const { return m_heading; }
    [[nodiscard]] float LastPitch() const { return m_pitch; }
    [[nodiscard]] float LastRoll() const { return m_roll; }
    // The heading as the sensor sent it, before rounding: what a log needs to replay the sums exactly.
    [[nodiscard]] float SentHeading() const { return m_sentHeading; }

    // Averages of the current or last collection; 0 when nothing was counted.
    [[nodiscard]] float avgHeading() const;
    [[nodiscard]] float avgPitch() const;
    [[nodiscard]] float avgRoll() const;
    [[nodiscard]] float avgTilt() const;
    [[nodiscard]] std::int32_t avgN() const { return m_sampleCount; }

    void startAvg();
    void endAvg();
    // Told at every start of an average, an event's or a search's, once the current reading is its first
    // sample.
    void setOnAverageStarted(std::function<void()> told) { m_onAverageStarted = std::move(told); }
    // Whether readings are being added to the sums.
    [[nodiscard]] bool averaging() const { return m_averaging; }

    // Reads one sentence; true when it was accepted as the current reading.
    bool parseString(std::string_view line);
    // Takes up the heading a recorded record showed, so that its next reading turns across north
    // from there, as it did when it was recorded.
    void resumeHeading(float shown) { m_heading = shown; }

    // Capture-file output. With file number 0 nothing is written. The result is
    // false only when writing or syncing failed.
    bool writeHeadingToFile(platform::FileWriter& output, platform::FileNumber file) const;
    bool writeAvgToFile(platform::FileWriter& output, platform::FileNumber file) const;

    [[nodiscard]] std::optional<common::LocalDateTime> startTime() const { return m_startTime; }
    [[nodiscard]] std::optional<common::LocalDateTime> endTime() const { return m_endTime; }

private:
    void storeReading(float newHeading, float newPitch, float newRoll);

    const platform::Clock& m_clock;
    bool m_averaging = false;
    std::function<void()> m_onAverageStarted;
    std::optional<common::LocalDateTime> m_startTime;
    std::optional<common::LocalDateTime> m_endTime;
    float m_heading = 0;
    float m_sentHeading = 0;
    float m_pitch = 0;
    float m_roll = 0;
    float m_tilt = 0;
    float m_sumHeading = 0;
    float m_sumPitch = 0;
    float m_sumRoll = 0;
    float m_sumTilt = 0;
    std::int32_t m_sequenceNumber = 0;
    std::int32_t m_sampleCount = 0;
};

} // namespace marlume::record
