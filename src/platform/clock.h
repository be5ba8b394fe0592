#pragma once

#include <cstdint>

namespace marlume::platform {

// A local wall-clock reading, as the user's clock shows it.
struct LocalDateTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0; // 1 to 31
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    // Seconds since midnight with the milliseconds, for waits measured on the time of day.
    [[nodiscard]] double secondsSinceMidnight() const
    {
        return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
    }

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The present local date and time, and a steady count of milliseconds that no change of the wall
// clock moves; tests fix both with a fake.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual LocalDateTime now() const = 0;
    [[nodiscard]] virtual std::int64_t monotonicMilliseconds() const = 0;
};

} // namespace marlume::platform
