#pragma once

#include "platform/clock.h"

namespace marlume::platform {

// The local wall clock.
class SystemClock final : public Clock {
public:
    [[nodiscard]] common::LocalDateTime now() const override;
    [[nodiscard]] std::int64_t monotonicMilliseconds() const override;
};

} // namespace marlume::platform
