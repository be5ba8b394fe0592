#include "mqtt/broker_session.h"
#include "support/case_name.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace marlume::mqtt {
namespace {

// Takes every message, numbered from 1, and keeps it as "TOPIC PAYLOAD", with " retained" when it is.
struct FakeClient final : BrokerClient {
    std::optional<int> send(const std::string& topic, std::string_view payload, int, bool retain) override
    {
        sent.push_back(topic + ' ' + std::string(payload) + (retain ? " retained" : ""));
        return static_cast<int>(sent.size());
    }
    std::vector<std::string> sent;
};

// A session with a queue of three, to the broker b:1883, its script's steps kept.
struct SessionOnFakes {
    FakeClient client;
    testing::FakeClock clock;
    std::vector<StationNews> news;
    BrokerSession session { client, "b:1883", "s/status", clock,
        [this](const StationNews& told) { news.push_back(told); }, 3 };
    std::vector<int> pauses; // seconds before each next try
    std::vector<bool> waits; // whether the end still waits, at each look

    void events(int count)
    {
        for (int i = 0; i < count; ++i)
            session.publish("s/event", "e" + std::to_string(++m_events), 1);
    }
    void tryEnds() { pauses.push_back(static_cast<int>(session.attemptEnded().count())); }
    // The broker acknowledges every message sent so far.
    void acknowledgeAll()
    {
        for (std::size_t id = 1; id <= client.sent.size(); ++id)
            session.acknowledged(static_cast<int>(id));
    }
    void lookAtTheEnd() { waits.push_back(session.ending()); }

private:
    int m_events = 0;
};

struct SessionCase {
    std::string name;
    std::function<void(SessionOnFakes&)> script;
    std::vector<std::string> sent;
    std::vector<StationNews> news;
    std::vector<int> pauses;
    std::vector<bool> waits;
    std::size_t undelivered;
};

class MqttBrokerSessionTest : public ::testing::TestWithParam<SessionCase> { };

TEST_P(MqttBrokerSessionTest, SendsSaysAndWaitsAsTheBrokerAnswers)
{
    SessionOnFakes fakes;
    GetParam().script(fakes);
    EXPECT_EQ(fakes.client.sent, GetParam().sent);
    EXPECT_EQ(fakes.news, GetParam().news);
    EXPECT_EQ(fakes.pauses, GetParam().pauses);
    EXPECT_EQ(fakes.waits, GetParam().waits);
    EXPECT_EQ(fakes.session.undelivered(), GetParam().undelivered);
}

const StationNews kConnected { false, "MQTT: connected to b:1883" };
const StationNews kLost { false, "MQTT: lost the broker at b:1883, trying again" };

INSTANTIATE_TEST_SUITE_P(Scripts, MqttBrokerSessionTest,
    ::testing::ValuesIn(std::vector<SessionCase> {
        { "EventsWaitForTheBrokerAndFollowTheStatusReadingsDoNot",
            [](SessionOnFakes& f) {
                f.events(2);
                f.session.publish("s/reading", "r1", 0);
                f.session.connected();
                f.session.publish("s/reading", "r2", 0);
                f.acknowledgeAll();
                f.events(1);
            },
            { "s/status online retained", "s/event e1", "s/event e2", "s/reading r2", "s/event e3" },
            { kConnected }, {}, {}, 1 },
        // A status's acknowledgement frees no place: the queue holds e1 to e3, e4 to e6 are not sent.
        { "AFullQueueIsSaidOnceAnOutageWithTheCountSoFar",
            [](SessionOnFakes& f) {
                f.events(2);
                f.session.connected();
                f.session.acknowledged(1);
                f.events(3);
                f.tryEnds();
                f.session.connected();
                f.events(1);
            },
            { "s/status online retained", "s/event e1", "s/event e2", "s/event e3",
                "s/status online retained" },
            { kConnected,
                { true,
                    "MQTT: 3 events wait for the broker already: new ones are not sent until it takes them "
                    "(1 not "
                    "sent so far)" },
                kLost, kConnected,
                { true,
                    "MQTT: 3 events wait for the broker already: new ones are not sent until it takes them "
                    "(3 not "
                    "sent so far)" } },
            { 1 }, {}, 6 },
        { "WhatTheBrokerAnswersIsSaidOnceAStateAndTheTriesSlowDownUntilAConnection",
            [](SessionOnFakes& f) {
                for (const int code : { 5, 5, 4 }) {
                    f.session.refused(code);
                    f.tryEnds();
                }
                f.tryEnds();
                f.tryEnds();
                f.session.connected();
                f.tryEnds();
                f.tryEnds();
                f.session.refused(5);
                f.tryEnds();
                f.tryEnds();
            },
            { "s/status online retained" },
            { { true, "MQTT: the broker at b:1883 refused the station: not authorised" },
                { true, "MQTT: the broker at b:1883 refused the station: bad user name or password" },
                { false, "MQTT: cannot reach the broker at b:1883 yet, trying again" }, kConnected, kLost,
                { true, "MQTT: the broker at b:1883 refused the station: not authorised" },
                { false, "MQTT: cannot reach the broker at b:1883, trying again" } },
            { 1, 2, 4, 8, 10, 1, 2, 4, 8 }, {}, 0 },
        { "ASilentSensorIsTheStatusAlsoAtAReconnect",
            [](SessionOnFakes& f) {
                f.session.setStatus("silent");
                f.session.connected();
                f.tryEnds();
                f.session.connected();
                f.session.setStatus("online");
            },
            { "s/status silent retained", "s/status silent retained", "s/status online retained" },
            { kConnected, kLost, kConnected }, { 1 }, {}, 0 },
        { "TheEndWaitsItsPatienceForASlowBroker",
            [](SessionOnFakes& f) {
                f.session.connected();
                f.events(3);
                f.session.beginEnd();
                f.lookAtTheEnd();
                f.clock.advanceMilliseconds(4999);
                f.lookAtTheEnd();
                f.clock.advanceMilliseconds(1);
                f.lookAtTheEnd();
            },
            { "s/status online retained", "s/event e1", "s/event e2", "s/event e3",
                "s/status offline retained" },
            { kConnected }, {}, { true, true, false }, 3 },
        { "TheEndIsOverOnceTheBrokerComesAndHasAll",
            [](SessionOnFakes& f) {
                f.events(2);
                f.session.beginEnd();
                f.lookAtTheEnd();
                f.session.connected();
                f.lookAtTheEnd();
                f.acknowledgeAll();
                f.lookAtTheEnd();
            },
            { "s/status offline retained", "s/event e1", "s/event e2" }, { kConnected }, {},
            { true, true, false }, 0 },
        { "AnEndWithNothingQueuedWaitsForNoAbsentBroker",
            [](SessionOnFakes& f) {
                f.session.connected();
                f.tryEnds();
                f.session.beginEnd();
                f.lookAtTheEnd();
            },
            { "s/status online retained" }, { kConnected, kLost }, { 1 }, { false }, 0 },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::mqtt
