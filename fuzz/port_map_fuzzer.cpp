#include "common/network_address.h"
#include "fuzz_require.h"
#include "platform/port_map.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace common = marlume::common;
namespace platform = marlume::platform;
namespace fuzz = marlume::fuzz;
using Kind = platform::PortEntry::Kind;

namespace {

// What each kind of entry holds: a reason for an unusable one only, a device path without quotes, a network
// server taken apart from its HOST:PORT, a replay speed above 0.
void requireSoundEntry(const platform::PortEntry& entry)
{
    fuzz::require(entry.problem.empty() == (entry.kind != Kind::Unusable), "reason out of place");
    switch (entry.kind) {
    case Kind::None:
    case Kind::Simulated:
    case Kind::Silent:
        fuzz::require(entry.path.empty(), "path on a built-in or no device");
        break;
    case Kind::Device:
        fuzz::require(
            !entry.path.empty() && entry.path.find('"') == std::string::npos, "device path " + entry.path);
        break;
    case Kind::Replay:
        fuzz::require(std::isfinite(entry.speed) && entry.speed > 0, "replay speed not above 0");
        break;
    case Kind::Rfc2217:
    case Kind::Tcp:
        fuzz::require(
            common::parseNetworkAddress(entry.path).address == entry.server, "network server " + entry.path);
        break;
    case Kind::Unusable:
        break;
    }
}

} // namespace

// The input is a MARLUME_TILT_PORTS list, up to a first NUL as the environment or a --ports argument holds
// it. Every entry is sound, and a usable one, written as the port listing shows it, reads back as the same
// entry shown the same way.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view list(reinterpret_cast<const char*>(data), size);
    list = list.substr(0, list.find('\0'));
    const platform::PortMap map = platform::parsePortMap(list);
    for (const platform::PortEntry& entry : map) {
        requireSoundEntry(entry);
        if (entry.kind == Kind::Unusable)
            continue;
        const std::string text = platform::portEntryText(entry);
        const platform::PortEntry back = platform::parsePortMap(text).front();
        fuzz::require(back.kind == entry.kind && back.path == entry.path && back.server == entry.server
                && platform::portEntryText(back) == text,
            "listed as " + text + ", read back as " + platform::portEntryText(back));
    }
    const std::string listing = platform::formatPortMap(map);
    fuzz::require(std::count(listing.begin(), listing.end(), '\n') >= static_cast<std::ptrdiff_t>(map.size()),
        "a port missing from the listing");
    return 0;
}
