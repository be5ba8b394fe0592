#include "app/command_line.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

namespace marlume::app {
namespace {

using Action = CommandLine::Action;

struct CommandLineCase {
    std::string name;
    std::vector<std::string_view> arguments;
    Action action;
    std::string unknown;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> { };

TEST_P(CommandLineTest, Reads)
{
    const CommandLine read = parseCommandLine(GetParam().arguments);
    EXPECT_EQ(read.action, GetParam().action);
    EXPECT_EQ(read.unknown, GetParam().unknown);
}

INSTANTIATE_TEST_SUITE_P(Accepted, CommandLineTest,
    ::testing::Values(CommandLineCase { "nothing", {}, Action::Run, "" },
        CommandLineCase { "list_ports", { "--list-ports" }, Action::ListPorts, "" },
        CommandLineCase { "list_ports_twice", { "--list-ports", "--list-ports" }, Action::ListPorts, "" },
        CommandLineCase { "qt_platform_and_its_value", { "-platform", "offscreen" }, Action::Run, "" },
        CommandLineCase { "qt_option_before_list_ports", { "-platform", "offscreen", "--list-ports" },
            Action::ListPorts, "" },
        CommandLineCase { "qt_option_with_two_dashes", { "--platform", "offscreen" }, Action::Run, "" },
        CommandLineCase { "qt_value_that_begins_with_a_dash", { "-qwindowtitle", "-x-" }, Action::Run, "" },
        CommandLineCase { "qt_style_with_equals", { "-style=Fusion", "-stylesheet=a.qss" }, Action::Run, "" },
        CommandLineCase { "qt_flags", { "-reverse", "-widgetcount" }, Action::Run, "" },
        CommandLineCase { "help", { "--help" }, Action::Help, "" },
        CommandLineCase { "version", { "-platform", "offscreen", "--version" }, Action::Version, "" },
        CommandLineCase { "help_wins_over_list_ports", { "--help", "--list-ports" }, Action::Help, "" }),
    testing::CaseName {});

INSTANTIATE_TEST_SUITE_P(Refused, CommandLineTest,
    ::testing::Values(CommandLineCase { "unknown_long_option", { "--halp" }, Action::Refuse, "--halp" },
        CommandLineCase { "unknown_after_list_ports", { "--list-ports", "-v" }, Action::Refuse, "-v" },
        CommandLineCase { "first_unknown_named", { "-x", "-y" }, Action::Refuse, "-x" },
        CommandLineCase { "list_ports_with_one_dash", { "-list-ports" }, Action::Refuse, "-list-ports" },
        CommandLineCase {
            "list_ports_with_a_value", { "--list-ports=all" }, Action::Refuse, "--list-ports=all" },
        CommandLineCase { "stray_word", { "ttyUSB0" }, Action::Refuse, "ttyUSB0" },
        CommandLineCase { "lone_dash", { "-" }, Action::Refuse, "-" },
        CommandLineCase { "part_of_a_qt_option", { "-plat", "offscreen" }, Action::Refuse, "-plat" },
        CommandLineCase { "qt_flag_given_a_value", { "-reverse=1" }, Action::Refuse, "-reverse=1" }),
    testing::CaseName {});

TEST(CommandLine, TakesTheStationsOptionsAndSaysWhatIsWrongWithThem)
{
    const CommandLine read = parseCommandLine(
        { "-platform", "offscreen", "--mqtt", "mqtt://broker/ship", "--mqtt-reading-interval=5" });
    EXPECT_EQ(read.action, Action::Run);
    EXPECT_EQ(read.station.broker, "mqtt://broker/ship");
    EXPECT_EQ(read.station.readingIntervalMs, 5000);
    for (const auto& [arguments, message] :
        std::vector<std::pair<std::vector<std::string_view>, std::string>> {
            { { "--mqtt=tcp://broker/ship" },
                "marlume-tilt-monitor: --mqtt: give the broker as mqtt://HOST[:PORT]/PREFIX or "
                "mqtts://HOST[:PORT]/PREFIX; see --help" },
            { { "--mqtt" }, "marlume-tilt-monitor: option '--mqtt' needs a value; see --help" },
            { { "--mqtt-ca", "ca.pem" },
                "marlume-tilt-monitor: --mqtt-credentials and --mqtt-ca go with --mqtt; see --help" },
            { { "--halp" }, "marlume-tilt-monitor: unknown option '--halp'; see --help" },
        }) {
        const CommandLine refused = parseCommandLine(arguments);
        EXPECT_EQ(refused.action, Action::Refuse);
        EXPECT_EQ(refusalMessage(refused), message);
    }
}

} // namespace
} // namespace marlume::app
