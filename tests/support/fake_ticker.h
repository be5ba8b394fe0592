#pragma once

#include "platform/ticker.h"
#include "support/fake_clock.h"

#include <optional>
#include <utility>

namespace marlume::testing {

// Wakes when the test says so, and only when a wake-up is pending; the fake clock then moves on to
// the moment the wake-up was asked for, when it has not got there yet.
class FakeTicker final : public platform::Ticker {
public:
    explicit FakeTicker(FakeClock& clock)
        : m_clock(clock)
    {
    }

    void setOnTick(std::function<void()> onTick) override { m_onTick = std::move(onTick); }
    void wakeIn(std::chrono::milliseconds delay) override
    {
        lastDelay = delay;
        m_wakeAt = m_clock.monotonicMilliseconds() + delay.count();
    }
    void stop() override { m_wakeAt.reset(); }

    [[nodiscard]] bool pending() const { return m_wakeAt.has_value(); }
    void tick()
    {
        if (!m_wakeAt || !m_onTick)
            return;
        const auto behind = *std::exchange(m_wakeAt, std::nullopt) - m_clock.monotonicMilliseconds();
        if (behind > 0)
            m_clock.advanceMilliseconds(static_cast<int>(behind));
        m_onTick();
    }

    std::chrono::milliseconds lastDelay {};

private:
    FakeClock& m_clock;
    std::function<void()> m_onTick;
    std::optional<std::int64_t> m_wakeAt;
};

} // namespace marlume::testing
