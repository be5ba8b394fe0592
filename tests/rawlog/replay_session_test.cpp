#include "logger/logger.h"
#include "platform/local_output_files.h"
#include "platform/port_control.h"
#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_serial_control.h"
#include "support/fake_ticker.h"
#include "support/monitor_on_fakes.h"
#include "support/posted_tasks.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlume::rawlog {
namespace {

using testing::fileContents;

// Passes of 10 ms; the loops end after this many. The sensor's CTS is high for 30 passes in every 80
// from pass 150 on, its edges half a second from any whole second, and it rises again on the last
// pass: three events end, a fourth is cut off.
constexpr int kLivePasses = 390;

std::string sentenceAt(int pass)
{
    // Headings with tenths and across north, so that the sums depend on every digit.
    const double heading = 355.5 + (pass % 23) * 0.7;
    const double pitch = (pass % 13) * 0.5 - 3.0;
    const double roll = -2.0 + (pass % 5) * 0.3;
    std::ostringstream text;
    text << (heading >= 360 ? heading - 360 : heading) << ',' << pitch << ',' << roll << "\r\n";
    return text.str();
}

// Both sessions' event loop: each pass runs the tick due, then what the writer threads handed back.
struct Station {
    Station()
    {
        pump.onEvents = [this] {
            ++pass;
            if (beforeTick)
                beforeTick();
            if (ticker.pending())
                ticker.tick();
            else
                clock.advanceMilliseconds(10);
            captureFiles.waitUntilWritten();
            rawFiles.waitUntilWritten();
            statisticsFiles.waitUntilWritten();
            uiThread.runAll();
            if (pass == lastPass && logger)
                logger->stop();
            return true;
        };
    }

    int pass = 0;
    int lastPass = 0;
    std::function<void()> beforeTick;
    testing::FakeClock clock;
    testing::FakeEventPump pump;
    testing::FakeTicker ticker { clock };
    testing::FakeTicker rawFlushTicker {
        clock
    }; // never ticked: the log is written at event ends and at the end
    testing::PostedTasks uiThread;
    platform::LocalOutputFiles captureFiles { uiThread.poster() };
    platform::LocalOutputFiles rawFiles { uiThread.poster() };
    platform::LocalOutputFiles statisticsFiles { uiThread.poster() };
    link::LinkState linkState;
    logger::Logger* logger = nullptr;

