#pragma once

#include <vector>

namespace marlume::app {

// Widths for fields side by side in the given room, in pixels: a field that wants no more than an even
// share gets what it wants, and the others share what is left evenly, so that short texts stay whole and
// only the long ones are shortened. Where all want less than the room, each gets what it wants.
[[nodiscard]] std::vector<int> fairShares(const std::vector<int>& wanted, int room);

} // namespace marlume::app
