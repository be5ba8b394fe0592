#include "link/port_search.h"

#include "link/receive_loop.h"

#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_link_observer.h"
#include "support/fake_serial_control.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace marlume::link {
namespace {

using testing::FakeClock;
using testing::FakeEventPump;
using testing::FakeLinkObserver;
using testing::FakeSerialControl;
using testing::ready;
using testing::searching;

// What a device sends each tick while its port is open.
using Device = std::function<std::string(int tick)>;

Device sensor()
{
    return [](int tick) { return tick % 5 == 0 ? std::string("100,1,2\r\n") : std::string(); };
}
Device silent()
{
    return [](int) { return std::string(); };
}
Device rejecting()
{
    return [](int tick) { return tick % 5 == 0 ? std::string("100,1\r\n") : std::string(); };
}
Device oneSentenceOnly()
{
    return [](int tick) { return tick == 0 ? std::string("100,1,2\n") : std::string(); };
}
Device cutOffMidSentence()
{
    return [](int tick) { return tick == 0 ? std::string("12.0,3") : std::string(); };
}

// The search with the receive loop running inside its waits: every round of events is one 10 ms tick.
class SearchFixture {
public:
    SearchFixture()
    {
        pump.onEvents = [this] {
            clock.advanceMilliseconds(10);
            if (port.PortOpen()) {
                const auto device = devices.find(port.CommPort());
                if (device != devices.end())
                    port.arrive(device->second(ticksOnPort[port.CommPort()]++));
            }
            loop.Timer1_Timer();
            // A search that should have ended long ago fails its test instead of hanging it.
            return elapsedMilliseconds() < 60'000 && (!endWhen || !endWhen());
        };
    }

    void connect(std::int16_t number, Device device)
    {
        port.presentPorts.insert(number);
        devices[number] = std::move(device);
    }

    // Milliseconds on the monotonic clock since the fixture started.
    [[nodiscard]] std::int64_t elapsedMilliseconds() const { return clock.monotonicMilliseconds() - start; }

