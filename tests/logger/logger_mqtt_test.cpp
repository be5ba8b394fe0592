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
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace marlume::logger {
namespace {

using namespace std::chrono_literals;

// Fourteen recorded seconds, a reading every tenth: event 1 from 1 s to 2 s, event 2 from 7 s to 8 s.
std::string twoEventsLog()
{
    std::string log = "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n";
    for (int tenth = 0; tenth < 140; ++tenth) {
        std::array<char, 32> time {};
        std::snprintf(time.data(), time.size(), "2008-08-18T14:10:%02d.%d00", tenth / 10, tenth % 10);
        const char* event = tenth >= 10 && tenth < 20 ? "1" : tenth >= 70 && tenth < 80 ? "2" : "";
        log += std::string(time.data()) + ",12,1,2,2.2," + event + ",12\r\n";
    }
    return log;
}

bool waitForFile(const std::string& path, const std::string& text, std::chrono::seconds patience)
{
    for (const auto deadline = std::chrono::steady_clock::now() + patience;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
        if (testing::fileContents(path).find(text) != std::string::npos)
            return true;
    }
    return false;
}

// The broker is stopped for several seconds while the second event ends, and started again.
TEST(LoggerMqttTest, EveryCaptureRecordReachesTheSubscriberOnceAcrossABrokerRestart)
{
    const testing::TemporaryFolder folder;
    const std::string log = folder.pathOf("two-events.txt");
    const std::string capture = folder.pathOf("run.csv");
    ASSERT_TRUE(testing::writeFile(log, twoEventsLog()));
    testing::MosquittoBroker broker;
    const testing::MqttSubscriber subscriber(broker.port(), "station/#");

    testing::ChildProcess logger(
        { MARLUME_LOGGER_EXECUTABLE, "--ports", "replay:" + log, "--capture", capture, "--mqtt",
            "mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/station" },
        { { "MARLUME_TILT_PORTS", std::nullopt } });
    EXPECT_TRUE(subscriber.waitFor("station/status", "online", 20s)) << logger.out() << broker.err();
    EXPECT_TRUE(subscriber.waitFor("station/event", R"("number":1,)", 20s)) << logger.out();

    broker.stop();
    ASSERT_TRUE(waitForFile(capture, "\r\n2,", 20s)) << "the second event ends while the broker is away";
    std::this_thread::sleep_for(1s);
    broker.start();
    EXPECT_TRUE(subscriber.waitFor("station/event", R"("number":2,)", 30s)) << logger.out() << broker.err();

    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_TRUE(subscriber.waitFor("station/status", "offline", 10s)) << "said at a clean end";
    std::multiset<std::string> numbers;
    for (const auto& message : subscriber.messages("station/event"))
        numbers.insert(message.payload.substr(0, message.payload.find(',')));
    EXPECT_EQ(numbers, (std::multiset<std::string> { R"({"number":1)", R"({"number":2)" }))
        << "one message per capture record";
    EXPECT_NE(logger.out().find("MQTT: lost the broker"), std::string::npos) << logger.out();
}

TEST(LoggerMqttTest, ReportsOverTlsToABrokerTheGivenAuthorityVouchesFor)
{
    const testing::MosquittoBroker broker(true);
    const testing::MqttSubscriber subscriber(broker.port(), "tls/#");
    const std::string url = "mqtts://127.0.0.1:" + std::to_string(broker.tlsPort()) + "/tls";
    testing::ChildProcess logger(
        { MARLUME_LOGGER_EXECUTABLE, "--ports", "sim", "--mqtt", url, "--mqtt-ca", broker.caPath() },
        { { "MARLUME_TILT_PORTS", std::nullopt } });
    EXPECT_TRUE(subscriber.waitFor("tls/status", "online", 20s)) << logger.out() << broker.err();
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);

    testing::ChildProcess untrusting(
        { MARLUME_LOGGER_EXECUTABLE, "--ports", "sim", "--mqtt", url, "--mqtt-ca", "/nonexistent/ca.pem" },
        { { "MARLUME_TILT_PORTS", std::nullopt } });
    EXPECT_EQ(untrusting.waitForExit(10s), 2);
    EXPECT_NE(
        untrusting.err().find("MQTT: cannot use the CA file \"/nonexistent/ca.pem\""), std::string::npos)
        << untrusting.err();
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Both events end while the broker cannot have them; the logger is ended cleanly after the second.
struct UndeliveredCase {
    std::string name;
    bool refusing; // a broker that refuses the station's password, else one that never acknowledges
    std::string toldOnce; // on the error output, once however often the station tries
};

class LoggerMqttEndTest : public ::testing::TestWithParam<UndeliveredCase> { };

TEST_P(LoggerMqttEndTest, TheSummarySaysHowManyEventsTheBrokerDidNotHave)
{
    const testing::TemporaryFolder folder;
    const std::string log = folder.pathOf("two-events.txt");
    const std::string capture = folder.pathOf("run.csv");
    ASSERT_TRUE(testing::writeFile(log, twoEventsLog()));
    std::optional<testing::MosquittoBroker> refusing;
    std::optional<testing::MuteMqttBroker> mute;
    if (GetParam().refusing)
        refusing.emplace(false, testing::BrokerUser { "deck", "right" });
    else
        mute.emplace();
    const std::uint16_t port = refusing ? refusing->port() : mute->port();

    testing::ChildProcess logger(
        { MARLUME_LOGGER_EXECUTABLE, "--ports", "replay:" + log, "--capture", capture, "--mqtt",
            "mqtt://127.0.0.1:" + std::to_string(port) + "/station" },
        { { "MARLUME_TILT_PORTS", std::nullopt }, { "MARLUME_MQTT_USERNAME", "deck" },
            { "MARLUME_MQTT_PASSWORD", "wrong" } });
    ASSERT_TRUE(waitForFile(capture, "\r\n2,", 30s)) << logger.out() << logger.err();
    if (mute) {
        EXPECT_TRUE(mute->waitFor(R"("number":2,)", 20s)) << "handed over, never acknowledged";
    } else {
        EXPECT_TRUE(logger.waitForError(GetParam().toldOnce, 20s)) << logger.err();
    }
    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(30s), 0);

    EXPECT_NE(logger.out().find("; 2 events not delivered to the broker\n"), std::string::npos)
        << logger.out();
    EXPECT_EQ(logger.out().find("cannot reach"), std::string::npos) << logger.out();
    if (!GetParam().toldOnce.empty()) {
        EXPECT_EQ(occurrences(logger.err(), GetParam().toldOnce), 1U) << logger.err();
    }
}

INSTANTIATE_TEST_SUITE_P(Brokers, LoggerMqttEndTest,
    ::testing::ValuesIn(std::vector<UndeliveredCase> {
        { "SlowBroker", false, "" },
        { "WrongPassword", true, "refused the station: not authorised\n" },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::logger
