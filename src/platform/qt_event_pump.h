#pragma once

#include "platform/event_pump.h"

namespace marlume::platform {

// Processes Qt events, waiting for more when none are pending.
class QtEventPump final : public EventPump {
public:
    [[nodiscard]] bool processEvents() override;
    void requestEnd() override { m_ending = true; }

private:
    bool m_ending = false;
};

} // namespace marlume::platform
