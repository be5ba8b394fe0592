#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace marlume::testing {

// A broker too slow to answer: on loopback, it takes every connection and what comes on it, and answers
// nothing but the connection's acceptance, so that no message is ever acknowledged.
class MuteMqttBroker {
public:
    MuteMqttBroker()
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::listen(m_listener, 4);
        m_thread = std::thread([this] { serve(); });
    }
    ~MuteMqttBroker()
    {
        m_stop = true;
        m_thread.join();
        for (const int connection : m_connections)
            ::close(connection);
        ::close(m_listener);
    }
    MuteMqttBroker(const MuteMqttBroker&) = delete;
    MuteMqttBroker& operator=(const MuteMqttBroker&) = delete;

    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // Waits until the bytes received hold the text; true when they do.
    [[nodiscard]] bool waitFor(std::string_view text, std::chrono::seconds patience) const
    {
        for (const auto deadline = std::chrono::steady_clock::now() + patience;
             std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            const std::scoped_lock lock(m_mutex);
            if (m_received.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

private:
    void serve()
    {
        while (!m_stop) {
            std::vector<pollfd> sockets { { m_listener, POLLIN, 0 } };
            for (const int connection : m_connections)
                sockets.push_back({ connection, POLLIN, 0 });
            if (::poll(sockets.data(), sockets.size(), 50) <= 0)
                continue;
            for (std::size_t i = 1; i < sockets.size(); ++i) {
                if (sockets[i].revents != 0)
                    receive(sockets[i].fd);
            }
            if ((sockets[0].revents & POLLIN) != 0)
                m_connections.insert(::accept(m_listener, nullptr, nullptr));
        }
    }
    // The first bytes of a connection are its CONNECT: accepted at once.
    void receive(int connection)
    {
        std::array<char, 4096> bytes {};
        const ssize_t count = ::read(connection, bytes.data(), bytes.size());
        if (count <= 0) {
            ::close(connection);
            m_connections.erase(connection);
            m_answered.erase(connection);
            return;
        }
        if (m_answered.insert(connection).second) {
            constexpr std::array<char, 4> kConnack { 0x20, 0x02, 0x00, 0x00 };
            static_cast<void>(::write(connection, kConnack.data(), kConnack.size()));
        }
        const std::scoped_lock lock(m_mutex);
        m_received.append(bytes.data(), static_cast<std::size_t>(count));
    }

    int m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    std::uint16_t m_port = 0;
    std::set<int> m_connections; // on the thread
    std::set<int> m_answered; // connections whose CONNECT has had its answer, on the thread
    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace marlume::testing
