#include "app/command_line.h"
#include "app/qt_start_up.h"
#include "common/version.h"
#include "platform/port_state.h"
#include "qt/qt_serial_control.h"

#include <QApplication>

#include <cstdio>
#include <string>

namespace {

// The map the search would use, on standard output; a core application only, so it works without a display.
int listPorts(int& argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    marlume::qt::QtSerialControl serial;
    std::fputs(marlume::platform::formatPortStates(serial.currentPortMap()).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    using marlume::app::CommandLine;
    // Read before any application exists, so that a refusal needs no display either.
    const CommandLine commandLine = marlume::app::parseCommandLine({ argv + 1, argv + argc });
    if (commandLine.action == CommandLine::Action::Refuse) {
        std::fprintf(stderr, "%s\n", marlume::app::refusalMessage(commandLine).c_str());
        return 2;
    }
    switch (commandLine.action) {
    case CommandLine::Action::ListPorts:
        return listPorts(argc, argv);
    case CommandLine::Action::Help:
        std::fputs(marlume::app::monitorUsage().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Action::Version:
        std::printf("marlume-tilt-monitor %s\n", std::string(marlume::common::kVersion).c_str());
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Action::Run:
    case CommandLine::Action::Refuse:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlume Tilt Monitor"));
    return marlume::app::Main(commandLine.station);
}
