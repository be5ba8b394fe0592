#pragma once

#include <cmath>

namespace marlume::common {

// A heading on the compass dial, 0 to under 360: the record's -5 is 355, 365 is 5.
[[nodiscard]] inline float headingOnDial(float heading)
{
    const float turned = std::fmod(heading, 360.0F);
    return turned < 0 ? turned + 360 : turned;
}

} // namespace marlume::common
