#pragma once

#include <string_view>

namespace marlume::common {

// The status line's words, as the link and the trigger events set them and every face shows them.
inline constexpr std::string_view kReadyStatus = "Ready";
inline constexpr std::string_view kIntegratingStatus = "Integrating";
inline constexpr std::string_view kSearchingStatus = "Searching"; // a point more for every port tried

} // namespace marlume::common
