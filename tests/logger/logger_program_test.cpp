#include "support/case_name.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace marlume::logger {
namespace {

using namespace std::chrono_literals;

const std::string kHeader
    = "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n";

testing::ChildProcess runLogger(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), MARLUME_LOGGER_EXECUTABLE);
    return testing::ChildProcess(arguments, { { "MARLUME_TILT_PORTS", std::nullopt } });
}

using testing::fileContents;

struct ShortRunCase {
    std::string name;
    std::vector<std::string> arguments;
    int status;
    std::string outStart; // standard output begins with this
    std::string errMention; // standard error holds this; empty: it stays empty
};

class LoggerShortRunTest : public ::testing::TestWithParam<ShortRunCase> { };

TEST_P(LoggerShortRunTest, EndsAtOnce)
{
    testing::ChildProcess logger = runLogger(GetParam().arguments);
    EXPECT_EQ(logger.waitForExit(30s), GetParam().status) << logger.err();
    EXPECT_TRUE(logger.out().starts_with(GetParam().outStart)) << logger.out();
    if (GetParam().errMention.empty()) {
        EXPECT_EQ(logger.err(), "");
    } else {
        EXPECT_NE(logger.err().find(GetParam().errMention), std::string::npos) << logger.err();
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, LoggerShortRunTest,
    ::testing::ValuesIn(std::vector<ShortRunCase> {
        { "Version", { "--version" }, 0, "marlume-tilt-logger 1.0.2\n", "" },
        { "Help", { "--help" }, 0, "Usage: marlume-tilt-logger", "" },
        { "UnknownOption", { "--frobnicate" }, 2, "", "unknown option '--frobnicate'; see --help" },
        { "CaptureWithoutFile", { "--capture" }, 2, "", "'--capture' needs a value" },
        { "CaptureThatCannotBeCreated", { "--ports", "sim", "--capture", "/nonexistent-folder/run.csv" }, 2,
            "", "Cannot create \"run.csv\": No such file or directory" },
    }),
    testing::CaseName());

// A sensor on a pseudo-terminal: port 1 has no device, port 2 is the terminal.
TEST(LoggerProgramTest, FindsTheSensorOnAPseudoTerminalAndEndsCleanlyOnSigterm)
{
    termios raw {};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B19200);
    int master = -1;
    int slave = -1;
    std::array<char, 128> name {};
    ASSERT_EQ(openpty(&master, &slave, name.data(), &raw, nullptr), 0);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    testing::ChildProcess logger = runLogger({ "--ports", std::string(",") + name.data() });
    const std::string sentence = "12,1.5,2.5\r\n";
    const auto sensor = [&] { static_cast<void>(::write(master, sentence.data(), sentence.size())); };
    EXPECT_TRUE(logger.waitForOutput("Ready", 20s, sensor)) << logger.out() << logger.err();
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);

    const std::string out = logger.out();
    EXPECT_NE(out.find(" Searching\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Searching", out.find("Searching") + 1), std::string::npos) << "one line per search";
    EXPECT_EQ(logger.err(), "");
    ::close(master);
    ::close(slave);
}

// The simulated sensor raises CTS nine seconds after the start, for three seconds.
TEST(LoggerProgramTest, SigtermDuringAnEventLeavesTheFileWithItsEndedEventsOnly)
{
    testing::TemporaryFolder folder;
    const std::filesystem::path capture = folder.path() / "run.csv";
    testing::ChildProcess logger = runLogger({ "--ports", "sim", "--capture", capture.string() });
    ASSERT_TRUE(logger.waitForOutput("Integrating", 30s)) << logger.out() << logger.err();
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_EQ(fileContents(capture), kHeader) << "the event in progress is not written";
    EXPECT_EQ(logger.err(), "");
}

} // namespace
} // namespace marlume::logger
