#include "logger/logger.h"

#include "platform/local_output_files.h"
#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_event_views.h"
#include "support/fake_raw_log_view.h"
#include "support/fake_serial_control.h"
#include "support/fake_ticker.h"
#include "support/monitor_on_fakes.h"
#include "support/posted_tasks.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace marlume::logger {
namespace {

using testing::fileContents;

// A station on fakes: a sensor on port 1 that sends a reading every 10 ms pass of events and raises
// CTS for 30 passes out of every 80 from pass 150 on; the face's loops end at pass `lastPass`.
struct ScriptedStation {
    explicit ScriptedStation(int lastPass)
    {
        comPort.presentPorts = { 1 };
        pump.onEvents = [this, lastPass] {
            ++pass;
            clock.advanceMilliseconds(10);
            const int heading = 100 + pass % 7;
            comPort.arrive(std::to_string(heading) + ",1.5,-2\n");
            ticker.tick();
            if (pass >= 150)
                setCts((pass - 150) % 80 < 30);
            files.waitUntilWritten();
            uiThread.runAll();
            if (pass == lastPass && onLastPass)
                onLastPass();
            return true;
        };
    }

    void setCts(bool level)
    {
        if (level != comPort.CTSHolding())
            comPort.changeCts(level);
    }

    int pass = 0;
    testing::FakeSerialControl comPort;
    testing::FakeClock clock;
    testing::FakeEventPump pump;
    testing::FakeTicker ticker { clock };
    testing::PostedTasks uiThread;
    platform::LocalOutputFiles files { uiThread.poster() };
    platform::LocalOutputFiles rawFiles { uiThread.poster() };
    platform::LocalOutputFiles statisticsFiles { uiThread.poster() };
    testing::FakeTicker flushTicker { clock };
    link::LinkState linkState;

    [[nodiscard]] monitor::MonitorServices services()
    {
        return { linkState, comPort, clock, pump, ticker, files, rawFiles, flushTicker, statisticsFiles };
    }
    std::function<void()> onLastPass;
};

// Ends as the fourth CTS stretch begins: three events ended, a fourth cut off.
constexpr int kLastPass = 390;

TEST(LoggerTest, WritesTheSameCaptureBytesAsTheWindowsMonitorAndPrintsWhatItDoes)
{
    testing::TemporaryFolder folder;
    const std::filesystem::path loggerFile = folder.path() / "logger.csv";
    const std::filesystem::path windowFile = folder.path() / "window.csv";

    ScriptedStation loggerStation(kLastPass);
    std::ostringstream out;
    std::ostringstream err;
    Logger logger(loggerStation.services(), out, err, { loggerFile.string(), std::nullopt, false });
    loggerStation.onLastPass = [&logger] { logger.stop(); };
    EXPECT_EQ(logger.run(), 0);

    // The window's logic on the same input, its operator creating the capture file before the search.
    ScriptedStation windowStation(kLastPass);
    testing::FakeFace face;
    testing::FakeCaptureView captureView;
    testing::FakeRawLogView rawView;
    testing::FakeStatisticsView statisticsView;
    monitor::Monitor window(windowStation.services(),
        { captureView, rawView, statisticsView,
            [&](std::string& fileName, std::int16_t&) {
                fileName = windowFile.string();
                return true;
            },
            {}, {} });
    window.addListener(face);
    windowStation.onLastPass = [&window] { window.shutDown(); };
    window.CaptureButton_Click();
    window.start();
    window.run();
    windowStation.files.waitUntilWritten();
    loggerStation.files.waitUntilWritten();

    const std::string written = fileContents(loggerFile);
    EXPECT_EQ(written, fileContents(windowFile));
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4) << "the header and three ended events:\n"
                                                                   << written;
    EXPECT_FALSE(loggerStation.comPort.PortOpen()) << "the port is closed";
    EXPECT_EQ(err.str(), "");

    std::istringstream lines(out.str());
    std::vector<std::string> printed;
    for (std::string line; std::getline(lines, line);)
        printed.push_back(line);
    // One line per ended event, the file with its full path, and a summary that leaves out the event cut off.
    ASSERT_EQ(printed.size(), 7U) << out.str();
    EXPECT_EQ(printed[0], "2008-08-18T14:02:11 Saving to \"" + loggerFile.string() + "\"");
    EXPECT_EQ(printed[1], "2008-08-18T14:02:11 Searching");
    EXPECT_EQ(printed[2].substr(20), "Ready on port 1");
    EXPECT_EQ(printed[3].substr(20), face.tableView.text.substr(0, face.tableView.text.find("\r\n")))
        << "the table's line";
    EXPECT_TRUE(printed[5].substr(20).starts_with("003 | ")) << printed[5];
    EXPECT_EQ(printed[6].substr(20),
        "Ended: 3 events, " + std::to_string(kLastPass - 1) + " readings, 0 lines rejected; capture file \""
            + loggerFile.string() + "\"");
}

