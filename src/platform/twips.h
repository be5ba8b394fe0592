#pragma once

#include <cmath>

namespace marlume::platform {

// Geometry is kept in twips (1/1440 inch) and meets Qt's logical pixels only here:
// 15 twips to a pixel, as at 96 dots per inch.
inline constexpr double kTwipsPerPixel = 15.0;

[[nodiscard]] inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

[[nodiscard]] inline double pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace marlume::platform
