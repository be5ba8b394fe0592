#include "mqtt/mqtt_credentials.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <utility>

#include <sys/stat.h>

namespace marlume::mqtt {

namespace {

CredentialsResult problem(const std::string& path, const std::string& why)
{
    return { std::nullopt, "Cannot use \"" + path + "\": " + why };
}

// Why the user name or the password is too long for the broker, if one is; empty if neither is. The
// words name them as the user gave them.
std::string lengthProblem(
    const MqttCredentials& credentials, std::string_view username, std::string_view password)
{
    const auto tooLong = [](std::string_view what) {
        return std::string(what) + " is longer than " + std::to_string(kLongestCredential) + " bytes";
    };
    if (credentials.username.size() > kLongestCredential)
        return tooLong(username);
    if (credentials.password.size() > kLongestCredential)
        return tooLong(password);
    return {};
}

} // namespace

CredentialsResult readCredentialsFile(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return problem(path, std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return problem(path, "it is no regular file");
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return problem(path, "others may read it; make it the owner's only with chmod 600");
    std::ifstream file(path);
    if (!file)
        return problem(path, std::strerror(errno));
    MqttCredentials credentials;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        if (line.starts_with("username="))
            credentials.username = line.substr(9);
        else if (line.starts_with("password="))
            credentials.password = line.substr(9);
        else
            return problem(path, "a line is neither username=NAME nor password=SECRET");
    }
    if (credentials.username.empty())
        return problem(path, "it names no user (username=NAME)");
    if (const std::string tooLong = lengthProblem(credentials, "the user name", "the password");
        !tooLong.empty())
        return problem(path, tooLong);
    return { credentials, {} };
}

CredentialsResult credentialsFromEnvironment(
    const std::function<std::optional<std::string>(const char* name)>& variable)
{
    const std::optional<std::string> username = variable("MARLUME_MQTT_USERNAME");
    const std::optional<std::string> password = variable("MARLUME_MQTT_PASSWORD");
    if (!username || username->empty()) {
        // A password alone would be dropped without a word, and the broker's refusal would not say why.
        if (password && !password->empty())
            return { std::nullopt, "MARLUME_MQTT_PASSWORD is set, but MARLUME_MQTT_USERNAME names no user" };
        return { std::nullopt, {} };
    }
    MqttCredentials credentials { *username, password.value_or(std::string()) };
    std::string tooLong = lengthProblem(credentials, "MARLUME_MQTT_USERNAME", "MARLUME_MQTT_PASSWORD");
    if (!tooLong.empty())
        return { std::nullopt, std::move(tooLong) };
    return { credentials, {} };
}

} // namespace marlume::mqtt
