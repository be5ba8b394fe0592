#include "platform/port_map.h"

#include "common/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
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
            if (!parseNetworkAddress(address))
                return unusable(text, kAddressProblem);
            return { kind, std::string(address) };
        }
    }
    if (text == "sim")
        return { PortEntry::Kind::Simulated, {} };
    if (text == "silent")
        return { PortEntry::Kind::Silent, {} };
    return { PortEntry::Kind::Device, std::string(text) };
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// In port order; placeholders are left out.
enum class Group { UsbAdapter, Other, Legacy, Placeholder };

bool hasUart(const PresentPort& port, const std::string& sysfsRoot)
{
    auto type = sysfsUartType(sysfsRoot, port.portName);
    if (!type)
        type = ioctlUartType(port.systemLocation);
    return type ? *type != 0 : port.hasHardwareInfo;
}

Group groupOf(const PresentPort& port, const std::string& sysfsRoot)
{
    if (startsWith(port.portName, "ttyUSB") || startsWith(port.portName, "ttyACM"))
        return Group::UsbAdapter;
    if (startsWith(port.portName, "ttyS"))
        return hasUart(port, sysfsRoot) ? Group::Legacy : Group::Placeholder;
    return Group::Other;
}

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view withoutLeadingZeros(std::string_view digits)
{
    return digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
}

// Natural order: runs of digits compare by value, so ttyUSB2 comes before ttyUSB10.
bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            const auto valueA = withoutLeadingZeros(a.substr(startA, i - startA));
            const auto valueB = withoutLeadingZeros(b.substr(startB, j - startB));
            if (valueA.size() != valueB.size())
                return valueA.size() < valueB.size();
            if (valueA != valueB)
                return valueA < valueB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
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

PortMap defaultPortMap(std::vector<PresentPort> present, const std::string& sysfsRoot)
{
    // Grouped once per port: the grouping reads sysfs or opens the device.
    std::vector<std::pair<Group, PresentPort>> grouped;
    for (PresentPort& port : present) {
        const Group group = groupOf(port, sysfsRoot);
        if (group != Group::Placeholder)
            grouped.emplace_back(group, std::move(port));
    }
    std::stable_sort(grouped.begin(), grouped.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return naturalLess(a.second.portName, b.second.portName);
    });
    PortMap map;
    for (std::size_t i = 0; i < grouped.size() && i < map.size(); ++i)
        map[i] = { PortEntry::Kind::Device, grouped[i].second.systemLocation };
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

std::optional<NetworkAddress> parseNetworkAddress(std::string_view text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const bool bracketed = host.size() > 2 && host.starts_with('[') && host.ends_with(']');
    if (bracketed)
        host = host.substr(1, host.size() - 2); // an IPv6 address, colons and all
    const bool hostFits
        = !host.empty() && host.find_first_of(bracketed ? "[] ," : ":[] ,") == std::string_view::npos;
    const std::string_view portText = text.substr(colon + 1);
    unsigned port = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (!hostFits || error != std::errc() || end != portText.data() + portText.size() || port == 0
        || port > 65535)
        return std::nullopt;
    return NetworkAddress { std::string(host), static_cast<std::uint16_t>(port) };
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
