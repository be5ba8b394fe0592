#include "fuzz_require.h"
#include "platform/rfc2217_client.h"
#include "support/heap_in_use.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform = marlume::platform;
namespace fuzz = marlume::fuzz;
using namespace platform::telnet;

namespace {

// However long the stream, the client keeps no more of it than a notice's worth.
constexpr std::ptrdiff_t kMostBytesKept = 256;
// The shortest modem state notice: IAC SB, the option, the command, the state, IAC SE.
constexpr std::size_t kShortestNotice = 7;

std::uint8_t byteAt(std::string_view text, std::size_t at)
{
    return static_cast<std::uint8_t>(text[at]);
}

// Every answer is a whole option command: IAC, a verb, an option.
void requireOptionCommands(std::string_view reply)
{
    fuzz::require(reply.size() % 3 == 0, "reply cut inside a command");
    for (std::size_t at = 0; at < reply.size(); at += 3) {
        const std::uint8_t verb = byteAt(reply, at + 1);
        fuzz::require(
            byteAt(reply, at) == kIac && verb >= kWill && verb <= kDont, "reply is no option command");
    }
}

// What the received buffer holds, each CTS change looked at as it comes up, as the monitor takes it.
std::string drained(platform::CtsOrderedBuffer& received)
{
    std::string data;
    for (;;) {
        const std::uint32_t changes = received.ctsChanges();
        const std::optional<bool> level = received.cts();
        const std::string taken = received.take(received.size());
        data += taken;
        if (taken.empty() && received.ctsChanges() == changes && received.cts() == level)
            return data;
    }
}

std::ptrdiff_t heapGrowthSince(std::size_t before)
{
    return static_cast<std::ptrdiff_t>(marlume::testing::heapBytesInUse())
        - static_cast<std::ptrdiff_t>(before);
}

} // namespace

// A server's bytes, as they come off the socket in any pieces. Byte 0 says whether the client greets first
// (the high bit) and how many piece lengths follow it (the low four bits); the lengths, used in turn, cut
// the rest, the stream, into pieces (a length of 0 is an empty piece before a piece of one byte). Fed in
// pieces, the client takes out the same data, answers the same and sees the same CTS as fed all at once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool greets = (data[0] & 0x80) != 0;
    const std::string_view lengths = input.substr(1, std::min<std::size_t>(data[0] & 0x0F, size - 1));
    const std::string_view stream = input.substr(1 + lengths.size());

    platform::Rfc2217Client whole;
    platform::Rfc2217Client cut;
    if (greets) {
        static_cast<void>(whole.greeting({}));
        static_cast<void>(cut.greeting({}));
    }
    platform::CtsOrderedBuffer wholeReceived;
    const platform::Rfc2217Client::Taken all = whole.take(stream, wholeReceived);
    const std::string allData = drained(wholeReceived);
    fuzz::require(allData.size() <= stream.size(), "more data out than bytes in");
    requireOptionCommands(all.reply);
    if (stream.find(static_cast<char>(kIac)) == std::string_view::npos)
        fuzz::require(allData == stream && all.reply.empty(), "a stream without IAC is not all data");
    fuzz::require(
        wholeReceived.ctsChanges() <= 2 * (stream.size() / kShortestNotice), "more CTS changes than notices");
    fuzz::require(
        wholeReceived.ctsChanges() == 0 || wholeReceived.cts().has_value(), "CTS changes without a level");

    platform::CtsOrderedBuffer cutReceived;
    const std::size_t heapBefore = marlume::testing::heapBytesInUse();
    std::size_t dataAt = 0;
    std::size_t replyAt = 0;
    std::uint32_t changes = 0;
    bool overlong = false;
    std::size_t largestPiece = 0;
    const auto feed = [&](std::string_view piece) {
        {
            const platform::Rfc2217Client::Taken taken = cut.take(piece, cutReceived);
            const std::string data = drained(cutReceived);
            fuzz::require(data.size() <= piece.size(), "more data out than bytes in a piece");
            fuzz::require(allData.compare(dataAt, data.size(), data) == 0, "data differs when cut");
            fuzz::require(
                all.reply.compare(replyAt, taken.reply.size(), taken.reply) == 0, "reply differs when cut");
            dataAt += data.size();
            replyAt += taken.reply.size();
            overlong = overlong || taken.overlongSubnegotiation;
        }
        // The received buffer keeps the room of the largest piece it held; the client keeps no more.
        largestPiece = std::max(largestPiece, piece.size());
        const std::ptrdiff_t kept = heapGrowthSince(heapBefore);
        fuzz::require(kept <= kMostBytesKept + 2 * static_cast<std::ptrdiff_t>(largestPiece),
            "the client keeps the stream");
        fuzz::require(cutReceived.ctsChanges() >= changes, "CTS change count went back");
        changes = cutReceived.ctsChanges();
    };
    for (std::size_t at = 0, turn = 0; at < stream.size(); ++turn) {
        std::size_t length = stream.size();
        if (!lengths.empty()) {
            length = byteAt(lengths, turn % lengths.size());
            if (length == 0) {
                feed({});
                length = 1;
            }
        }
        feed(stream.substr(at, length));
        at += length;
    }
    fuzz::require(dataAt == allData.size() && replyAt == all.reply.size(), "less taken when cut");
    fuzz::require(overlong == all.overlongSubnegotiation, "an overlong subnegotiation told only when cut");
    fuzz::require(
        cutReceived.cts() == wholeReceived.cts() && cutReceived.ctsChanges() == wholeReceived.ctsChanges(),
        "CTS differs when cut");
    return 0;
}
