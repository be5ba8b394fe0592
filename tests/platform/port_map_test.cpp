#include "platform/default_port_map.h"
#include "platform/port_map.h"
#include "platform/serial_device.h"

#include "support/case_name.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace marlume::platform {
namespace {

using Kind = PortEntry::Kind;

const std::string kAddressProblem
    = "give the server as HOST:PORT with a port number from 1 to 65535, as in rfc2217://deck:2001";

struct ListCase {
    std::string name;
    std::string list;
    std::vector<std::pair<int, PortEntry>> entries; // port number and entry; every other port has none
};

class PortListTest : public ::testing::TestWithParam<ListCase> { };

TEST_P(PortListTest, MapsPortNumbers)
{
    PortMap expected;
    for (const auto& [port, entry] : GetParam().entries)
        expected[static_cast<std::size_t>(port - 1)] = entry;
    EXPECT_EQ(parsePortMap(GetParam().list), expected);
}

std::string seventeenEntries()
{
    std::string list;
    for (int n = 1; n <= 16; ++n)
        list += "/dev/p" + std::to_string(n) + ",";
    return list + "sim";
}

std::vector<std::pair<int, PortEntry>> sixteenPaths()
{
    std::vector<std::pair<int, PortEntry>> entries;
    for (int n = 1; n <= 16; ++n)
        entries.push_back({ n, { Kind::Device, "/dev/p" + std::to_string(n) } });
    return entries;
}

INSTANTIATE_TEST_SUITE_P(Lists, PortListTest,
    ::testing::Values(ListCase { "empty_list", "", {} }, ListCase { "blanks_only", " \t ", {} },
        ListCase { "one_path", "/dev/ttyUSB0", { { 1, { Kind::Device, "/dev/ttyUSB0" } } } },
        ListCase { "empty_first_entry", ",/dev/pts/7", { { 2, { Kind::Device, "/dev/pts/7" } } } },
        ListCase { "built_in_devices", "sim, silent ,/dev/x",
            { { 1, { Kind::Simulated, "" } }, { 2, { Kind::Silent, "" } },
                { 3, { Kind::Device, "/dev/x" } } } },
        ListCase { "blanks_and_tabs_trimmed", " \t/dev/a b\t ,", { { 1, { Kind::Device, "/dev/a b" } } } },
        ListCase { "names_are_case_sensitive", "SIM", { { 1, { Kind::Device, "SIM" } } } },
        ListCase {
            "gaps_kept", "sim,,,silent", { { 1, { Kind::Simulated, "" } }, { 4, { Kind::Silent, "" } } } },
        ListCase { "entries_past_sixteen_ignored", seventeenEntries(), sixteenPaths() },
        ListCase { "network_ports", "rfc2217://deck:2001, tcp://10.0.0.5:4001,rfc2217://[::1]:2002",
            { { 1, { Kind::Rfc2217, "deck:2001", 1.0, {}, { "deck", 2001 } } },
                { 2, { Kind::Tcp, "10.0.0.5:4001", 1.0, {}, { "10.0.0.5", 4001 } } },
                { 3, { Kind::Rfc2217, "[::1]:2002", 1.0, {}, { "::1", 2002 } } } } },
        ListCase { "network_ports_need_host_and_port",
            "rfc2217://deck,tcp://:4001,tcp://deck:0,tcp://deck:65536,tcp://deck:20x1,tcp://a:b:1",
            { { 1, { Kind::Unusable, "rfc2217://deck", 1.0, kAddressProblem } },
                { 2, { Kind::Unusable, "tcp://:4001", 1.0, kAddressProblem } },
                { 3, { Kind::Unusable, "tcp://deck:0", 1.0, kAddressProblem } },
                { 4, { Kind::Unusable, "tcp://deck:65536", 1.0, kAddressProblem } },
                { 5, { Kind::Unusable, "tcp://deck:20x1", 1.0, kAddressProblem } },
                { 6, { Kind::Unusable, "tcp://a:b:1", 1.0, kAddressProblem } } } }),
    testing::CaseName {});

// A serial device as the system lists it, with what its sysfs folder and device node hold.
struct Node {
    std::string name; // e.g. "ttyS0"
    bool hardware = false; // the port reports a manufacturer, vendor id or description
    std::optional<std::string> type; // the text of the sysfs type attribute; none: no such file
    bool plainDeviceFile = false; // the device node is an ordinary file, which opens but is no tty
};

struct DefaultCase {
    std::string name;
    std::vector<Node> present;
    std::vector<std::string> ports; // the names on ports 1, 2, ... in order
};

class DefaultPortMapTest : public ::testing::TestWithParam<DefaultCase> { };

// Builds a fake sysfs tree and device folder, so the map never depends on the machine's own ports.
TEST_P(DefaultPortMapTest, OrdersPresentDevices)
{
    const testing::TemporaryFolder dir;
    ASSERT_FALSE(dir.path().empty());
    const std::filesystem::path sysfs = dir.path() / "class/tty";
    const std::filesystem::path dev = dir.path() / "dev";
    std::filesystem::create_directories(sysfs);
    std::filesystem::create_directories(dev);
    const auto devicePath = [&](const std::string& name) { return (dev / name).string(); };
    std::vector<PresentPort> present;
    for (const Node& node : GetParam().present) {
        if (node.type) {
            std::filesystem::create_directories(sysfs / node.name);
            ASSERT_TRUE(testing::writeFile(sysfs / node.name / "type", *node.type));
        }
        if (node.plainDeviceFile) {
            ASSERT_TRUE(testing::writeFile(devicePath(node.name), ""));
        }
        present.push_back({ node.name, devicePath(node.name), node.hardware });
    }
    PortMap expected;
    for (std::size_t i = 0; i < GetParam().ports.size(); ++i)
        expected[i] = { Kind::Device, devicePath(GetParam().ports[i]) };
    EXPECT_EQ(defaultPortMap(present, sysfs.string()), expected);
}

Node adapter(const std::string& name)
{
    return { name, true, std::nullopt };
}

Node uart(const std::string& name, std::string type = "4\n")
{
    return { name, false, std::move(type) };
}

std::vector<Node> twentyAdapters()
{
    std::vector<Node> present;
    for (int n = 19; n >= 0; --n)
        present.push_back(adapter("ttyUSB" + std::to_string(n)));
    return present;
}

std::vector<std::string> firstSixteenAdapters()
{
    std::vector<std::string> names;
    for (int n = 0; n < 16; ++n)
        names.push_back("ttyUSB" + std::to_string(n));
    return names;
}

INSTANTIATE_TEST_SUITE_P(Devices, DefaultPortMapTest,
    ::testing::Values(DefaultCase { "none", {}, {} },
        DefaultCase { "usb_adapters_before_legacy_ports",
            { uart("ttyS0"), adapter("ttyUSB1"), adapter("ttyACM0"), adapter("ttyUSB0") },
            { "ttyACM0", "ttyUSB0", "ttyUSB1", "ttyS0" } },
        DefaultCase { "other_devices_between", { uart("ttyS0"), adapter("ttyAMA0"), adapter("ttyUSB0") },
            { "ttyUSB0", "ttyAMA0", "ttyS0" } },
        DefaultCase { "numbers_in_natural_order",
            { adapter("ttyUSB10"), adapter("ttyUSB2"), adapter("ttyUSB1") },
            { "ttyUSB1", "ttyUSB2", "ttyUSB10" } },
        DefaultCase { "legacy_ports_in_natural_order",
            { uart("ttyS10"), uart("ttyS2"), uart("ttyS1", "1\n") }, { "ttyS1", "ttyS2", "ttyS10" } },
        DefaultCase { "only_sixteen_ports", twentyAdapters(), firstSixteenAdapters() },
        // A motherboard 16550A reports no manufacturer, vendor or description.
        DefaultCase { "uart_without_hardware_details_kept", { uart("ttyS0") }, { "ttyS0" } },
        DefaultCase { "placeholders_left_out",
            { uart("ttyS3", "0\n"), uart("ttyS0", "4\n"), uart("ttyS1", "0\n"), uart("ttyS2", "0") },
            { "ttyS0" } },
        DefaultCase { "placeholder_left_out_despite_hardware_details", { { "ttyS0", true, "0\n" } }, {} },
        DefaultCase { "type_matters_only_for_legacy_ports",
            { { "ttyAMA0", false, "0\n" }, { "ttyUSB0", false, "0\n" } }, { "ttyUSB0", "ttyAMA0" } },
        DefaultCase { "no_type_file_falls_back_on_hardware_details",
            { { "ttyS0", false, std::nullopt }, { "ttyS1", true, std::nullopt } }, { "ttyS1" } },
        DefaultCase { "device_without_serial_info_falls_back_on_hardware_details",
            { { "ttyS0", false, std::nullopt, true }, { "ttyS1", true, std::nullopt, true } }, { "ttyS1" } },
        DefaultCase { "unreadable_types_fall_back_on_hardware_details",
            { { "ttyS0", false, "16550A\n" }, { "ttyS1", false, "" }, { "ttyS2", false, "-4\n" },
                { "ttyS3", false, "uart" }, { "ttyS4", true, "4 4\n" }, { "ttyS5", true, "\n" } },
            { "ttyS4", "ttyS5" } }),
    testing::CaseName {});

struct ListingCase {
    std::string name;
    std::vector<std::pair<int, PortEntry>> entries; // port number and entry; every other port has none
    std::vector<std::string> lines;
};

class PortListingTest : public ::testing::TestWithParam<ListingCase> { };

PortMap mapOf(const std::vector<std::pair<int, PortEntry>>& entries)
{
    PortMap map;
    for (const auto& [port, entry] : entries)
        map[static_cast<std::size_t>(port - 1)] = entry;
    return map;
}

TEST_P(PortListingTest, PrintsEveryPort)
{
    std::string expected;
    for (const std::string& line : GetParam().lines)
        expected += line + "\n";
    EXPECT_EQ(formatPortMap(mapOf(GetParam().entries)), expected);
}

// What the listing shows after each colon, written back as MARLUME_TILT_PORTS, gives the same map.
TEST_P(PortListingTest, ReadsBackAsPortsVariable)
{
    std::string list;
    for (std::size_t i = 0; i < GetParam().lines.size(); ++i) {
        const std::string& line = GetParam().lines[i];
        const auto colon = line.find(':');
        ASSERT_NE(colon, std::string::npos) << line;
        list += (i == 0 ? "" : ",") + line.substr(colon + 1);
    }
    EXPECT_EQ(parsePortMap(list), mapOf(GetParam().entries));
}

INSTANTIATE_TEST_SUITE_P(Maps, PortListingTest,
    ::testing::Values(ListingCase { "no_devices", {},
                          { "port  1:", "port  2:", "port  3:", "port  4:", "port  5:", "port  6:",
                              "port  7:", "port  8:", "port  9:", "port 10:", "port 11:", "port 12:",
                              "port 13:", "port 14:", "port 15:", "port 16:" } },
        ListingCase { "every_kind",
            { { 2, { Kind::Silent, "" } }, { 3, { Kind::Simulated, "" } },
                { 4, { Kind::Device, "/dev/ttyUSB7" } },
                { 5, { Kind::Rfc2217, "deck:2001", 1.0, {}, { "deck", 2001 } } },
                { 6, { Kind::Tcp, "[fe80::1]:4001", 1.0, {}, { "fe80::1", 4001 } } } },
            { "port  1:", "port  2: silent", "port  3: sim", "port  4: /dev/ttyUSB7",
                "port  5: rfc2217://deck:2001", "port  6: tcp://[fe80::1]:4001",
                "port  7:", "port  8:", "port  9:", "port 10:", "port 11:", "port 12:", "port 13:",
                "port 14:", "port 15:", "port 16:" } },
        ListingCase { "two_digit_ports",
            { { 1, { Kind::Device, "/dev/ttyS0" } }, { 10, { Kind::Device, "/dev/pts/7" } },
                { 16, { Kind::Simulated, "" } } },
            { "port  1: /dev/ttyS0", "port  2:", "port  3:", "port  4:", "port  5:", "port  6:", "port  7:",
                "port  8:", "port  9:", "port 10: /dev/pts/7",
                "port 11:", "port 12:", "port 13:", "port 14:", "port 15:", "port 16: sim" } },
        ListingCase { "path_with_blank_kept_whole", { { 1, { Kind::Device, "/dev/serial/by-id/a b" } } },
            { "port  1: /dev/serial/by-id/a b", "port  2:", "port  3:", "port  4:", "port  5:", "port  6:",
                "port  7:", "port  8:", "port  9:", "port 10:", "port 11:", "port 12:", "port 13:",
                "port 14:", "port 15:", "port 16:" } }),
    testing::CaseName {});

struct SettingsCase {
    std::string name;
    std::string text;
    std::optional<LineSettings> expected;
};

class LineSettingsTest : public ::testing::TestWithParam<SettingsCase> { };

TEST_P(LineSettingsTest, Reads)
{
    EXPECT_EQ(parseLineSettings(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineSettingsTest,
    ::testing::Values(
        SettingsCase { "sensor", "19200,N,8,1", LineSettings { 19200, Parity::None, 8, StopBits::One } },
        SettingsCase {
            "even_lower_case", "9600,e,7,2", LineSettings { 9600, Parity::Even, 7, StopBits::Two } },
        SettingsCase {
            "odd_one_and_half", "300,O,5,1.5", LineSettings { 300, Parity::Odd, 5, StopBits::OneAndHalf } },
        SettingsCase { "empty", "", std::nullopt },
        SettingsCase { "three_fields", "19200,N,8", std::nullopt },
        SettingsCase { "five_fields", "19200,N,8,1,", std::nullopt },
        SettingsCase { "unknown_parity", "19200,X,8,1", std::nullopt },
        SettingsCase { "nine_data_bits", "19200,N,9,1", std::nullopt },
        SettingsCase { "baud_not_a_number", "fast,N,8,1", std::nullopt },
        SettingsCase { "negative_baud", "-5,N,8,1", std::nullopt },
        SettingsCase { "three_stop_bits", "19200,N,8,3", std::nullopt }),
    testing::CaseName {});

} // namespace
} // namespace marlume::platform
