#include "qt/qt_desktop_notification.h"

#include "support/child_process.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <vector>

namespace marlume::qt {
namespace {

// The desktop's notification service, as the bus sees it: it keeps what it was asked to show.
class FakeNotificationService final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice {
        uint replaces;
        QString summary;
        QString body;
        QVariantMap hints;
    };
    std::vector<Notice> shown;

public slots:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
        const QStringList&, const QVariantMap& hints, int)
    {
        shown.push_back({ replaces, summary, body, hints });
        return 40 + static_cast<uint>(shown.size());
    }
};

// A session bus of the test's own, ended with it.
class PrivateBus {
public:
    PrivateBus()
    {
        if (m_daemon.waitForOutput("unix:", std::chrono::seconds(10)))
            address = QString::fromStdString(m_daemon.out()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString& name : { QStringLiteral("service"), QStringLiteral("client") })
            QDBusConnection::disconnectFromBus(name);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QString address;

private:
    testing::ChildProcess m_daemon { { "/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address" },
        {} };
};

// Until the service's answer to the last notice has come back.
bool answered(DesktopNotification& notification)
{
    return QTest::qWaitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return notification.findChildren<QDBusPendingCallWatcher*>().isEmpty();
        },
        10'000);
}

TEST(DesktopNotificationTest, ShowsACriticalNoticeThatTheNextReplaces)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("service"));
    FakeNotificationService fake;
    ASSERT_TRUE(service.registerObject(
        QStringLiteral("/org/freedesktop/Notifications"), &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));

    DesktopNotification notification(QDBusConnection::connectToBus(bus.address, QStringLiteral("client")));
    notification.show(QStringLiteral("Over range"), QStringLiteral("Tilt 57.3 at 14:02:11"));
    ASSERT_TRUE(answered(notification));
    notification.show(QStringLiteral("Over range"), QStringLiteral("Tilt 61 at 14:05:00"));
    ASSERT_TRUE(answered(notification));

    ASSERT_EQ(fake.shown.size(), 2U);
    EXPECT_EQ(fake.shown[0].replaces, 0U);
    EXPECT_EQ(fake.shown[0].summary, QStringLiteral("Over range"));
    EXPECT_EQ(fake.shown[0].body, QStringLiteral("Tilt 57.3 at 14:02:11"));
    EXPECT_EQ(fake.shown[0].hints.value(QStringLiteral("urgency")).toInt(), 2);
    EXPECT_EQ(fake.shown[1].replaces, 41U) << "the second notice takes the first one's place";
}

TEST(DesktopNotificationTest, ABusWithoutTheServiceOrNoBusShowsNothingAndDoesNotStall)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    DesktopNotification noService(QDBusConnection::connectToBus(bus.address, QStringLiteral("client")));
    noService.show(QStringLiteral("Over range"), QString());
    EXPECT_TRUE(answered(noService)) << "the error comes back as an answer";

    DesktopNotification noBus(QDBusConnection(QStringLiteral("no such connection")));
    noBus.show(QStringLiteral("Over range"), QString());
    EXPECT_TRUE(noBus.findChildren<QDBusPendingCallWatcher*>().isEmpty());
}

} // namespace
} // namespace marlume::qt

#include "qt_desktop_notification_test.moc"
