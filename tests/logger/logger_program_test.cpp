#include "support/case_name.h"
#include "support/child_process.h"
#include "support/pty_sensor.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

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
            "", "Cannot create \"/nonexistent-folder/run.csv\": No such file or directory" },
    }),
    testing::CaseName());

// How many printed lines end in this text.
std::size_t linesOf(const std::string& out, const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t at = out.find(' ' + text + '\n'); at != std::string::npos;
         at = out.find(' ' + text + '\n', at + 1))
        ++count;
    return count;
}

// Port 1 has no device; port 2 is a link to a pseudo-terminal, as /dev/serial/by-id links lead to adapters.
TEST(LoggerProgramTest, FindsTheSensorRelinksWhenItHangsUpAndEndsCleanlyOnSigterm)
{
    const testing::TemporaryFolder folder;
    auto first = std::make_unique<testing::PtySensor>();
    // Named after its first terminal: QSerialPort locks a port by its name, for every process at once.
    const std::string link
        = folder.pathOf("sensor-" + std::filesystem::path(first->path).filename().string());
    ASSERT_EQ(::symlink(first->path.c_str(), link.c_str()), 0);

    testing::ChildProcess logger = runLogger({ "--ports", "," + link });
    EXPECT_TRUE(logger.waitForOutput("Ready", 20s, [&] { first->send("12,1.5,2.5\r\n"); }))
        << logger.out() << logger.err();

    // The next sensor comes behind the same path (linked first, so that the path never leads to a
    // terminal another test has been given), and the far end of the first hangs up.
    const testing::PtySensor second;
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink(second.path.c_str(), link.c_str()), 0);
    first.reset();
    EXPECT_TRUE(logger.waitForOutput("Link lost", 5s)) << logger.out();
    for (const auto deadline = std::chrono::steady_clock::now() + 20s;
         linesOf(logger.out(), "Ready on port 2 (" + link + ")") < 2
         && std::chrono::steady_clock::now() < deadline;) {
        second.send("99,3.5,4.5\r\n");
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(linesOf(logger.out(), "Ready on port 2 (" + link + ")"), 2U)
        << "the next sensor was not found:\n"
        << logger.out();

    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_EQ(linesOf(logger.out(), "Searching"), 2U) << "one line per search:\n" << logger.out();
    EXPECT_EQ(logger.err(), "");
}

TEST(LoggerProgramTest, SaysOnceASearchWhyEachPortCannotBeOpened)
{
    testing::ChildProcess logger = runLogger({ "--ports", "/dev/ttyUSB-none,/,/dev/null,sim" });
    EXPECT_TRUE(logger.waitForOutput("Ready", 20s)) << logger.out() << logger.err();
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    const std::string err = logger.err();
    for (const char* reason : { "Port 1: /dev/ttyUSB-none: missing", "Port 2: /: not a serial device",
             "Port 3: /dev/null: not a serial device" })
        EXPECT_EQ(linesOf(err, reason), 1U) << reason << " once, though every round tries the port:\n" << err;
}

// A recorded sensor whose event starts two seconds in and lasts a minute.
TEST(LoggerProgramTest, SigtermDuringAnEventLeavesTheFileWithItsEndedEventsOnly)
{
    testing::TemporaryFolder folder;
    const std::filesystem::path capture = folder.path() / "run.csv";
    const std::string recording = folder.pathOf("minute.txt");
    const std::string raw = folder.pathOf("raw.txt");
    std::string log = "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n";
    for (int tenth = 0; tenth < 700; ++tenth) {
        std::array<char, 32> time {};
        std::snprintf(time.data(), time.size(), "2008-08-18T14:%02d:%02d.%d00", 10 + tenth / 600,
            tenth / 10 % 60, tenth % 10);
        log += std::string(time.data()) + ",12,1,2,2.2," + (tenth >= 20 ? "1" : "") + ",12\r\n";
    }
    ASSERT_TRUE(testing::writeFile(recording, log));
    testing::ChildProcess logger
        = runLogger({ "--ports", "replay:" + recording, "--capture", capture.string(), "--raw", raw });
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (fileContents(raw).find(",,,,,1,12\r\n") == std::string::npos
        && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_NE(fileContents(raw).find(",,,,,1,12\r\n"), std::string::npos) << "the event has started";
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_EQ(fileContents(capture), kHeader) << "the event in progress is not written";
    EXPECT_EQ(logger.err(), "");
}

} // namespace
} // namespace marlume::logger
