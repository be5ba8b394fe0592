#pragma once

#include <string_view>

namespace marlume::common {

// The status line's words, as every face shows the link's status.
inline constexpr std::string_view kReadyStatus = "Ready";
inline constexpr std::string_view kIntegratingStatus = "Integrating";
inline constexpr std::string_view kSearchingStatus = "Searching"; // a point more for every port tried

} // namespace marlume::common
