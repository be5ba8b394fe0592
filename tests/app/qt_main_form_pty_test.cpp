#include "app/qt_main_form.h"
#include "platform/system_clock.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_serial_control.h"

#include "support/fake_settings_store.h"
#include "support/qt_stale_errno.h"
#include "support/qt_window_services.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace marlume::app {
using namespace platform;
namespace {

// Points the port map at the given list for one test and puts the variable back afterwards.
class PortsVariable final {
public:
    explicit PortsVariable(const QByteArray& list)
        : m_wasSet(qEnvironmentVariableIsSet(kName))
        , m_old(qgetenv(kName))
    {
        qputenv(kName, list);
    }
    ~PortsVariable()
    {
        if (m_wasSet)
            qputenv(kName, m_old);
        else
            qunsetenv(kName);
    }
    PortsVariable(const PortsVariable&) = delete;
    PortsVariable& operator=(const PortsVariable&) = delete;

private:
    static constexpr char kName[] = "MARLUME_TILT_PORTS";
    bool m_wasSet;
    QByteArray m_old;
};

// Qt's event processing, stopped when a condition holds or, should the link misbehave, after a time limit.
class BoundedPump final : public EventPump {
public:
    [[nodiscard]] bool processEvents() override
    {
        return m_pump.processEvents() && !(m_stopWhen && m_stopWhen()) && !m_limit.hasExpired(m_limitMs);
    }
    [[nodiscard]] bool processWaitingEvents() override { return m_pump.processWaitingEvents(); }
    void requestEnd() override { m_pump.requestEnd(); }
    // Processes events until stopWhen holds or limitMs have passed; true when stopWhen held.
    bool runUntil(std::function<bool()> stopWhen, qint64 limitMs)
    {
        start(stopWhen, limitMs);
        while (processEvents()) { }
        return stopWhen();
    }
    void start(std::function<bool()> stopWhen, qint64 limitMs)
    {
        m_stopWhen = std::move(stopWhen);
        m_limitMs = limitMs;
        m_limit.start();
    }

private:
    qt::QtEventPump m_pump;
    std::function<bool()> m_stopWhen;
    QElapsedTimer m_limit;
    qint64 m_limitMs = 0;
};

// A sensor at the far end of a pseudo-terminal in raw mode: sentences back to back at 19200 baud, that is
// 19 characters every 10 ms, while the event loop runs.
class PtySensor final {
public:
    explicit PtySensor(std::string sentence)
        : m_sentence(std::move(sentence))
    {
        char name[128] {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios raw {};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = name;
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            std::string chunk;
            for (int i = 0; i < 19; ++i)
                chunk += m_sentence[m_sent++ % m_sentence.size()];
            static_cast<void>(::write(m_master, chunk.data(), chunk.size()));
        });
        m_timer.start(10);
    }
    ~PtySensor()
    {
        hangUp();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtySensor(const PtySensor&) = delete;
    PtySensor& operator=(const PtySensor&) = delete;

    // The slave's path; empty when no pseudo-terminal could be had.
    [[nodiscard]] const std::string& path() const { return m_path; }
    // The sensor's end of the line goes away, as a pulled adapter does.
    void hangUp()
    {
        m_timer.stop();
        if (m_master >= 0)
            ::close(std::exchange(m_master, -1));
    }

private:
    std::string m_sentence;
    std::size_t m_sent = 0;
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    QTimer m_timer;
};

// The whole link through real pseudo-terminals and QSerialPort: the window finds the sensor on port 2,
// shows its readings, loses the link when the sensor's end hangs up (whatever errno its event loop left),
// and finds the next sensor put behind the same path.
TEST(MainFormPtyTest, FindsTheSensorLosesItWhenItHangsUpAndFindsTheNextBehindThePath)
{
    const QTemporaryDir folder;
    auto first = std::make_unique<PtySensor>("12.0,1.5,2.5\r\n");
    ASSERT_FALSE(first->path().empty());
    // Named after its first terminal: QSerialPort locks a port by its name, for every process at once.
    const std::string link = folder
                                 .filePath(QStringLiteral("sensor-")
                                     + QFileInfo(QString::fromStdString(first->path())).fileName())
                                 .toStdString();
    ASSERT_EQ(::symlink(first->path().c_str(), link.c_str()), 0);

    const PortsVariable ports(QByteArray(",") + QByteArray::fromStdString(link));
    const testing::StaleAgainInErrno staleErrno;
    qt::QtSerialControl serial;
    SystemClock clock;
    BoundedPump pump;
    testing::FakeSettingsStore settings;
    testing::QtWindowServices window;
    const link::LinkState& state = window.linkState;
    MainForm form(window.with(serial.control(), clock, pump), settings);
    const MainFormWidgets& c = form.controls();
    QStringList statuses; // as the window showed them whenever it handled events
    auto recordStatus = [&] {
        if (statuses.empty() || statuses.back() != c.StatusLabel->text())
            statuses.push_back(c.StatusLabel->text());
    };
    // The search sets each status and processes events before the next: seen on every pass of the loop.
    QTimer statusWatch;
    QObject::connect(&statusWatch, &QTimer::timeout, &statusWatch, recordStatus);
    statusWatch.start(0);

    pump.start({}, 5000);
    ASSERT_EQ(form.monitor().FindPort(), link::SearchResult::Found);
    recordStatus();
    EXPECT_EQ(serial.control().CommPort(), 2);
    // Port 1 has no device and costs no wait; port 2 shows its points for as long as its wait lasts.
    EXPECT_EQ(statuses, QStringList({ QStringLiteral("Searching.."), QStringLiteral("Ready") }));
    ASSERT_TRUE(pump.runUntil([&c] { return c.PitchLabel->text() == QStringLiteral("1.5"); }, 2000));
    EXPECT_EQ(c.HeadingLabel->text(), QStringLiteral("12"));
    EXPECT_EQ(c.RollLabel->text(), QStringLiteral("2.5"));
    EXPECT_EQ(c.TiltLabel->text(), QStringLiteral("2.9"));
    EXPECT_TRUE(state.linkAlive);

    // Another sensor behind the same path, as a replugged adapter's link leads to a new node; linked
    // before the first goes, so that the path never leads to a terminal another test has been given.
    const PtySensor second("99.0,3.5,4.5\r\n");
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink(second.path().c_str(), link.c_str()), 0);
    first->hangUp();
    ASSERT_TRUE(pump.runUntil([&state] { return !state.linkAlive; }, 2000)) << "stuck on a dead port";
    statuses.clear();
    pump.start({}, 5000);
    ASSERT_EQ(form.monitor().FindPort(), link::SearchResult::Found);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_TRUE(statuses.front().startsWith(QStringLiteral("Searching"))) << statuses.front().toStdString();
    ASSERT_TRUE(pump.runUntil([&c] { return c.HeadingLabel->text() == QStringLiteral("99"); }, 2000));
    EXPECT_EQ(c.PitchLabel->text(), QStringLiteral("3.5"));
}

} // namespace
} // namespace marlume::app
