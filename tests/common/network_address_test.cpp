#include "common/network_address.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marlume::common {
namespace {

using Problem = NetworkAddressResult::Problem;

struct AddressCase {
    std::string name;
    std::string text;
    std::optional<std::uint16_t> defaultPort;
    std::optional<NetworkAddress> address;
    Problem problem;
};

class NetworkAddressTest : public ::testing::TestWithParam<AddressCase> { };

TEST_P(NetworkAddressTest, TakesHostAndPortApartOrSaysWhichIsWrongAndWritesThemBack)
{
    const NetworkAddressResult result = parseNetworkAddress(GetParam().text, GetParam().defaultPort);
    EXPECT_EQ(result.address, GetParam().address);
    EXPECT_EQ(result.problem, GetParam().problem);
    if (result.address) {
        EXPECT_EQ(parseNetworkAddress(networkAddressText(*result.address)).address, result.address)
            << "written as " << networkAddressText(*result.address);
    }
}

// The port map's and the broker's spellings are tested with them; these rows hold what tells them apart.
INSTANTIATE_TEST_SUITE_P(Texts, NetworkAddressTest,
    ::testing::ValuesIn(std::vector<AddressCase> {
        { "NameAndPort", "deck:2001", std::nullopt, NetworkAddress { "deck", 2001 }, Problem::None },
        { "Ipv6WithoutBrackets", "[fe80::1]:65535", std::nullopt, NetworkAddress { "fe80::1", 65535 },
            Problem::None },
        { "DefaultPortTaken", "broker", 1883, NetworkAddress { "broker", 1883 }, Problem::None },
        { "DefaultPortForIpv6", "[::1]", 1883, NetworkAddress { "::1", 1883 }, Problem::None },
        { "GivenPortBeforeDefault", "broker:1884", 1883, NetworkAddress { "broker", 1884 }, Problem::None },
        { "NoPortNoDefault", "deck", std::nullopt, std::nullopt, Problem::BadPort },
        { "EmptyPortDespiteADefault", "deck:", 1883, std::nullopt, Problem::BadPort },
        { "PortZero", "deck:0", std::nullopt, std::nullopt, Problem::BadPort },
        { "NoHostBeforePort", ":2001", std::nullopt, std::nullopt, Problem::NoHost },
        { "EmptyBrackets", "[]:2001", std::nullopt, std::nullopt, Problem::BadHost },
        { "HostBeforePort", "a b:x", std::nullopt, std::nullopt, Problem::BadHost },
        { "ColonOutsideBrackets", "::1", 1883, std::nullopt, Problem::BadHost },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::common
