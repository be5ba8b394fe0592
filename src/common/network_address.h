#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::common {

// A server on the network: its host name or address (an IPv6 address without its brackets) and port.
struct NetworkAddress {
    std::string host;
    std::uint16_t port = 0;

    friend bool operator==(const NetworkAddress&, const NetworkAddress&) = default;
};

struct NetworkAddressResult {
    // What is wrong with the text, the host first.
    enum class Problem { None, NoHost, BadHost, BadPort };
    std::optional<NetworkAddress> address;
    Problem problem = Problem::None;
};

// "HOST:PORT", "[IPv6]:PORT", or without ":PORT" when there is a port to take in its place; a host holds
// no blank, comma or bracket (nor a colon, outside brackets), a port is a number from 1 to 65535.
[[nodiscard]] NetworkAddressResult parseNetworkAddress(
    std::string_view text, std::optional<std::uint16_t> defaultPort = std::nullopt);

// "deck:2001", "[::1]:1883": the address as the parser reads it back.
[[nodiscard]] std::string networkAddressText(const NetworkAddress& address);

} // namespace marlume::common
