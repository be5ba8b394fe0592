#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace marlume::common {

// A control's or window's place in twips (1/1440 inch), single precision as the window system keeps it.
struct TwipsRect {
    float left;
    float top;
    float width;
    float height;
};

// Geometry is kept in twips and meets Qt's logical pixels only through these two conversions:
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

} // namespace marlume::common
