#include "events/event_table.h"
#include "events/event_table_line.h"
#include "events/trigger_events.h"

#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/fake_event_views.h"
#include "support/fake_output_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::events {
namespace {

using testing::FakeCaptureView;
using testing::FakeClock;
using testing::FakeEventTableView;
using testing::FakeOutputFiles;

// --- the digit patterns of the table's columns ---

struct AverageCase {
    std::string name;
    float value;
    int digits;
    std::string expected;
};

class AveragePieceTest : public ::testing::TestWithParam<AverageCase> { };

TEST_P(AveragePieceTest, PrintsTheColumn)
{
    const auto& c = GetParam();
    EXPECT_EQ(averagePiece(c.value, c.digits), c.expected) << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(Patterns, AveragePieceTest,
    ::testing::ValuesIn(std::vector<AverageCase> {
        { "TiltTwoPointTwo", 2.2F, 2, " 02 | " },
        { "TiltExactHalfGoesUp", 2.5F, 2, " 03 | " },
        { "HalfAboveZeroGoesUp", 0.5F, 2, " 01 | " },
        { "OneAndAHalfGoesUpNotToEven", 1.5F, 2, " 02 | " },
        { "JustBelowAHalfGoesDown", 2.4999F, 2, " 02 | " },
        { "PitchNegativeExactHalfGoesDown", -2.5F, 2, "-03 | " },
        { "PitchMinusOnePointFour", -1.4F, 2, "-01 | " },
        { "RollZeroPointSix", 0.6F, 2, " 01 | " },
        { "NegativeHalfGoesAwayFromZero", -0.5F, 2, "-01 | " },
        { "NegativeRoundingToZeroShowsNoMinus", -0.3F, 2, " 00 | " },
        { "MoreDigitsThanPlaces", 123.4F, 2, " 123 | " },
        { "HeadingThreeDigits", 101, 3, " 101 | " },
        { "HeadingZero", 0, 3, " 000 | " },
        { "NegativeHeadingMinusInPlaceOfTheBlank", -5, 3, "-005 | " },
        { "NegativeHeadingFullWidth", -359, 3, "-359 | " },
    }),
    testing::CaseName());

struct SequenceCase {
    std::string name;
    std::int32_t number;
    std::string expected;
};

class SequencePieceTest : public ::testing::TestWithParam<SequenceCase> { };

TEST_P(SequencePieceTest, PrintsAtLeastThreeDigits)
{
    EXPECT_EQ(sequencePiece(GetParam().number), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, SequencePieceTest,
    ::testing::ValuesIn(std::vector<SequenceCase> {
        { "Zero", 0, "000 | " },
        { "Seven", 7, "007 | " },
        { "ThreeDigits", 999, "999 | " },
        { "ThousandIsOneWider", 1000, "1000 | " },
    }),
    testing::CaseName());

TEST(EventTableLine, BarsStandUnderTheColumnHeads)
{
    const std::string heads = "Seq#|Start Time| End Time |Tilt | Head |Pitch|Roll | N";
    const std::string line = sequencePiece(7) + startTimePiece({ 2008, 8, 18, 14, 2, 11 })
        + endTimePiece({ 2008, 8, 18, 14, 2, 41 }) + averagePiece(2.2F, 2) + averagePiece(101, 3)
        + averagePiece(-1.4F, 2) + averagePiece(0.6F, 2) + countPiece(3);
    EXPECT_EQ(line, "007 | 14:02:11 | 14:02:41 |  02 |  101 | -01 |  01 | 3\r\n");
    for (std::size_t position = 0; position < heads.size(); ++position)
        EXPECT_EQ(line[position] == '|', heads[position] == '|') << "column " << position + 1;
}

// --- the procedures, driven with the real record, writing the table ---

class TriggerEventsTest : public ::testing::Test {
protected:
    TriggerEventsTest() { dataRecord.parseString("100,1,2"); }

    void start() { table.eventStarted(events.StartEvent()); }
    void end() { table.eventEnded(events.EndEvent()); }

    FakeClock clock;
    record::DataRecordClass dataRecord { clock };
    FakeEventTableView view;
    FakeOutputFiles files;
    FakeCaptureView captureView;
    CaptureFile capture { dataRecord, files, captureView, [](std::string&, std::int16_t&) { return false; } };
    TriggerEvents events { dataRecord, capture };
    EventTable table { view };
};

TEST_F(TriggerEventsTest, AnEventAveragesTheReadingsBetweenStartAndEnd)
{
    start();
    EXPECT_EQ(table.logText(), "001 | 14:02:11 |");
    dataRecord.parseString("102.4,1.5,2.5");
    dataRecord.parseString("101.6,0.5,1.5");
    clock.setTimeOfDay(14, 2, 41);
    end();

    EXPECT_EQ(table.logText(), "001 | 14:02:11 | 14:02:41 |  02 |  101 |  01 |  02 | 3\r\n");
    EXPECT_EQ(view.text, table.logText());
    EXPECT_EQ(view.movesToEnd, 2);
}

// Actions, one every 10 seconds from 14:02:11 with the reading 100,1,2 current:
// S CTS high, E CTS low, P button pressed, U button released, R "Reset Seq#",
// F the port search finding the sensor (it restarts the collection and the numbering).
struct SequenceOfEvents {
    std::string name;
    std::string actions;
    std::string expectedLog;
};

class OddSituationsTest : public TriggerEventsTest,
                          public ::testing::WithParamInterface<SequenceOfEvents> { };

TEST_P(OddSituationsTest, WriteTheTableAsTheyCome)
{
    for (const char action : GetParam().actions) {
        switch (action) {
        case 'S':
        case 'P': // "Force Trigger" runs the same procedures as CTS
            start();
            break;
        case 'E':
        case 'U':
            end();
            break;
        case 'R':
            events.ResetSeqButton_Click();
            break;
        case 'F':
            dataRecord.startAvg();
            dataRecord.ResetSequenceNumber();
            break;
        default:
            FAIL() << "unknown action " << action;
        }
        clock.advanceMilliseconds(10'000);
    }
    EXPECT_EQ(table.logText(), GetParam().expectedLog);
    EXPECT_EQ(view.text, table.logText());
}

INSTANTIATE_TEST_SUITE_P(Table, OddSituationsTest,
    ::testing::ValuesIn(std::vector<SequenceOfEvents> {
        { "StartThenEnd", "SE", "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "ButtonPressAndRelease", "PU", "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "CtsStartButtonEnd", "SU", "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "TwoEventsCountOn", "SESE",
            "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n"
            "002 | 14:02:31 | 14:02:41 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "StartDuringAnEventJoinsTheLine", "SSE",
            "001 | 14:02:11 |002 | 14:02:21 | 14:02:31 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "EndWithoutAnyEvent", "E", " 14:02:11 |  00 |  000 |  00 |  00 | 0\r\n" },
        { "EndTwiceRepeatsTheLastAverages", "SEE",
            "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n"
            " 14:02:31 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "ResetStartsAgainAtOne", "SERSE",
            "001 | 14:02:11 | 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n"
            "001 | 14:02:41 | 14:02:51 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "EndAfterPortSearch", "FE", " 14:02:21 |  02 |  100 |  01 |  02 | 1\r\n" },
        { "PortSearchDuringAnEvent", "SFE", "001 | 14:02:11 | 14:02:31 |  02 |  100 |  01 |  02 | 1\r\n" },
    }),
    testing::CaseName());

// --- the table's length rule ---

struct LengthCase {
    std::string name;
    std::size_t before;
    std::size_t piece;
    std::size_t after;
};

class AppendToLogTest : public TriggerEventsTest, public ::testing::WithParamInterface<LengthCase> { };

TEST_P(AppendToLogTest, KeepsTheTableWithinItsLimit)
{
    const auto& c = GetParam();
    const std::string old = std::string(c.before - 1, 'o') + 'x';
    table.AppendToLog(old);
    const std::int32_t length = table.AppendToLog(std::string(c.piece, 'p'));

    EXPECT_EQ(static_cast<std::size_t>(length), c.after);
    EXPECT_EQ(table.logText().size(), c.after);
    EXPECT_EQ(table.logText().substr(c.after - c.piece - 1), 'x' + std::string(c.piece, 'p'));
    EXPECT_EQ(view.text, table.logText());
}

INSTANTIATE_TEST_SUITE_P(Lengths, AppendToLogTest,
    ::testing::ValuesIn(std::vector<LengthCase> {
        { "Short", 10, 12, 22 },
        { "ReachesTheLimitExactly", 65'488, 12, 65'500 },
        { "OneOverTheLimitCuts", 65'489, 12, 40'012 },
        { "CutKeepsTheLast40000", 65'490, 12, 40'012 },
    }),
    testing::CaseName());

TEST_F(TriggerEventsTest, EndPieceCutsTheTableBeforeTheRestOfTheLineFollows)
{
    table.AppendToLog(std::string(65'490, 'o'));
    end();
    const std::string rest = " 14:02:11 |  00 |  000 |  00 |  00 | 0\r\n";
    EXPECT_EQ(table.logText(), std::string(40'000, 'o') + rest);
    EXPECT_EQ(view.replacements, 1);
    EXPECT_EQ(view.text, table.logText());
}

} // namespace
} // namespace marlume::events
