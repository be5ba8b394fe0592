#include "common/network_address.h"

#include <charconv>

namespace marlume::common {

namespace {

using Problem = NetworkAddressResult::Problem;

NetworkAddressResult failure(Problem problem)
{
    return { std::nullopt, problem };
}

} // namespace

NetworkAddressResult parseNetworkAddress(std::string_view text, std::optional<std::uint16_t> defaultPort)
{
    // A port follows the last colon, unless that colon is inside an IPv6 address's brackets.
    const auto colon = text.rfind(':');
    const bool portGiven = colon != std::string_view::npos && text.find(']', colon) == std::string_view::npos;
    std::string_view host = text.substr(0, portGiven ? colon : text.size());
    const bool bracketed = host.size() > 2 && host.starts_with('[') && host.ends_with(']');
    if (bracketed)
        host = host.substr(1, host.size() - 2); // an IPv6 address, colons and all
    if (host.empty())
        return failure(Problem::NoHost);
    if (host.find_first_of(bracketed ? "[] ," : ":[] ,") != std::string_view::npos)
        return failure(Problem::BadHost);
    if (!portGiven)
        return defaultPort ? NetworkAddressResult { NetworkAddress { std::string(host), *defaultPort } }
                           : failure(Problem::BadPort);
    const std::string_view portText = text.substr(colon + 1);
    unsigned port = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (error != std::errc() || end != portText.data() + portText.size() || port == 0 || port > 65535)
        return failure(Problem::BadPort);
    return { NetworkAddress { std::string(host), static_cast<std::uint16_t>(port) } };
}

std::string networkAddressText(const NetworkAddress& address)
{
    const bool ipv6 = address.host.find(':') != std::string::npos;
    return (ipv6 ? '[' + address.host + ']' : address.host) + ':' + std::to_string(address.port);
}

} // namespace marlume::common
