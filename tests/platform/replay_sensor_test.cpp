#include "platform/replay_sensor.h"

#include "platform/port_control.h"
#include "platform/port_map.h"
#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace marlume::platform {
namespace {

const std::string kHeader = "Time,Heading,Pitch,Roll,Tilt,Event\r\n";

// Readings 100 ms apart from 14:02:11.000; events in the last field.
std::string logOf(const std::vector<std::string>& events)
{
    std::string text = kHeader;
    for (std::size_t i = 0; i < events.size(); ++i) {
        text += "2008-08-18T14:02:1" + std::to_string(1 + i / 10) + "." + std::to_string(i % 10) + "00,"
            + std::to_string(100 + i) + ",1.5,-2," + "2.5," + events[i] + "\r\n";
    }
    return text;
}

struct Notice {
    std::string message;
    bool problem;
};

class ReplaySensorTest : public ::testing::Test {
protected:
    ReplaySensor sensorFor(const std::string& text, double speed = 1.0)
    {
        EXPECT_TRUE(testing::writeFile(path, text));
        return { path, speed, clock, [this](const std::string& message, bool problem) {
                    notices.push_back({ message, problem });
                } };
    }
    // What the program would see on one tick: the CTS count, then the characters.
    std::string tick(ReplaySensor& sensor, int milliseconds = 10)
    {
        clock.advanceMilliseconds(milliseconds);
        counts.push_back(sensor.ctsChangeCount().value_or(0));
        levels.push_back(sensor.cts().value_or(false));
        return sensor.read(4096).value_or("(gone)");
    }

    testing::TemporaryFolder folder;
    std::string path = folder.pathOf("raw.txt");
    testing::FakeClock clock;
    std::vector<Notice> notices;
    std::vector<std::uint32_t> counts;
    std::vector<bool> levels;
};

TEST_F(ReplaySensorTest, SendsEachSentenceAtItsRecordedPace)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "", "" }));
    ASSERT_TRUE(sensor.open({}));
    EXPECT_EQ(tick(sensor, 0), "100,1.5,-2\r\n") << "the first at once";
    EXPECT_EQ(tick(sensor, 90), "");
    EXPECT_EQ(tick(sensor, 10), "101,1.5,-2\r\n");
    EXPECT_EQ(tick(sensor, 100), "102,1.5,-2\r\n");
    EXPECT_EQ(tick(sensor, 1000), "") << "silent after the end";
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_EQ(notices[0].message, "Replay of \"" + path + "\" finished: 3 readings");
    EXPECT_FALSE(notices[0].problem);
}

TEST_F(ReplaySensorTest, AWallClockSetBackAnHourPlaysOnlyTheTimeThatPassed)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "", "" }));
    ASSERT_TRUE(sensor.open({}));
    EXPECT_EQ(tick(sensor, 0), "100,1.5,-2\r\n");
    clock.setTimeOfDay(13, 2, 11); // the end of summer time
    EXPECT_EQ(tick(sensor, 100), "101,1.5,-2\r\n") << "a tenth of a second, not the rest of the log";
}

TEST_F(ReplaySensorTest, TenTimesFasterTakesATenthOfTheTime)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "", "" }), 10);
    ASSERT_TRUE(sensor.open({}));
    EXPECT_EQ(tick(sensor, 0), "100,1.5,-2\r\n");
    EXPECT_EQ(tick(sensor, 10), "101,1.5,-2\r\n");
    EXPECT_EQ(tick(sensor, 10), "102,1.5,-2\r\n");
}

TEST_F(ReplaySensorTest, RaisesCtsOverTheEventsBeforeTheirFirstReadingIsRead)
{
    // Two events straight after each other, then none.
    ReplaySensor sensor = sensorFor(logOf({ "", "1", "1", "2", "" }));
    ASSERT_TRUE(sensor.open({}));
    std::vector<std::string> sent;
    for (int n = 0; n < 60; ++n)
        sent.push_back(tick(sensor));
    std::vector<std::pair<bool, std::string>> seen; // the level with each sentence as the program reads it
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (!sent[i].empty())
            seen.emplace_back(levels[i], sent[i].substr(0, 3));
    }
    const std::vector<std::pair<bool, std::string>> expected { { false, "100" }, { true, "101" },
        { true, "102" }, { true, "103" }, { false, "104" } };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(counts.back(), 4U) << "up, down and up again between events 1 and 2, down";
}

