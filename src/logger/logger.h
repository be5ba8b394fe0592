#pragma once

#include "logger/console_output.h"
#include "logger/logger_options.h"
#include "monitor/monitor.h"

#include <ostream>

namespace marlume::logger {

// The monitor without a window, for unattended stations: the same search, receive loop, trigger
// events, capture records and raw log, its state printed line by line.
class Logger final {
public:
    // The exit status of a reprocessing that a signal stopped before the log's end.
    static constexpr int kStoppedStatus = 1;

    Logger(const monitor::MonitorServices& services, std::ostream& out, std::ostream& err,
        const LoggerOptions& options);

    // Until stop(), or the end of the log to reprocess: 0 then, kStoppedStatus when stop() came before
    // the end of the log, 2 when an output file cannot be created or its header written, or the log
    // cannot be reprocessed.
    [[nodiscard]] int run();
    // As the close box: the raw log goes to disk, the port is closed and every loop ends; an event in
    // progress is not written.
    void stop() { m_monitor.shutDown(); }
    // Something beside the monitor that it tells too, such as a station's reports.
    void addListener(monitor::MonitorListener& listener) { m_monitor.addListener(listener); }
    void showNews(const std::string& message) { m_output.showNews(message); }

private:
    void reprocess(const std::string& path);
    void fail();

    ConsoleOutput m_output;
    monitor::Monitor m_monitor;
    LoggerOptions m_options;
    int m_exitStatus = 0;
};

} // namespace marlume::logger
