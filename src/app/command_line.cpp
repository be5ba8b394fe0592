#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <utility>

namespace marlume::app {

namespace {

// QGuiApplication's and QApplication's own options, named without their dash.
constexpr std::array<std::string_view, 12> kQtOptionsWithValue { "platform", "platformpluginpath",
    "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display",
    "geometry", "style", "stylesheet" };
constexpr std::array<std::string_view, 2> kQtFlags { "reverse", "widgetcount" };
// The ones QApplication also takes as -name=value.
constexpr std::array<std::string_view, 2> kQtOptionsWithEquals { "style", "stylesheet" };

bool contains(const auto& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Qt takes its options with one dash or two.
std::string_view withoutDashes(std::string_view argument)
{
    argument.remove_prefix(1);
    if (argument.starts_with('-'))
        argument.remove_prefix(1);
    return argument;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments)
{
    CommandLine commandLine;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--list-ports" || argument == "--help" || argument == "--version") {
            // Help and the version win over listing, as they do in every program that has them.
            const auto action = argument == "--help" ? CommandLine::Action::Help
                : argument == "--version"            ? CommandLine::Action::Version
                                                     : CommandLine::Action::ListPorts;
            if (commandLine.action == CommandLine::Action::Run || action != CommandLine::Action::ListPorts)
                commandLine.action = action;
            continue;
        }
        const std::string_view optionName = argument.substr(0, argument.find('='));
        if (mqtt::isStationOption(optionName)) {
            std::string_view value;
            if (optionName.size() < argument.size())
                value = argument.substr(optionName.size() + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return { CommandLine::Action::Refuse, std::string(argument),
                    "option '" + std::string(argument) + "' needs a value" };
            if (auto problem = mqtt::takeStationOption(commandLine.station, optionName, value))
                return { CommandLine::Action::Refuse, std::string(argument), std::move(*problem) };
            continue;
        }
        if (argument.size() > 1 && argument.starts_with('-')) {
            const std::string_view name = withoutDashes(argument);
            if (contains(kQtFlags, name))
                continue;
            if (contains(kQtOptionsWithValue, name)) {
                ++i; // the value, which may itself begin with a dash
                continue;
            }
            const auto equals = name.find('=');
            if (equals != std::string_view::npos && contains(kQtOptionsWithEquals, name.substr(0, equals)))
                continue;
        }
        return { CommandLine::Action::Refuse, std::string(argument) };
    }
    if (auto problem = mqtt::checkStationOptions(commandLine.station))
        return { CommandLine::Action::Refuse, {}, std::move(*problem) };
    return commandLine;
}

std::string refusalMessage(const CommandLine& commandLine)
{
    return "marlume-tilt-monitor: "
        + (commandLine.problem.empty() ? "unknown option '" + commandLine.unknown + "'" : commandLine.problem)
        + "; see --help";
}

std::string monitorUsage()
{
    return "Usage: marlume-tilt-monitor [--mqtt URL [--mqtt-credentials FILE] [--mqtt-ca FILE]] [Qt "
           "options]\n"
           "       marlume-tilt-monitor --list-ports | --help | --version\n"
           "Watches the Marlume tilt sensor in a window: finds its serial port, shows the live\n"
           "orientation with an over-range alarm, averages the readings over every trigger event\n"
           "(CTS high, or Force Trigger held) and keeps them in a capture file.\n"
           "\n"
           "  --list-ports  print the port map the search uses, with each port's state, and exit\n"
           "  --help        print this text and exit\n"
           "  --version     print the version and exit\n"
        + mqtt::stationUsage()
        + "\n"
          "Qt's own options are taken too: -platform NAME, -style NAME, -reverse, ...\n"
          "MARLUME_TILT_PORTS replaces the port map: comma-separated, the n-th entry is port n\n"
          "(a device path, sim, silent, replay:LOG or replay:LOG@10x, rfc2217://HOST:PORT,\n"
          "tcp://HOST:PORT, or empty).\n";
}

} // namespace marlume::app
