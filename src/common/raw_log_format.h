#pragma once

#include "common/local_date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::common {

// The raw readings log: this header, then a mark of the state the record was in when the log began,
// one line per accepted reading and a mark at each event's start and end, each line ending in CR LF
// like the capture file. Numbers always take ".", whatever the locale, so that the file reads the
// same on every machine and a replay can send the numbers back as they came.
inline constexpr std::string_view kRawLogHeader = "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n";
// Logs of version 1.0.2 and before: readings only, without marks or the heading shown. Still played.
inline constexpr std::string_view kReadingsOnlyRawLogHeader = "Time,Heading,Pitch,Roll,Tilt,Event\r\n";

enum class RawLogLayout { ReadingsOnly, WithMarks };

// The layout a header line (without its line end) announces; nullopt for no raw log header.
[[nodiscard]] std::optional<RawLogLayout> rawLogLayout(std::string_view header);

// One accepted reading as the log keeps it.
struct RawLogReading {
    common::LocalDateTime time; // with milliseconds
    float heading = 0; // as the sensor sent it
    float pitch = 0;
    float roll = 0;
    float tilt = 0; // as shown, to a tenth
    std::int32_t eventNumber = 0; // of the event collecting it; 0 for none, an empty field
    float shown = 0; // the heading the record shows after it, whole degrees with the sign it keeps
};

// A line without a reading: from its time on, this event collects (0 for none) and the record shows
// this heading, so that a replay starts where the live record stood and ends events where it did.
struct RawLogMark {
    common::LocalDateTime time;
    std::int32_t eventNumber = 0;
    float shown = 0;
};

// How the event collecting changes from one line of a log to the next: the one running ends, a new one
// starts, or both when an event follows straight on another.
struct EventEdges {
    bool ends = false;
    bool starts = false;
};
[[nodiscard]] constexpr EventEdges eventEdges(std::int32_t before, std::int32_t after)
{
    return before == after ? EventEdges {} : EventEdges { before != 0, after != 0 };
}

// "2008-08-18T14:02:11.250,123.4,-2.5,1.8,3.1,7,123\r\n"; the event field is empty outside events.
[[nodiscard]] std::string rawLogLineText(const RawLogReading& reading);
// The same appended to text, for a writer that gathers many lines.
void appendRawLogLine(std::string& text, const RawLogReading& reading);
// "2008-08-18T14:02:11.300,,,,,7,123\r\n"
[[nodiscard]] std::string rawLogMarkText(const RawLogMark& mark);

// A line of the log read back for a replay: the sentence the sensor sent, rebuilt from the fields
// as they were written, so that it parses to the very same reading; a mark has no sentence.
struct RawLogEntry {
    common::LocalDateTime time;
    std::string sentence; // "heading,pitch,roll"; empty for a mark
    std::int32_t eventNumber = 0;
    std::optional<float> shown; // where the layout keeps it

    [[nodiscard]] bool isMark() const { return sentence.empty(); }
};

// Reads one line without its line end (a CR before it is allowed); nullopt with the reason in
// problem when it is no line of a log of that layout.
[[nodiscard]] std::optional<RawLogEntry> parseRawLogLine(
    std::string_view line, RawLogLayout layout, std::string& problem);
// The same into an entry whose room is used again: reading a log line by line allocates nothing.
[[nodiscard]] bool parseRawLogLine(
    std::string_view line, RawLogLayout layout, RawLogEntry& entry, std::string& problem);

} // namespace marlume::common
