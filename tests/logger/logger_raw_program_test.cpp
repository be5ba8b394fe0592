#include "common/raw_log_format.h"
#include "logger/logger_options.h"
#include "support/case_name.h"
#include "support/child_process.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace marlume::logger {
namespace {

using namespace std::chrono_literals;
using testing::fileContents;

struct RawOptionCase {
    std::string name;
    std::vector<std::string_view> arguments;
    std::optional<std::string> rawPath;
    std::string refusal;
};

class RawOptionTest : public ::testing::TestWithParam<RawOptionCase> { };

TEST_P(RawOptionTest, ReadsTheRawLogsFile)
{
    const LoggerCommand command = parseLoggerArguments(GetParam().arguments);
    EXPECT_EQ(command.options.rawPath, GetParam().rawPath);
    EXPECT_EQ(command.refusal, GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(Options, RawOptionTest,
    ::testing::ValuesIn(std::vector<RawOptionCase> {
        { "Separate", { "--raw", "raw.txt" }, "raw.txt", "" },
        { "WithEquals", { "--raw=/data/raw.txt", "--capture", "c.csv" }, "/data/raw.txt", "" },
        { "NoValue", { "--raw" }, std::nullopt,
            "marlume-tilt-logger: option '--raw' needs a value; see --help" },
        { "EmptyValue", { "--raw=" }, std::nullopt,
            "marlume-tilt-logger: option '--raw' needs a file name; see --help" },
    }),
    testing::CaseName());

testing::ChildProcess runLogger(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), MARLUME_LOGGER_EXECUTABLE);
    return testing::ChildProcess(arguments, { { "MARLUME_TILT_PORTS", std::nullopt } });
}

// The simulated sensor sends 10 to 20 readings a second; the logger keeps each of them.
TEST(LoggerRawProgramTest, KeepsEveryReadingOfTheSimulatedSensorAndReplaysTheLog)
{
    testing::TemporaryFolder folder;
    const std::string raw = folder.pathOf("raw.txt");
    {
        testing::ChildProcess logger = runLogger({ "--ports", "sim", "--raw", raw });
        ASSERT_TRUE(logger.waitForOutput("Ready", 30s)) << logger.out() << logger.err();
        ASSERT_TRUE(logger.waitForOutput("Raw log to \"" + raw + "\"", 5s)) << logger.out();
        std::this_thread::sleep_for(1500ms); // a flush at least
        logger.signal(SIGTERM);
        EXPECT_EQ(logger.waitForExit(10s), 0);
        EXPECT_EQ(logger.err(), "");
    }
    std::istringstream lines(fileContents(raw));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r");
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3},,,,,,0\r)")))
        << "the record's state at the start: " << line;
    const std::regex reading(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(,-?[0-9.]+,-?[0-9.]+,-?[0-9.]+,[0-9.]+|,,,,),\d*,-?\d+\r)");
    int readings = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, reading)) << line;
        readings += line.find(",,,,") == std::string::npos ? 1 : 0;
    }
    EXPECT_GE(readings, 10) << "the search's readings and at least a second's more";

    // The log as a sensor: the logger finds it and plays it to its end.
    testing::ChildProcess replay = runLogger({ "--ports", ",replay:" + raw + "@4x" });
    EXPECT_TRUE(replay.waitForOutput(
        "Port 2: Replay of \"" + raw + "\" finished: " + std::to_string(readings) + " readings", 30s))
        << replay.out() << replay.err();
    replay.signal(SIGTERM);
    EXPECT_EQ(replay.waitForExit(10s), 0);
    EXPECT_NE(replay.out().find(" Ready on port 2 (replay:" + raw + "@4x)\n"), std::string::npos)
        << replay.out();
}

TEST(LoggerRawProgramTest, ABadReplayFileIsToldOnTheErrorOutputAndTheSearchGoesOn)
{
    testing::TemporaryFolder folder;
    const std::string notALog = folder.pathOf("run.csv");
    ASSERT_TRUE(testing::writeFile(notALog, "Number,Date, Start time\r\n1,2,3\r\n"));
    testing::ChildProcess logger = runLogger({ "--ports", "replay:" + notALog + ",sim" });
    EXPECT_TRUE(
        logger.waitForError("Port 1: Cannot replay \"" + notALog + "\": it is no raw readings log", 20s))
        << logger.err();
    EXPECT_TRUE(logger.waitForOutput("Ready", 30s))
        << "the simulated sensor on port 2 is found" << logger.out();
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    const std::string err = logger.err();
    EXPECT_EQ(err.find("Cannot replay"), err.rfind("Cannot replay")) << "told once, not every round:\n"
                                                                     << err;
}

