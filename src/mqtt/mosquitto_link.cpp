#include "mqtt/mosquitto_link.h"

#include "mqtt/station_messages.h"

#include <mosquitto.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace marlume::mqtt {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr unsigned kFirstRetrySeconds = 1;
constexpr unsigned kLastRetrySeconds = 10;
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
            link.say("MQTT: the broker at " + endpoint(link.m_settings.address)
                + " refused the station: " + mosquitto_connack_string(code));
            return;
        }
        mosquitto_publish(client, nullptr, link.m_statusTopic.c_str(), static_cast<int>(kOnline.size()),
            kOnline.data(), 1, true);
        link.say("MQTT: connected to " + endpoint(link.m_settings.address));
    }
    static void disconnected(::mosquitto*, void* context, int code)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        if (code != 0)
            link.say("MQTT: lost the broker at " + endpoint(link.m_settings.address) + ", trying again");
    }
    static void published(::mosquitto*, void* context, int mid)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        if (mid == link.m_offlineMid)
            link.m_offlineDelivered = true;
        else if (link.m_unacknowledged > 0)
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
    mosquitto_reconnect_delay_set(m_client, kFirstRetrySeconds, kLastRetrySeconds, true);
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
    // A broker that is not there yet is tried again from the network thread, as one that goes away is.
    mosquitto_connect_async(
        m_client, m_settings.address.host.c_str(), m_settings.address.port, kKeepAliveSeconds);
    if (const int started = mosquitto_loop_start(m_client); started != MOSQ_ERR_SUCCESS)
        m_problem = std::string("MQTT: cannot start the network thread: ") + mosquitto_strerror(started);
}

MosquittoLink::~MosquittoLink()
{
    if (m_client == nullptr)
        return;
    if (m_problem.empty()) {
        if (mosquitto_publish(m_client, &m_offlineMid, m_statusTopic.c_str(),
                static_cast<int>(kOffline.size()), kOffline.data(), 1, true)
            == MOSQ_ERR_SUCCESS) {
            for (const auto deadline = std::chrono::steady_clock::now() + kOfflinePatience;
                 !m_offlineDelivered && std::chrono::steady_clock::now() < deadline;)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, false);
    }
    mosquitto_destroy(m_client);
}

void MosquittoLink::publish(const std::string& topic, const std::string& payload, int qos)
{
    if (!m_problem.empty())
        return;
    if (qos > 0 && m_unacknowledged >= kQueueBound) {
        ++m_refused;
        say("MQTT: " + std::to_string(m_refused) + " event(s) not sent: " + std::to_string(kQueueBound)
            + " wait for the broker already");
        return;
    }
    // QoS 0 while the broker is away fails, as a reading may.
    if (mosquitto_publish(
            m_client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos, false)
            == MOSQ_ERR_SUCCESS
        && qos > 0)
        ++m_unacknowledged;
}

void MosquittoLink::say(std::string message) const
{
    if (m_tell && m_post)
        m_post([tell = m_tell, message = std::move(message)] { tell(message); });
}

} // namespace marlume::mqtt
