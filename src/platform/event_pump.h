#pragma once

#include <chrono>

namespace marlume::platform {

// Handles the window events that are waiting, or waits for the next ones, so long loops keep the window
// alive without burning a core.
class EventPump {
public:
    virtual ~EventPump() = default;
    // False once the program is ending: whoever loops on events returns at once.
    [[nodiscard]] virtual bool processEvents() = 0;
    // The same, waiting no longer than this for an event to come: for loops that wait for a time.
    [[nodiscard]] virtual bool processEventsFor(std::chrono::milliseconds /*longest*/)
    {
        return processEvents();
    }
    // Handles only the events already waiting, never waiting for more: for work that runs on by itself
    // and must let the window and the outputs' outcomes through now and then.
    [[nodiscard]] virtual bool processWaitingEvents() = 0;
    // The main window has closed: every loop on the pump returns, the port search included.
    virtual void requestEnd() = 0;
};

} // namespace marlume::platform
