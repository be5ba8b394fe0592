#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlume::app {

// What the command line asks of the program.
struct CommandLine {
    enum class Action { Run, ListPorts, Help, Version, Refuse };
    Action action = Action::Run;
    std::string unknown; // for Refuse: the first argument not understood
};

// Reads the arguments after the program name. Its own options are --list-ports, --help and --version; Qt's
// documented options (-platform offscreen, -style=Fusion, -reverse, ...) are passed over and left to
// QApplication; anything else is refused, so that a mistyped option does not silently open the window.
[[nodiscard]] CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The line for standard error when an argument is refused.
[[nodiscard]] std::string unknownOptionMessage(std::string_view argument);

// The text --help prints.
[[nodiscard]] std::string monitorUsage();

} // namespace marlume::app
