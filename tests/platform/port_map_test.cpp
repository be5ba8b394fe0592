#include "platform/port_map.h"
#include "platform/serial_device.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

namespace marlume::platform {
namespace {

using Kind = PortEntry::Kind;

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
        ListCase { "entries_past_sixteen_ignored", seventeenEntries(), sixteenPaths() }),
    testing::CaseName {});

struct DefaultCase {
    std::string name;
    std::vector<PresentPort> present;
    std::vector<std::string> paths; // ports 1, 2, ... in order
};

class DefaultPortMapTest : public ::testing::TestWithParam<DefaultCase> { };

TEST_P(DefaultPortMapTest, OrdersPresentDevices)
{
    PortMap expected;
    for (std::size_t i = 0; i < GetParam().paths.size(); ++i)
        expected[i] = { Kind::Device, GetParam().paths[i] };
    EXPECT_EQ(defaultPortMap(GetParam().present), expected);
}

PresentPort port(const std::string& name, bool hardware = true)
{
    return { name, "/dev/" + name, hardware };
}

std::vector<PresentPort> twentyAdapters()
{
    std::vector<PresentPort> present;
    for (int n = 19; n >= 0; --n)
        present.push_back(port("ttyUSB" + std::to_string(n)));
    return present;
}

std::vector<std::string> firstSixteenAdapters()
{
    std::vector<std::string> paths;
    for (int n = 0; n < 16; ++n)
        paths.push_back("/dev/ttyUSB" + std::to_string(n));
    return paths;
}

INSTANTIATE_TEST_SUITE_P(Devices, DefaultPortMapTest,
    ::testing::Values(DefaultCase { "none", {}, {} },
        DefaultCase { "usb_adapters_before_legacy_ports",
            { port("ttyS0"), port("ttyUSB1"), port("ttyACM0"), port("ttyUSB0") },
            { "/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0" } },
        DefaultCase { "legacy_ports_without_hardware_left_out",
            { port("ttyS1", false), port("ttyS0", true), port("ttyS2", false) }, { "/dev/ttyS0" } },
        DefaultCase { "other_devices_between", { port("ttyS0"), port("ttyAMA0"), port("ttyUSB0") },
            { "/dev/ttyUSB0", "/dev/ttyAMA0", "/dev/ttyS0" } },
        DefaultCase { "numbers_in_natural_order", { port("ttyUSB10"), port("ttyUSB2"), port("ttyUSB1") },
            { "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10" } },
        DefaultCase { "only_sixteen_ports", twentyAdapters(), firstSixteenAdapters() }),
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
