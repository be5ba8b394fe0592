#pragma once

#include "mqtt/mqtt_address.h"
#include "mqtt/mqtt_credentials.h"
#include "mqtt/station_publisher.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct mosquitto;

namespace marlume::mqtt {

struct MosquittoSettings {
    MqttAddress address;
    std::optional<MqttCredentials> credentials;
    std::string caFile; // for mqtts: the authorities to trust; empty: the system's
};

// The broker through libmosquitto, on a network thread of the link's own, so that a slow or absent broker
// never holds up a reading; it connects without waiting for the network and tries again and again until
// the broker is there, however long it is away (libmosquitto's own thread gives up on a broker that is
// not there at the start, and waits for the network when it reconnects). The session is persistent and QoS 1
// messages wait while the broker is away, up to kQueueBound of them; PREFIX/status is "online" (retained)
// while connected, "offline" at a clean end and as the last will.
class MosquittoLink final : public BrokerLink {
public:
    // QoS 1 messages kept unacknowledged at most: past them a new event is not sent, and said so.
    static constexpr std::size_t kQueueBound = 10000;
    // What the link has to say to the user, and where to say it: tell is called through post, which
    // takes it to the thread the user's output lives on.
    using Post = std::function<void(std::function<void()>)>;
    using Tell = std::function<void(const std::string& message)>;

    MosquittoLink(MosquittoSettings settings, Post post, Tell tell);
    // Says "offline", waits a little for the broker to have it, and disconnects.
    ~MosquittoLink() override;
    MosquittoLink(const MosquittoLink&) = delete;
    MosquittoLink& operator=(const MosquittoLink&) = delete;

    // Why the link could not start (a CA file that cannot be used, say); empty once it runs.
    [[nodiscard]] const std::string& problem() const { return m_problem; }

    void publish(const std::string& topic, const std::string& payload, int qos) override;

private:
    struct Callbacks;
    void say(std::string message) const;
    // The network thread: connects, runs the connection until it fails, waits, and again, until the end.
    void runNetwork();
    // Waits before the next try, the longer the more tries have failed in a row; false once the link ends.
    bool pauseBeforeRetry(int failures);
    // Hands the waiting QoS 1 messages to libmosquitto, in order, while it takes them; m_pendingMutex held.
    void sendPending();

    MosquittoSettings m_settings;
    Post m_post;
    Tell m_tell;
    std::string m_statusTopic;
    std::string m_problem;
    ::mosquitto* m_client = nullptr;
    struct Pending {
        std::string topic;
        std::string payload;
    };
    std::mutex m_pendingMutex;
    std::deque<Pending> m_pending; // QoS 1 messages that wait for the broker
    std::atomic<std::size_t> m_unacknowledged = 0; // handed over, the broker's answer not yet in
    // The clean end's "offline": libmosquitto sets its number before it can be sent, under the lock it
    // also holds when it tells that the broker has it.
    int m_offlineMid = -1;
    // The last "online", on the network thread: its acknowledgement is no event's.
    int m_onlineMid = -1;
    std::atomic<bool> m_offlineDelivered = false;
    std::size_t m_refused = 0; // events not sent because the queue was full
    std::atomic<bool> m_connected = false;
    std::atomic<int> m_connections = 0; // made so far
    int m_lastRefusal = 0; // the broker's last refusal, on the network thread
    std::atomic<bool> m_ending = false;
    std::mutex m_endMutex; // for the waits between tries
    std::condition_variable m_endSignal;
    std::thread m_network;
};

} // namespace marlume::mqtt
