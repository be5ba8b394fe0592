#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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

} // namespace marlume::testing
