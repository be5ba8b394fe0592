#include "app/qt_main_form.h"
#include "platform/system_clock.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_serial_control.h"

#include "support/fake_settings_store.h"
#include "support/qt_window_services.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <ctime>
#include <functional>

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

// The whole link through a real pseudo-terminal and QSerialPort: the window finds the sensor on port 2,
// shows its readings, and searches again once the sensor's end of the line has gone.
TEST(MainFormPtyTest, FindsSensorOnPseudoTerminalAndSearchesAgainWhenItGoes)
{
    int master = -1;
    int slave = -1;
    char slaveName[128] {};
    ASSERT_EQ(openpty(&master, &slave, slaveName, nullptr, nullptr), 0);
    termios raw {};
    ASSERT_EQ(tcgetattr(slave, &raw), 0);
    cfmakeraw(&raw);
    ASSERT_EQ(tcsetattr(slave, TCSANOW, &raw), 0);
    ASSERT_EQ(fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK), 0);

    const PortsVariable ports(QByteArray(",") + slaveName);
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
    QTimer statusWatch; // the search sets each status and processes events before the next
    QObject::connect(&statusWatch, &QTimer::timeout, &statusWatch, recordStatus);
    statusWatch.start(1);

    // The sensor: sentences back to back at 19200 baud, that is 19 characters every 10 ms.
    const std::string sentence = "12.0,1.5,2.5\r\n";
    std::size_t sent = 0;
    QTimer sensor;
    QObject::connect(&sensor, &QTimer::timeout, &sensor, [&] {
        std::string chunk;
        for (int i = 0; i < 19; ++i)
            chunk += sentence[sent++ % sentence.size()];
        ASSERT_EQ(write(master, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    });
    sensor.start(10);

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

    // The sensor's end of the line goes away.
    sensor.stop();
    ::close(master);
    EXPECT_TRUE(pump.runUntil([&state] { return !state.linkAlive; }, 2000));

    statuses.clear();
    pump.start({}, 1500);
    EXPECT_EQ(form.monitor().FindPort(), link::SearchResult::Ending);
    ASSERT_FALSE(statuses.isEmpty());
    for (const QString& status : statuses)
        EXPECT_TRUE(status.startsWith(QStringLiteral("Searching"))) << status.toStdString();
    ::close(slave);
}

} // namespace
} // namespace marlume::app
