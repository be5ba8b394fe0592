#pragma once

#include "platform/event_pump.h"

#include <QTimer>

namespace marlume::qt {

// Processes Qt events, waiting for more when none are pending.
class QtEventPump final : public platform::EventPump {
public:
    QtEventPump();

    [[nodiscard]] bool processEvents() override;
    [[nodiscard]] bool processEventsFor(std::chrono::milliseconds longest) override;
    void requestEnd() override { m_ending = true; }

private:
    bool m_ending = false;
    QTimer m_wake; // its time-out ends a wait that nothing else ends
};

} // namespace marlume::qt
