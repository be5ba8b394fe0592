#include "support/case_name.h"
#include "support/child_process.h"
#include "support/mosquitto_broker.h"
#include "support/mute_mqtt_broker.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace marlume::app {
namespace {

using namespace std::chrono_literals;

enum class Broker {
    Mosquitto,
    Slow, // takes the messages and never acknowledges them
    Refusing, // mosquitto, which takes another password
};

struct WindowCase {
    std::string name;
    Broker broker;
    std::string toldWhileRunning; // on the error output
    std::optional<std::string> saidAtEnd; // on the error output; "" for nothing undelivered
};

class MonitorMqttTest : public ::testing::TestWithParam<WindowCase> { };

// The window, with a recorded sensor whose one event lasts from 0.5 s to 1.5 s, reports to a broker.
TEST_P(MonitorMqttTest, TheWindowReportsItsEventsReadingsAndStateAndSaysWhatWentWrong)
{
    const testing::TemporaryFolder folder;
    std::string log = "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n";
    for (int tenth = 0; tenth < 30; ++tenth) {
        std::array<char, 32> time {};
        std::snprintf(time.data(), time.size(), "2008-08-18T14:10:%02d.%d00", tenth / 10, tenth % 10);
        log += std::string(time.data()) + ",12,1,2,2.2," + (tenth >= 5 && tenth < 15 ? "1" : "") + ",12\r\n";
    }
    ASSERT_TRUE(testing::writeFile(folder.pathOf("event.txt"), log));
    std::optional<testing::MosquittoBroker> broker;
    std::optional<testing::MqttSubscriber> subscriber;
    std::optional<testing::MuteMqttBroker> slowBroker;
    if (GetParam().broker == Broker::Slow) {
        slowBroker.emplace();
    } else {
        const bool refusing = GetParam().broker == Broker::Refusing;
        broker.emplace(
            false, refusing ? std::optional(testing::BrokerUser { "deck", "right" }) : std::nullopt);
        if (!refusing)
            subscriber.emplace(broker->port(), "window/#");
    }
    const std::uint16_t port = broker ? broker->port() : slowBroker->port();

    testing::ChildProcess monitor(
        { MARLUME_MONITOR_EXECUTABLE, "--mqtt", "mqtt://127.0.0.1:" + std::to_string(port) + "/window" },
        { { "QT_QPA_PLATFORM", "offscreen" },
            { "MARLUME_TILT_PORTS", "replay:" + folder.pathOf("event.txt") },
            { "XDG_CONFIG_HOME", folder.path().string() }, { "MARLUME_MQTT_USERNAME", "deck" },
            { "MARLUME_MQTT_PASSWORD", "wrong" } });
    const std::string event = R"({"number":1,"start":"2008-08-18T14:10:00.500")";
    if (GetParam().broker == Broker::Mosquitto) {
        EXPECT_TRUE(subscriber->waitFor("window/status", "online", 20s)) << monitor.err() << broker->err();
        EXPECT_TRUE(subscriber->waitFor("window/reading", R"("heading":12,)", 20s)) << monitor.err();
        EXPECT_TRUE(subscriber->waitFor("window/event", event, 20s)) << monitor.err();
    } else if (slowBroker) {
        EXPECT_TRUE(slowBroker->waitFor(event, 20s)) << "handed over, never acknowledged";
    }
    if (!GetParam().toldWhileRunning.empty()) {
        EXPECT_TRUE(monitor.waitForError(GetParam().toldWhileRunning, 20s)) << monitor.err();
    }

    monitor.signal(SIGTERM);
    EXPECT_EQ(monitor.waitForExit(30s), 0) << monitor.err();
    if (GetParam().broker == Broker::Mosquitto) {
        EXPECT_TRUE(subscriber->waitFor("window/status", "offline", 10s));
    }
    if (GetParam().saidAtEnd == "") {
        EXPECT_EQ(monitor.err().find("not delivered"), std::string::npos) << monitor.err();
    } else if (GetParam().saidAtEnd) {
        EXPECT_NE(monitor.err().find(*GetParam().saidAtEnd), std::string::npos) << monitor.err();
    }
}

INSTANTIATE_TEST_SUITE_P(Brokers, MonitorMqttTest,
    ::testing::ValuesIn(std::vector<WindowCase> {
        { "Mosquitto", Broker::Mosquitto, "", "" },
        { "SlowBroker", Broker::Slow, "", "marlume-tilt-monitor: 1 event not delivered to the broker\n" },
        // Whether the event has ended by the end is not known here.
        { "WrongPassword", Broker::Refusing, "refused the station: not authorised\n", std::nullopt },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::app
