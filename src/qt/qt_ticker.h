#pragma once

#include "platform/ticker.h"

#include <QTimer>

namespace marlume::qt {

// Ticks from a QTimer, handled by the event loop of the thread that made it.
class QtTicker final : public platform::Ticker {
public:
    void start(std::chrono::milliseconds interval, std::function<void()> onTick) override;
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_onTick;
};

} // namespace marlume::qt
