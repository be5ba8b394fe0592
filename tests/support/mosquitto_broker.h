#pragma once

#include "support/child_process.h"
#include "support/free_loopback_ports.h"
#include "support/temporary_folder.h"

#include <mosquitto.h>

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace marlume::testing {

// A user a broker knows, with the password it takes.
struct BrokerUser {
    std::string name;
    std::string password;
};

// Debian's mosquitto in the foreground on a loopback port, with a configuration of the test's own; it
// keeps sessions and retained messages in its folder across a stop and a start.
class MosquittoBroker {
public:
    // With tls, a second listener on tlsPort() takes TLS with a certificate for 127.0.0.1 from a certificate
    // authority made for the test, whose certificate is at caPath(). With a user, it takes only that user.
    explicit MosquittoBroker(bool tls = false, const std::optional<BrokerUser>& user = std::nullopt)
    {
        // Started as root it would become the user mosquitto, who may not write the folder.
        std::string configuration = "persistence true\npersistence_location " + m_folder.path().string()
            + "/\nuser " + ::getpwuid(::geteuid())->pw_name + "\nlistener " + std::to_string(m_ports[0])
            + " 127.0.0.1\n";
        configuration += user && makePasswordFile(*user)
            ? "allow_anonymous false\npassword_file " + m_folder.pathOf("passwords") + "\n"
            : "allow_anonymous true\n";
        if (tls && makeCertificates())
            configuration += "listener " + std::to_string(m_ports[1]) + " 127.0.0.1\ncafile " + caPath()
                + "\ncertfile " + m_folder.pathOf("server.pem") + "\nkeyfile " + m_folder.pathOf("server.key")
                + "\n";
        static_cast<void>(writeFile(m_folder.pathOf("mosquitto.conf"), configuration));
        start();
    }

    [[nodiscard]] std::uint16_t port() const { return m_ports[0]; }
    [[nodiscard]] std::uint16_t tlsPort() const { return m_ports[1]; }
    [[nodiscard]] std::string caPath() const { return m_folder.pathOf("ca.pem"); }
    void start()
    {
        m_process.emplace(
            std::vector<std::string> { "/usr/sbin/mosquitto", "-c", m_folder.pathOf("mosquitto.conf") },
            ChildProcess::EnvironmentChanges {});
        // A station that comes before the broker listens would rightly say it cannot reach it.
        static_cast<void>(waitUntilListening(port()));
    }
    // Stops it as its service would, so that it saves what it keeps.
    void stop()
    {
        m_process->signal(SIGTERM);
        static_cast<void>(m_process->waitForExit(std::chrono::seconds(10)));
        m_process.reset();
    }
    [[nodiscard]] std::string err() const { return m_process ? m_process->err() : std::string(); }

private:
    [[nodiscard]] bool makePasswordFile(const BrokerUser& user) const
    {
        ChildProcess passwords({ "/usr/bin/mosquitto_passwd", "-c", "-b", m_folder.pathOf("passwords"),
                                   user.name, user.password },
            {});
        return passwords.waitForExit(std::chrono::seconds(60)) == 0;
    }
    // A certificate authority and a server certificate it signed, with openssl.
    [[nodiscard]] bool makeCertificates() const
    {
        const std::string commands = "cd '" + m_folder.path().string()
            + "' && openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=marlume-test-ca -keyout "
              "ca.key "
              "-out ca.pem && openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout server.key "
              "-out "
              "server.csr && echo subjectAltName=IP:127.0.0.1 > san.ext && openssl x509 -req -in server.csr "
              "-CA "
              "ca.pem -CAkey ca.key -CAcreateserial -days 1 -extfile san.ext -out server.pem";
        ChildProcess openssl({ "/bin/sh", "-c", commands }, {});
        return openssl.waitForExit(std::chrono::seconds(60)) == 0;
    }

    std::array<std::uint16_t, 2> m_ports = freeLoopbackPorts<2>();
    TemporaryFolder m_folder;
    std::optional<ChildProcess> m_process;
};

// A subscriber with a persistent session of its own, on libmosquitto's network thread, keeping what comes.
class MqttSubscriber {
public:
    struct Message {
        std::string topic;
        std::string payload;
        bool retained = false;
    };

    MqttSubscriber(std::uint16_t port, const std::string& topics)
        : m_topics(topics)
    {
        mosquitto_lib_init();
        m_client = mosquitto_new("marlume-test-subscriber", false, this);
        mosquitto_connect_callback_set(m_client, [](::mosquitto* client, void* context, int code) {
            if (code == 0)
                mosquitto_subscribe(
                    client, nullptr, static_cast<MqttSubscriber*>(context)->m_topics.c_str(), 1);
        });
        mosquitto_message_callback_set(
            m_client, [](::mosquitto*, void* context, const mosquitto_message* message) {
                auto& self = *static_cast<MqttSubscriber*>(context);
                const std::scoped_lock lock(self.m_mutex);
                self.m_messages.push_back({ message->topic,
                    std::string(static_cast<const char*>(message->payload),
                        static_cast<std::size_t>(message->payloadlen)),
                    message->retain });
            });
        mosquitto_reconnect_delay_set(m_client, 1, 1, false);
        // libmosquitto's thread reconnects only once a first connection has been made: the broker may be
        // starting still.
        for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             mosquitto_connect(m_client, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS
             && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        mosquitto_loop_start(m_client);
    }
    ~MqttSubscriber()
    {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, true);
        mosquitto_destroy(m_client);
    }
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    [[nodiscard]] std::vector<Message> messages(const std::string& topic) const
    {
        const std::scoped_lock lock(m_mutex);
        std::vector<Message> found;
        for (const Message& message : m_messages) {
            if (message.topic == topic)
                found.push_back(message);
        }
        return found;
    }
    // Waits until a message on the topic holds the text; true when one does.
    [[nodiscard]] bool waitFor(
        const std::string& topic, const std::string& text, std::chrono::seconds patience) const
    {
        for (const auto deadline = std::chrono::steady_clock::now() + patience;
             std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            for (const Message& message : messages(topic)) {
                if (message.payload.find(text) != std::string::npos)
                    return true;
            }
        }
        return false;
    }

private:
    std::string m_topics;
    ::mosquitto* m_client = nullptr;
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
};

} // namespace marlume::testing