// Far longer than the lines between the event loop's turns, with nothing else for the loop to do.
TEST(LoggerRawProgramTest, ReprocessesALongLogToItsEndWithNothingElsePending)
{
    testing::TemporaryFolder folder;
    const std::string log = folder.pathOf("long.txt");
    std::string lines(common::kRawLogHeader);
    constexpr int kReadings = 40'000;
    for (int reading = 0; reading < kReadings; ++reading) {
        const auto at = common::localDateTime(common::localMilliseconds({ 2008, 8, 18, 14, 0, 0, 0 })
            + static_cast<std::int64_t>(reading) * 10);
        const std::int32_t event = reading % 1000 < 500 ? 0 : reading / 1000 + 1;
        if (reading % 1000 == 500)
            lines += common::rawLogMarkText({ at, event, 10 });
        lines += common::rawLogLineText({ at, 10, 1, 2, 2.2F, event, 10 });
    }
    ASSERT_TRUE(testing::writeFile(log, lines));
    // No output file either, whose outcomes would keep the loop busy.
    testing::ChildProcess logger = runLogger({ "--reprocess", log });
    EXPECT_EQ(logger.waitForExit(60s), 0) << logger.out() << logger.err();
    EXPECT_NE(logger.out().find("Ended: 40 events, 40000 readings"), std::string::npos) << logger.out();
}

struct RefusedRunCase {
    std::string name;
    std::vector<std::string> arguments; // "keep.csv" holds a file's contents; "rec.txt" a raw log
    std::string message;
};

class RefusedRunTest : public ::testing::TestWithParam<RefusedRunCase> { };

TEST_P(RefusedRunTest, EmptiesNoOutputFileBeforeItIsRefused)
{
    testing::TemporaryFolder folder;
    ASSERT_TRUE(testing::writeFile(folder.pathOf("keep.csv"), "precious\n"));
    ASSERT_TRUE(testing::writeFile(folder.pathOf("rec.txt"),
        "Time,Heading,Pitch,Roll,Tilt,Event\r\n2008-08-18T14:02:11.250,1,2,3,3.6,\r\n"));
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(argument.starts_with("--") ? argument : folder.pathOf(argument));
    testing::ChildProcess logger = runLogger(arguments);
    EXPECT_EQ(logger.waitForExit(30s), 2);
    EXPECT_NE(logger.err().find(GetParam().message), std::string::npos) << logger.err();
    EXPECT_EQ(fileContents(folder.pathOf("keep.csv")), "precious\n");
}

INSTANTIATE_TEST_SUITE_P(Runs, RefusedRunTest,
    ::testing::ValuesIn(std::vector<RefusedRunCase> {
        { "LogMissing", { "--reprocess", "missing.txt", "--capture", "keep.csv" },
            "missing.txt\": No such file or directory" },
        { "LogIsNoRawLog", { "--reprocess", "keep.csv", "--raw", "new.txt" }, "it is no raw readings log" },
        { "OneFileForTwoOutputs",
            { "--reprocess", "rec.txt", "--capture", "keep.csv", "--raw", "./keep.csv" },
            "keep.csv\": it is given twice, for --capture and --raw" },
    }),
    testing::CaseName());

struct CreateFailureCase {
    std::string name;
    std::string input; // --ports replay:... or --reprocess
    std::string option; // --raw or --capture
    std::string path; // in the test's folder, where a recording is replayed as port 1
    std::string message;
};

class OutputCreateFailureTest : public ::testing::TestWithParam<CreateFailureCase> { };

TEST_P(OutputCreateFailureTest, EndsWithStatusTwoAndLeavesTheRecordingAlone)
{
    testing::TemporaryFolder folder;
    const std::string recording = folder.pathOf("rec.txt");
    const std::string contents
        = "Time,Heading,Pitch,Roll,Tilt,Event\r\n2008-08-18T14:02:11.250,1,2,3,3.6,\r\n";
    ASSERT_TRUE(testing::writeFile(recording, contents));
    testing::ChildProcess logger
        = runLogger({ GetParam().input, (GetParam().input == "--ports" ? "replay:" : "") + recording,
            GetParam().option, folder.pathOf(GetParam().path) });
    EXPECT_EQ(logger.waitForExit(30s), 2);
    EXPECT_NE(logger.err().find(GetParam().message), std::string::npos) << logger.err();
    EXPECT_EQ(fileContents(recording), contents);
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputCreateFailureTest,
    ::testing::ValuesIn(std::vector<CreateFailureCase> {
        { "NoFolder", "--ports", "--raw", "gone/raw.txt", "raw.txt\": No such file or directory" },
        { "RawLogOverItsRecording", "--ports", "--raw", "rec.txt", "rec.txt\": this run replays it" },
        { "CaptureOverTheRecording", "--ports", "--capture", "./rec.txt", "rec.txt\": this run replays it" },
        { "RawLogOverTheLogReprocessed", "--reprocess", "--raw", "rec.txt",
            "rec.txt\": this run replays it" },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::logger
