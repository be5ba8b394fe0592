#pragma once

#include "platform/ticker.h"

#include <QTimer>

namespace marlume::qt {

// Wake-ups from a single-shot QTimer, handled by the event loop of the thread that made it.
class QtTicker final : public platform::Ticker {
public:
    QtTicker();

    void setOnTick(std::function<void()> onTick) override { m_onTick = std::move(onTick); }
    void wakeIn(std::chrono::milliseconds delay) override { m_timer.start(delay); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_onTick;
};

} // namespace marlume::qt
