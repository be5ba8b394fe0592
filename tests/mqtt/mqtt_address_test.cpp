#include "mqtt/mqtt_address.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::mqtt {
namespace {

const std::string kHostProblem
    = "the broker's host must be a name or an address, as in broker.example or [::1]";

struct AddressCase {
    std::string name;
    std::string text;
    std::optional<MqttAddress> address;
    std::string problem;
};

class MqttAddressTest : public ::testing::TestWithParam<AddressCase> { };

TEST_P(MqttAddressTest, ReadsTheBrokerAndThePrefixOrSaysWhatIsWrong)
{
    const MqttAddressResult result = parseMqttAddress(GetParam().text);
    EXPECT_EQ(result.address, GetParam().address);
    EXPECT_EQ(result.problem, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Texts, MqttAddressTest,
    ::testing::ValuesIn(std::vector<AddressCase> {
        { "PlainWithDefaultPort", "mqtt://broker/ship/tilt-1",
            MqttAddress { false, "broker", 1883, "ship/tilt-1" }, "" },
        { "TlsWithDefaultPort", "mqtts://broker.example/t", MqttAddress { true, "broker.example", 8883, "t" },
            "" },
        { "OwnPort", "mqtt://10.0.0.2:1884/t", MqttAddress { false, "10.0.0.2", 1884, "t" }, "" },
        { "Ipv6", "mqtt://[::1]:1884/t", MqttAddress { false, "::1", 1884, "t" }, "" },
        { "Ipv6DefaultPort", "mqtts://[::1]/t", MqttAddress { true, "::1", 8883, "t" }, "" },
        { "OtherScheme", "http://broker/t", std::nullopt,
            "give the broker as mqtt://HOST[:PORT]/PREFIX or mqtts://HOST[:PORT]/PREFIX" },
        { "NoPrefix", "mqtt://broker", std::nullopt,
            "the topic prefix after the broker is missing, as in mqtt://broker/ship/tilt-1" },
        { "TrailingSlash", "mqtt://broker/t/", std::nullopt,
            "the topic prefix may not end with /, as in mqtt://broker/ship/tilt-1" },
        { "OnlyASlash", "mqtt://broker//", std::nullopt,
            "the topic prefix may not end with /, as in mqtt://broker/ship/tilt-1" },
        { "Wildcard", "mqtt://broker/ship/#", std::nullopt,
            "the topic prefix may not hold the wildcards + and #" },
        { "BadPort", "mqtt://broker:99999/t", std::nullopt,
            "the broker's port must be a number from 1 to 65535" },
        { "NoHost", "mqtt:///t", std::nullopt, "the broker's host name is missing" },
        { "NoHostBeforePort", "mqtt://:1884/t", std::nullopt, "the broker's host name is missing" },
        { "BlankInHost", "mqtt://a b/t", std::nullopt, kHostProblem },
        { "BlankInHostBeforePort", "mqtt://a b:1884/t", std::nullopt, kHostProblem },
        { "BracketInHost", "mqtt://a[b/t", std::nullopt, kHostProblem },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::mqtt
