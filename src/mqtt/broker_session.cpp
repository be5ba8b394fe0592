#include "mqtt/broker_session.h"

#include "common/number_text.h"
#include "mqtt/station_messages.h"

#include <algorithm>
#include <utility>

namespace marlume::mqtt {

namespace {

constexpr int kLongestRetrySeconds = 10;

// MQTT 3.1.1's refusals, in the words that follow "refused the station: ".
std::string refusalReason(int code)
{
    switch (code) {
    case 1:
        return "unacceptable protocol version";
    case 2:
        return "client identifier rejected";
    case 3:
        return "broker unavailable";
    case 4:
        return "bad user name or password";
    case 5:
        return "not authorised";
    default:
        return "code " + std::to_string(code);
    }
}

} // namespace

std::string undeliveredText(std::size_t events)
{
    return common::countText(static_cast<std::int64_t>(events), "event", "events")
        + " not delivered to the broker";
}

BrokerSession::BrokerSession(BrokerClient& client, std::string endpoint, std::string statusTopic,
    const platform::Clock& clock, Tell tell, std::size_t queueBound)
    : m_client(client)
    , m_endpoint(std::move(endpoint))
    , m_statusTopic(std::move(statusTopic))
    , m_clock(clock)
    , m_tell(std::move(tell))
    , m_queueBound(queueBound)
    , m_status(kOnline)
{
}

void BrokerSession::publish(const std::string& topic, const std::string& payload, int qos)
{
    if (qos == 0) {
        // A reading is worth sending only now: while the broker is away it is dropped.
        if (isConnected())
            static_cast<void>(m_client.send(topic, payload, 0, false));
        return;
    }
    if (m_waiting.size() + m_unacknowledged.size() >= m_queueBound) {
        ++m_refused;
        if (!std::exchange(m_fullTold, true))
            say(true,
                "MQTT: " + common::countText(static_cast<std::int64_t>(m_queueBound), "event", "events")
                    + " wait for the broker already: new ones are not sent until it takes them ("
                    + std::to_string(m_refused) + " not sent so far)");
        return;
    }
    m_waiting.push_back({ topic, payload });
    if (isConnected())
        sendWaiting();
}

void BrokerSession::setStatus(std::string_view status)
{
    m_status = status;
    if (isConnected())
        sendStatus();
}

void BrokerSession::connected()
{
    m_answered = true;
    m_everConnected = true;
    m_state = State::Connected;
    m_fullTold = false; // a new outage may fill the queue again
    sendStatus();
    sendWaiting();
    say(false, "MQTT: connected to " + m_endpoint);
}

void BrokerSession::refused(int code)
{
    m_answered = true;
    // Said once, not at every try: a wrong password stays wrong until someone mends it.
    const bool news = m_state != State::Refused || m_refusal != code;
    m_state = State::Refused;
    m_refusal = code;
    if (news)
        say(true, "MQTT: the broker at " + m_endpoint + " refused the station: " + refusalReason(code));
}

std::chrono::seconds BrokerSession::attemptEnded()
{
    if (m_state == State::Connected) {
        say(false, "MQTT: lost the broker at " + m_endpoint + ", trying again");
        m_failuresInARow = 0; // it was up: the next try comes soon
    } else if (!m_answered && m_state != State::Away) {
        say(false,
            "MQTT: cannot reach the broker at " + m_endpoint + (m_everConnected ? "" : " yet")
                + ", trying again");
    }
    if (m_state == State::Connected || !m_answered)
        m_state = State::Away;
    m_answered = false;
    m_statusId.reset(); // sent again at the next connection
    const int failures = std::exchange(m_failuresInARow, m_failuresInARow + 1);
    return std::chrono::seconds(
        std::min(kLongestRetrySeconds, 1 << std::min(failures, 4))); // 1, 2, 4, 8, 10 ...
}

void BrokerSession::acknowledged(int messageId)
{
    // Only an event's acknowledgement frees a place in the queue: a status's is no event's.
    m_unacknowledged.erase(messageId);
    if (m_statusId == messageId)
        m_statusId.reset();
}

void BrokerSession::beginEnd()
{
    m_endDeadlineMs = m_clock.monotonicMilliseconds() + kEndPatience.count();
    setStatus(kOffline);
}

bool BrokerSession::ending() const
{
    return endPatienceLeft().count() > 0 && (!m_waiting.empty() || !m_unacknowledged.empty() || m_statusId);
}

std::chrono::milliseconds BrokerSession::endPatienceLeft() const
{
    return std::chrono::milliseconds(
        m_endDeadlineMs ? std::max<std::int64_t>(0, *m_endDeadlineMs - m_clock.monotonicMilliseconds()) : 0);
}

void BrokerSession::sendStatus()
{
    m_statusId = m_client.send(m_statusTopic, m_status, 1, true);
}

void BrokerSession::sendWaiting()
{
    for (; !m_waiting.empty(); m_waiting.pop_front()) {
        const std::optional<int> id
            = m_client.send(m_waiting.front().topic, m_waiting.front().payload, 1, false);
        if (!id)
            return; // the next connection takes them
        m_unacknowledged.insert(*id);
    }
}

void BrokerSession::say(bool problem, std::string text) const
{
    if (m_tell)
        m_tell({ problem, std::move(text) });
}

} // namespace marlume::mqtt
