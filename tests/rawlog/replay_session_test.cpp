#include "logger/logger.h"
#include "platform/local_output_files.h"
#include "platform/port_control.h"
#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_serial_control.h"
#include "support/fake_ticker.h"
#include "support/posted_tasks.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

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
    link::LinkState linkState;
    logger::Logger* logger = nullptr;

    [[nodiscard]] monitor::MonitorServices services(platform::SerialControl& comPort)
    {
        return { linkState, comPort, clock, pump, ticker, captureFiles, rawFiles, rawFlushTicker };
    }
};

TEST(ReplaySessionTest, AReplayedRawLogGivesTheCaptureRecordsOfTheLiveSessionThatWroteIt)
{
    testing::TemporaryFolder folder;
    const std::string rawPath = folder.pathOf("live-raw.txt");
    const std::string liveCapture = folder.pathOf("live.csv");
    const std::string replayCapture = folder.pathOf("replay.csv");

    // The live session: a sensor on port 1, the logger with --capture and --raw.
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
        logger::Logger logger(live.services(comPort), out, err, options);
        live.logger = &logger;
        ASSERT_EQ(logger.run(), 0) << err.str();
        EXPECT_EQ(err.str(), "");
    }
    const std::string raw = fileContents(rawPath);
    ASSERT_TRUE(raw.starts_with("Time,Heading,Pitch,Roll,Tilt,Event\r\n")) << raw.substr(0, 200);
    EXPECT_GT(std::count(raw.begin(), raw.end(), '\n'), 300);

    // The replay: the same logger on a port map whose port 2 plays the log back, on a clock that
    // starts where the live one did.
    bool finished = false;
    std::string notices;
    {
        Station replay;
        replay.lastPass = 100'000; // a deadline: the replay's end stops it long before
        platform::PortControl comPort([&] { return platform::parsePortMap(",replay:" + rawPath); },
            [](const std::string&) { return nullptr; }, replay.clock);
        comPort.setOnDeviceNotice([&](std::int16_t port, const std::string& message, bool problem) {
            notices += std::to_string(port) + ": " + message + (problem ? " (problem)\n" : "\n");
            finished = !problem;
        });
        int finishedAt = 0;
        replay.beforeTick = [&] {
            if (finished && finishedAt == 0)
                finishedAt = replay.pass;
            if (finishedAt != 0 && replay.pass == finishedAt + 50)
                replay.logger->stop();
        };
        std::ostringstream out;
        std::ostringstream err;
        logger::LoggerOptions options;
        options.capturePath = replayCapture;
        logger::Logger logger(replay.services(comPort), out, err, options);
        replay.logger = &logger;
        ASSERT_EQ(logger.run(), 0) << err.str();
        EXPECT_LT(replay.pass, replay.lastPass) << "the replay came to its end";
    }
    EXPECT_TRUE(finished) << notices;
    EXPECT_NE(notices.find("2: Replay of \"" + rawPath + "\" finished"), std::string::npos) << notices;

    const std::string records = fileContents(liveCapture);
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 4) << "the header and three events:\n"
                                                                   << records;
    // The same records, and one more: the log ends inside the fourth event, which the replay ends at
    // its last reading.
    const std::string replayed = fileContents(replayCapture);
    EXPECT_EQ(replayed.substr(0, records.size()), records);
    EXPECT_TRUE(replayed.substr(records.size()).starts_with("4,08/18/2008,")) << replayed;
    EXPECT_EQ(std::count(replayed.begin(), replayed.end(), '\n'), 5) << replayed;
}

} // namespace
} // namespace marlume::rawlog
