#include "qt/qt_ticker.h"

#include <utility>

namespace marlume::qt {

void QtTicker::start(std::chrono::milliseconds interval, std::function<void()> onTick)
{
    m_onTick = std::move(onTick);
    m_timer.disconnect();
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { m_onTick(); });
    m_timer.start(interval);
}

} // namespace marlume::qt
