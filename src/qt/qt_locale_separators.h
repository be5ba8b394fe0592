#pragma once

#include "monitor/monitor.h"

namespace marlume::qt {

// The user's decimal and time separators, as the display writes numbers and times: "," and "." in
// Finnish, "." and ":" in English. One the display cannot take falls back to "." or ":".
[[nodiscard]] monitor::Separators localeSeparators();

} // namespace marlume::qt
