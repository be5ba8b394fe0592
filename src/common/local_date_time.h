#pragma once

#include <cstdint>

namespace marlume::common {

// A local wall-clock reading, as the user's clock shows it. It labels things; time steps are measured
// on the monotonic clock.
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

// Milliseconds from 1970-01-01T00:00 on the same local clock, for placing times on one axis.
[[nodiscard]] std::int64_t localMilliseconds(const LocalDateTime& time);
// The date and time of a count of localMilliseconds.
[[nodiscard]] LocalDateTime localDateTime(std::int64_t milliseconds);

} // namespace marlume::common
