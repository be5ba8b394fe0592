#include "mqtt/mosquitto_link.h"

#include "mqtt/station_messages.h"

#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace marlume::mqtt {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopTimeoutMs = 500; // how soon the network thread sees the link end
constexpr int kLongestRetrySeconds = 10;
constexpr auto kOfflinePatience = std::chrono::seconds(2);

std::string endpoint(const MqttAddress& address)
{
    return address.host + ":" + std::to_string(address.port);
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        mosquitto_lib_init();
        std::atexit([] { mosquitto_lib_cleanup(); });
    });
}

} // namespace

// libmosquitto's callbacks, on its network thread.
struct MosquittoLink::Callbacks {
    static void connected(::mosquitto* client, void* context, int code)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        if (code != 0) {
            // Said once, not at every try: a wrong password stays wrong until someone mends it.
            if (code != link.m_lastRefusal)
                link.say("MQTT: the broker at " + endpoint(link.m_settings.address)
                    + " refused the station: " + mosquitto_connack_string(code));
            link.m_lastRefusal = code;
            return;
        }
        link.m_lastRefusal = 0;
        link.m_connected = true;
        ++link.m_connections;
        mosquitto_publish(client, &link.m_onlineMid, link.m_statusTopic.c_str(),
            static_cast<int>(kOnline.size()), kOnline.data(), 1, true);
        {
            const std::scoped_lock lock(link.m_pendingMutex);
            link.sendPending();
        }
        link.say("MQTT: connected to " + endpoint(link.m_settings.address));
    }
    static void disconnected(::mosquitto*, void* context, int code)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        if (code != 0 && link.m_connected)
            link.say("MQTT: lost the broker at " + endpoint(link.m_settings.address) + ", trying again");
        link.m_connected = false;
    }
    static void published(::mosquitto*, void* context, int mid)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        if (mid == link.m_offlineMid)
            link.m_offlineDelivered = true;
        else if (mid != link.m_onlineMid && link.m_unacknowledged > 0)
            --link.m_unacknowledged;
    }
};

MosquittoLink::MosquittoLink(MosquittoSettings settings, Post post, Tell tell)
    : m_settings(std::move(settings))
    , m_post(std::move(post))
    , m_tell(std::move(tell))
    , m_statusTopic(m_settings.address.prefix + "/status")
{
    initialiseLibrary();
    // The same station has the same session: what it had not delivered before a restart of the broker
    // is delivered after it.
    const std::string clientId = "marlume-" + m_settings.address.prefix;
    m_client = mosquitto_new(clientId.c_str(), false, this);
    if (m_client == nullptr) {
        m_problem = "MQTT: cannot make a client";
        return;
    }
    mosquitto_connect_callback_set(m_client, &Callbacks::connected);
    mosquitto_disconnect_callback_set(m_client, &Callbacks::disconnected);
    mosquitto_publish_callback_set(m_client, &Callbacks::published);
    mosquitto_threaded_set(m_client, true);
    mosquitto_will_set(
        m_client, m_statusTopic.c_str(), static_cast<int>(kOffline.size()), kOffline.data(), 1, true);
    if (m_settings.credentials)
        mosquitto_username_pw_set(
            m_client, m_settings.credentials->username.c_str(), m_settings.credentials->password.c_str());
    if (m_settings.address.tls) {
        const int tls
            = mosquitto_tls_set(m_client, m_settings.caFile.empty() ? nullptr : m_settings.caFile.c_str(),
                m_settings.caFile.empty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
        if (tls != MOSQ_ERR_SUCCESS) {
            m_problem
                = "MQTT: cannot use the CA file \"" + m_settings.caFile + "\": " + mosquitto_strerror(tls);
            return;
        }
    }
    m_network = std::thread([this] { runNetwork(); });
}

void MosquittoLink::runNetwork()
{
    bool everConnected = false;
    for (int failures = 0;;) {
        const int started = everConnected || failures > 0
            ? mosquitto_reconnect_async(m_client)
            : mosquitto_connect_async(
                m_client, m_settings.address.host.c_str(), m_settings.address.port, kKeepAliveSeconds);
        if (started == MOSQ_ERR_SUCCESS) {
            const int connectionsBefore = m_connections;
            while (!m_ending && mosquitto_loop(m_client, kLoopTimeoutMs, 1) == MOSQ_ERR_SUCCESS) { }
            m_connected = false;
            if (m_connections != connectionsBefore) {
                everConnected = true;
                failures = 0; // it was up: the next try comes soon
            }
        }
        if (m_ending)
            return;
        if (failures == 0 && !everConnected)
            say("MQTT: cannot reach the broker at " + endpoint(m_settings.address) + " yet, trying again");
        if (!pauseBeforeRetry(failures++))
            return;
    }
}

bool MosquittoLink::pauseBeforeRetry(int failures)
{
    const int seconds = std::min(kLongestRetrySeconds, 1 << std::min(failures, 4)); // 1, 2, 4, 8, 10, 10 ...
    std::unique_lock lock(m_endMutex);
    return !m_endSignal.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_ending.load(); });
}

MosquittoLink::~MosquittoLink()
{
    if (m_client == nullptr)
        return;
    if (m_network.joinable()) {
        // "offline" first, if the broker is there to have it; the loop ends once it has.
        if (m_connected
            && mosquitto_publish(m_client, &m_offlineMid, m_statusTopic.c_str(),
                   static_cast<int>(kOffline.size()), kOffline.data(), 1, true)
                == MOSQ_ERR_SUCCESS) {
            for (const auto deadline = std::chrono::steady_clock::now() + kOfflinePatience;
                 !m_offlineDelivered && m_connected && std::chrono::steady_clock::now() < deadline;)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        {
            const std::scoped_lock lock(m_endMutex); // so that no wait misses it
            m_ending = true;
        }
        m_endSignal.notify_all();
        mosquitto_disconnect(m_client);
        m_network.join();
    }
    mosquitto_destroy(m_client);
}

void MosquittoLink::publish(const std::string& topic, const std::string& payload, int qos)
{
    if (!m_problem.empty())
        return;
    if (qos == 0) {
        // A reading is worth sending only now: while the broker is away it is dropped.
        if (m_connected)
            mosquitto_publish(
                m_client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 0, false);
        return;
    }
    const std::scoped_lock lock(m_pendingMutex);
    if (m_pending.size() + m_unacknowledged >= kQueueBound) {
        ++m_refused;
        say("MQTT: " + std::to_string(m_refused) + " event(s) not sent: " + std::to_string(kQueueBound)
            + " wait for the broker already");
        return;
    }
    m_pending.push_back({ topic, payload });
    if (m_connected)
        sendPending();
}

void MosquittoLink::sendPending()
{
    for (; !m_pending.empty(); m_pending.pop_front()) {
        const Pending& next = m_pending.front();
        if (mosquitto_publish(m_client, nullptr, next.topic.c_str(), static_cast<int>(next.payload.size()),
                next.payload.data(), 1, false)
            != MOSQ_ERR_SUCCESS)
            return; // the next connection takes them
        ++m_unacknowledged;
    }
}

void MosquittoLink::say(std::string message) const
{
    if (m_tell && m_post)
        m_post([tell = m_tell, message = std::move(message)] { tell(message); });
}

} // namespace marlume::mqtt
