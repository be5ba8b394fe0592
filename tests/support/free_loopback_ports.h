#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace marlume::testing {

// Loopback ports nobody listens on just now, all different.
template <std::size_t Count> std::array<std::uint16_t, Count> freeLoopbackPorts()
{
    std::array<int, Count> probes {};
    std::array<std::uint16_t, Count> ports {};
    for (std::size_t i = 0; i < Count; ++i) {
        probes[i] = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(probes[i], reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(probes[i], reinterpret_cast<sockaddr*>(&address), &length);
        ports[i] = ntohs(address.sin_port);
    }
    for (const int probe : probes)
        ::close(probe);
    return ports;
}

// Whether the system's table of TCP sockets has one listening on this port: found out without connecting.
inline bool listensOn(std::uint16_t port)
{
    constexpr std::string_view kListening = "0A";
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line); // the column heads
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot;
        std::string local;
        std::string remote;
        std::string state;
        fields >> slot >> local >> remote >> state;
        const std::size_t colon = local.find(':');
        if (colon != std::string::npos && state == kListening
            && std::stoul(local.substr(colon + 1), nullptr, 16) == port)
            return true;
    }
    return false;
}

// Waits up to ten seconds for a server to listen on the port; true when it does.
inline bool waitUntilListening(std::uint16_t port)
{
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (listensOn(port))
            return true;
    }
    return false;
}

} // namespace marlume::testing
