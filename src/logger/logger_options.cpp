#include "logger/logger_options.h"

#include "common/number_text.h"

#include <cmath>
#include <set>

namespace marlume::logger {

namespace {

constexpr std::string_view kProgram = "marlume-tilt-logger";
constexpr float kShortestSilence = 0.1F; // a few readings' time: shorter is no silence
constexpr float kLongestSilence = 86400; // a day

LoggerCommand refuse(const std::string& why)
{
    return { LoggerCommand::Action::Refuse, {}, std::string(kProgram) + ": " + why + "; see --help" };
}

} // namespace

LoggerCommand parseLoggerArguments(const std::vector<std::string_view>& arguments)
{
    LoggerCommand command;
    std::set<std::string_view> given; // options with a value: each takes one
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        std::optional<std::string_view> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const bool takesValue = mqtt::isStationOption(name) || name == "--capture" || name == "--raw"
            || name == "--event-stats" || name == "--ports" || name == "--reprocess" || name == "--silence";
        if (takesValue && !given.insert(name).second)
            return refuse("option '" + std::string(name) + "' is given twice");
        if (mqtt::isStationOption(name)) {
            if (!value) {
                if (i + 1 == arguments.size())
                    return refuse("option '" + std::string(name) + "' needs a value");
                value = arguments[++i];
            }
            if (const auto problem = mqtt::takeStationOption(command.options.station, name, *value))
                return refuse(*problem);
        } else if (takesValue) {
            if (!value) {
                if (i + 1 == arguments.size())
                    return refuse("option '" + std::string(name) + "' needs a value");
                value = arguments[++i];
            }
            if (name == "--silence") {
                const std::optional<float> seconds = common::parseNumberText(*value);
                if (!seconds || *seconds < kShortestSilence || *seconds > kLongestSilence)
                    return refuse(
                        "option '--silence' needs the seconds a sensor may send nothing, from 0.1 to "
                        "86400, as in --silence 2");
                command.options.silenceLimit
                    = std::chrono::milliseconds(std::llround(static_cast<double>(*seconds) * 1000));
            } else if (name != "--ports") {
                if (value->empty())
                    return refuse("option '" + std::string(name) + "' needs a file name");
                auto& path = name == "--raw"  ? command.options.rawPath
                    : name == "--capture"     ? command.options.capturePath
                    : name == "--event-stats" ? command.options.statisticsPath
                                              : command.options.reprocessPath;
                path = std::string(*value);
            } else {
                command.options.ports = std::string(*value);
            }
        } else if (value) {
            return refuse("option '" + std::string(name) + "' takes no value");
        } else if (name == "--quiet") {
            command.options.quiet = true;
        } else if (name == "--help") {
            command.action = LoggerCommand::Action::Help;
        } else if (name == "--version") {
            command.action = LoggerCommand::Action::Version;
        } else if (name.starts_with('-')) {
            return refuse("unknown option '" + std::string(name) + "'");
        } else {
            return refuse("unexpected argument '" + std::string(name) + "'");
        }
    }
    if (command.options.reprocessPath && command.options.ports)
        return refuse("--reprocess reads a log, not ports: leave out --ports");
    if (const auto problem = mqtt::checkStationOptions(command.options.station))
        return refuse(*problem);
    return command;
}

std::string loggerUsage()
{
    return "Usage: marlume-tilt-logger [--capture FILE] [--raw FILE] [--event-stats FILE] [--ports LIST]\n"
           "                           [--mqtt URL [--mqtt-credentials FILE] [--mqtt-ca FILE]]\n"
           "                           [--silence SECONDS] [--quiet]\n"
           "       marlume-tilt-logger --reprocess RAWLOG [--capture FILE] [--raw FILE] [--event-stats "
           "FILE]\n"
           "Watches the Marlume tilt sensor without a window: finds its serial port, averages the\n"
           "readings over every trigger event (CTS high) and prints what it does.\n"
           "\n"
           "  --capture FILE  create or empty FILE and append one record per ended event\n"
           "  --raw FILE      create or empty FILE and append one line per accepted reading\n"
           "  --event-stats FILE  create or empty FILE and append each ended event's statistics\n"
           "  --ports LIST    the ports to search, as in MARLUME_TILT_PORTS: comma-separated,\n"
           "                  the n-th entry is port n (a device path, sim, silent,\n"
           "                  replay:LOG or replay:LOG@10x, rfc2217://HOST:PORT,\n"
           "                  tcp://HOST:PORT, or empty)\n"
           "  --reprocess RAWLOG  take the raw readings log RAWLOG in at once, with its\n"
           "                  recorded times, instead of a port, and end at its end\n"
           "  --silence SECONDS  tell when the sensor found sends nothing for longer than\n"
           "                  SECONDS (default 2), and when its data come again\n"
        + mqtt::stationUsage()
        + "  --quiet         print only failures\n"
          "  --help          print this text and exit\n"
          "  --version       print the version and exit\n"
          "\n"
          "SIGTERM, SIGINT or SIGHUP ends it: the event in progress is not written, every ended\n"
          "one is on disk. Exit status: 0 when ended so or at the end of a reprocessed log, 1 when\n"
          "a signal stopped a reprocessing before the log's end, 2 for a bad or repeated option,\n"
          "a capture file or raw log that cannot be written, a log that cannot be reprocessed,\n"
          "or MQTT credentials or a CA file that cannot be used.\n";
}

} // namespace marlume::logger
