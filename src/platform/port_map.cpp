#include "platform/port_map.h"

#include "common/number_text.h"

#include <cstddef>
#include <optional>
#include <utility>

#include <sys/stat.h>

namespace marlume::platform {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    constexpr std::string_view blanks = " \t";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

constexpr std::string_view kReplayPrefix = "replay:";
constexpr std::string_view kRfc2217Prefix = "rfc2217://";
constexpr std::string_view kTcpPrefix = "tcp://";

constexpr std::string_view kAddressProblem
    = "give the server as HOST:PORT with a port number from 1 to 65535, as in rfc2217://deck:2001";

constexpr std::string_view kSpeedProblem
    = "the speed after @ must be a number above 0 followed by x, as in @10x";

PortEntry unusable(std::string_view text, std::string_view problem)
{
    return { PortEntry::Kind::Unusable, std::string(text), 1.0, std::string(problem) };
}

// A suffix after @ that is meant as a speed: it ends in x, or is a number without one.
bool looksLikeSpeed(std::string_view suffix)
{
    return !suffix.empty()
        && (suffix.ends_with('x') || suffix.ends_with('X')
            || suffix.find_first_not_of("0123456789.+-eE") == std::string_view::npos);
}

// A replay path whose end the list would trim as blanks or read as a speed, unless a speed follows it.
bool needsASpeedAfterIt(std::string_view path)
{
    const auto at = path.rfind('@');
    return path.ends_with(' ') || path.ends_with('\t')
        || (at != std::string_view::npos && looksLikeSpeed(path.substr(at + 1)));
}

// "PATH" or "PATH@10x"; an existing file is taken whole, whatever its name.
PortEntry replayEntryFor(std::string_view target)
{
    const auto at = target.rfind('@');
    struct stat status { };
    if (at == std::string_view::npos || !looksLikeSpeed(target.substr(at + 1))
        || ::stat(std::string(target).c_str(), &status) == 0)
        return { PortEntry::Kind::Replay, std::string(target), 1.0 };
    std::string_view factor = target.substr(at + 1);
    if (!factor.ends_with('x') && !factor.ends_with('X'))
        return unusable(std::string(kReplayPrefix) + std::string(target), kSpeedProblem);
    factor.remove_suffix(1);
    const auto speed = common::parseNumberText(factor);
    // Kept to the digits the port listing shows, so that the listing reads back as the same entry.
    const auto listed = speed ? common::parseNumberText(common::numberText(*speed)) : std::nullopt;
    if (!listed || !(*listed > 0))
        return unusable(std::string(kReplayPrefix) + std::string(target), kSpeedProblem);
    return { PortEntry::Kind::Replay, std::string(target.substr(0, at)), *listed };
}

PortEntry entryFor(std::string_view text)
{
    if (text.empty())
        return {};
    if (text.starts_with(kReplayPrefix))
        return replayEntryFor(text.substr(kReplayPrefix.size()));
    for (const auto& [prefix, kind] : { std::pair(kRfc2217Prefix, PortEntry::Kind::Rfc2217),
             std::pair(kTcpPrefix, PortEntry::Kind::Tcp) }) {
        if (text.starts_with(prefix)) {
            const std::string_view address = text.substr(prefix.size());
            const common::NetworkAddressResult server = common::parseNetworkAddress(address);
            if (!server.address)
                return unusable(text, kAddressProblem);
            return { kind, std::string(address), 1.0, {}, *server.address };
        }
    }
    if (text == "sim")
        return { PortEntry::Kind::Simulated, {} };
    if (text == "silent")
        return { PortEntry::Kind::Silent, {} };
    return { PortEntry::Kind::Device, std::string(text) };
}

std::string quotedIfItHasAComma(const std::string& path)
{
    return path.find(',') == std::string::npos ? path : '"' + path + '"';
}

} // namespace

PortMap parsePortMap(std::string_view list)
{
    PortMap map;
    std::size_t index = 0;
    std::string entry;
    bool quoted = false;
    for (std::size_t at = 0; index < map.size(); ++at) {
        if (at < list.size() && list[at] == '"') {
            quoted = !quoted;
            continue;
        }
        if (at < list.size() && (list[at] != ',' || quoted)) {
            entry += list[at];
            continue;
        }
        map[index++] = quoted ? unusable(trimBlanks(entry), "a double quote is not closed")
                              : entryFor(trimBlanks(entry));
        if (at >= list.size())
            break;
        entry.clear();
    }
    return map;
}

std::string portEntryText(const PortEntry& entry)
{
    std::string text;
    switch (entry.kind) {
    case PortEntry::Kind::None:
        break;
    case PortEntry::Kind::Device:
        text = quotedIfItHasAComma(entry.path);
        break;
    case PortEntry::Kind::Unusable:
        text = entry.path;
        break;
    case PortEntry::Kind::Simulated:
        text = "sim";
        break;
    case PortEntry::Kind::Silent:
        text = "silent";
        break;
    case PortEntry::Kind::Rfc2217:
        text = std::string(kRfc2217Prefix) + entry.path;
        break;
    case PortEntry::Kind::Tcp:
        text = std::string(kTcpPrefix) + entry.path;
        break;
    case PortEntry::Kind::Replay:
        text = kReplayPrefix;
        text += quotedIfItHasAComma(entry.path);
        if (entry.speed != 1.0 || needsASpeedAfterIt(entry.path)) {
            text += '@';
            text += common::numberText(static_cast<float>(entry.speed));
            text += 'x';
        }
        break;
    }
    return text;
}

std::string portLabel(std::size_t index)
{
    return (index + 1 < 10 ? "port  " : "port ") + std::to_string(index + 1) + ":";
}

std::string formatPortMap(const PortMap& map)
{
    std::string text;
    for (std::size_t i = 0; i < map.size(); ++i) {
        text += portLabel(i);
        if (map[i].kind != PortEntry::Kind::None) {
            text += ' ';
            text += portEntryText(map[i]);
        }
        text += '\n';
    }
    return text;
}

} // namespace marlume::platform
