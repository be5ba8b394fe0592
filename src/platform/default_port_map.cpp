#include "platform/default_port_map.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>
#include <utility>

namespace marlume::platform {

namespace {

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
    if (port.portName.starts_with("ttyUSB") || port.portName.starts_with("ttyACM"))
        return Group::UsbAdapter;
    if (port.portName.starts_with("ttyS"))
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

} // namespace

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

} // namespace marlume::platform
