#pragma once

#include "platform/event_pump.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace marlume::qt {

// Runs a task on the event loop's thread, from any thread: how a writer thread hands back its outcomes.
void postToEventLoop(std::function<void()> task);

// Processes Qt events, waiting for more when none are pending.
class QtEventPump final : public platform::EventPump {
public:
    QtEventPump();

    [[nodiscard]] bool processEvents() override;
    [[nodiscard]] bool processEventsFor(std::chrono::milliseconds longest) override;
    [[nodiscard]] bool processWaitingEvents() override;
    void requestEnd() override { m_ending = true; }

private:
    bool process(QEventLoop::ProcessEventsFlags flags);

    bool m_ending = false;
    QTimer m_wake; // its time-out ends a wait that nothing else ends
};

} // namespace marlume::qt
