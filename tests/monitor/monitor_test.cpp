#include "monitor/monitor.h"

#include "common/time_text.h"
#include "monitor/silence_text.h"
#include "support/case_name.h"
#include "support/monitor_on_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace marlume::monitor {
namespace {

// Keeps what the monitor tells, as numbers.
class RecordingListener final : public MonitorListener {
public:
    void readingAccepted(const record::AcceptedReading& reading) override { readings.push_back(reading); }
    void overRangeChanged(const record::AcceptedReading& reading) override
    {
        excursions.push_back(reading.overRange);
    }
    void eventStarted(std::int32_t number, const common::LocalDateTime& start) override
    {
        starts.emplace_back(number, start);
    }
    void eventEnded(const EndedEvent& event) override { ends.push_back(event); }
    void linkLost(const common::LocalDateTime& time) override { losses.push_back(time); }
    void lineRejected() override { ++rejected; }
    void sensorFound(const FoundSensor& found) override { finds.push_back(found.time); }
    void sensorSilent(const Silence& silence) override { silences.push_back(silence); }
    void dataAgain(const Silence& silence) override { returns.push_back(silence); }

    std::vector<record::AcceptedReading> readings;
    std::vector<bool> excursions; // over range (true) and back (false), as told
    std::vector<std::pair<std::int32_t, common::LocalDateTime>> starts;
    std::vector<EndedEvent> ends;
    std::vector<common::LocalDateTime> losses;
    int rejected = 0;
    std::vector<common::LocalDateTime> finds;
    std::vector<Silence> silences;
    std::vector<Silence> returns;
};

class MonitorTest : public ::testing::Test, public testing::MonitorOnFakes {
protected:
    MonitorTest()
    {
        monitor.addListener(listener);
        monitor.start();
    }

    // The search runs, with the sensor sending a reading every 10 ms, until it has found it.
    void findTheSensor()
    {
        static_cast<void>(comPort.setPortOpen(false));
        pump.onEvents = [this] {
            clock.advanceMilliseconds(10);
            comPort.arrive("1,2,3\n");
            ticker.tick();
            if (!listener.finds.empty())
                pump.requestEnd();
            return true;
        };
        monitor.run();
    }