    FakeClock clock;
    std::int64_t start = clock.monotonicMilliseconds();
    FakeLinkObserver view;
    FakeSerialControl port;
    FakeEventPump pump;
    std::map<std::int16_t, Device> devices;
    std::map<std::int16_t, int> ticksOnPort;
    std::function<bool()> endWhen;
    LinkState state;
    record::DataRecordClass record { clock };
    StatusLine status { view, state };
    std::size_t readings = 0;
    ReceiveLoop loop { port, record, clock, view, state, {}, { [this](const auto&) { ++readings; }, {} } };
    PortSearch search { port, record, status, clock, pump };
};

TEST(PortSearchTest, FindsSensorOnPortThree)
{
    SearchFixture f;
    f.connect(3, sensor());

    ASSERT_EQ(f.search.FindPort(), SearchResult::Found);

    EXPECT_EQ(f.view.statuses,
        std::vector<LinkStatus>({ searching(), searching(1), searching(2), searching(3), ready(3) }));
    EXPECT_TRUE(f.port.PortOpen());
    EXPECT_EQ(f.port.CommPort(), 3);
    EXPECT_LT(f.elapsedMilliseconds(), 200) << "found well within its second";
    EXPECT_FALSE(f.state.searchActive);
    EXPECT_TRUE(f.state.linkAlive);
    EXPECT_EQ(f.port.settings, "19200,N,8,1");
    EXPECT_EQ(f.port.inputMode, platform::kInputModeText);
    EXPECT_EQ(f.port.inputLen, 1);
    EXPECT_GT(f.readings, 0U) << "readings are told during the search";
}

struct GiveUpCase {
    std::string name;
    std::function<Device()> firstPort;
};

class PortGivenUpTest : public ::testing::TestWithParam<GiveUpCase> { };

TEST_P(PortGivenUpTest, AfterOneSecond)
{
    SearchFixture f;
    f.connect(1, GetParam().firstPort());
    f.connect(2, sensor());

    ASSERT_EQ(f.search.FindPort(), SearchResult::Found);

    EXPECT_EQ(f.port.CommPort(), 2);
    EXPECT_GE(f.elapsedMilliseconds(), 1000);
    EXPECT_LT(f.elapsedMilliseconds(), 1100);
}

INSTANTIATE_TEST_SUITE_P(Ports, PortGivenUpTest,
    ::testing::Values(GiveUpCase { "silent", silent }, GiveUpCase { "rejecting", rejecting },
        GiveUpCase { "one_sentence_only", oneSentenceOnly }),
    testing::CaseName {});

TEST(PortSearchTest, NoUsablePortCyclesThroughRoundsWithoutBurningTime)
{
    SearchFixture f;
    f.endWhen = [&f] { return f.view.statuses.size() == 1 + 3 * platform::kPortCount; };

    EXPECT_EQ(f.search.FindPort(), SearchResult::Ending);

    std::vector<LinkStatus> expected { searching() };
    for (int round = 0; round < 3; ++round)
        for (std::int16_t n = 1; n <= platform::kPortCount; ++n)
            expected.push_back(searching(n));
    EXPECT_EQ(f.view.statuses, expected);
    EXPECT_TRUE(f.state.searchActive);
    // Each empty round is followed by a pause spent handling events (about ten ticks), not a busy loop;
    // the third pause ended at its first round of events.
    EXPECT_GE(f.pump.calls, 21);
    EXPECT_GE(f.elapsedMilliseconds(), 210);
    EXPECT_LT(f.elapsedMilliseconds(), 240);
}

struct WallClockCase {
    std::string name;
    int hour; // the time of day at the start
    int jumpMinutes; // the wall clock set this far during port 1's wait
};

class WaitOnWallClockTest : public ::testing::TestWithParam<WallClockCase> { };

TEST_P(WaitOnWallClockTest, LastsOneSecondWhateverTheTimeOfDayDoes)
{
    const WallClockCase& row = GetParam();
    SearchFixture f;
    f.clock.setTimeOfDay(row.hour, 59, 59, 500);
    f.connect(1, silent());
    f.connect(2, silent());
    const auto searchTick = f.pump.onEvents;
    f.pump.onEvents = [&] {
        if (f.elapsedMilliseconds() == 300)
            f.clock.setTimeOfDay((row.hour + 24 + row.jumpMinutes / 60) % 24, 59, 59, 800);
        return searchTick() && f.view.statuses.back() != searching(2);
    };

    EXPECT_EQ(f.search.FindPort(), SearchResult::Ending);

    // The end is noticed at the first tick of port 2's wait.
    EXPECT_GE(f.elapsedMilliseconds(), 1000);
    EXPECT_LE(f.elapsedMilliseconds(), 1030);
}

INSTANTIATE_TEST_SUITE_P(Clocks, WaitOnWallClockTest,
    ::testing::Values(WallClockCase { "across_midnight", 23, 0 },
        WallClockCase { "set_back_an_hour", 14, -60 }, WallClockCase { "set_forward_an_hour", 14, 60 }),
    testing::CaseName {});

struct SkipCase {
    std::string name;
    std::function<void(SearchFixture&)> arrange;
};

class FirstRoundSkipTest : public ::testing::TestWithParam<SkipCase> { };

TEST_P(FirstRoundSkipTest, PassesOverPortOneAfterAFailedStart)
{
    SearchFixture f;
    f.connect(1, sensor());
    GetParam().arrange(f);
    const std::size_t openingsBefore = f.port.openings.size();

    ASSERT_EQ(f.search.FindPort(), SearchResult::Found);

    std::vector<std::int16_t> openings(
        f.port.openings.begin() + static_cast<std::ptrdiff_t>(openingsBefore), f.port.openings.end());
    // Step 2's attempt, then ports 2 to 16 of the first round, then port 1 of the second round.
    ASSERT_EQ(openings.size(), 1U + 15U + 1U);
    for (std::size_t i = 1; i < 16; ++i)
        EXPECT_EQ(openings[i], static_cast<std::int16_t>(i + 1));
    EXPECT_EQ(openings.back(), 1);
    EXPECT_EQ(f.port.CommPort(), 1);
}

INSTANTIATE_TEST_SUITE_P(Failures, FirstRoundSkipTest,
    ::testing::Values(SkipCase { "old_port_still_open",
                          [](SearchFixture& f) {
                              f.port.presentPorts.insert(9);
                              ASSERT_TRUE(f.port.setCommPort(9));
                              ASSERT_TRUE(f.port.setPortOpen(true));
                          } },
        SkipCase { "old_port_gone", [](SearchFixture& f) { ASSERT_TRUE(f.port.setCommPort(12)); } },
        SkipCase { "settings_rejected", [](SearchFixture& f) { f.port.failSettings = true; } }),
    testing::CaseName {});

TEST(PortSearchTest, SequenceNumberIsZeroAfterTheSearch)
{
    SearchFixture f;
    f.connect(4, sensor());
    f.connect(2, silent());
    for (int i = 0; i < 5; ++i)
        f.record.startAvg();

    ASSERT_EQ(f.search.FindPort(), SearchResult::Found);

    EXPECT_EQ(f.record.SequenceNumber(), 0);
    f.record.startAvg();
    EXPECT_EQ(f.record.SequenceNumber(), 1);
}

TEST(PortSearchTest, SentenceCutOffOnOnePortIsNoPartOfTheNextPortsAverage)
{
    SearchFixture f;
    f.connect(1, cutOffMidSentence());
    f.connect(2, sensor());
    // The reading current when an average starts is its first sample: make it the sensor's own.
    ASSERT_TRUE(f.record.parseString("100,1,2"));

    ASSERT_EQ(f.search.FindPort(), SearchResult::Found);

    EXPECT_EQ(f.port.CommPort(), 2);
    EXPECT_EQ(f.record.avgN(), PortSearch::kFoundSamples + 1);
    EXPECT_EQ(f.record.avgHeading(), 100.0F);
    EXPECT_EQ(f.record.avgPitch(), 1.0F);
}

TEST(PortSearchTest, EndingDuringAWaitReturnsAtOnce)
{
    SearchFixture f;
    f.connect(1, silent());
    f.endWhen = [&f] { return f.elapsedMilliseconds() >= 300; };

    EXPECT_EQ(f.search.FindPort(), SearchResult::Ending);
    EXPECT_EQ(f.elapsedMilliseconds(), 300);
}

TEST(MainLoopTest, SearchesAtStartAndAgainWhenTheLinkDies)
{
    SearchFixture f;
    f.connect(2, sensor());
    int eventRounds = 0;
    const auto searchTick = f.pump.onEvents;
    f.pump.onEvents = [&] {
        if (!searchTick())
            return false;
        ++eventRounds;
        if (eventRounds == 200)
            f.port.failReads = true; // the adapter is pulled out
        return eventRounds < 300;
    };

    runMainLoop(f.state, f.pump, f.search);

    const auto& statuses = f.view.statuses;
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), searching()), 2);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), ready(2)), 1);
    EXPECT_TRUE(f.state.searchActive);
}

} // namespace
} // namespace marlume::link
