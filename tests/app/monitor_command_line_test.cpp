#include "common/version.h"
#include "support/case_name.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace marlume::app {
namespace {

struct Outcome {
    int status = -1; // the exit status; -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

// Runs the built monitor without a display (and without an offscreen platform to fall back on), so that
// opening a window would fail it.
Outcome runMonitor(const std::vector<std::string>& arguments, const std::string& portsVariable)
{
    std::vector<std::string> argv { MARLUME_MONITOR_EXECUTABLE };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    testing::ChildProcess monitor(argv,
        { { "DISPLAY", std::nullopt }, { "WAYLAND_DISPLAY", std::nullopt },
            { "QT_QPA_PLATFORM", std::nullopt }, { "MARLUME_TILT_PORTS", portsVariable } });
    // Should the program hang, it is stopped long after any normal run would have ended.
    const std::optional<int> status = monitor.waitForExit(std::chrono::seconds(60));
    return { status.value_or(-1), monitor.out(), monitor.err() };
}

struct RunCase {
    std::string name;
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::vector<std::string> errMentions; // each must appear in the one line on stderr; none: no check
};

class MonitorCommandLineTest : public ::testing::TestWithParam<RunCase> { };

TEST_P(MonitorCommandLineTest, Runs)
{
    const Outcome outcome = runMonitor(GetParam().arguments, ",silent,sim,/dev/ttyUSB7");
    EXPECT_EQ(outcome.status, GetParam().status) << outcome.err;
    EXPECT_EQ(outcome.out, GetParam().out);
    if (!GetParam().errMentions.empty()) {
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        for (const std::string& mention : GetParam().errMentions)
            EXPECT_NE(outcome.err.find(mention), std::string::npos) << outcome.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, MonitorCommandLineTest,
    ::testing::Values(RunCase { "list_ports_prints_the_variable_map_without_a_display", { "--list-ports" }, 0,
                          "port  1:               (no device)\n"
                          "port  2: silent        (built in)\n"
                          "port  3: sim           (built in)\n"
                          "port  4: /dev/ttyUSB7  (missing)\n"
                          "port  5:               (no device)\n"
                          "port  6:               (no device)\n"
                          "port  7:               (no device)\n"
                          "port  8:               (no device)\n"
                          "port  9:               (no device)\n"
                          "port 10:               (no device)\n"
                          "port 11:               (no device)\n"
                          "port 12:               (no device)\n"
                          "port 13:               (no device)\n"
                          "port 14:               (no device)\n"
                          "port 15:               (no device)\n"
                          "port 16:               (no device)\n",
                          {} },
        RunCase { "unknown_option_refused_with_status_2", { "--frobnicate" }, 2, "",
            { "'--frobnicate'", "--help" } },
        RunCase {
            "unknown_option_refused_before_listing", { "--list-ports", "-x" }, 2, "", { "'-x'", "--help" } }),
    testing::CaseName {});

TEST(MonitorCommandLine, HelpAndTheVersionNeedNoDisplay)
{
    const Outcome help = runMonitor({ "--help" }, "");
    EXPECT_EQ(help.status, 0) << help.err;
    for (const char* mention :
        { "Usage: marlume-tilt-monitor", "--list-ports", "--version", "MARLUME_TILT_PORTS" })
        EXPECT_NE(help.out.find(mention), std::string::npos) << mention << '\n' << help.out;
    const Outcome version = runMonitor({ "--version" }, "");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "marlume-tilt-monitor " + std::string(common::kVersion) + "\n");
}

} // namespace
} // namespace marlume::app
