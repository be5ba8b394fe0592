#pragma once

#include "platform/event_pump.h"

#include <functional>

namespace marlume::testing {

// Runs what the window would handle during one round of events (a timer tick, say); the program ends
// when that returns false.
class FakeEventPump final : public platform::EventPump {
public:
    [[nodiscard]] bool processEvents() override
    {
        ++calls;
        return !ended && (!onEvents || onEvents());
    }
    [[nodiscard]] bool processWaitingEvents() override
    {
        ++waitingCalls;
        return !ended && (!onWaitingEvents || onWaitingEvents());
    }
    void requestEnd() override { ended = true; }

    std::function<bool()> onEvents;
    std::function<bool()> onWaitingEvents; // what comes up when waiting events are taken
    int calls = 0;
    int waitingCalls = 0; // the calls that never wait
    bool ended = false;
};

} // namespace marlume::testing
