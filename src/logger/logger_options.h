#pragma once

#include "monitor/monitor_listener.h"
#include "mqtt/station_options.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marlume::logger {

struct LoggerOptions {
    std::optional<std::string> capturePath; // created or emptied, one record per ended event
    std::optional<std::string> ports; // a port map in MARLUME_TILT_PORTS' words
    bool quiet = false; // only failures are printed
    std::optional<std::string> rawPath {}; // created or emptied, one line per accepted reading
    std::optional<std::string> reprocessPath {}; // a raw log taken in at once instead of a port
    std::optional<std::string> statisticsPath {}; // created or emptied, one line per ended event
    std::chrono::milliseconds silenceLimit
        = monitor::kDefaultSilenceLimit; // a found sensor quiet for longer is told
    mqtt::StationOptions station {}; // reports to an MQTT broker
};

// What the command line asks of the logger.
struct LoggerCommand {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    LoggerOptions options;
    std::string refusal; // for Refuse: the line for standard error
};

// Reads the arguments after the program name: --capture FILE, --raw FILE, --event-stats FILE, --ports
// LIST, --reprocess RAWLOG, --silence SECONDS, the station's --mqtt options (each also as --name=value,
// each at most once), --quiet, --help, --version.
[[nodiscard]] LoggerCommand parseLoggerArguments(const std::vector<std::string_view>& arguments);

// The text --help prints.
[[nodiscard]] std::string loggerUsage();

} // namespace marlume::logger
