#include "fuzz_require.h"
#include "platform/rfc2217_client.h"
#include "support/heap_in_use.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
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
    const platform::Rfc2217Client::Taken all = whole.take(stream);
    fuzz::require(all.data.size() <= stream.size(), "more data out than bytes in");
    requireOptionCommands(all.reply);
    if (stream.find(static_cast<char>(kIac)) == std::string_view::npos)
        fuzz::require(all.data == stream && all.reply.empty(), "a stream without IAC is not all data");
    fuzz::require(
        whole.ctsChanges() <= 2 * (stream.size() / kShortestNotice), "more CTS changes than notices");
    fuzz::require(whole.ctsChanges() == 0 || whole.cts().has_value(), "CTS changes without a level");

    const std::size_t heapBefore = marlume::testing::heapBytesInUse();
    std::size_t dataAt = 0;
    std::size_t replyAt = 0;
    std::uint32_t changes = 0;
    const auto feed = [&](std::string_view piece) {
        {
            const platform::Rfc2217Client::Taken taken = cut.take(piece);
            fuzz::require(taken.data.size() <= piece.size(), "more data out than bytes in a piece");
            fuzz::require(
                all.data.compare(dataAt, taken.data.size(), taken.data) == 0, "data differs when cut");
            fuzz::require(
                all.reply.compare(replyAt, taken.reply.size(), taken.reply) == 0, "reply differs when cut");
            dataAt += taken.data.size();
            replyAt += taken.reply.size();
        }
        const std::ptrdiff_t kept = heapGrowthSince(heapBefore);
        fuzz::require(kept <= kMostBytesKept, "the client keeps the stream");
        fuzz::require(cut.ctsChanges() >= changes, "CTS change count went back");
        changes = cut.ctsChanges();
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
    fuzz::require(dataAt == all.data.size() && replyAt == all.reply.size(), "less taken when cut");
    fuzz::require(cut.cts() == whole.cts() && cut.ctsChanges() == whole.ctsChanges(), "CTS differs when cut");
    return 0;
}
