#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace marlume::qt {

// A notice on the desktop through the freedesktop notification service on the session bus. The call is
// sent without waiting for its answer; without a bus or a service (no desktop, a console session)
// nothing shows and nothing stalls.
class DesktopNotification final : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotification(
        const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // Shows the notice in place of the last one still up, so that they never pile up.
    void show(const QString& summary, const QString& body);

private:
    QDBusConnection m_bus;
    uint m_shownId = 0; // the service's number for the last notice shown
};

} // namespace marlume::qt
