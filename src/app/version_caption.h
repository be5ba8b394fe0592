#pragma once

#include <string>
#include <string_view>

namespace marlume::app {

// The window caption completed with the version: major "." minor, with the revision
// written straight after the minor number (1.0.2 gives "1.02").
[[nodiscard]] std::string versionCaption(std::string_view caption, int major, int minor, int revision);

} // namespace marlume::app
