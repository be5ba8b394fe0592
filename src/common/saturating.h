#pragma once

#include <algorithm>
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

// Adds a number of ticks, say, to a counter that stops at its largest value.
[[nodiscard]] inline std::int32_t saturatingAdd(std::int32_t count, std::int64_t more)
{
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(count + std::max<std::int64_t>(more, 0), kLargest));
}

// Event sums stop at the largest single instead of running into infinity, so that huge
// but valid readings never put infinity or NaN into an average or a capture record.
[[nodiscard]] inline float saturatingSum(float sum, float value)
{
    const float total = sum + value;
    return std::isinf(total) ? std::copysign(std::numeric_limits<float>::max(), total) : total;
}

} // namespace marlume::common