TEST_F(ReplaySensorTest, ACtsChangeWaitsUntilTheLinesBeforeItHaveBeenRead)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "1" }), 1000); // both due at once
    ASSERT_TRUE(sensor.open({}));
    clock.advanceMilliseconds(10);
    EXPECT_EQ(sensor.ctsChangeCount(), 0U);
    EXPECT_EQ(sensor.read(4096), "100,1.5,-2\r\n") << "the reading before the event comes alone";
    EXPECT_EQ(sensor.ctsChangeCount(), 1U);
    EXPECT_EQ(sensor.read(4096), "101,1.5,-2\r\n");
}

TEST_F(ReplaySensorTest, EachLineAndEdgeCarriesItsRecordedTimeAndTheHeadingShownBeforeIt)
{
    // The record showed 300 when the log began; event 1 starts between two readings; the clock goes
    // back an hour (the end of summer time) before the last reading.
    ReplaySensor sensor = sensorFor("Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n"
                                    "2008-08-18T14:02:11.000,,,,,,300\r\n"
                                    "2008-08-18T14:02:11.100,299.6,1,2,2.2,,300\r\n"
                                    "2008-08-18T14:02:11.150,,,,,1,300\r\n"
                                    "2008-08-18T14:02:11.200,301,1,2,2.2,1,301\r\n"
                                    "2008-08-18T14:02:11.300,,,,,,301\r\n"
                                    "2008-08-18T13:02:11.400,302,1,2,2.2,,302\r\n");
    ASSERT_TRUE(sensor.open({}));
    const auto moment = [&](int hour, int millisecond, std::optional<float> shown) {
        return RecordedMoment { { 2008, 8, 18, hour, 2, 11, millisecond }, shown };
    };
    EXPECT_EQ(tick(sensor, 0), "");
    EXPECT_EQ(sensor.recorded(), std::nullopt) << "nothing handed over yet";
    EXPECT_EQ(tick(sensor, 100), "299.6,1,2\r\n");
    EXPECT_EQ(sensor.recorded(), moment(14, 100, 300.0F));
    EXPECT_EQ(tick(sensor, 50), "");
    EXPECT_TRUE(levels.back()) << "CTS rises at the mark";
    EXPECT_EQ(sensor.recorded(), moment(14, 150, 300.0F)) << "the edge's own time";
    EXPECT_EQ(tick(sensor, 50), "301,1,2\r\n");
    EXPECT_EQ(sensor.recorded(), moment(14, 200, 300.0F));
    EXPECT_EQ(tick(sensor, 100), "302,1,2\r\n") << "CTS falls at the mark, and a time going back is no pause";
    EXPECT_FALSE(levels.back());
    EXPECT_EQ(sensor.recorded(), moment(13, 400, 301.0F));
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[0].message,
        "Replay of \"" + path
            + "\": line 7 goes back in time, from 2008-08-18 14:02:11.300 to 2008-08-18 13:02:11.400; played "
              "on "
              "without a pause");
    EXPECT_FALSE(notices[0].problem);
    EXPECT_EQ(notices[1].message, "Replay of \"" + path + "\" finished: 3 readings");
    sensor.close();
    EXPECT_EQ(sensor.recorded(), std::nullopt);
}

struct BadFileCase {
    std::string name;
    std::optional<std::string> text; // written to the file; nullopt: the path below instead
    std::string path; // with no text: "fifo" for a FIFO made in the test's folder, else this path
    std::string message; // after "Cannot replay "<path>": "
};

class ReplayBadFileTest : public ReplaySensorTest, public ::testing::WithParamInterface<BadFileCase> { };

TEST_P(ReplayBadFileTest, RefusesToOpenAndSaysWhy)
{
    std::string shownPath = path;
    if (GetParam().text) {
        ASSERT_TRUE(testing::writeFile(path, *GetParam().text));
    } else if (GetParam().path == "fifo") {
        shownPath = folder.pathOf("fifo");
        ASSERT_EQ(mkfifo(shownPath.c_str(), 0600), 0);
    } else {
        shownPath = GetParam().path.empty() ? folder.pathOf("missing.txt") : GetParam().path;
    }
    ReplaySensor sensor(shownPath, 1.0, clock, [this](const std::string& message, bool problem) {
        notices.push_back({ message, problem });
    });
    EXPECT_FALSE(sensor.open({}));
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_TRUE(notices[0].problem);
    EXPECT_EQ(notices[0].message, "Cannot replay \"" + shownPath + "\": " + GetParam().message);
    EXPECT_EQ(sensor.read(10), "") << "a closed replay sends nothing";
}

const std::string kNoLog
    = "it is no raw readings log (its first line is not \"Time,Heading,Pitch,Roll,Tilt,Event,Shown\")";

