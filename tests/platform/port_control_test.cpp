#include "platform/port_control.h"

#include "support/case_name.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace marlume::platform {
namespace {

using testing::FakeClock;

// Port 1 silent, port 2 nothing, port 3 the simulated sensor, port 4 a device path.
class PortControlTest : public ::testing::Test {
protected:
    PortControl control { [this] {
                             ++scans;
                             return parsePortMap("silent,,sim,/dev/adapter");
                         },
        [this](const PortEntry& entry) -> std::unique_ptr<SerialDevice> {
            madePaths.push_back(entry.path);
            return std::make_unique<SilentSensor>();
        },
        clock };
    FakeClock clock;
    int scans = 0;
    std::vector<std::string> madePaths;

    void openPort(std::int16_t port)
    {
        ASSERT_TRUE(control.setCommPort(port));
        ASSERT_TRUE(control.setPortOpen(true));
    }
};

TEST_F(PortControlTest, OpensOnlyMappedPorts)
{
    ASSERT_TRUE(control.setCommPort(2));
    EXPECT_FALSE(control.setPortOpen(true));
    EXPECT_FALSE(control.PortOpen());
    EXPECT_FALSE(control.InBufferCount().has_value()) << "a closed port cannot be read";
    EXPECT_FALSE(control.Input().has_value());

    openPort(4);
    EXPECT_EQ(madePaths, std::vector<std::string>({ "/dev/adapter" }));
    EXPECT_EQ(control.InBufferCount(), 0);
}

TEST_F(PortControlTest, RefusesWhatTheControlRefuses)
{
    openPort(1);
    EXPECT_FALSE(control.setPortOpen(true)) << "already open";
    EXPECT_FALSE(control.setCommPort(3)) << "the port number changes only while closed";
    ASSERT_TRUE(control.setPortOpen(false));
    EXPECT_FALSE(control.setCommPort(0));
    EXPECT_FALSE(control.setCommPort(17));
    EXPECT_FALSE(control.setSettings("19200,N,8"));
    EXPECT_FALSE(control.setInputMode(2));
    EXPECT_FALSE(control.setInputLen(-1));
    EXPECT_EQ(control.CommPort(), 1);
}

TEST_F(PortControlTest, PortMapIsBuiltAfreshWhenARoundStarts)
{
    openPort(3);
    ASSERT_TRUE(control.setPortOpen(false));
    openPort(4);
    ASSERT_TRUE(control.setPortOpen(false));
    EXPECT_EQ(scans, 1);
    openPort(1);
    EXPECT_EQ(scans, 2);
}

TEST_F(PortControlTest, InputLengthOneReadsOneCharacter)
{
    ASSERT_TRUE(control.setSettings("19200,N,8,1"));
    ASSERT_TRUE(control.setInputLen(1));
    openPort(3);
    clock.advanceMilliseconds(500);

    const auto waiting = control.InBufferCount();
    ASSERT_TRUE(waiting.has_value());
    ASSERT_GT(*waiting, 1);
    const auto one = control.Input();
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->size(), 1U);
    EXPECT_EQ(control.InBufferCount(), *waiting - 1);

    ASSERT_TRUE(control.setInputLen(0));
    EXPECT_EQ(control.Input()->size(), static_cast<std::size_t>(*waiting - 1)) << "0 reads all";
}

TEST_F(PortControlTest, CtsChangesRaiseOnCommWithTheLevel)
{
    std::vector<std::pair<std::int16_t, bool>> events;
    control.setOnComm([&] { events.emplace_back(control.CommEvent(), control.CTSHolding()); });
    openPort(3);
    for (int tick = 0; tick < 1400; ++tick) { // 14 s of 10 ms polls
        clock.advanceMilliseconds(10);
        control.poll();
    }
    EXPECT_EQ(events,
        (std::vector<std::pair<std::int16_t, bool>> { { kCommEventCts, true }, { kCommEventCts, false } }));
}

