#include "qt/qt_ticker.h"

namespace marlume::qt {

QtTicker::QtTicker()
{
    m_timer.setSingleShot(true);
    // Precise to the millisecond: the receive loop's ticks are 10 ms apart.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        if (m_onTick)
            m_onTick();
    });
}

} // namespace marlume::qt
