#pragma once

#include "platform/clock.h"

#include <string>

namespace marlume::record {

// "hh:mm:ss", 24-hour, two digits each, with the given separator.
[[nodiscard]] std::string timeText(const platform::LocalDateTime& time, char separator = ':');

// "mm/dd/yyyy".
[[nodiscard]] std::string dateText(const platform::LocalDateTime& date, char separator = '/');

} // namespace marlume::record
