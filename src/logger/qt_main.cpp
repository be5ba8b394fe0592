#include "common/version.h"
#include "logger/logger.h"
#include "monitor/qt_monitor_platform.h"
#include "qt/qt_termination_signals.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    using marlume::logger::LoggerCommand;
    const LoggerCommand command = marlume::logger::parseLoggerArguments({ argv + 1, argv + argc });
    switch (command.action) {
    case LoggerCommand::Action::Refuse:
        std::cerr << command.refusal << std::endl;
        return 2;
    case LoggerCommand::Action::Help:
        std::cout << marlume::logger::loggerUsage() << std::flush;
        return 0;
    case LoggerCommand::Action::Version:
        std::cout << "marlume-tilt-logger " << marlume::common::kVersion << std::endl;
        return 0;
    case LoggerCommand::Action::Run:
        break;
    }

    QCoreApplication application(argc, argv);
    marlume::monitor::QtMonitorPlatform platform(command.options.ports);
    marlume::logger::Logger logger(platform.services(), std::cout, std::cerr, command.options);
    platform.serial().setOnDeviceNotice(
        [&logger](std::int16_t port, const std::string& message, bool problem) {
            logger.showDeviceNotice(port, message, problem);
        });
    const marlume::qt::QtTerminationSignals termination([&logger] { logger.stop(); });
    return logger.run();
}