    [[nodiscard]] monitor::MonitorServices services(platform::SerialControl& comPort)
    {
        return { linkState, comPort, clock, pump, ticker, captureFiles, rawFiles, rawFlushTicker,
            statisticsFiles };
    }
};

// The logger on a port map whose port 2 plays the log back, on a clock showing another day, until the
// replay has come to its end; returns what it printed.
std::string replayToCapture(const std::string& rawPath, const std::string& capturePath)
{
    Station replay;
    replay.clock.set({ 2026, 12, 9, 9, 30, 0, 0 });
    replay.lastPass = 100'000; // a deadline: the replay's end stops it long before
    platform::PortControl comPort([&] { return platform::parsePortMap(",replay:" + rawPath); },
        [](const platform::PortEntry&) { return nullptr; }, replay.clock);
    std::ostringstream out;
    std::ostringstream err;
    int finishedAt = 0;
    replay.beforeTick = [&] {
        if (finishedAt == 0 && out.str().find("Port 2: Replay of") != std::string::npos)
            finishedAt = replay.pass;
        if (finishedAt != 0 && replay.pass == finishedAt + 50)
            replay.logger->stop();
    };
    logger::LoggerOptions options;
    options.capturePath = capturePath;
    logger::Logger logger(replay.services(comPort), out, err, options);
    replay.logger = &logger;
    EXPECT_EQ(logger.run(), 0) << err.str();
    EXPECT_LT(replay.pass, replay.lastPass) << "the replay came to its end";
    EXPECT_NE(out.str().find("Port 2: Replay of \"" + rawPath + "\" finished"), std::string::npos)
        << out.str();
    return out.str() + err.str();
}

// The logger with --reprocess on a clock showing another day; its exit status, and its error output.
std::pair<int, std::string> reprocessToCapture(const std::string& rawPath, const std::string& capturePath,
    std::optional<std::string> statisticsPath = std::nullopt)
{
    Station reprocess;
    reprocess.clock.set({ 2026, 12, 9, 9, 30, 0, 0 });
    testing::FakeSerialControl comPort; // never opened
    std::ostringstream out;
    std::ostringstream err;
    logger::LoggerOptions options;
    options.capturePath = capturePath;
    options.reprocessPath = rawPath;
    options.statisticsPath = std::move(statisticsPath);
    logger::Logger logger(reprocess.services(comPort), out, err, options);
    const int status = logger.run();
    EXPECT_TRUE(comPort.openings.empty()) << "no port is searched";
    return { status, err.str() };
}

TEST(ReplaySessionTest, AReplayedRawLogGivesTheCaptureRecordsOfTheLiveSessionThatWroteIt)
{
    testing::TemporaryFolder folder;
    const std::string rawPath = folder.pathOf("live-raw.txt");
    const std::string liveCapture = folder.pathOf("live.csv");
    const std::string replayCapture = folder.pathOf("replay.csv");
    const std::string liveStatistics = folder.pathOf("live-stats.csv");

    // The live session: a sensor on port 1, the logger with --capture, --raw and --event-stats.
    {
        Station live;
        testing::FakeSerialControl comPort;
        comPort.presentPorts = { 1 };
        live.lastPass = kLivePasses;
        live.beforeTick = [&] {
            comPort.arrive(sentenceAt(live.pass));
            const bool high = live.pass >= 150 && (live.pass - 150) % 80 < 30;
            if (high != comPort.CTSHolding())
                comPort.changeCts(high);
        };
        std::ostringstream out;
        std::ostringstream err;
        logger::LoggerOptions options;
        options.capturePath = liveCapture;
        options.rawPath = rawPath;
        options.statisticsPath = liveStatistics;
        logger::Logger logger(live.services(comPort), out, err, options);
        live.logger = &logger;
        ASSERT_EQ(logger.run(), 0) << err.str();
        EXPECT_EQ(err.str(), "");
    }
    const std::string raw = fileContents(rawPath);
    ASSERT_TRUE(raw.starts_with("Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n")) << raw.substr(0, 200);
    EXPECT_GT(std::count(raw.begin(), raw.end(), '\n'), 300);

    // The replay, today: the same logger on a port map whose port 2 plays the log back.
    static_cast<void>(replayToCapture(rawPath, replayCapture));

    const std::string records = fileContents(liveCapture);
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 4) << "the header and three events:\n"
                                                                   << records;
    // The same records, and one more: the log ends inside the fourth event, which the replay ends at
    // its last reading.
    const std::string replayed = fileContents(replayCapture);
    EXPECT_EQ(replayed.substr(0, records.size()), records);
    EXPECT_TRUE(replayed.substr(records.size()).starts_with("4,08/18/2008,")) << replayed;
    EXPECT_EQ(std::count(replayed.begin(), replayed.end(), '\n'), 5) << replayed;

    const std::string reprocessCapture = folder.pathOf("reprocessed.csv");
    const std::string reprocessStatistics = folder.pathOf("reprocessed-stats.csv");
    EXPECT_EQ(
        reprocessToCapture(rawPath, reprocessCapture, reprocessStatistics), std::make_pair(0, std::string()));
    EXPECT_EQ(fileContents(reprocessCapture), replayed) << "reprocessing writes what the replay wrote";

    // One statistics line per ended event, with the capture record's number, times and sample count, and
    // the same lines again from the log.
    const std::string statistics = fileContents(liveStatistics);
    ASSERT_TRUE(statistics.starts_with("Number,Start,End,Readings,TiltMin,TiltMax,TiltStd,")) << statistics;
    EXPECT_EQ(std::count(statistics.begin(), statistics.end(), '\n'), 4) << statistics;
    EXPECT_NE(statistics.find("\r\n1,2008-08-18T14:02:12.490,2008-08-18T14:02:12.790,31,"), std::string::npos)
        << statistics;
    EXPECT_EQ(fileContents(reprocessStatistics).substr(0, statistics.size()), statistics);
}

} // namespace
} // namespace marlume::rawlog

