#pragma once

#include "platform/clock.h"
#include "platform/serial_control.h"

#include <optional>

namespace marlume::monitor {

// The time readings and events are stamped with: the recorded time while a recording is reprocessed
// (held) or the port plays one back, so that a replay writes the dates and times of the session it
// recorded, and the clock's otherwise. Steady time is always the clock's: waits and ticks run in the
// present.
class RecordedClock final : public platform::Clock {
public:
    RecordedClock(const platform::Clock& clock, const platform::SerialControl& port)
        : m_clock(clock)
        , m_port(port)
    {
    }

    // The time of the recorded line being reprocessed; nullopt once it is done.
    void hold(std::optional<common::LocalDateTime> time) { m_held = time; }

    [[nodiscard]] common::LocalDateTime now() const override
    {
        if (m_held)
            return *m_held;
        const std::optional<platform::RecordedMoment> recorded = m_port.recorded();
        return recorded ? recorded->time : m_clock.now();
    }
    [[nodiscard]] std::int64_t monotonicMilliseconds() const override
    {
        return m_clock.monotonicMilliseconds();
    }

private:
    const platform::Clock& m_clock;
    const platform::SerialControl& m_port;
    std::optional<common::LocalDateTime> m_held;
};

} // namespace marlume::monitor
