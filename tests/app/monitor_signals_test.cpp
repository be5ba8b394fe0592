#include "support/case_name.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

namespace marlume::app {
namespace {

using namespace std::chrono_literals;

// The monitor on the offscreen platform with the simulated sensor, its settings in the child's folder.
class RunningMonitor {
public:
    RunningMonitor()
        : m_monitor({ MARLUME_MONITOR_EXECUTABLE },
            { { "QT_QPA_PLATFORM", "offscreen" }, { "MARLUME_TILT_PORTS", "sim" },
                { "MARLUME_STARTUP_PROBE", "1" }, { "XDG_CONFIG_HOME", m_config.path().string() } })
    {
    }

    testing::ChildProcess& process() { return m_monitor; }

    [[nodiscard]] std::string savedSettings() const
    {
        return testing::fileContents(m_config.path() / "Marlume Tilt Monitor.conf");
    }

private:
    testing::TemporaryFolder m_config; // the settings folder
    testing::ChildProcess m_monitor;
};

struct SignalCase {
    std::string name;
    int signal;
};

class MonitorSignalsTest : public ::testing::TestWithParam<SignalCase> { };

// Ended as by its close box: the placement is saved, and the program exits normally.
TEST_P(MonitorSignalsTest, EndLikeTheCloseBox)
{
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.process().waitForError("window shown", 10s)) << monitor.process().err();
    monitor.process().signal(GetParam().signal);
    EXPECT_EQ(monitor.process().waitForExit(10s), 0) << monitor.process().err();
    const std::string settings = monitor.savedSettings();
    EXPECT_NE(settings.find("[Velmora]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Width="), std::string::npos) << settings;
}

INSTANTIATE_TEST_SUITE_P(Signals, MonitorSignalsTest,
    ::testing::Values(SignalCase { "Terminate", SIGTERM }, SignalCase { "Interrupt", SIGINT },
        SignalCase { "HangUp", SIGHUP }),
    testing::CaseName());

TEST(MonitorSignals, BrokenPipeDoesNotEndTheProgram)
{
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.process().waitForError("window shown", 10s)) << monitor.process().err();
    monitor.process().signal(SIGPIPE);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(monitor.process().running());
    monitor.process().signal(SIGTERM);
    EXPECT_EQ(monitor.process().waitForExit(10s), 0);
}

} // namespace
} // namespace marlume::app
