#include "link/receive_loop.h"

#include "support/fake_clock.h"
#include "support/fake_link_observer.h"
#include "support/fake_serial_control.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <limits>

namespace marlume::link {
namespace {

using testing::FakeClock;
using testing::FakeLinkObserver;
using testing::FakeSerialControl;

constexpr bool kGreen = true;
constexpr bool kNeutral = false;
constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();

// The receive loop on an open port 1 with the real record.
class ReceiveLoopFixture {
public:
    ReceiveLoopFixture()
    {
        port.presentPorts = { 1 };
        EXPECT_TRUE(port.setInputLen(1));
        EXPECT_TRUE(port.setPortOpen(true));
        port.setOnComm([this] { loop.ComPort_OnComm(); });
    }

    // One tick with these characters waiting.
    void tick(std::string_view characters = {})
    {
        port.arrive(characters);
        loop.Timer1_Timer();
    }

    FakeClock clock;
    FakeLinkObserver view;
    FakeSerialControl port;
    LinkState state;
    record::DataRecordClass record { clock };
    StatusLine status { view, state };
    int starts = 0;
    int ends = 0;
    std::vector<record::AcceptedReading> readings;
    ReceiveLoop loop { port, record, clock, view, state, { [this] { ++starts; }, [this] { ++ends; }, {} },
        { [this](const record::AcceptedReading& reading) { readings.push_back(reading); }, {} } };
};

struct LineCase {
    std::string name;
    std::string characters;
    std::string buffer; // sentenceBuffer after the tick
    std::size_t readings;
    std::int32_t ticksSinceSentence;
};

class ReceiveLineTest : public ::testing::TestWithParam<LineCase> { };

TEST_P(ReceiveLineTest, AssemblesSentences)
{
    const LineCase& row = GetParam();
    ReceiveLoopFixture f;
    f.state.ticksSinceSentence = 5;

    f.tick(row.characters);

    EXPECT_EQ(f.state.sentenceBuffer, row.buffer);
    EXPECT_EQ(f.readings.size(), row.readings);
    EXPECT_EQ(f.state.ticksSinceSentence, row.ticksSinceSentence);
    EXPECT_TRUE(f.port.waiting[1].empty()) << "the tick drains the port";
    EXPECT_TRUE(f.state.linkAlive);
    EXPECT_EQ(f.state.readErrorCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, ReceiveLineTest,
    ::testing::Values(LineCase { "carriage_return_dropped", "12,1,2\r", "12,1,2", 0, 6 },
        LineCase { "cr_lf_sentence_accepted", "12,1,2\r\n", "", 1, 0 },
        LineCase { "empty_line_rejected", "\n", "", 0, 6 },
        LineCase { "rejected_sentence_empties_buffer", "123.4,-2.5\n", "", 0, 6 },
        LineCase { "control_characters_dropped",
            "\t1,\x01"
            "2,\x1F"
            "3",
            "1,2,3", 0, 6 },
        LineCase { "high_codes_kept", "\xB0\x7F", "\xB0\x7F", 0, 6 },
        LineCase { "two_sentences_in_one_tick", "1,2,3\n4,5,6\n7", "7", 2, 0 }),
    testing::CaseName {});

TEST(ReceiveLoopTest, RejectedSentenceLeavesIndicatorAlone)
{
    ReceiveLoopFixture f;
    f.tick("1,2,3\n");
    f.tick("no reading\n");
    EXPECT_EQ(f.view.indicator, std::vector<bool>({ kGreen }));
}

TEST(ReceiveLoopTest, IndicatorFlipsOncePerAcceptedSentence)
{
    ReceiveLoopFixture f;
    f.tick("1,2,3\n");
    f.tick("1,2,");
    f.tick("4\n2,3,4\n");
    EXPECT_EQ(f.view.indicator, std::vector<bool>({ kGreen, kNeutral, kGreen }));
    ASSERT_EQ(f.readings.size(), 3U);
    EXPECT_EQ(f.readings[1].heading, 1.0F);
}

TEST(ReceiveLoopTest, SilentSensorTurnsIndicatorNeutralAfterElevenTicksAndKeepsLink)
{
    ReceiveLoopFixture f;
    f.tick("1,2,3\n");
    for (int i = 0; i < 10; ++i)
        f.tick();
    EXPECT_EQ(f.view.indicator, std::vector<bool>({ kGreen })) << "ten quiet ticks keep the green";
    f.tick();
    EXPECT_EQ(f.view.indicator, std::vector<bool>({ kGreen, kNeutral }));
    EXPECT_TRUE(f.state.linkAlive);
    EXPECT_EQ(f.state.readErrorCount, 0);
}

TEST(ReceiveLoopTest, TenthFailingTickEndsTheLink)
{
    ReceiveLoopFixture f;
    f.tick("1");
    f.port.failReads = true;
    for (int i = 0; i < 9; ++i)
        f.tick();
    EXPECT_TRUE(f.state.linkAlive);
    EXPECT_EQ(f.state.readErrorCount, 9);
    f.tick();
    EXPECT_FALSE(f.state.linkAlive);
    EXPECT_EQ(f.state.sentenceBuffer, "1") << "a failing tick keeps what was collected";
}

TEST(ReceiveLoopTest, CharacterBetweenFailingTicksStartsTheCountAgain)
{
    ReceiveLoopFixture f;
    f.port.failReads = true;
    for (int i = 0; i < 9; ++i)
        f.tick();
    f.port.failReads = false;
    f.tick("x");
    f.port.failReads = true;
    for (int i = 0; i < 9; ++i)
        f.tick();
    EXPECT_TRUE(f.state.linkAlive);
    f.tick();
    EXPECT_FALSE(f.state.linkAlive);
}

TEST(ReceiveLoopTest, FailingInputTakesTheErrorPath)
{
    ReceiveLoopFixture f;
    f.port.failInput = true;
    f.tick("1,2,3\n");
    EXPECT_EQ(f.state.readErrorCount, 1);
    EXPECT_TRUE(f.readings.empty());
}

TEST(ReceiveLoopTest, ClosedPortFails)
{
    ReceiveLoopFixture f;
    ASSERT_TRUE(f.port.setPortOpen(false));
    f.tick();
    EXPECT_EQ(f.state.readErrorCount, 1);
}

TEST(ReceiveLoopTest, OverlongLineIsDroppedUpToItsLineFeed)
{
    ReceiveLoopFixture f;
    f.tick(std::string(ReceiveLoop::kSentenceBufferLimit, '9'));
    EXPECT_EQ(f.state.sentenceBuffer.size(), ReceiveLoop::kSentenceBufferLimit);
    // Without the bound, the tail would make "999...9,1,2" a reading.
    f.tick(std::string(5000, '9') + ",1,2\n");
    EXPECT_TRUE(f.state.sentenceBuffer.empty());
    EXPECT_TRUE(f.readings.empty());
    f.tick("4,5,6\n");
    EXPECT_EQ(f.readings.size(), 1U);
}

TEST(ReceiveLoopTest, LineAtTheBoundIsStillASentence)
{
    ReceiveLoopFixture f;
    const std::string sentence = "1,2,3" + std::string(ReceiveLoop::kSentenceBufferLimit - 5, ' ');
    f.tick(sentence + "\n");
    EXPECT_EQ(f.readings.size(), 1U);
}

TEST(ReceiveLoopTest, CountersStopAtTheLargestValue)
{
    ReceiveLoopFixture f;
    f.state.ticksSinceSentence = kLargest;
    f.state.readErrorCount = kLargest;
    f.state.dataIndicatorGreen = true;
    f.port.failReads = true;

    f.tick();

    EXPECT_EQ(f.state.ticksSinceSentence, kLargest);
    EXPECT_EQ(f.state.readErrorCount, kLargest);
    EXPECT_FALSE(f.state.linkAlive);
    EXPECT_EQ(f.view.indicator, std::vector<bool>({ kNeutral }));
}

struct ReopenCase {
    std::string name;
    std::string before; // what the first opening left unfinished
    std::int16_t nextPort; // opened next; 0 keeps the first opening
    std::size_t readings;
    float heading; // of the last reading
    float pitch;
};

class SentenceAcrossOpeningsTest : public ::testing::TestWithParam<ReopenCase> { };

TEST_P(SentenceAcrossOpeningsTest, StartsAfreshWhenThePortIsOpened)
{
    const ReopenCase& row = GetParam();
    ReceiveLoopFixture f;
    f.port.presentPorts.insert(2);
    f.tick(row.before);
    if (row.nextPort != 0) {
        ASSERT_TRUE(f.port.setPortOpen(false));
        ASSERT_TRUE(f.port.setCommPort(row.nextPort));
        ASSERT_TRUE(f.port.setPortOpen(true));
    }

    f.tick("5,1,2\n");

    EXPECT_EQ(f.readings.size(), row.readings);
    EXPECT_EQ(f.record.LastHeading(), row.heading);
    EXPECT_EQ(f.record.LastPitch(), row.pitch);
    EXPECT_TRUE(f.state.sentenceBuffer.empty());
    EXPECT_FALSE(f.state.skippingToLineEnd);
}

INSTANTIATE_TEST_SUITE_P(Openings, SentenceAcrossOpeningsTest,
    ::testing::Values(ReopenCase { "cut_sentence_then_next_port", "12.0,3", 2, 1, 5.0F, 1.0F },
        ReopenCase { "cut_sentence_then_same_port_again", "12.0,3", 1, 1, 5.0F, 1.0F },
        ReopenCase { "overlong_line_then_next_port", std::string(ReceiveLoop::kSentenceBufferLimit + 1, '9'),
            2, 1, 5.0F, 1.0F },
        ReopenCase { "same_opening_keeps_the_line", "12.0,3", 0, 1, 12.0F, 35.0F }),
    testing::CaseName {});

struct CtsCase {
    std::string name;
    bool searchActive;
    std::int16_t event;
    bool cts;
    int starts;
    int ends;
};

class CtsDispatchTest : public ::testing::TestWithParam<CtsCase> { };

TEST_P(CtsDispatchTest, StartsAndEndsEvents)
{
    const CtsCase& row = GetParam();
    ReceiveLoopFixture f;
    f.state.searchActive = row.searchActive;

    if (row.event == platform::kCommEventCts)
        f.port.changeCts(row.cts);
    else
        f.port.report(row.event);

    EXPECT_EQ(f.starts, row.starts);
    EXPECT_EQ(f.ends, row.ends);
}

INSTANTIATE_TEST_SUITE_P(Events, CtsDispatchTest,
    ::testing::Values(CtsCase { "cts_high_starts", false, platform::kCommEventCts, true, 1, 0 },
        CtsCase { "cts_low_ends", false, platform::kCommEventCts, false, 0, 1 },
        CtsCase { "high_during_search_ignored", true, platform::kCommEventCts, true, 0, 0 },
        CtsCase { "low_during_search_ignored", true, platform::kCommEventCts, false, 0, 0 },
        CtsCase { "other_event_ignored", false, 2, true, 0, 0 }),
    testing::CaseName {});

TEST(ReceiveLoopTest, SearchStatusSilencesCtsAndReadyRestoresIt)
{
    ReceiveLoopFixture f;
    f.status.set(testing::searching(3));
    f.port.changeCts(true);
    f.status.set(testing::ready(3));
    f.port.changeCts(true);
    EXPECT_EQ(f.starts, 1);
}

} // namespace
} // namespace marlume::link
