#include "platform/rfc2217_client.h"
#include "support/case_name.h"
#include "support/heap_in_use.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::platform {
namespace {

using namespace telnet;

std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (const int value : values)
        text += static_cast<char>(value);
    return text;
}

TEST(Rfc2217Client, GreetsWithItsOptionsTheLineNoFlowControlAndTheCtsMask)
{
    Rfc2217Client client;
    const auto settings = parseLineSettings("19200,N,8,1");
    ASSERT_TRUE(settings);
    EXPECT_EQ(client.greeting(*settings),
        bytes({ kIac, kWill, kComPort, kIac, kWill, kBinary, kIac, kWill, kSuppressGoAhead, kIac, kDo,
            kBinary, kIac, kDo, kSuppressGoAhead }) //
            + bytes({ kIac, kSb, kComPort, kSetBaudRate, 0, 0, 0x4B, 0x00, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetDataSize, 8, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetParity, 1, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetStopSize, 1, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetControl, 1, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetLineStateMask, 0, kIac, kSe }) //
            + bytes({ kIac, kSb, kComPort, kSetModemStateMask, 0x11, kIac, kSe }));
    EXPECT_EQ(comPortCommand(kSetBaudRate, bytes({ 0, 0, 0xFF, 0x01 })),
        bytes({ kIac, kSb, kComPort, kSetBaudRate, 0, 0, 0xFF, 0xFF, 0x01, kIac, kSe }))
        << "a 255 in a value is doubled";
}

// Whatever the stream, the client keeps no more of it than a notice's worth.
constexpr std::ptrdiff_t kMostBytesKept = 4096;

struct TakeCase {
    std::string name;
    std::vector<std::string> pieces; // as the server's bytes arrive
    std::string data;
    std::string reply;
};

class Rfc2217TakeTest : public ::testing::TestWithParam<TakeCase> { };

TEST_P(Rfc2217TakeTest, SeparatesTheLinesBytesFromTelnetAndAnswersItsRequests)
{
    const TakeCase& c = GetParam();
    Rfc2217Client client;
    static_cast<void>(client.greeting({}));
    std::string data;
    std::string reply;
    const std::size_t heapBefore = testing::heapBytesInUse();
    for (const std::string& piece : c.pieces) {
        {
            const Rfc2217Client::Taken taken = client.take(piece);
            data += taken.data;
            reply += taken.reply;
        }
        EXPECT_LE(static_cast<std::ptrdiff_t>(testing::heapBytesInUse() - heapBefore), kMostBytesKept);
    }
    EXPECT_EQ(data, c.data);
    EXPECT_EQ(reply, c.reply);
}

INSTANTIATE_TEST_SUITE_P(Streams, Rfc2217TakeTest,
    ::testing::ValuesIn(std::vector<TakeCase> {
        { "PlainData", { "90,1,2\r\n" }, "90,1,2\r\n", "" },
        { "EscapedByteBothInOnePieceAndSplit",
            { bytes({ 'a', kIac, kIac, 'b', kIac }), bytes({ kIac, 'c' }) },
            bytes({ 'a', 0xFF, 'b', 0xFF, 'c' }), "" },
        { "AgreedOptionsAreNotAnsweredAgain",
            { bytes({ kIac, kDo, kComPort, kIac, kWill, kBinary, kIac, kDo, kSuppressGoAhead }) }, "", "" },
        { "UnknownOptionsRefused", { bytes({ kIac, kDo, 1, 'x', kIac, kWill, 1 }) }, "x",
            bytes({ kIac, kWont, 1, kIac, kDont, 1 }) },
        { "ServerWithdrawingIsAcknowledged", { bytes({ kIac, kWont, kBinary, kIac, kDont, kBinary }) }, "",
            bytes({ kIac, kDont, kBinary, kIac, kWont, kBinary }) },
        { "SubnegotiationsAndNoOperationsCarryNoData",
            { bytes({ 'a', kIac, kSb, kComPort, kSetBaudRate + kServerOffset, 0, 0, kIac }),
                bytes({ kIac, 0, kIac, kSe, kIac, 241, 'b' }) },
            "ab", "" },
        { "EndlessSubnegotiationNotKept",
            { bytes({ kIac, kSb, kComPort, kNotifyModemState + kServerOffset }) + std::string(1 << 20, 'x'),
                bytes({ kIac, kSe, 'a' }) },
            "a", "" },
    }),
    testing::CaseName());

std::string modemState(int state)
{
    return bytes({ kIac, kSb, kComPort, kNotifyModemState + kServerOffset, state, kIac, kSe });
}

TEST(Rfc2217Client, TakesCtsFromTheModemStateNotificationsCountingEveryChange)
{
    Rfc2217Client client;
    EXPECT_EQ(client.cts(), std::nullopt) << "not known until notified";
    struct Step {
        int state;
        bool cts;
        std::uint32_t changes;
    };
    for (const Step& step : std::vector<Step> {
             { 0x20, false, 0 }, // DSR alone: CTS low, the first level counts no change
             { 0x11, true, 1 }, // rises
             { 0x10, true, 1 }, // the level again, no change since
             { 0x01, false, 2 }, // falls
             { 0x01, false, 4 }, // a pulse the server saw only by its delta bit
             { 0x10, true, 5 },
         }) {
        static_cast<void>(client.take(modemState(step.state)));
        EXPECT_EQ(client.cts(), step.cts) << step.state;
        EXPECT_EQ(client.ctsChanges(), step.changes) << step.state;
    }
}

} // namespace
} // namespace marlume::platform
