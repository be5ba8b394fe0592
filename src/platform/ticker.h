#pragma once

#include <chrono>
#include <functional>

namespace marlume::platform {

// Wakes its handler once on the user-interface thread, after the delay asked for last: asking again
// replaces the pending wake-up. Nothing wakes while nothing is asked, so a quiet program sleeps.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void setOnTick(std::function<void()> onTick) = 0;
    virtual void wakeIn(std::chrono::milliseconds delay) = 0;
    virtual void stop() = 0;
};

} // namespace marlume::platform
