#include "platform/port_control.h"

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
        [this](const std::string& path) -> std::unique_ptr<SerialDevice> {
            madePaths.push_back(path);
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

} // namespace
} // namespace marlume::platform
