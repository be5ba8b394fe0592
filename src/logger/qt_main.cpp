#include "logger/logger.h"
#include "platform/capture_file_output.h"
#include "platform/system_clock.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_serial_control.h"
#include "qt/qt_termination_signals.h"
#include "qt/qt_ticker.h"

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
        std::cout << "marlume-tilt-logger " MARLUME_VERSION << std::endl;
        return 0;
    case LoggerCommand::Action::Run:
        break;
    }

    QCoreApplication application(argc, argv);
    namespace platform = marlume::platform;
    namespace qt = marlume::qt;
    qt::QtEventPump pump;
    platform::SystemClock clock;
    qt::QtTicker ticker;
    qt::QtSerialControl comPort(command.options.ports);
    platform::CaptureFileOutput files([](std::function<void()> task) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    });
    // The raw log writes on a thread of its own, so that its second-long batches never wait behind records.
    platform::CaptureFileOutput rawFiles([](std::function<void()> task) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    });
    qt::QtTicker rawFlushTicker;
    marlume::logger::Logger logger(
        { comPort.control(), clock, pump, ticker, files, std::cout, std::cerr, &rawFiles, &rawFlushTicker },
        command.options);
    comPort.setOnDeviceNotice([&logger](std::int16_t port, const std::string& message, bool problem) {
        logger.showDeviceNotice(port, message, problem);
    });
    const qt::QtTerminationSignals termination([&logger] { logger.stop(); });
    return logger.run();
}