INSTANTIATE_TEST_SUITE_P(Files, ReplayBadFileTest,
    ::testing::ValuesIn(std::vector<BadFileCase> {
        { "Missing", std::nullopt, "", "No such file or directory" },
        { "Empty", "", "", kNoLog },
        { "ACaptureFile",
            "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n", "",
            kNoLog },
        { "Binary",
            std::string("\x7f"
                        "ELF\x02\x01\x01\0\0\0",
                10),
            "", kNoLog },
        { "HeaderOnly", kHeader, "", "it holds no readings" },
        { "BadFirstLine", kHeader + "2008-08-18T14:02:11.000,1,2\r\n", "", "line 2 has 3 fields, not 6" },
        { "AFifoThatWouldWaitForAWriter", std::nullopt, "fifo", "not a regular file" },
        { "AnEndlessDevice", std::nullopt, "/dev/zero", "not a regular file" },
        { "NoLineEndInAHugeFile", std::string(1'000'000, 'x'), "", kNoLog },
        { "ALineLongerThanAnyReading", kHeader + std::string(5000, '1') + "\r\n", "",
            "line 2 is longer than 4096 characters" },
    }),
    testing::CaseName());

TEST_F(ReplaySensorTest, ARefusedFileIsNotReadAgainUntilItChanges)
{
    ReplaySensor::Refusals refusals;
    const auto opens = [&] {
        ReplaySensor sensor(
            path, 1.0, clock,
            [this](const std::string& message, bool problem) {
                notices.push_back({ message, problem });
            },
            &refusals);
        return sensor.open({});
    };
    ASSERT_TRUE(testing::writeFile(path, "no log\r\n"));
    EXPECT_FALSE(opens());
    EXPECT_FALSE(opens());
    EXPECT_EQ(notices.size(), 1U) << "the second search round read it again";
    ASSERT_TRUE(testing::writeFile(path, logOf({ "" })));
    EXPECT_TRUE(opens()) << "changed since";
}

TEST_F(ReplaySensorTest, ALogThatEndsInsideAnEventEndsItAtItsLastReading)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "1", "1" }));
    ASSERT_TRUE(sensor.open({}));
    std::string sent;
    for (int n = 0; n < 60; ++n)
        sent += tick(sensor);
    EXPECT_EQ(sent, "100,1.5,-2\r\n101,1.5,-2\r\n102,1.5,-2\r\n");
    EXPECT_FALSE(levels.back()) << "the event is left open";
    EXPECT_EQ(counts.back(), 2U) << "up over the event, down after its last reading";
}

TEST_F(ReplaySensorTest, ABadLineLaterEndsTheReplayThereAndSaysWhere)
{
    ReplaySensor sensor
        = sensorFor(logOf({ "", "" }) + "2008-08-18T14:02:12.000,1,x,3,4,\r\n" + logOf({ "" }));
    ASSERT_TRUE(sensor.open({}));
    std::string sent;
    for (int n = 0; n < 100; ++n)
        sent += tick(sensor);
    EXPECT_EQ(sent, "100,1.5,-2\r\n101,1.5,-2\r\n");
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_EQ(notices[0].message, "Replay of \"" + path + "\" stopped: line 4 has no number for the pitch");
    EXPECT_TRUE(notices[0].problem);
}

TEST_F(ReplaySensorTest, EveryOpeningPlaysFromTheStart)
{
    ReplaySensor sensor = sensorFor(logOf({ "", "" }));
    ASSERT_TRUE(sensor.open({}));
    EXPECT_EQ(tick(sensor, 0), "100,1.5,-2\r\n");
    sensor.close();
    ASSERT_TRUE(sensor.open({}));
    EXPECT_EQ(tick(sensor, 0), "100,1.5,-2\r\n");
}

const std::string kSpeed = "the speed after @ must be a number above 0 followed by x, as in @10x";

PortEntry unusable(const std::string& text, const std::string& problem)
{
    return { PortEntry::Kind::Unusable, text, 1.0, problem };
}

struct EntryCase {
    std::string name;
    std::string list;
    PortEntry entry; // port 1
    std::string listed; // port 1 as --list-ports shows it
};

class ReplayEntryTest : public ::testing::TestWithParam<EntryCase> { };