namespace marlume::rawlog {
namespace {

// The window's operator turns the sensor 100 -> 200 -> 300 and only then starts the raw log; events
// start and end a few milliseconds before a second's turn, between two readings.
TEST(ReplaySessionTest, ALogStartedLateReplaysToTheWindowsRecordsByteForByte)
{
    testing::MonitorOnFakes live;
    live.monitor.start();
    live.receive("100,0,0\r\n200,0,0\r\n300,0,0\r\n");
    live.monitor.CaptureButton_Click();
    live.monitor.RawLogMenu_Click();
    const auto readings = [&](double heading, int count) {
        for (int n = 0; n < count; ++n) {
            live.clock.advanceMilliseconds(90);
            live.receive(std::to_string(heading + n * 0.3) + ",1.5,-2\r\n");
        }
    };
    const auto edgeBeforeTheNextSecond = [&](bool level) {
        const common::LocalDateTime now = live.clock.now();
        live.clock.advanceMilliseconds(1000 - now.millisecond - 5);
        live.comPort.changeCts(level);
    };
    readings(299.5, 12); // the replay's search takes the first of them
    edgeBeforeTheNextSecond(true);
    readings(300.2, 8);
    edgeBeforeTheNextSecond(false);
    readings(200, 3);
    readings(123.4, 3);
    edgeBeforeTheNextSecond(true);
    readings(359.2, 12); // near north
    edgeBeforeTheNextSecond(false);
    readings(10, 3);
    live.monitor.RawLogMenu_Click();

    const std::string liveRecords = live.captureFiles.output.contents[1];
    ASSERT_EQ(std::count(liveRecords.begin(), liveRecords.end(), '\n'), 3) << liveRecords;
    EXPECT_NE(liveRecords.find("1,08/18/2008,14:02:12,14:02:13,"), std::string::npos) << liveRecords;
    testing::TemporaryFolder folder;
    const std::string rawPath = folder.pathOf("late.txt");
    ASSERT_TRUE(testing::writeFile(rawPath, live.rawFiles.output.contents[1]));
    const std::string replayCapture = folder.pathOf("replay.csv");
    static_cast<void>(replayToCapture(rawPath, replayCapture));
    EXPECT_EQ(fileContents(replayCapture), liveRecords) << "the recorded dates, times and heading sums";
    const std::string reprocessCapture = folder.pathOf("reprocessed.csv");
    EXPECT_EQ(reprocessToCapture(rawPath, reprocessCapture).first, 0);
    EXPECT_EQ(fileContents(reprocessCapture), liveRecords);
}

TEST(ReplaySessionTest, ReprocessingStopsAtABadLineWithStatusTwoAndKeepsTheEventsEndedBefore)
{
    testing::TemporaryFolder folder;
    const std::string rawPath = folder.pathOf("bad.txt");
    ASSERT_TRUE(testing::writeFile(rawPath,
        "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n"
        "2008-08-18T14:02:10.900,0,0,0,0,,0\r\n"
        "2008-08-18T14:02:11.000,,,,,1,0\r\n"
        "2008-08-18T14:02:11.100,1,2,3,3.6,1,1\r\n"
        "2008-08-18T14:02:12.000,,,,,,1\r\n"
        "2008-08-18T14:02:13.000,,,,,2,1\r\n"
        "2008-08-18T14:02:13.100,1,2\r\n"));
    const std::string capture = folder.pathOf("bad.csv");
    const auto [status, err] = reprocessToCapture(rawPath, capture);
    EXPECT_EQ(status, 2);
    EXPECT_NE(
        err.find(" Cannot reprocess \"" + rawPath + "\": line 7 has 3 fields, not 7\n"), std::string::npos)
        << err;
    const std::string records = fileContents(capture);
    EXPECT_NE(records.find("\r\n1,08/18/2008,14:02:11,14:02:12,1.8,0,1,1.5, 2 \r\n"), std::string::npos)
        << records;
    EXPECT_TRUE(records.ends_with(" 2 \r\n")) << "event 2 is cut off by the bad line: " << records;
}

} // namespace
} // namespace marlume::rawlog

