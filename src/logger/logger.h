#pragma once

#include "link/link_state.h"
#include "logger/console_output.h"
#include "logger/logger_options.h"
#include "monitor/monitor.h"

#include <ostream>

namespace marlume::logger {

// What the logger works with; the port map is the serial control's business.
struct LoggerServices {
    platform::SerialControl& comPort;
    const platform::Clock& clock;
    platform::EventPump& pump;
    platform::Ticker& ticker;
    platform::OutputFiles& files;
    std::ostream& out;
    std::ostream& err;
};

// The monitor without a window, for unattended stations: the same search, receive loop, trigger
// events and capture records, its state printed line by line.
class Logger final {
public:
    Logger(const LoggerServices& services, const LoggerOptions& options);

    // Until stop(): 0 then, 2 when the capture file cannot be created or its header written.
    [[nodiscard]] int run();
    // As the close box: the port is closed and every loop ends; an event in progress is not written.
    void stop();

private:
    link::LinkState m_linkState; // linkAlive starts false: the search begins at once
    ConsoleOutput m_output;
    monitor::Monitor m_monitor;
    LoggerOptions m_options;
    int m_exitStatus = 0;
};

} // namespace marlume::logger
