#include "mqtt/mqtt_address.h"

#include "platform/port_map.h"

namespace marlume::mqtt {

namespace {

constexpr std::string_view kPlain = "mqtt://";
constexpr std::string_view kTls = "mqtts://";
constexpr std::uint16_t kPlainPort = 1883;
constexpr std::uint16_t kTlsPort = 8883;

MqttAddressResult problem(std::string_view why)
{
    return { std::nullopt, std::string(why) };
}

} // namespace

MqttAddressResult parseMqttAddress(std::string_view text)
{
    const bool tls = text.starts_with(kTls);
    if (!tls && !text.starts_with(kPlain))
        return problem("give the broker as mqtt://HOST[:PORT]/PREFIX or mqtts://HOST[:PORT]/PREFIX");
    text.remove_prefix(tls ? kTls.size() : kPlain.size());
    const auto slash = text.find('/');
    const std::string_view prefix
        = slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    if (prefix.empty() || prefix.ends_with('/'))
        return problem("the topic prefix after the broker is missing, as in mqtt://broker/ship/tilt-1");
    if (prefix.find_first_of("+#") != std::string_view::npos)
        return problem("the topic prefix may not hold the wildcards + and #");

    MqttAddress address { tls, {}, tls ? kTlsPort : kPlainPort, std::string(prefix) };
    const std::string_view authority = text.substr(0, slash);
    // A port follows the last colon, unless that colon is inside an IPv6 address's brackets.
    const auto colon = authority.rfind(':');
    const bool portGiven
        = colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos;
    const std::string_view host = authority.substr(0, portGiven ? colon : authority.size());
    // The host as a network port's, with or without a port after it.
    const auto server = platform::parseNetworkAddress(std::string(host) + ':' + std::to_string(address.port));
    if (!server) {
        return problem(host.empty()
                ? "the broker's host name is missing"
                : "the broker's host must be a name or an address, as in broker.example or [::1]");
    }
    address.host = server->host;
    if (portGiven) {
        const auto withPort = platform::parseNetworkAddress(authority);
        if (!withPort)
            return problem("the broker's port must be a number from 1 to 65535");
        address.port = withPort->port;
    }
    return { address, {} };
}

} // namespace marlume::mqtt
