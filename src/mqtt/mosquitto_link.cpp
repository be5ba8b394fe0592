#include "mqtt/mosquitto_link.h"

#include "common/network_address.h"
#include "mqtt/station_messages.h"

#include <mosquitto.h>

#include <cstdlib>
#include <utility>

namespace marlume::mqtt {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopTimeoutMs = 500; // how soon the network thread sees the link end

std::string endpoint(const MqttAddress& address)
{
    return common::networkAddressText({ address.host, address.port });
}

std::string statusTopic(const MqttAddress& address)
{
    return address.prefix + "/status";
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
    static void connected(::mosquitto*, void* context, int code)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        const std::scoped_lock lock(link.m_mutex);
        if (code == 0)
            link.m_session.connected();
        else
            link.m_session.refused(code);
    }
    static void published(::mosquitto*, void* context, int messageId)
    {
        auto& link = *static_cast<MosquittoLink*>(context);
        {
            const std::scoped_lock lock(link.m_mutex);
            link.m_session.acknowledged(messageId);
        }
        link.m_changed.notify_all();
    }
};

MosquittoLink::MosquittoLink(MosquittoSettings settings, const platform::Clock& clock, Post post, Tell tell)
    : m_settings(std::move(settings))
    , m_session(*this, endpoint(m_settings.address), statusTopic(m_settings.address), clock,
          [post = std::move(post), tell = std::move(tell)](const StationNews& news) {
              if (post && tell)
                  post([tell, news] { tell(news); });
          })
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
    mosquitto_publish_callback_set(m_client, &Callbacks::published);
    mosquitto_threaded_set(m_client, true);
    mosquitto_will_set(m_client, statusTopic(m_settings.address).c_str(), static_cast<int>(kOffline.size()),
        kOffline.data(), 1, true);
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
    for (bool first = true;; first = false) {
        const int started = first ? mosquitto_connect_async(m_client, m_settings.address.host.c_str(),
                                m_settings.address.port, kKeepAliveSeconds)
                                  : mosquitto_reconnect_async(m_client);
        if (started == MOSQ_ERR_SUCCESS) {
            while (!m_ending && mosquitto_loop(m_client, kLoopTimeoutMs, 1) == MOSQ_ERR_SUCCESS) { }
        }
        std::unique_lock lock(m_mutex);
        if (m_ending)
            return;
        const std::chrono::seconds pause = m_session.attemptEnded();
        if (m_changed.wait_for(lock, pause, [this] { return m_ending.load(); }))
            return;
    }
}

MosquittoLink::~MosquittoLink()
{
    end();
    if (m_client != nullptr)
        mosquitto_destroy(m_client);
}

std::size_t MosquittoLink::end()
{
    std::unique_lock lock(m_mutex);
    if (m_network.joinable() && !m_ending) {
        m_session.beginEnd();
        while (m_session.ending())
            m_changed.wait_for(lock, m_session.endPatienceLeft());
        m_ending = true;
        lock.unlock();
        m_changed.notify_all();
        mosquitto_disconnect(m_client);
        m_network.join();
        lock.lock();
    }
    return m_session.undelivered();
}

void MosquittoLink::publish(const std::string& topic, const std::string& payload, int qos)
{
    const std::scoped_lock lock(m_mutex);
    if (m_problem.empty())
        m_session.publish(topic, payload, qos);
}

void MosquittoLink::setStatus(std::string_view status)
{
    const std::scoped_lock lock(m_mutex);
    m_session.setStatus(status);
}

std::optional<int> MosquittoLink::send(
    const std::string& topic, std::string_view payload, int qos, bool retain)
{
    int messageId = 0;
    if (mosquitto_publish(m_client, &messageId, topic.c_str(), static_cast<int>(payload.size()),
            payload.data(), qos, retain)
        != MOSQ_ERR_SUCCESS)
        return std::nullopt;
    return messageId;
}

} // namespace marlume::mqtt
