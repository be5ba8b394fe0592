#include "common/version.h"
#include "logger/logger.h"
#include "monitor/qt_monitor_platform.h"
#include "mqtt/station.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_termination_signals.h"

#include <QCoreApplication>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    marlume::qt::QtTerminationSignals::holdBack();
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
    std::vector<std::string> inputs;
    if (command.options.reprocessPath)
        inputs.push_back(*command.options.reprocessPath);
    marlume::monitor::QtMonitorPlatform platform(command.options.ports, std::move(inputs));
    marlume::logger::Logger logger(platform.services(), std::cout, std::cerr, command.options);
    std::optional<marlume::mqtt::Station> station;
    if (!marlume::mqtt::startStation(
            station, command.options.station, platform.services().clock, marlume::qt::postToEventLoop,
            [&logger](const marlume::mqtt::StationNews& news) {
                if (news.problem)
                    logger.showFailure(news.text);
                else
                    logger.showNews(news.text);
            },
            "marlume-tilt-logger"))
        return 2;
    if (station)
        logger.addStation(station->listener(), [&station] { return station->end(); });
    const marlume::qt::QtTerminationSignals termination([&logger] { logger.stop(); });
    return logger.run();
}
