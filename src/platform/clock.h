#pragma once

#include "common/local_date_time.h"

#include <cstdint>

namespace marlume::platform {

// The present local date and time, and a steady count of milliseconds that no change of the wall
// clock moves; tests fix both with a fake.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual common::LocalDateTime now() const = 0;
    [[nodiscard]] virtual std::int64_t monotonicMilliseconds() const = 0;
};

} // namespace marlume::platform
