#include "app/command_line.h"

#include <algorithm>
#include <array>

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
        if (argument == "--list-ports") {
            commandLine.action = CommandLine::Action::ListPorts;
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
    return commandLine;
}

std::string unknownOptionMessage(std::string_view argument)
{
    return "marlume-tilt-monitor: unknown option '" + std::string(argument)
        + "'; the monitor takes --list-ports (print the port map and exit) and Qt's own options";
}

} // namespace marlume::app
