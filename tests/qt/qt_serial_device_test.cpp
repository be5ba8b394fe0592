#include "platform/port_control.h"
#include "qt/qt_serial_device.h"

#include "support/case_name.h"
#include "support/fake_clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <utility>

#include <fcntl.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace marlume::qt {
namespace {

using testing::FakeClock;

// A pseudo-terminal, reached by its own path and by links in a temporary folder, as a /dev/serial/by-id
// link leads to a ttyUSB node.
class PseudoTerminal final {
public:
    PseudoTerminal()
    {
        char name[128] {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios raw {};
        if (tcgetattr(m_slave, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(m_slave, TCSANOW, &raw);
        }
        m_path = name;
    }
    ~PseudoTerminal()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The slave's own path; empty when no pseudo-terminal could be had.
    [[nodiscard]] const std::string& path() const { return m_path; }
    // The sensor's end sends these characters.
    [[nodiscard]] bool send(std::string_view text) const
    {
        return ::write(m_master, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    // Another reader of the line takes whatever waits, before the device can.
    void takeWaiting() const
    {
        std::array<char, 256> taken {};
        const int flags = fcntl(m_slave, F_GETFL);
        fcntl(m_slave, F_SETFL, flags | O_NONBLOCK);
        while (::read(m_slave, taken.data(), taken.size()) > 0) { }
        fcntl(m_slave, F_SETFL, flags);
    }
    // The sensor's end goes away, as a pulled adapter does.
    void hangUp() { ::close(std::exchange(m_master, -1)); }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// Port 1 of a control leads to one path.
platform::PortControl controlFor(const std::string& path, const FakeClock& clock)
{
    return platform::PortControl { [path] { return platform::parsePortMap(path); },
        [](const platform::PortEntry& entry) -> std::unique_ptr<platform::SerialDevice> {
            return std::make_unique<QtSerialDevice>(QString::fromStdString(entry.path));
        },
        clock };
}

enum class Path { Own, Link, OtherLink };

struct SharedDeviceCase {
    std::string name;
    Path first;
    Path second;
};

class SharedDeviceTest : public ::testing::TestWithParam<SharedDeviceCase> { };

TEST_P(SharedDeviceTest, OpensForOneControlAtATime)
{
    const PseudoTerminal terminal;
    ASSERT_FALSE(terminal.path().empty());
    const QTemporaryDir links;
    ASSERT_TRUE(links.isValid());
    const auto pathOf = [&](Path path) {
        switch (path) {
        case Path::Link:
            return links.filePath(QStringLiteral("sensor")).toStdString();
        case Path::OtherLink:
            return links.filePath(QStringLiteral("usb-Marlume_Tilt-if00")).toStdString();
        case Path::Own:
            break;
        }
        return terminal.path();
    };
    for (const Path link : { Path::Link, Path::OtherLink })
        ASSERT_TRUE(
            QFile::link(QString::fromStdString(terminal.path()), QString::fromStdString(pathOf(link))));
    const FakeClock clock;
    platform::PortControl first = controlFor(pathOf(GetParam().first), clock);
    platform::PortControl second = controlFor(pathOf(GetParam().second), clock);

    ASSERT_TRUE(first.setPortOpen(true));
    EXPECT_FALSE(second.setPortOpen(true)) << "the device is held by the first";
    EXPECT_FALSE(second.PortOpen());
    ASSERT_TRUE(first.setPortOpen(false));
    EXPECT_TRUE(second.setPortOpen(true)) << "the first has let go";
    EXPECT_FALSE(first.setPortOpen(true)) << "now held by the second";
    ASSERT_TRUE(second.setPortOpen(false));
}

INSTANTIATE_TEST_SUITE_P(Paths, SharedDeviceTest,
    ::testing::Values(SharedDeviceCase { "link_while_own_path_open", Path::Own, Path::Link },
        SharedDeviceCase { "own_path_while_link_open", Path::Link, Path::Own },
        SharedDeviceCase { "two_links", Path::Link, Path::OtherLink }),
    testing::CaseName {});

// Before the device reads what woke it, someone else has taken it, so its read finds nothing.
class TakenBeforeTheDeviceReads final : public QObject {
public:
    explicit TakenBeforeTheDeviceReads(const PseudoTerminal& terminal)
        : m_terminal(terminal)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~TakenBeforeTheDeviceReads() override { QCoreApplication::instance()->removeEventFilter(this); }
    TakenBeforeTheDeviceReads(const TakenBeforeTheDeviceReads&) = delete;
    TakenBeforeTheDeviceReads& operator=(const TakenBeforeTheDeviceReads&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::SockAct)
            m_terminal.takeWaiting();
        return false;
    }

private:
    const PseudoTerminal& m_terminal;
};

TEST(QtSerialDeviceTest, AReadThatFoundNothingLeavesTheDeviceListeningForAHangUp)
{
    PseudoTerminal terminal;
    ASSERT_FALSE(terminal.path().empty());
    QtSerialDevice device(QString::fromStdString(terminal.path()));
    ASSERT_TRUE(device.open({ 19200 }));
    int wakes = 0;
    ASSERT_TRUE(device.notifyActivity([&wakes] { ++wakes; }));
    {
        const TakenBeforeTheDeviceReads takenFirst(terminal);
        ASSERT_TRUE(terminal.send("1,2,3\n"));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    EXPECT_EQ(device.available(), 0U) << "still present";
    // Silent from here on: nothing but the device itself may tell of the hang-up.
    wakes = 0;
    terminal.hangUp();
    QElapsedTimer waited;
    waited.start();
    while (wakes == 0 && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GT(wakes, 0) << "the hang-up went unnoticed";
    EXPECT_FALSE(device.available());
}

TEST(QtSerialDeviceTest, PseudoTerminalCountsNoCtsChanges)
{
    const PseudoTerminal terminal;
    ASSERT_FALSE(terminal.path().empty());
    QtSerialDevice device(QString::fromStdString(terminal.path()));
    ASSERT_TRUE(device.open(platform::LineSettings {}));

    EXPECT_EQ(device.ctsChangeCount(), std::nullopt) << "its CTS level is watched instead";
    device.close();
}

} // namespace
} // namespace marlume::qt