// A device whose driver counts CTS changes; the test sets what the next poll reads.
class CountingDevice final : public SerialDevice {
public:
    bool open(const LineSettings&) override { return true; }
    void close() override { }
    std::optional<std::size_t> available() override { return 0; }
    std::optional<std::string> read(std::size_t) override { return std::string(); }
    std::optional<bool> cts() override { return level; }
    std::optional<std::uint32_t> ctsChangeCount() override { return count; }

    std::optional<std::uint32_t> count;
    std::optional<bool> level;
};

struct CtsLook {
    std::optional<std::uint32_t> count;
    std::optional<bool> level;
};

struct CountedCtsCase {
    std::string name;
    CtsLook atOpening;
    std::vector<CtsLook> polls;
    std::vector<bool> raised; // CTSHolding at each OnComm, in order
};

class CountedCtsTest : public ::testing::TestWithParam<CountedCtsCase> { };

TEST_P(CountedCtsTest, RaisesEveryChangeInOrder)
{
    const CountedCtsCase& row = GetParam();
    FakeClock clock;
    CountingDevice* device = nullptr;
    PortControl control { [] { return parsePortMap("/dev/adapter"); },
        [&](const PortEntry&) -> std::unique_ptr<SerialDevice> {
            auto made = std::make_unique<CountingDevice>();
            made->count = row.atOpening.count;
            made->level = row.atOpening.level;
            device = made.get();
            return made;
        },
        clock };
    std::vector<bool> raised;
    control.setOnComm([&] {
        EXPECT_EQ(control.CommEvent(), kCommEventCts);
        raised.push_back(control.CTSHolding());
    });
    ASSERT_TRUE(control.setPortOpen(true));
    ASSERT_NE(device, nullptr);

    for (const CtsLook& look : row.polls) {
        device->count = look.count;
        device->level = look.level;
        control.poll();
    }

    EXPECT_EQ(raised, row.raised);
}

constexpr std::uint32_t kLargestCount = 0xFFFF'FFFFU;

INSTANTIATE_TEST_SUITE_P(Counts, CountedCtsTest,
    ::testing::Values(CountedCtsCase { "one_change", { 0, false }, { { 1, true } }, { true } },
        CountedCtsCase { "high_and_low_within_one_poll", { 0, false }, { { 2, false } }, { true, false } },
        CountedCtsCase {
            "three_changes_within_one_poll", { 0, false }, { { 3, true } }, { true, false, true } },
        CountedCtsCase { "no_change", { 7, true }, { { 7, true }, { 7, true } }, {} },
        CountedCtsCase {
            "origin_taken_at_opening", { 40, true }, { { 40, true }, { 41, false } }, { false } },
        CountedCtsCase { "one_counted_level_unchanged", { 0, false }, { { 1, false } }, { true, false } },
        CountedCtsCase { "two_counted_level_changed", { 0, false }, { { 2, true } }, { true, false, true } },
        CountedCtsCase {
            "change_after_the_count_was_read", { 0, false }, { { 0, true }, { 1, true } }, { true } },
        CountedCtsCase { "count_that_never_catches_up", { 0, false },
            { { 0, true }, { 0, true }, { 1, false } }, { true, false } },
        CountedCtsCase { "change_while_opening", { 1, false }, { { 1, true }, { 1, true } }, { true } },
        CountedCtsCase { "counter_wraps", { kLargestCount, false }, { { 1, false } }, { true, false } },
        CountedCtsCase { "level_unreadable", { 0, false }, { { 2, std::nullopt } }, { true, false } },
        CountedCtsCase { "without_count_the_level_is_polled", { std::nullopt, false },
            { { std::nullopt, true }, { std::nullopt, true }, { std::nullopt, false } }, { true, false } },
        CountedCtsCase {
            "count_lost_the_level_is_polled", { 0, false }, { { std::nullopt, true } }, { true } }),
    testing::CaseName {});

} // namespace
} // namespace marlume::platform
