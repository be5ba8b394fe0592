#include "mqtt/mqtt_address.h"

#include "common/network_address.h"

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
    if (prefix.empty())
        return problem("the topic prefix after the broker is missing, as in mqtt://broker/ship/tilt-1");
    // Its topics would hold an empty level, "ship//status".
    if (prefix.ends_with('/'))
        return problem("the topic prefix may not end with /, as in mqtt://broker/ship/tilt-1");
    if (prefix.find_first_of("+#") != std::string_view::npos)
        return problem("the topic prefix may not hold the wildcards + and #");

    const common::NetworkAddressResult server
        = common::parseNetworkAddress(text.substr(0, slash), tls ? kTlsPort : kPlainPort);
    switch (server.problem) {
    case common::NetworkAddressResult::Problem::None:
        break;
    case common::NetworkAddressResult::Problem::NoHost:
        return problem("the broker's host name is missing");
    case common::NetworkAddressResult::Problem::BadHost:
        return problem("the broker's host must be a name or an address, as in broker.example or [::1]");
    case common::NetworkAddressResult::Problem::BadPort:
        return problem("the broker's port must be a number from 1 to 65535");
    }
    return { MqttAddress { tls, server.address->host, server.address->port, std::string(prefix) }, {} };
}

} // namespace marlume::mqtt
