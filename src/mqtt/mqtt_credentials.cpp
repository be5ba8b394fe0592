#include "mqtt/mqtt_credentials.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/stat.h>

namespace marlume::mqtt {

namespace {

CredentialsResult problem(const std::string& path, const std::string& why)
{
    return { std::nullopt, "Cannot use \"" + path + "\": " + why };
}

} // namespace

CredentialsResult readCredentialsFile(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return problem(path, std::strerror(errno));
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
    return { credentials, {} };
}

std::optional<MqttCredentials> credentialsFromEnvironment(
    const std::function<std::optional<std::string>(const char* name)>& variable)
{
    const std::optional<std::string> username = variable("MARLUME_MQTT_USERNAME");
    if (!username || username->empty())
        return std::nullopt;
    return MqttCredentials { *username, variable("MARLUME_MQTT_PASSWORD").value_or(std::string()) };
}

} // namespace marlume::mqtt
