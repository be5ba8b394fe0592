#include "fuzz_require.h"
#include "mqtt/mqtt_address.h"
#include "mqtt/mqtt_credentials.h"
#include "support/temporary_folder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace mqtt = marlume::mqtt;
namespace fuzz = marlume::fuzz;

namespace {

// A broker taken is a host and a port from 1 on under a prefix that can head topics, and written out again,
// with its port or without the one that goes without saying, it is read as the same broker.
void requireSoundAddress(std::string_view text)
{
    const mqtt::MqttAddressResult result = mqtt::parseMqttAddress(text);
    fuzz::require(result.address.has_value() == result.problem.empty(), "address without a verdict");
    if (!result.address)
        return;
    const mqtt::MqttAddress& address = *result.address;
    fuzz::require(!address.host.empty() && address.port != 0, "broker without a host or a port");
    fuzz::require(!address.prefix.empty() && !address.prefix.ends_with('/')
            && address.prefix.find_first_of("+#") == std::string::npos,
        "prefix that heads no topic: " + address.prefix);
    const std::string scheme = address.tls ? "mqtts://" : "mqtt://";
    const std::string host
        = address.host.find(':') == std::string::npos ? address.host : "[" + address.host + "]";
    std::vector<std::string> writings { scheme + host + ":" + std::to_string(address.port) + "/"
        + address.prefix };
    if (address.port == (address.tls ? 8883 : 1883))
        writings.push_back(scheme + host + "/" + address.prefix);
    for (const std::string& written : writings) {
        const mqtt::MqttAddressResult back = mqtt::parseMqttAddress(written);
        fuzz::require(back.address == address,
            "\"" + std::string(text) + "\" written as \"" + written + "\" reads otherwise: " + back.problem);
    }
}

mqtt::CredentialsResult credentialsIn(const std::string& path, std::string_view text)
{
    fuzz::require(
        marlume::testing::writeFile(path, text) && ::chmod(path.c_str(), 0600) == 0, "cannot write " + path);
    return mqtt::readCredentialsFile(path);
}

// Credentials taken name a user, hold no line end, and written out again as the two lines read the same.
void requireSoundCredentials(const std::string& path, std::string_view text)
{
    const mqtt::CredentialsResult result = credentialsIn(path, text);
    fuzz::require(result.credentials.has_value() == result.problem.empty(), "credentials without a verdict");
    if (!result.credentials)
        return;
    const mqtt::MqttCredentials& credentials = *result.credentials;
    fuzz::require(!credentials.username.empty(), "credentials without a user");
    fuzz::require((credentials.username + credentials.password).find('\n') == std::string::npos,
        "credentials with a line end");
    const std::string written
        = "username=" + credentials.username + "\r\npassword=" + credentials.password + "\r\n";
    fuzz::require(
        credentialsIn(path, written).credentials == credentials, "credentials written out read otherwise");
}

} // namespace

// The input is both a broker's address as --mqtt takes it and the text of a credentials file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const marlume::testing::TemporaryFolder folder;
    static const std::string path = folder.pathOf("station.credentials");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    requireSoundAddress(text);
    requireSoundCredentials(path, text);
    return 0;
}
