#pragma once

#include <chrono>
#include <functional>

namespace marlume::platform {

// Calls its handler at a steady interval on the user-interface thread, from start until stop.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void start(std::chrono::milliseconds interval, std::function<void()> onTick) = 0;
    virtual void stop() = 0;
};

} // namespace marlume::platform
