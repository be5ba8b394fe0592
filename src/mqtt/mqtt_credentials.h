#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace marlume::mqtt {

// The longest user name or password taken, in bytes: far more than any broker needs, far less than the
// 65535 MQTT allows.
inline constexpr std::size_t kLongestCredential = 1024;

struct MqttCredentials {
    std::string username;
    std::string password;

    friend bool operator==(const MqttCredentials&, const MqttCredentials&) = default;
};

struct CredentialsResult {
    std::optional<MqttCredentials> credentials;
    std::string problem; // why the credentials cannot be used

    friend bool operator==(const CredentialsResult&, const CredentialsResult&) = default;
};

// A file of "username=NAME" and "password=SECRET" lines (blank lines and lines starting with # ignored)
// that only its owner may read or write: credentials never go on the command line, where ps shows them.
// A user name or password longer than kLongestCredential is refused.
[[nodiscard]] CredentialsResult readCredentialsFile(const std::string& path);

// MARLUME_MQTT_USERNAME and MARLUME_MQTT_PASSWORD, looked up with the function given; none, and no problem,
// without a user name; past kLongestCredential, a problem.
[[nodiscard]] CredentialsResult credentialsFromEnvironment(
    const std::function<std::optional<std::string>(const char* name)>& variable);

} // namespace marlume::mqtt
