#pragma once

#include "link/link_status.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/serial_control.h"
#include "record/data_record_class.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace marlume::link {

enum class SearchResult {
    Found, // the sensor's port is open and the status tells it ready
    Ending, // the program is ending; the search stopped where it was
};

// The search for the sensor's port: ports 1 to 16 in rounds, each opened port given one second on the
// monotonic clock to deliver readings, while the receive loop runs inside the event processing of the waits.
class PortSearch final {
public:
    static constexpr std::chrono::milliseconds kWait { 1000 };
    // After a round in which no port opened, so that such rounds do not burn a core.
    static constexpr std::chrono::milliseconds kIdleRoundPause { 100 };
    static constexpr std::int32_t kFoundSamples = 2; // more readings than this in a wait: found

    PortSearch(platform::SerialControl& port, record::DataRecordClass& record, StatusLine& status,
        const platform::Clock& clock, platform::EventPump& pump);

    // Returns once the sensor is found, or at once when the event pump reports that the program is ending.
    [[nodiscard]] SearchResult FindPort();

private:
    enum class WaitResult { Elapsed, Done, Ending };

    // Processes events until the wait has passed or done() holds.
    [[nodiscard]] WaitResult wait(std::chrono::milliseconds wait, const std::function<bool()>& done);

    platform::SerialControl& m_port;
    record::DataRecordClass& m_record;
    StatusLine& m_status;
    const platform::Clock& m_clock;
    platform::EventPump& m_pump;
};

// The start-up routine's loop: process events, and search whenever the link is not alive; onFound, when
// given, is told each time a search has found the sensor. Returns when the program is ending.
void runMainLoop(const LinkState& state, platform::EventPump& pump, PortSearch& search,
    const std::function<void()>& onFound = {});

} // namespace marlume::link
