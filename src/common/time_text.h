#pragma once

#include "common/local_date_time.h"

#include <string>

namespace marlume::common {

// "hh:mm:ss", 24-hour, two digits each, with the given separator.
[[nodiscard]] std::string timeText(const common::LocalDateTime& time, char separator = ':');

// "mm/dd/yyyy".
[[nodiscard]] std::string dateText(const common::LocalDateTime& date, char separator = '/');

// ISO 8601 local date and time, "2008-08-18T14:02:11", with ".123" after it when milliseconds are wanted.
[[nodiscard]] std::string isoDateTimeText(const common::LocalDateTime& time, bool withMilliseconds = false);
// The same appended to text, for writers of many lines (a year outside 0 to 9999 as wholeNumberText has it).
void appendIsoDateTime(std::string& text, const common::LocalDateTime& time, bool withMilliseconds);

} // namespace marlume::common
