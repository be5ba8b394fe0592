#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace marlume::platform {

// Geometry is kept in twips (1/1440 inch) and meets Qt's logical pixels only here:
// 15 twips to a pixel, as at 96 dots per inch.
inline constexpr double kTwipsPerPixel = 15.0;

// Saturates at the int range, so no far-off coordinate wraps round.
[[nodiscard]] inline int twipsToPixels(double twips)
{
    constexpr double kLargest = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(twips / kTwipsPerPixel, -kLargest, kLargest)));
}

[[nodiscard]] inline double pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace marlume::platform
