#pragma once

#include "logger/console_output.h"
#include "logger/logger_options.h"
#include "monitor/monitor.h"

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

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
    // A station's reports beside the monitor: told what the monitor tells, and ended once the monitor has
    // ended, before the summary, which then says how many events the station's broker did not have.
    void addStation(monitor::MonitorListener& reports, std::function<std::size_t()> end)
    {
        m_monitor.addListener(reports);
        m_endStation = std::move(end);
    }
    void showNews(const std::string& message) { m_output.showNews(message); }
    void showFailure(const std::string& message) { m_output.showFailure(message); }

private:
    void reprocess(const std::string& path);
    void fail();

    ConsoleOutput m_output;
    monitor::Monitor m_monitor;
    LoggerOptions m_options;
    std::function<std::size_t()> m_endStation;
    int m_exitStatus = 0;
};

} // namespace marlume::logger
