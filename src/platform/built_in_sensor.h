#pragma once

#include "platform/clock.h"
#include "platform/serial_device.h"

#include <cstdint>
#include <optional>
#include <string>

namespace marlume::platform {

// A sensor made in software: what it sends waits in a receive buffer that advance() fills as time goes
// on, and is read from there as from a port. Time steps on the monotonic clock, so a change of the wall
// clock (the end of summer time, a set clock) never makes it send hours at once or stall.
class BuiltInSensor : public SerialDevice {
public:
    std::optional<std::size_t> available() final;
    std::optional<std::string> read(std::size_t maxCount) final;

protected:
    explicit BuiltInSensor(const Clock& clock);

    // Makes what the sensor has sent by now available.
    virtual void advance() = 0;
    // Milliseconds since the last call, or since restartSteps(); 0 at the first.
    [[nodiscard]] std::int64_t millisecondsSinceLastStep();
    void restartSteps();
    // How many of the count characters a read would take it takes now; a sensor that stamps its lines
    // ends a read at a line's end.
    virtual std::size_t take(std::size_t count) { return count; }

    std::string m_received; // sent and not read yet

private:
    const Clock& m_clock;
    std::optional<std::int64_t> m_lastStepAt;
};

} // namespace marlume::platform
