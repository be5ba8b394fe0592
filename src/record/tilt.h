#pragma once

#include <cmath>

namespace marlume::record {

// Past this tilt, either way, the sensor is over range: the display shows "over" and the alarm sounds.
inline constexpr float kOverRangeTilt = 55.0F;

[[nodiscard]] inline bool isOverRange(float tilt)
{
    return std::fabs(tilt) > kOverRangeTilt;
}

// Tilt of the sensor's vertical axis from the inclinations of its two horizontal
// axes, in degrees: arcsin(sqrt(sin^2(pitch) + sin^2(roll))), converting with 3.14
// instead of pi so that tilts agree digit for digit with earlier capture files.
[[nodiscard]] float TiltFromPitchRoll(float pitch, float roll);

// arcsin(x) in radians. At and beyond |x| = 1 it gives the limit, +-pi/2, so a
// reading whose inclinations add up past the vertical reads as lying flat on its side.
[[nodiscard]] float ArcSin(float x);

} // namespace marlume::record
