#pragma once

#include "platform/event_pump.h"

namespace marlume::qt {

// Processes Qt events, waiting for more when none are pending.
class QtEventPump final : public platform::EventPump {
public:
    [[nodiscard]] bool processEvents() override;
    void requestEnd() override { m_ending = true; }

private:
    bool m_ending = false;
};

} // namespace marlume::qt