TEST_P(ReplayEntryTest, IsReadFromThePortList)
{
    const PortMap map = parsePortMap(GetParam().list);
    EXPECT_EQ(map[0], GetParam().entry);
    const std::string listed = formatPortMap(map);
    EXPECT_EQ(listed.substr(0, listed.find('\n')), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(Entries, ReplayEntryTest,
    ::testing::ValuesIn(std::vector<EntryCase> {
        { "AtRecordedPace", "replay:/data/raw.txt", { PortEntry::Kind::Replay, "/data/raw.txt", 1.0 },
            "port  1: replay:/data/raw.txt" },
        { "TenTimesFaster", " replay:/data/raw.txt@10x ", { PortEntry::Kind::Replay, "/data/raw.txt", 10.0 },
            "port  1: replay:/data/raw.txt@10x" },
        { "HalfSpeed", "replay:raw.txt@0.5x", { PortEntry::Kind::Replay, "raw.txt", 0.5 },
            "port  1: replay:raw.txt@0.5x" },
        { "AnAtInThePath", "replay:/data/me@host/raw.txt",
            { PortEntry::Kind::Replay, "/data/me@host/raw.txt", 1.0 },
            "port  1: replay:/data/me@host/raw.txt" },
        { "APathEndingLikeASpeed", "replay:take@2x@1x", { PortEntry::Kind::Replay, "take@2x", 1.0 },
            "port  1: replay:take@2x@1x" },
        { "APathEndingInABlank", "replay:take @1x", { PortEntry::Kind::Replay, "take ", 1.0 },
            "port  1: replay:take @1x" },
        { "ASpeedToTheDigitsListed", "replay:raw.txt@1.0000001x", { PortEntry::Kind::Replay, "raw.txt", 1.0 },
            "port  1: replay:raw.txt" },
        { "AnUpperCaseX", "replay:raw.txt@10X", { PortEntry::Kind::Replay, "raw.txt", 10.0 },
            "port  1: replay:raw.txt@10x" },
        { "ACommaInQuotes", "\"replay:/data/a,b.txt\"@2x,sim",
            { PortEntry::Kind::Replay, "/data/a,b.txt", 2.0 }, "port  1: replay:\"/data/a,b.txt\"@2x" },
        { "ZeroSpeed", "replay:raw60.txt@0x", unusable("replay:raw60.txt@0x", kSpeed),
            "port  1: replay:raw60.txt@0x" },
        { "NegativeSpeed", "replay:raw60.txt@-1x", unusable("replay:raw60.txt@-1x", kSpeed),
            "port  1: replay:raw60.txt@-1x" },
        { "NoNumber", "replay:raw60.txt@abcx", unusable("replay:raw60.txt@abcx", kSpeed),
            "port  1: replay:raw60.txt@abcx" },
        { "NoX", "replay:raw60.txt@10", unusable("replay:raw60.txt@10", kSpeed),
            "port  1: replay:raw60.txt@10" },
        { "AnOpenQuote", "\"replay:/data/a,b.txt",
            unusable("replay:/data/a,b.txt", "a double quote is not closed"),
            "port  1: replay:/data/a,b.txt" },
    }),
    testing::CaseName());

TEST(ReplayPortTest, ABadFileIsToldOnceForItsPortAndTheSearchGoesOn)
{
    testing::TemporaryFolder folder;
    testing::FakeClock clock;
    const std::string missing = folder.pathOf("missing.txt");
    PortControl control([&] { return parsePortMap("sim,replay:" + missing + ",replay:raw60.txt@0x"); },
        [](const PortEntry&) { return nullptr; }, clock);
    std::vector<std::string> told;
    control.setOnNotice([&](const PortNotice& notice) {
        told.push_back(std::to_string(notice.port)
            + (notice.kind == PortNotice::Kind::Fault ? " problem: " : ": ") + notice.message);
    });
    for (int round = 0; round < 3; ++round) {
        for (const std::int16_t bad : { 2, 3 }) {
            ASSERT_TRUE(control.setCommPort(bad));
            EXPECT_FALSE(control.setPortOpen(true));
        }
        ASSERT_TRUE(control.setCommPort(1));
        EXPECT_TRUE(control.setPortOpen(true)) << "the next port opens as before";
        ASSERT_TRUE(control.setPortOpen(false));
    }
    const std::vector<std::string> expected { "2 problem: Cannot replay \"" + missing
            + "\": No such file or directory",
        "3 problem: Cannot use \"replay:raw60.txt@0x\": " + kSpeed };
    EXPECT_EQ(told, expected);
}

TEST(ReplayPortTest, AnExistingFileIsTakenWholeThoughItsNameEndsLikeASpeed)
{
    testing::TemporaryFolder folder;
    const std::string named = folder.pathOf("cast@2x");
    ASSERT_TRUE(testing::writeFile(named, "x"));
    EXPECT_EQ(parsePortMap("replay:" + named)[0], (PortEntry { PortEntry::Kind::Replay, named, 1.0 }));
    EXPECT_EQ(
        parsePortMap("replay:" + named + "@4x")[0], (PortEntry { PortEntry::Kind::Replay, named, 4.0 }));
}

} // namespace
} // namespace marlume::platform
