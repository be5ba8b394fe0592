#pragma once

#include "link/link_state.h"
#include "logger/console_output.h"
#include "logger/logger_options.h"
#include "monitor/monitor.h"
#include "rawlog/raw_log.h"

#include <optional>
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
    // The raw log's own files and the wake-up that flushes it; needed only with --raw.
    platform::OutputFiles* rawFiles = nullptr;
    platform::Ticker* rawFlushTicker = nullptr;
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
    // A message about a port's device, printed as the logger prints its state.
    void showDeviceNotice(std::int16_t port, const std::string& message, bool problem)
    {
        m_output.showDeviceNotice(port, message, problem);
    }

private:
    link::LinkState m_linkState; // linkAlive starts false: the search begins at once
    ConsoleOutput m_output;
    monitor::Monitor m_monitor;
    std::optional<rawlog::RawLog> m_rawLog;
    LoggerOptions m_options;
    int m_exitStatus = 0;
};

} // namespace marlume::logger
