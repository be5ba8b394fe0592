#pragma once

#include <functional>
#include <optional>
#include <string>

namespace marlume::mqtt {

struct MqttCredentials {
    std::string username;
    std::string password;

    friend bool operator==(const MqttCredentials&, const MqttCredentials&) = default;
};

struct CredentialsResult {
    std::optional<MqttCredentials> credentials;
    std::string problem; // why the file cannot be used
};

// A file of "username=NAME" and "password=SECRET" lines (blank lines and lines starting with # ignored)
// that only its owner may read or write: credentials never go on the command line, where ps shows them.
[[nodiscard]] CredentialsResult readCredentialsFile(const std::string& path);

// MARLUME_MQTT_USERNAME and MARLUME_MQTT_PASSWORD, looked up with the function given; none without a user
// name.
[[nodiscard]] std::optional<MqttCredentials> credentialsFromEnvironment(
    const std::function<std::optional<std::string>(const char* name)>& variable);

} // namespace marlume::mqtt
