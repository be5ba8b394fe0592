#pragma once

#include "mqtt/station_options.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlume::app {

// What the command line asks of the program.
struct CommandLine {
    enum class Action { Run, ListPorts, Help, Version, Refuse };
    Action action = Action::Run;
    std::string unknown; // for Refuse: the first argument not understood
    std::string problem {}; // for Refuse: what is wrong with an option's value, when that is the reason
    mqtt::StationOptions station {}; // reports to an MQTT broker
};

// Reads the arguments after the program name. Its own options are --list-ports, --help, --version and the
// station's --mqtt options (with their value after them or after "="); Qt's
// documented options (-platform offscreen, -style=Fusion, -reverse, ...) are passed over and left to
// QApplication; anything else is refused, so that a mistyped option does not silently open the window.
[[nodiscard]] CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The line for standard error when an argument is refused.
[[nodiscard]] std::string refusalMessage(const CommandLine& commandLine);

// The text --help prints.
[[nodiscard]] std::string monitorUsage();

} // namespace marlume::app
