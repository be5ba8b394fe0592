#pragma once

#include "monitor/monitor_listener.h"

#include <string>
#include <string_view>

namespace marlume::mqtt {

// What a station says on its topics: JSON objects for an ended event (the capture record's values, the
// times in ISO 8601 with date and milliseconds) and for a reading, and its state in plain words on
// PREFIX/status, retained: "online" while connected, "silent" instead while the sensor has sent nothing
// for longer than the silence limit, "offline" at a clean end and as the last will.
[[nodiscard]] std::string eventMessage(const monitor::EndedEvent& event);
[[nodiscard]] std::string readingMessage(const record::AcceptedReading& reading);

inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kSilent = "silent";
inline constexpr std::string_view kOffline = "offline";

} // namespace marlume::mqtt
