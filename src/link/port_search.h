#pragma once

#include "link/live_display.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/serial_control.h"
#include "record/data_record_class.h"

#include <cstdint>
#include <functional>

namespace marlume::link {

enum class SearchResult {
    Found, // the sensor's port is open and the status reads "Ready"
    Ending, // the program is ending; the search stopped where it was
};

// The search for the sensor's port: ports 1 to 16 in rounds, each opened port given one second on the time
// of day to deliver readings, while the receive loop runs inside the event processing of the waits.
class PortSearch final {
public:
    static constexpr float kWaitSeconds = 1.0F;
    // After a round in which no port opened, so that such rounds do not burn a core.
    static constexpr float kIdleRoundPauseSeconds = 0.1F;
    static constexpr std::int32_t kFoundSamples = 2; // more readings than this in a wait: found

    PortSearch(platform::SerialControl& port, record::DataRecordClass& record, LiveDisplay& display,
        const platform::Clock& clock, platform::EventPump& pump);

    // Returns once the sensor is found, or at once when the event pump reports that the program is ending.
    [[nodiscard]] SearchResult FindPort();

private:
    enum class WaitResult { Elapsed, Done, Ending };

    // Processes events until the time of day has passed t0 + seconds or done() holds.
    [[nodiscard]] WaitResult waitFrom(float t0, float seconds, const std::function<bool()>& done);
    [[nodiscard]] float timeOfDay() const;

    platform::SerialControl& m_port;
    record::DataRecordClass& m_record;
    LiveDisplay& m_display;
    const platform::Clock& m_clock;
    platform::EventPump& m_pump;
};

// The start-up routine's loop: process events, and search whenever the link is not alive; onFound, when
// given, is told each time a search has found the sensor. Returns when the program is ending.
void runMainLoop(const LinkState& state, platform::EventPump& pump, PortSearch& search,
    const std::function<void()>& onFound = {});

} // namespace marlume::link
