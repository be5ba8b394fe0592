#include "mqtt/mqtt_credentials.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Why a file that could not be opened is refused: as the same checks of the opened file would say, else
// the system's reason.
std::string openProblem(const std::string& path, int openError)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return "it is no regular file";
        if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
            return "others may read it; make it the owner's only with chmod 600";
    }
    return std::strerror(openError);
}

// The lines of a credentials file.
CredentialsResult parseCredentials(const std::string& path, const std::string& text)
{
    std::istringstream file(text);
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

CredentialsResult readOpenedFile(const std::string& path, int descriptor)
{
    struct stat status { };
    if (::fstat(descriptor, &status) != 0)
        return problem(path, std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return problem(path, "it is no regular file");
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return problem(path, "others may read it; make it the owner's only with chmod 600");
    std::string text;
    std::array<char, 4096> piece {};
    for (;;) {
        const ssize_t count = ::read(descriptor, piece.data(), piece.size());
        if (count == 0)
            return parseCredentials(path, text);
        if (count > 0)
            text.append(piece.data(), static_cast<std::size_t>(count));
        else if (errno != EINTR)
            return problem(path, std::strerror(errno));
    }
}

} // namespace

CredentialsResult readCredentialsFile(const std::string& path)
{
    // The file is checked as opened, so that nothing can be put in its place after the checks; opening does
    // not wait for a writer, should it be a FIFO.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return problem(path, openProblem(path, errno));
    CredentialsResult result = readOpenedFile(path, descriptor);
    ::close(descriptor);
    return result;
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
