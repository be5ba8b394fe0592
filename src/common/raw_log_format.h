#pragma once

#include "common/local_date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::common {

// The raw readings log: this header, then one line per accepted reading, each ending in CR LF like
// the capture file. Numbers always take ".", whatever the locale, so that the file reads the same
// on every machine and a replay can send the numbers back as they came.
inline constexpr std::string_view kRawLogHeader = "Time,Heading,Pitch,Roll,Tilt,Event\r\n";

// One accepted reading as the log keeps it.
struct RawLogReading {
    common::LocalDateTime time; // with milliseconds
    float heading = 0; // as the sensor sent it
    float pitch = 0;
    float roll = 0;
    float tilt = 0; // as shown, to a tenth
    std::int32_t eventNumber = 0; // of the event collecting it; 0 for none, an empty field
};

// "2008-08-18T14:02:11.250,123.4,-2.5,1.8,3.1,7\r\n"; the last field is empty outside events.
[[nodiscard]] std::string rawLogLineText(const RawLogReading& reading);

// A line of the log read back for a replay: the sentence the sensor sent, rebuilt from the fields
// as they were written, so that it parses to the very same reading.
struct RawLogEntry {
    common::LocalDateTime time;
    std::string sentence; // "heading,pitch,roll"
    std::int32_t eventNumber = 0;
};

// Reads one line without its line end (a CR before it is allowed); nullopt with the reason in
// problem when it is no reading line of the log.
[[nodiscard]] std::optional<RawLogEntry> parseRawLogLine(std::string_view line, std::string& problem);

} // namespace marlume::common
