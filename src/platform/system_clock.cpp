#include "platform/system_clock.h"

#include <ctime>

namespace marlume::platform {

// localtime_r rather than QDateTime: it does not look at the time-zone file on every call, and the
// display reads the clock for every reading.
common::LocalDateTime SystemClock::now() const
{
    timespec realTime {};
    clock_gettime(CLOCK_REALTIME, &realTime);
    tm local {};
    localtime_r(&realTime.tv_sec, &local);
    return { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
        static_cast<int>(realTime.tv_nsec / 1'000'000) };
}

std::int64_t SystemClock::monotonicMilliseconds() const
{
    timespec steady {};
    clock_gettime(CLOCK_MONOTONIC, &steady);
    return static_cast<std::int64_t>(steady.tv_sec) * 1000 + steady.tv_nsec / 1'000'000;
}

} // namespace marlume::platform
