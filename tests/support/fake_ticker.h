#pragma once

#include "platform/ticker.h"

#include <utility>

namespace marlume::testing {

// Ticks when the test says so, and only while started.
class FakeTicker final : public platform::Ticker {
public:
    void start(std::chrono::milliseconds tickInterval, std::function<void()> onTick) override
    {
        interval = tickInterval;
        m_onTick = std::move(onTick);
    }
    void stop() override { m_onTick = {}; }

    [[nodiscard]] bool running() const { return static_cast<bool>(m_onTick); }
    void tick()
    {
        if (m_onTick)
            m_onTick();
    }

    std::chrono::milliseconds interval {};

private:
    std::function<void()> m_onTick;
};

} // namespace marlume::testing