    RecordingListener listener;
};

TEST_F(MonitorTest, LooksAtAPortThatCannotTellOfItsNewsEveryTenMillisecondsUntilTheEnd)
{
    EXPECT_EQ(ticker.lastDelay, std::chrono::milliseconds(10));
    ticker.tick();
    EXPECT_TRUE(ticker.pending());
    EXPECT_EQ(ticker.lastDelay, std::chrono::milliseconds(10));
    monitor.shutDown();
    EXPECT_FALSE(ticker.pending());
    EXPECT_FALSE(pump.processEvents()) << "every loop on the pump ends";
    EXPECT_FALSE(comPort.PortOpen());
}

TEST_F(MonitorTest, ShuttingDownPutsTheRawLogOnDiskAndClosesIt)
{
    monitor.RawLogMenu_Click();
    receive("1,2,3\n");
    monitor.shutDown();
    EXPECT_NE(rawFiles.output.contents[1].find(",1,2,3,"), std::string::npos);
    EXPECT_FALSE(monitor.rawLog().isOpen());
    EXPECT_EQ(rawView.label(), "Raw log closed: 1 reading logged, 0 lines rejected");
}

TEST_F(MonitorTest, EveryOutputShowsTheTimesOnceTaken)
{
    monitor.CaptureButton_Click();
    clock.moveOnEveryLook(1000); // a second's turn between any two looks
    receive("1,2,3\n");
    monitor.TriggerButton_MouseDown();
    monitor.TriggerButton_MouseUp();

    ASSERT_EQ(listener.readings.size(), 1U);
    ASSERT_EQ(face.readings.size(), 1U);
    EXPECT_EQ(face.readings[0].time, listener.readings[0].time);
    ASSERT_EQ(listener.ends.size(), 1U);
    const EndedEvent& ended = listener.ends[0];
    EXPECT_EQ(listener.starts.at(0).second, ended.start);
    const std::string start = common::timeText(ended.start);
    const std::string end = common::timeText(ended.end);
    EXPECT_NE(start, end);
    EXPECT_EQ(face.tableView.text.substr(0, 27), "001 | " + start + " | " + end + " |");
    EXPECT_NE(captureFiles.output.contents[1].find(',' + start + ',' + end + ','), std::string::npos)
        << captureFiles.output.contents[1];
    EXPECT_EQ(ended.statistics.start, ended.start);
    EXPECT_EQ(ended.statistics.end, ended.end);
}

TEST_F(MonitorTest, TellsEveryAcceptedReadingInNumbers)
{
    receive("123.4,-2.5,1.8\nno sentence\n");
    clock.advanceMilliseconds(250);
    receive("355,50,40\n");

    ASSERT_EQ(listener.readings.size(), 2U) << "a rejected line is no reading";
    EXPECT_EQ(listener.rejected, 1);
    const record::AcceptedReading& first = listener.readings[0];
    EXPECT_EQ(first.time, (common::LocalDateTime { 2008, 8, 18, 14, 2, 11, 10 })) << "at the first tick";
    EXPECT_EQ(first.heading, 123);
    EXPECT_EQ(first.pitch, -2.5F);
    EXPECT_EQ(first.roll, 1.8F);
    EXPECT_EQ(first.tilt, 3.1F);
    EXPECT_FALSE(first.overRange);
    EXPECT_EQ(first.eventNumber, 0);
    EXPECT_EQ(listener.readings[1].time.millisecond, 260);
    EXPECT_EQ(listener.readings[1].heading, -5) << "as the record keeps it, across north";
    EXPECT_EQ(listener.readings[1].tilt, 88.4F) << "the number, though the labels read over";
    EXPECT_TRUE(listener.readings[1].overRange);
    EXPECT_EQ(face.readings.size(), 2U) << "the face shows the same readings";
}

TEST_F(MonitorTest, ReadingsInsideAnEventCarryItsNumber)
{
    receive("100,1,2\n");
    comPort.changeCts(true);
    ticker.tick();
    receive("102.4,1.5,2.5\n101.6,0.5,1.5\n");
    clock.setTimeOfDay(14, 2, 41);
    comPort.changeCts(false);
    ticker.tick();
    receive("90,0,0\n");

    ASSERT_EQ(listener.readings.size(), 4U);
    EXPECT_EQ(listener.readings[0].eventNumber, 0);
    for (const std::size_t inside : { 1U, 2U })
        EXPECT_EQ(listener.readings[inside].eventNumber, 1);
    EXPECT_EQ(listener.readings[3].eventNumber, 0);

    ASSERT_EQ(listener.starts.size(), 1U);
    EXPECT_EQ(listener.starts[0].first, 1);
    EXPECT_EQ(listener.starts[0].second, (common::LocalDateTime { 2008, 8, 18, 14, 2, 11, 10 }));
    ASSERT_EQ(listener.ends.size(), 1U);
    const EndedEvent& ended = listener.ends[0];
    EXPECT_EQ(ended.number, 1);
    EXPECT_EQ(ended.end.second, 41);
    EXPECT_EQ(ended.samples, 3);
    EXPECT_EQ(ended.avgHeading, 101);
    EXPECT_EQ(ended.avgPitch, 1.0F);
    EXPECT_EQ(ended.avgRoll, 2.0F);
    EXPECT_EQ(ended.avgTilt, 2.2F);
    EXPECT_EQ(face.tableView.text, "001 | 14:02:11 | 14:02:41 |  02 |  101 |  01 |  02 | 3\r\n");
    // Its statistics take the same three readings: the one current at the start, and the two inside.
    EXPECT_EQ(ended.statistics.readings, ended.samples);
    EXPECT_EQ(ended.statistics.number, 1);
    EXPECT_EQ(ended.statistics.pitch.min, 0.5F);
    EXPECT_EQ(ended.statistics.pitch.max, 1.5F);
    EXPECT_EQ(ended.statistics.headingSpread, 2) << "100 to 102";
}

TEST_F(MonitorTest, TheButtonsWorkAsCtsDoes)
{
    receive("100,1,2\n");
    monitor.TriggerButton_MouseDown();
    EXPECT_EQ(face.statuses.back(), (link::LinkStatus { link::LinkStatus::Kind::Integrating, 1, 1 }));
    monitor.TriggerButton_MouseUp();
    EXPECT_EQ(face.statuses.back(), (link::LinkStatus { link::LinkStatus::Kind::Ready, 1 }));
    monitor.ResetSeqButton_Click();
    monitor.TriggerButton_MouseDown();
    monitor.TriggerButton_MouseUp();
    ASSERT_EQ(listener.ends.size(), 2U);
    EXPECT_EQ(listener.ends[1].number, 1) << "numbering restarted";

    monitor.CaptureButton_Click();
    EXPECT_EQ(captureView.label, "Saving to \"run.csv\"");
    monitor.TriggerButton_MouseDown();
    monitor.TriggerButton_MouseUp();
    EXPECT_EQ(captureFiles.output.contents[1],
        "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n"
        "2,08/18/2008,14:02:11,14:02:11,2.2,100,1,2, 1 \r\n");
}

// A script of what happens: r a reading, C and c CTS rising and falling, B and b "Force Trigger" pressed and
// released, S "Reset Seq#" pressed; and the events that end, each with its number and samples.
struct TriggerCase {
    std::string name;
    std::string script;
    std::vector<std::pair<std::int32_t, std::int32_t>> ended;
};

class TriggerTest : public MonitorTest, public ::testing::WithParamInterface<TriggerCase> { };

TEST_P(TriggerTest, OneTriggerGivesOneEventOneLineAndOneRecord)
{
    monitor.CaptureButton_Click();
    int heading = 0;
    for (const char step : GetParam().script) {
        switch (step) {
        case 'r':
            receive(std::to_string(heading += 10) + ",1,2\n");
            break;
        case 'C':
        case 'c':
            comPort.changeCts(step == 'C');
            break;
        case 'B':
            monitor.TriggerButton_MouseDown();
            break;
        case 'b':
            monitor.TriggerButton_MouseUp();
            break;
        case 'S':
            monitor.ResetSeqButton_Click();
            break;
        default:
            FAIL() << "no step " << step;
        }
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> ended;
    std::string numbers; // as the capture file has them
    for (const EndedEvent& event : listener.ends) {
        ended.emplace_back(event.number, event.samples);
        numbers += std::to_string(event.number) + ',';
    }
    EXPECT_EQ(ended, GetParam().ended);
    std::string recorded;
    const std::string& records = captureFiles.output.contents[1];
    for (std::size_t line = records.find("\r\n"); line + 2 < records.size();
         line = records.find("\r\n", line + 2))
        recorded += records.substr(line + 2, records.find(',', line + 2) - line - 2) + ',';
    EXPECT_EQ(recorded, numbers) << records;
    std::size_t lines = 0;
    for (std::size_t at = face.tableView.text.find("\r\n"); at != std::string::npos;
         at = face.tableView.text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, ended.size()) << face.tableView.text;
    EXPECT_EQ(
        std::count(face.tableView.text.begin(), face.tableView.text.end(), '|'), 7 * static_cast<long>(lines))
        << "no line runs into another: " << face.tableView.text;
}

INSTANTIATE_TEST_SUITE_P(Sources, TriggerTest,
    ::testing::ValuesIn(std::vector<TriggerCase> {
        { "CtsAlone", "rCrrcr", { { 1, 3 } } },
        { "ButtonHeldWhileCtsRisesAndFalls", "rBrCrcrbr", { { 1, 4 } } },
        { "ButtonPressedDuringCtsReleasedAfterItFalls", "rCrBrcrbr", { { 1, 4 } } },
        { "CtsRisesDuringButtonAndOutlastsIt", "rBrCrbrcr", { { 1, 4 } } },
        { "FallWithoutEventWritesNothing", "rcrCrcrcr", { { 1, 2 } } },
        { "EventsBackToBack", "rCrcCrcBrb", { { 1, 2 }, { 2, 2 }, { 3, 2 } } },
        { "ResetDuringAnEventKeepsItsNumber", "rCrSrcrCrc", { { 1, 3 }, { 1, 2 } } },
        { "ResetBetweenEvents", "rCrcSrCrc", { { 1, 2 }, { 1, 2 } } },
    }),
    testing::CaseName());

TEST_F(MonitorTest, TellsWhenTheLinkIsLostOnce)
{
    receive("1,2,3\n");
    comPort.failReads = true;
    for (int tick = 0; tick < 9; ++tick)
        ticker.tick();
    EXPECT_TRUE(listener.losses.empty());
    ticker.tick();
    EXPECT_EQ(listener.losses.size(), 1U);
    EXPECT_FALSE(linkState.linkAlive);
    ticker.tick();
    EXPECT_EQ(listener.losses.size(), 1U) << "told when it goes, not on every failing tick";
}

TEST_F(MonitorTest, TellsEachExcursionOverRangeOnceAndALostLinkEndsIt)
{
    receive("0,56,0\n0,57,0\n0,1,0\n0,60,0\n");
    EXPECT_EQ(listener.excursions, (std::vector<bool> { true, false, true }));
    comPort.failReads = true;
    for (int tick = 0; tick < 10; ++tick)
        ticker.tick();
    comPort.failReads = false;
    receive("0,60,0\n");
    EXPECT_EQ(listener.excursions, (std::vector<bool> { true, false, true, true }))
        << "the first reading over range after a lost link starts an excursion of its own";
}

TEST_F(MonitorTest, OverlongLinesCountAsRejected)
{
    receive(std::string(link::ReceiveLoop::kSentenceBufferLimit + 10, '7') + "\n\n1,2,3\n");
    EXPECT_EQ(listener.rejected, 2) << "the overlong line and the empty one";
    EXPECT_EQ(listener.readings.size(), 1U);
}

TEST_F(MonitorTest, TellsWhenTheSearchHasFoundTheSensor)
{
    findTheSensor();
    ASSERT_EQ(listener.finds.size(), 1U);
    EXPECT_TRUE(linkState.linkAlive);
    EXPECT_TRUE(comPort.PortOpen());

    // The collection the search began goes on, and the first CTS end ends it: its statistics take the same
    // readings as its record.
    receive("4,5,6\n");
    comPort.changeCts(false);
    ASSERT_EQ(listener.ends.size(), 1U);
    EXPECT_GT(listener.ends[0].samples, 2);
    EXPECT_EQ(listener.ends[0].statistics.readings, listener.ends[0].samples);
}

TEST_F(MonitorTest, TellsASilenceOfTheFoundSensorOnceAndItsDataAgainWithoutATickOfItsOwn)
{
    comPort.tellsOfActivity = true;
    findTheSensor();
    ASSERT_EQ(listener.finds.size(), 1U);
    receive("1,2,3\n");
    ASSERT_TRUE(ticker.pending());
    EXPECT_EQ(ticker.lastDelay, std::chrono::milliseconds(2001)) << "just past the silence's limit";
    ticker.tick();
    ASSERT_EQ(listener.silences.size(), 1U);
    EXPECT_EQ(listener.silences[0].port, 1);
    EXPECT_EQ(listener.silences[0].lasted, std::chrono::milliseconds(2000));
    EXPECT_FALSE(ticker.pending()) << "told once; a silent sensor wakes nothing more";
    clock.advanceMilliseconds(23'399);
    receive("1,2,3\n");
    ASSERT_EQ(listener.returns.size(), 1U);
    EXPECT_EQ(listener.returns[0].lasted, std::chrono::milliseconds(25'400));
    EXPECT_EQ(silenceText(listener.silences[0]), "No data for 2 s on port 1");
    EXPECT_EQ(dataAgainText(listener.returns[0]), "Data again after 25.4 s");
    EXPECT_TRUE(linkState.linkAlive);
    EXPECT_EQ(listener.silences.size(), 1U);
}

// A port that tells of its news, as a real device does: the monitor wakes for it, and otherwise only
// when a watchdog comes due.
class WakingPortTest : public MonitorTest {
protected:
    WakingPortTest()
    {
        comPort.tellsOfActivity = true;
        ticker.tick(); // the first look
    }

    // Whatever woke it, the monitor counts the ticks that have passed since.
    void wakeAfter(int milliseconds)
    {
        clock.advanceMilliseconds(milliseconds);
        monitor.wake();
    }
};

TEST_F(WakingPortTest, CountsTheTicksOfASilenceFromTheClock)
{
    comPort.arrive("1,2,3\n");
    ticker.tick();
    ASSERT_TRUE(linkState.dataIndicatorGreen);
    wakeAfter(105);
    EXPECT_EQ(linkState.ticksSinceSentence, 10) << "105 ms are ten ticks, not eleven";
    EXPECT_TRUE(linkState.dataIndicatorGreen);
    wakeAfter(4);
    EXPECT_EQ(linkState.ticksSinceSentence, 10) << "still within the tenth";
    wakeAfter(1);
    EXPECT_EQ(linkState.ticksSinceSentence, 11);
    EXPECT_FALSE(linkState.dataIndicatorGreen) << "neutral after more than ten ticks";
}

TEST_F(WakingPortTest, WakesForTheIndicatorOnceThenSleeps)
{
    comPort.arrive("1,2,3\n");
    ticker.tick();
    ASSERT_TRUE(ticker.pending());
    EXPECT_EQ(ticker.lastDelay, std::chrono::milliseconds(110)) << "when the indicator turns neutral";
    ticker.tick();
    EXPECT_FALSE(linkState.dataIndicatorGreen);
    EXPECT_FALSE(ticker.pending()) << "a silent port wakes nothing";
    EXPECT_TRUE(linkState.linkAlive);
}

TEST_F(WakingPortTest, AGonePortIsDeclaredDeadTenTicksAfterItsFirstFailure)
{
    comPort.arrive("1,2,3\n");
    ticker.tick();
    clock.advanceMilliseconds(30);
    comPort.fail();
    ticker.tick();
    EXPECT_EQ(linkState.readErrorCount, 1);
    const std::int64_t failedAt = clock.monotonicMilliseconds();
    int wakeUps = 0;
    while (ticker.pending() && linkState.linkAlive && wakeUps < 20) {
        ticker.tick();
        ++wakeUps;
    }
    EXPECT_FALSE(linkState.linkAlive);
    EXPECT_EQ(linkState.readErrorCount, 10);
    EXPECT_EQ(clock.monotonicMilliseconds() - failedAt, 90) << "the tenth failing tick, nine after the first";
    EXPECT_LE(wakeUps, 2) << "woken for the watchdogs only, not every tick";
    EXPECT_EQ(listener.losses.size(), 1U);
    EXPECT_FALSE(ticker.pending()) << "nothing more to look at until the search opens a port";
}

TEST_F(WakingPortTest, ALongStallIsCountedAndStopsAtTheLargestCount)
{
    linkState.ticksSinceSentence = std::numeric_limits<std::int32_t>::max() - 5;
    wakeAfter(1'000'000);
    EXPECT_EQ(linkState.ticksSinceSentence, std::numeric_limits<std::int32_t>::max());
    linkState.ticksSinceSentence = 0;
    wakeAfter(86'400'000);
    EXPECT_EQ(linkState.ticksSinceSentence, 8'640'000) << "a day of ticks";
}

TEST_F(WakingPortTest, NewsWithinOneTickIsTakenWithoutCountingAnotherTick)
{
    comPort.arrive("1,2,");
    ticker.tick();
    const std::int32_t ticks = linkState.ticksSinceSentence;
    comPort.arrive("3\n");
    ticker.tick(); // the same millisecond: the port's news, not a new tick
    EXPECT_EQ(linkState.ticksSinceSentence, 0) << "the sentence was taken";
    EXPECT_GE(ticks, 1);
    EXPECT_EQ(listener.readings.size(), 1U);
}

} // namespace
} // namespace marlume::monitor