namespace marlume::rawlog {
namespace {

// A raw log's lines after its header: count readings 10 ms apart from 14:00, with an event over readings
// 100 to 599 of every thousand.
std::string readingsOfEvents(int count)
{
    std::string lines;
    const auto at = [](int reading) {
        return common::localDateTime(common::localMilliseconds({ 2008, 8, 18, 14, 0, 0, 0 }) + reading * 10);
    };
    for (int reading = 0; reading < count; ++reading) {
        const std::int32_t event = reading % 1000 >= 100 && reading % 1000 < 600 ? reading / 1000 + 1 : 0;
        if (reading % 1000 == 100 || reading % 1000 == 600)
            lines += common::rawLogMarkText({ at(reading), event, 10 });
        lines += common::rawLogLineText({ at(reading), 10, 1, 2, 2.2F, event, 10 });
    }
    return lines;
}

// When the program is told to end: never, before the reprocessing begins, or when the event loop first gets
// its turn.
enum class Stop { Never, BeforeTheStart, AtFirstTurn };

struct ReprocessCase {
    std::string name;
    std::string lines; // after the header
    Stop stop = Stop::Never;
    int status = 0;
    std::string said; // in the journal or on the error output
    int records = 0;
};

class ReprocessTest : public ::testing::TestWithParam<ReprocessCase> { };

TEST_P(ReprocessTest, EndsAtTheLogsEndOrSaysWhereAndWhy)
{
    const ReprocessCase& c = GetParam();
    testing::TemporaryFolder folder;
    const std::string log = std::string(common::kRawLogHeader) + c.lines;
    ASSERT_TRUE(testing::writeFile(folder.pathOf("in.txt"), log));
    Station station;
    station.clock.set({ 2026, 12, 9, 9, 30, 0, 0 });
    testing::FakeSerialControl comPort;
    logger::LoggerOptions options;
    options.reprocessPath = folder.pathOf("in.txt");
    options.capturePath = folder.pathOf("out.csv");
    options.rawPath = folder.pathOf("out.txt");
    options.statisticsPath = folder.pathOf("stats.csv");
    std::ostringstream out;
    std::ostringstream err;
    {
        logger::Logger logger(station.services(comPort), out, err, options);
        station.pump.onWaitingEvents = [&] {
            if (c.stop == Stop::AtFirstTurn)
                logger.stop();
            return true;
        };
        if (c.stop == Stop::BeforeTheStart)
            logger.stop();
        EXPECT_EQ(logger.run(), c.status) << err.str();
    }
    station.captureFiles.waitUntilWritten();
    station.rawFiles.waitUntilWritten();
    const std::string said = out.str() + err.str();
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    const std::string records = fileContents(options.capturePath.value());
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), c.records + 1) << records;
    if (c.stop != Stop::Never) {
        const std::size_t about = said.find(" of about ");
        ASSERT_NE(about, std::string::npos) << said;
        const double lines = static_cast<double>(std::count(log.begin(), log.end(), '\n'));
        EXPECT_NEAR(std::stod(said.substr(about + 10)), lines, lines / 10) << "the log's lines, about";
    }
    const std::string raw = fileContents(options.rawPath.value());
    const std::size_t secondLine = raw.find('\n') + 1;
    if (secondLine < raw.size()) {
        EXPECT_EQ(raw.substr(secondLine, 11), c.lines.substr(0, 11)) << "the opening mark's recorded date";
    }
}

INSTANTIATE_TEST_SUITE_P(Logs, ReprocessTest,
    ::testing::ValuesIn(std::vector<ReprocessCase> {
        { "LongerThanManyTurnsOfTheEventLoop", readingsOfEvents(30'000), Stop::Never, 0,
            "out.txt\"; statistics file \"", 30 },
        { "StoppedBeforeItsEnd", readingsOfEvents(30'000), Stop::AtFirstTurn, logger::Logger::kStoppedStatus,
            "Stopped at line 8193 of about ", 8 },
        { "StoppedBeforeItBegins", readingsOfEvents(30'000), Stop::BeforeTheStart,
            logger::Logger::kStoppedStatus, "Stopped at line 1 of about ", 0 },
        { "CutOffLastLine", readingsOfEvents(700) + "2008-08-18T14:00:07.000,10,1", Stop::Never, 0,
            "line 704 ends without a line end: skipped", 1 },
        { "TimeGoingBack",
            "2008-08-18T14:00:00.000,10,1,2,2.2,,10\r\n2008-08-18T13:00:00.000,10,1,2,2.2,,10\r\n",
            Stop::Never, 0,
            "line 3 goes back in time, from 2008-08-18 14:00:00.000 to 2008-08-18 13:00:00.000", 0 },
        { "EventMarksAndNoReadings",
            "2008-08-18T14:00:00.000,,,,,1,10\r\n2008-08-18T14:00:01.000,,,,,,10\r\n"
            "2008-08-18T14:00:02.000,,,,,2,10\r\n2008-08-18T14:00:03.000,,,,,,10\r\n",
            Stop::Never, 0, "2 events before the log's first reading left out: no reading to average", 0 },
        { "ShownHeadingNoRecordHolds",
            "2008-08-18T14:00:00.000,10,1,2,2.2,,10\r\n2008-08-18T14:00:01.000,,,,,1,99999999999\r\n",
            Stop::Never, 2, "line 3 has a heading shown that no record holds", 0 },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::rawlog
