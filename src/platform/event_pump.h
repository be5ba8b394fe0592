#pragma once

namespace marlume::platform {

// Handles the window events that are waiting, or waits for the next ones (the 10 ms timer makes sure
// one comes soon), so long loops keep the window alive without burning a core.
class EventPump {
public:
    virtual ~EventPump() = default;
    // False once the program is ending: whoever loops on events returns at once.
    [[nodiscard]] virtual bool processEvents() = 0;
    // The main window has closed: every loop on the pump returns, the port search included.
    virtual void requestEnd() = 0;
};

} // namespace marlume::platform
