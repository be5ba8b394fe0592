#include "support/child_process.h"
#include "support/mosquitto_broker.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

namespace marlume::app {
namespace {

using namespace std::chrono_literals;

// The window, with a recorded sensor whose one event lasts from 0.5 s to 1.5 s, reports to a broker.
TEST(MonitorMqttTest, TheWindowReportsItsEventsReadingsAndState)
{
    const testing::TemporaryFolder folder;
    std::string log = "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n";
    for (int tenth = 0; tenth < 30; ++tenth) {
        std::array<char, 32> time {};
        std::snprintf(time.data(), time.size(), "2008-08-18T14:10:%02d.%d00", tenth / 10, tenth % 10);
        log += std::string(time.data()) + ",12,1,2,2.2," + (tenth >= 5 && tenth < 15 ? "1" : "") + ",12\r\n";
    }
    ASSERT_TRUE(testing::writeFile(folder.pathOf("event.txt"), log));
    testing::MosquittoBroker broker;
    const testing::MqttSubscriber subscriber(broker.port(), "window/#");

    testing::ChildProcess monitor({ MARLUME_MONITOR_EXECUTABLE, "--mqtt",
                                      "mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/window" },
        { { "QT_QPA_PLATFORM", "offscreen" },
            { "MARLUME_TILT_PORTS", "replay:" + folder.pathOf("event.txt") },
            { "XDG_CONFIG_HOME", folder.path().string() } });
    EXPECT_TRUE(subscriber.waitFor("window/status", "online", 20s)) << monitor.err() << broker.err();
    EXPECT_TRUE(subscriber.waitFor("window/reading", R"("heading":12,)", 20s)) << monitor.err();
    EXPECT_TRUE(subscriber.waitFor("window/event", R"({"number":1,"start":"2008-08-18T14:10:00.500")", 20s))
        << monitor.err();

    monitor.signal(SIGTERM);
    EXPECT_EQ(monitor.waitForExit(10s), 0) << monitor.err();
    EXPECT_TRUE(subscriber.waitFor("window/status", "offline", 10s));
}

} // namespace
} // namespace marlume::app
