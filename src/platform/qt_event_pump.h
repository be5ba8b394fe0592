#pragma once

#include "platform/event_pump.h"

namespace marlume::platform {

// Processes Qt events, waiting for more when none are pending. The main window calls requestEnd() when
// it closes; every loop on the pump then returns, the port search included.
class QtEventPump final : public EventPump {
public:
    [[nodiscard]] bool processEvents() override;
    void requestEnd() { m_ending = true; }

private:
    bool m_ending = false;
};

} // namespace marlume::platform
