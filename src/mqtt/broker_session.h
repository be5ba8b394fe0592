#pragma once

#include "mqtt/station_publisher.h"
#include "platform/clock.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace marlume::mqtt {

// The client library as a session uses it.
class BrokerClient {
public:
    virtual ~BrokerClient() = default;
    // Hands a message over; its message id, or none when the client cannot take it now.
    virtual std::optional<int> send(const std::string& topic, std::string_view payload, int qos, bool retain)
        = 0;
};

// What a station has to say about its broker: news, or a problem that someone has to mend.
struct StationNews {
    bool problem = false;
    std::string text;

    friend bool operator==(const StationNews&, const StationNews&) = default;
};

// "7 events not delivered to the broker", for the end.
[[nodiscard]] std::string undeliveredText(std::size_t events);

// A station's dealings with its broker, whatever library carries them: the events wait, in order, until the
// broker is there and acknowledges them, up to a bound; the status is sent at every connection; what
// changes is said once; the tries come less often the longer they fail; the clean end waits a little
// for what is queued. Not thread-safe: its owner serialises the calls.
class BrokerSession final : public BrokerLink {
public:
    // Events kept unacknowledged at most: past them a new event is not sent, and said so once an outage.
    static constexpr std::size_t kQueueBound = 10000;
    // How long the clean end waits for the broker to acknowledge the events still queued and "offline".
    static constexpr std::chrono::milliseconds kEndPatience = std::chrono::seconds(5);
    using Tell = std::function<void(const StationNews& news)>;

    // endpoint names the broker in what is said ("broker.lan:1883"); the clock times the end only, on the
    // thread that ends the session.
    BrokerSession(BrokerClient& client, std::string endpoint, std::string statusTopic,
        const platform::Clock& clock, Tell tell, std::size_t queueBound = kQueueBound);

    // QoS 1 waits for the broker, QoS 0 is sent only while it is there.
    void publish(const std::string& topic, const std::string& payload, int qos) override;
    void setStatus(std::string_view status) override;

    // The broker has taken the connection: the status goes first, then the events that wait.
    void connected();
    // The broker has refused the connection, with MQTT's code.
    void refused(int code);
    // A connection has ended, or could not be made: how long to wait before the next try.
    [[nodiscard]] std::chrono::seconds attemptEnded();
    // The broker has acknowledged the message with this id.
    void acknowledged(int messageId);
    [[nodiscard]] bool isConnected() const { return m_state == State::Connected; }

    // The clean end: "offline" is sent, and from now on ending() tells whether it is still worth waiting.
    void beginEnd();
    [[nodiscard]] bool ending() const;
    // How long the end may still wait.
    [[nodiscard]] std::chrono::milliseconds endPatienceLeft() const;
    // Events the broker has not acknowledged: refused at the bound, waiting, or handed over.
    [[nodiscard]] std::size_t undelivered() const
    {
        return m_refused + m_waiting.size() + m_unacknowledged.size();
    }

private:
    enum class State { Starting, Connected, Refused, Away };
    struct Waiting {
        std::string topic;
        std::string payload;
    };
    void sendStatus();
    void sendWaiting();
    void say(bool problem, std::string text) const;

    BrokerClient& m_client;
    std::string m_endpoint;
    std::string m_statusTopic;
    const platform::Clock& m_clock;
    Tell m_tell;
    std::size_t m_queueBound;

    State m_state = State::Starting;
    int m_refusal = 0; // the code of the refusal in force
    bool m_answered = false; // this try has had the broker's answer
    bool m_everConnected = false;
    int m_failuresInARow = 0;

    std::deque<Waiting> m_waiting; // events not handed over yet
    std::set<int> m_unacknowledged; // events handed over: their message ids
    std::size_t m_refused = 0; // events not sent because the queue was full
    bool m_fullTold = false; // this outage

    std::string m_status;
    std::optional<int> m_statusId; // the latest status handed over, until acknowledged
    std::optional<std::int64_t> m_endDeadlineMs;
};

} // namespace marlume::mqtt