TEST(LoggerTest, QuietPrintsNothingWhileAllGoesWell)
{
    testing::TemporaryFolder folder;
    ScriptedStation station(kLastPass);
    std::ostringstream out;
    std::ostringstream err;
    Logger logger(station.services(), out, err, { (folder.path() / "q.csv").string(), std::nullopt, true });
    station.onLastPass = [&logger] { logger.stop(); };
    EXPECT_EQ(logger.run(), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
}

TEST(LoggerTest, CaptureFileThatCannotBeCreatedEndsWithStatusTwo)
{
    ScriptedStation station(kLastPass);
    std::ostringstream out;
    std::ostringstream err;
    Logger logger(station.services(), out, err, { "/nonexistent-folder/run.csv", std::nullopt, false });
    EXPECT_EQ(logger.run(), 2);
    EXPECT_EQ(err.str(),
        "2008-08-18T14:02:11 Cannot create \"/nonexistent-folder/run.csv\": No such file or directory\n");
    EXPECT_EQ(station.pass, 0) << "no search starts";
}

TEST(ConsoleOutputTest, AnEventCutOffByALostLinkEndsItsLineThere)
{
    testing::FakeClock clock;
    std::ostringstream out;
    std::ostringstream err;
    ConsoleOutput console(out, err, clock, false, {});
    console.eventStarted(1, { 2008, 8, 18, 5, 48, 8 });
    console.linkLost(clock.now());
    console.eventStarted(1, { 2008, 8, 18, 5, 48, 14 });
    console.eventEnded({ 1, { 2008, 8, 18, 5, 48, 14 }, { 2008, 8, 18, 5, 48, 20 }, 2.2F, 100, 1, 2, 3 });
    EXPECT_EQ(out.str(),
        "2008-08-18T14:02:11 001 | 05:48:08 | link lost\n"
        "2008-08-18T14:02:11 Link lost\n"
        "2008-08-18T14:02:11 001 | 05:48:14 | 05:48:20 |  02 |  100 |  01 |  02 | 3\n");
}

TEST(ConsoleOutputTest, TheTiltGoingOverRangeAndComingBackIsALineEach)
{
    testing::FakeClock clock;
    std::ostringstream out;
    std::ostringstream err;
    ConsoleOutput console(out, err, clock, false, {});
    bool overRange = false;
    for (const auto& [tilt, over] : std::vector<std::pair<float, bool>> {
             { 3.1F, false }, { 57.3F, true }, { 60, true }, { 54.9F, false }, { 12, false } }) {
        const record::AcceptedReading reading { clock.now(), 0, 0, 0, tilt, over, 0, 0 };
        console.readingAccepted(reading);
        if (std::exchange(overRange, over) != over) // as the monitor tells it
            console.overRangeChanged(reading);
    }
    console.showSummary();
    EXPECT_EQ(out.str(),
        "2008-08-18T14:02:11 Over range: tilt 57.3\n"
        "2008-08-18T14:02:11 Back in range: tilt 54.9\n"
        "2008-08-18T14:02:11 Ended: 0 events, 5 readings, 0 lines rejected\n");
}

TEST(ConsoleOutputTest, TheSummaryCountsTheEventsTheBrokerDidNotHaveAndQuietSaysOnlyThat)
{
    struct SummaryCase {
        bool quiet;
        std::size_t undelivered;
        std::string out;
        std::string err;
    };
    for (const auto& [quiet, undelivered, expectedOut, expectedErr] : std::vector<SummaryCase> {
             { false, 7,
                 "2008-08-18T14:02:11 Ended: 0 events, 0 readings, 0 lines rejected; "
                 "7 events not delivered to the broker\n",
                 "" },
             { true, 1, "", "2008-08-18T14:02:11 1 event not delivered to the broker\n" },
         }) {
        testing::FakeClock clock;
        std::ostringstream out;
        std::ostringstream err;
        ConsoleOutput console(out, err, clock, quiet, {});
        console.setUndeliveredEvents(undelivered);
        console.showSummary();
        EXPECT_EQ(out.str(), expectedOut);
        EXPECT_EQ(err.str(), expectedErr);
    }
}

TEST(ConsoleOutputTest, WhyAPortCannotBeOpenedIsToldOnceASearchAndAgainWhenItChanges)
{
    testing::FakeClock clock;
    std::ostringstream out;
    std::ostringstream err;
    ConsoleOutput console(out, err, clock, true, {});
    using Kind = platform::PortNotice::Kind;
    for (int round = 0; round < 3; ++round)
        console.portNotice({ 1, Kind::Unavailable, "/dev/ttyUSB0: missing" });
    console.portNotice({ 1, Kind::Unavailable, "/dev/ttyUSB0: held by another instance (process 7)" });
    console.sensorFound({ clock.now(), 1, "/dev/ttyUSB0" });
    console.portNotice({ 1, Kind::Unavailable, "/dev/ttyUSB0: held by another instance (process 7)" });
    console.portNotice({ 2, Kind::News, "Replay of \"a.txt\" finished: 3 readings" });
    EXPECT_EQ(err.str(),
        "2008-08-18T14:02:11 Port 1: /dev/ttyUSB0: missing\n"
        "2008-08-18T14:02:11 Port 1: /dev/ttyUSB0: held by another instance (process 7)\n"
        "2008-08-18T14:02:11 Port 1: /dev/ttyUSB0: held by another instance (process 7)\n");
    EXPECT_EQ(out.str(), "") << "news is no failure: --quiet leaves it out";
}

} // namespace
} // namespace marlume::logger
