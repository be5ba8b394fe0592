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
    void requestEnd() override { ended = true; }

    std::function<bool()> onEvents;
    int calls = 0;
    bool ended = false;
};

} // namespace marlume::testing
