#include "platform/qt_clock.h"

#include <QDateTime>

namespace marlume::platform {

LocalDateTime QtClock::now() const
{
    const QDateTime local = QDateTime::currentDateTime();
    const QDate date = local.date();
    const QTime time = local.time();
    return { date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec() };
}

} // namespace marlume::platform
