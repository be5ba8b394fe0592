#pragma once

#include "mqtt/broker_session.h"
#include "mqtt/mqtt_address.h"
#include "mqtt/mqtt_credentials.h"
#include "mqtt/station_publisher.h"
#include "platform/clock.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

struct mosquitto;

namespace marlume::mqtt {

struct MosquittoSettings {
    MqttAddress address;
    std::optional<MqttCredentials> credentials;
    std::string caFile; // for mqtts: the authorities to trust; empty: the system's
};

// A broker session through libmosquitto, on a network thread of the link's own, so that a slow or absent
// broker never holds up a reading; it connects without waiting for the network and tries again and again
// until the broker is there, however long it is away (libmosquitto's own thread gives up on a broker that
// is not there at the start, and waits for the network when it reconnects). The session is persistent,
// and "offline" is the last will.
class MosquittoLink final : public BrokerLink, private BrokerClient {
public:
    // What the link has to say to the user, and where to say it: tell is called through post, which
    // takes it to the thread the user's output lives on.
    using Post = std::function<void(std::function<void()>)>;
    using Tell = BrokerSession::Tell;

    MosquittoLink(MosquittoSettings settings, const platform::Clock& clock, Post post, Tell tell);
    // Ends the link, if end() has not.
    ~MosquittoLink() override;
    MosquittoLink(const MosquittoLink&) = delete;
    MosquittoLink& operator=(const MosquittoLink&) = delete;

    // Why the link could not start (a CA file that cannot be used, say); empty once it runs.
    [[nodiscard]] const std::string& problem() const { return m_problem; }

    void publish(const std::string& topic, const std::string& payload, int qos) override;
    void setStatus(std::string_view status) override;
    // Waits a little for the broker to acknowledge what is queued and "offline", and disconnects; the
    // events it has not acknowledged.
    std::size_t end();

private:
    struct Callbacks;
    std::optional<int> send(
        const std::string& topic, std::string_view payload, int qos, bool retain) override;
    // The network thread: connects, runs the connection until it fails, waits, and again, until the end.
    void runNetwork();

    MosquittoSettings m_settings;
    std::string m_problem;
    ::mosquitto* m_client = nullptr;
    std::mutex m_mutex; // the session's, and the waits' between tries and at the end
    std::condition_variable m_changed; // an acknowledgement has come, or the link ends
    BrokerSession m_session;
    std::atomic<bool> m_ending = false;
    std::thread m_network;
};

} // namespace marlume::mqtt
