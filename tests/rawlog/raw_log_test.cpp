#include "rawlog/raw_log.h"

#include "common/raw_log_format.h"
#include "support/case_name.h"
#include "support/monitor_on_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::rawlog {
namespace {

class RawLogTest : public ::testing::Test, public testing::MonitorOnFakes {
protected:
    RawLogTest() { monitor.start(); }

    [[nodiscard]] std::string written() { return rawFiles.output.contents[1]; }
};

TEST_F(RawLogTest, KeepsEveryAcceptedReadingOfAScriptedSessionByteForByte)
{
    receive("999,1,1\r\n"); // before the log is opened: not in it
    monitor.RawLogMenu_Click();
    EXPECT_EQ(rawFiles.paths[1], "/data/raw.txt");
    receive("123.4,-2.5,1.8\r\nno sentence\r\n");
    comPort.changeCts(true);
    receive("102.4,1.5,2.5\r\n359.6,0.5,1.5\r\n");
    EXPECT_EQ(written(), "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n")
        << "the record's state at the start is gathered with the lines after it, not yet written";
    comPort.changeCts(false);
    receive("355,50,40\r\n");
    monitor.RawLogMenu_Click();

    // The heading as sent and as shown (359.6 turns past north to 0, 355 to -5), and a mark at each
    // event edge with its time.
    EXPECT_EQ(written(),
        "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n"
        "2008-08-18T14:02:11.020,,,,,,279\r\n"
        "2008-08-18T14:02:11.020,123.4,-2.5,1.8,3.1,,123\r\n"
        "2008-08-18T14:02:11.020,,,,,1,123\r\n"
        "2008-08-18T14:02:11.030,102.4,1.5,2.5,2.9,1,102\r\n"
        "2008-08-18T14:02:11.030,359.6,0.5,1.5,1.6,1,0\r\n"
        "2008-08-18T14:02:11.030,,,,,,0\r\n"
        "2008-08-18T14:02:11.040,355,50,40,88.4,,-5\r\n");
    EXPECT_TRUE(rawFiles.paths.empty()) << "closed";
    ASSERT_FALSE(rawView.shown.empty());
    EXPECT_EQ(rawView.label(), "Raw log closed: 4 readings logged, 1 line rejected");
    EXPECT_FALSE(rawView.shown.back().file.open);
}

TEST_F(RawLogTest, WritesWhatItGatheredOnceASecondAfterTheFirstReading)
{
    monitor.RawLogMenu_Click();
    const int headerWrites = rawFiles.output.writes;
    EXPECT_FALSE(flushTicker.pending()) << "nothing gathered, nothing to wait for";
    receive("1,2,3\r\n4,5,6\r\n");
    receive("7,8,9\r\n");
    EXPECT_TRUE(flushTicker.pending());
    EXPECT_EQ(flushTicker.lastDelay, std::chrono::milliseconds(1000));
    EXPECT_EQ(rawFiles.output.writes, headerWrites);
    flushTicker.tick();
    EXPECT_EQ(rawFiles.output.writes, headerWrites + 1) << "one write for the three lines";
    EXPECT_EQ(rawFiles.output.synced[1], written()) << "and synced";
    EXPECT_NE(written().find("7,8,9,"), std::string::npos);
    EXPECT_EQ(rawView.shown.back().readings, 3);
}

TEST_F(RawLogTest, WritesAtOnceWhenTheLinkIsLost)
{
    monitor.RawLogMenu_Click();
    receive("1,2,3\r\n");
    comPort.failReads = true;
    for (int tick = 0; tick < 10; ++tick)
        ticker.tick();
    EXPECT_FALSE(linkState.linkAlive);
    EXPECT_NE(written().find(",1,2,3,"), std::string::npos);
}

TEST_F(RawLogTest, AFullDiskIsToldWithTheReadingsLostAndWritingGoesOnAfterIt)
{
    monitor.RawLogMenu_Click();
    receive("1,2,3\r\n4,5,6\r\n");
    rawFiles.failure = "No space left on device";
    flushTicker.tick();
    EXPECT_EQ(rawView.label(), "Cannot write to \"raw.txt\": No space left on device");
    EXPECT_TRUE(rawView.shown.back().file.failure());
    EXPECT_TRUE(rawView.shown.back().file.open) << "the log goes on";
    rawFiles.failure.clear();
    receive("7,8,9\r\n");
    flushTicker.tick();
    EXPECT_EQ(rawView.label(), "Raw log to \"raw.txt\", 2 readings not saved");
    EXPECT_FALSE(rawView.shown.back().file.failure());
}

struct OpenFailureCase {
    std::string name;
    std::string openError; // opening fails so
    std::string syncFailure; // the header's sync fails so
    std::string label;
};

class RawLogOpenFailureTest : public RawLogTest, public ::testing::WithParamInterface<OpenFailureCase> { };

TEST_P(RawLogOpenFailureTest, IsToldAndLeavesTheLogClosed)
{
    rawFiles.openError = GetParam().openError;
    rawFiles.failure = GetParam().syncFailure;
    monitor.RawLogMenu_Click();
    EXPECT_FALSE(monitor.rawLog().isOpen());
    EXPECT_EQ(rawView.label(), GetParam().label);
    EXPECT_TRUE(rawView.shown.back().file.failure());
    receive("1,2,3\r\n");
    EXPECT_FALSE(flushTicker.pending()) << "readings are not gathered for a log that is not open";
}

INSTANTIATE_TEST_SUITE_P(Failures, RawLogOpenFailureTest,
    ::testing::ValuesIn(std::vector<OpenFailureCase> {
        { "CannotCreate", "Permission denied", "", "Cannot create \"raw.txt\": Permission denied" },
        { "HeaderNotWritten", "", "Input/output error", "Cannot write to \"raw.txt\": Input/output error" },
    }),
    testing::CaseName());

TEST_F(RawLogTest, ACancelledDialogOpensNothing)
{
    rawPath.clear();
    monitor.RawLogMenu_Click();
    EXPECT_FALSE(monitor.rawLog().isOpen());
    EXPECT_TRUE(rawFiles.paths.empty());
    EXPECT_TRUE(rawView.shown.empty());
}

TEST_F(RawLogTest, HeadingIsKeptAsSentSoThatAReplaySumsTheSame)
{
    monitor.RawLogMenu_Click();
    receive("350.4,0,0\r\n5.6,0,0\r\n");
    flushTicker.tick();
    EXPECT_NE(written().find(",350.4,0,0,0,,-10\r\n"), std::string::npos) << written();
    EXPECT_NE(written().find(",5.6,0,0,0,,6\r\n"), std::string::npos) << "not the record's 366" << written();
}

} // namespace
} // namespace marlume::rawlog
