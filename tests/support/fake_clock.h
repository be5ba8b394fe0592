#pragma once

#include "platform/clock.h"

namespace marlume::testing {

// A clock that shows whatever the test sets.
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(common::LocalDateTime time = { 2008, 8, 18, 14, 2, 11, 0 })
        : m_time(time)
    {
    }
    [[nodiscard]] common::LocalDateTime now() const override
    {
        const common::LocalDateTime time = m_time;
        moveWallClock(m_millisecondsPerLook);
        return time;
    }
    // Moves with advanceMilliseconds only: setting the wall clock leaves it alone, as on a real machine.
    [[nodiscard]] std::int64_t monotonicMilliseconds() const override { return m_monotonic; }

    void set(common::LocalDateTime time) { m_time = time; }
    void setTimeOfDay(int hour, int minute, int second, int millisecond = 0)
    {
        m_time.hour = hour;
        m_time.minute = minute;
        m_time.second = second;
        m_time.millisecond = millisecond;
    }
    // Moves the time of day on, wrapping at midnight to the next day.
    void advanceMilliseconds(int milliseconds)
    {
        m_monotonic += milliseconds;
        moveWallClock(milliseconds);
    }
    // The wall clock moves on this much after every look, as on a slow machine.
    void moveOnEveryLook(int milliseconds) { m_millisecondsPerLook = milliseconds; }

private:
    void moveWallClock(int milliseconds) const;

    mutable common::LocalDateTime m_time;
    std::int64_t m_monotonic = 1'000'000;
    int m_millisecondsPerLook = 0;
};

inline void FakeClock::moveWallClock(int milliseconds) const
{
    if (milliseconds == 0)
        return;
    long long total = static_cast<long long>(m_time.secondsSinceMidnight() * 1000.0 + 0.5) + milliseconds;
    constexpr long long day = 86'400'000;
    if (total >= day) {
        total %= day;
        ++m_time.day; // good enough for tests: they never cross a month's end
    }
    m_time.hour = static_cast<int>(total / 3'600'000);
    m_time.minute = static_cast<int>(total / 60'000 % 60);
    m_time.second = static_cast<int>(total / 1000 % 60);
    m_time.millisecond = static_cast<int>(total % 1000);
}

} // namespace marlume::testing
