#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace marlume::common {

// Counters (events, samples, receive ticks) stop at their largest value instead of wrapping
// to negative numbers.
[[nodiscard]] inline std::int32_t saturatingIncrement(std::int32_t count)
{
    return count < std::numeric_limits<std::int32_t>::max() ? count + 1 : count;
}

// Event sums stop at the largest single instead of running into infinity, so that huge
// but valid readings never put infinity or NaN into an average or a capture record.
[[nodiscard]] inline float saturatingSum(float sum, float value)
{
    const float total = sum + value;
    return std::isinf(total) ? std::copysign(std::numeric_limits<float>::max(), total) : total;
}

} // namespace marlume::common
