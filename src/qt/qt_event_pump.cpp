#include "qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QEvent>

namespace marlume::qt {

void postToEventLoop(std::function<void()> task)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

QtEventPump::QtEventPump()
{
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
}

bool QtEventPump::processEventsFor(std::chrono::milliseconds longest)
{
    m_wake.start(longest);
    const bool going = processEvents();
    m_wake.stop();
    return going;
}

bool QtEventPump::processEvents()
{
    return process(QEventLoop::WaitForMoreEvents);
}

bool QtEventPump::processWaitingEvents()
{
    return process(QEventLoop::AllEvents);
}

bool QtEventPump::process(QEventLoop::ProcessEventsFlags flags)
{
    if (m_ending)
        return false;
    QCoreApplication::processEvents(flags);
    // The program never runs exec(), so deleteLater() would otherwise wait for ever.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !m_ending;
}

} // namespace marlume::qt
