#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::mqtt {

// Where a station reports: "mqtt://HOST[:PORT]/PREFIX", or "mqtts://" for TLS; its topics are PREFIX/event,
// PREFIX/reading and PREFIX/status.
struct MqttAddress {
    bool tls = false;
    std::string host;
    std::uint16_t port = 1883; // 8883 with TLS
    std::string prefix; // "ship/tilt-1"

    friend bool operator==(const MqttAddress&, const MqttAddress&) = default;
};

struct MqttAddressResult {
    std::optional<MqttAddress> address;
    std::string problem; // why there is none, for the user
};

[[nodiscard]] MqttAddressResult parseMqttAddress(std::string_view text);

} // namespace marlume::mqtt
