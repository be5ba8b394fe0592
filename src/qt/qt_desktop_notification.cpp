#include "qt/qt_desktop_notification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace marlume::qt {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr uchar kCritical = 2; // stays up until the operator dismisses it
constexpr int kServerDefaultTimeout = -1;

} // namespace

DesktopNotification::DesktopNotification(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
}

void DesktopNotification::show(const QString& summary, const QString& body)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints { { QStringLiteral("urgency"), QVariant::fromValue(kCritical) },
        { QStringLiteral("desktop-entry"), QStringLiteral("marlume-tilt-monitor") } };
    call << QStringLiteral("Marlume Tilt Monitor") << m_shownId << QStringLiteral("marlume-tilt-monitor")
         << summary << body << QStringList() << hints << kServerDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isValid())
            m_shownId = reply.value();
        finished->deleteLater();
    });
}

} // namespace marlume::qt
