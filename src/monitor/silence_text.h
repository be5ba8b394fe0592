#pragma once

#include "monitor/monitor_listener.h"

#include <string>

namespace marlume::monitor {

// "No data for 2 s on port 3": the journal's and the status bar's words for a silence that has begun.
[[nodiscard]] std::string silenceText(const Silence& silence);
// "Data again after 25.4 s".
[[nodiscard]] std::string dataAgainText(const Silence& silence);

} // namespace marlume::monitor
