#include "logger/logger.h"

#include "platform/raw_log_reader.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace marlume::logger {

namespace {

// A path given on the command line, whole as the window's save-as dialog gives it, so that the journal
// names each file once, as it will stand there throughout.
std::string wholePath(const std::string& path)
{
    std::error_code failed;
    const std::filesystem::path whole
        = std::filesystem::weakly_canonical(std::filesystem::absolute(path), failed);
    return failed ? path : whole.string();
}

files::AskForPath givenPath(const std::optional<std::string>& path)
{
    return [path](std::string& fileName, std::int16_t&) {
        if (path)
            fileName = wholePath(*path);
        return path.has_value();
    };
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code failed;
    return wholePath(a) == wholePath(b) || std::filesystem::equivalent(a, b, failed);
}

// What would stop the run, found before any output file is created or emptied: a log that cannot be
// reprocessed, or one file given for two outputs.
std::optional<std::string> problemBeforeStart(const LoggerOptions& options)
{
    if (options.reprocessPath) {
        platform::RawLogReader log;
        if (const std::optional<std::string> problem = log.open(*options.reprocessPath))
            return "Cannot reprocess \"" + *options.reprocessPath + "\": " + *problem;
    }
    const std::array<std::pair<std::string_view, const std::optional<std::string>*>, 3> outputs { {
        { "--capture", &options.capturePath },
        { "--raw", &options.rawPath },
        { "--event-stats", &options.statisticsPath },
    } };
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const std::optional<std::string>& first = *outputs[i].second;
            const std::optional<std::string>& second = *outputs[j].second;
            if (first && second && sameFile(*first, *second))
                return "Cannot create \"" + wholePath(*second) + "\": it is given twice, for "
                    + std::string(outputs[i].first) + " and " + std::string(outputs[j].first);
        }
    }
    return std::nullopt;
}

} // namespace

Logger::Logger(const monitor::MonitorServices& services, std::ostream& out, std::ostream& err,
    const LoggerOptions& options)
    : m_output(out, err, services.clock, options.quiet, [this] { fail(); })
    , m_monitor(services,
          { m_output, m_output, m_output, givenPath(options.capturePath), givenPath(options.rawPath),
              givenPath(options.statisticsPath) })
    , m_options(options)
{
    m_monitor.addListener(m_output);
    m_monitor.setSilenceLimit(options.silenceLimit);
}

int Logger::run()
{
    if (const std::optional<std::string> problem = problemBeforeStart(m_options)) {
        m_output.showFailure(*problem);
        return 2;
    }
    if (m_options.capturePath)
        m_monitor.CaptureButton_Click();
    if (m_options.rawPath && m_exitStatus == 0)
        m_monitor.RawLogMenu_Click();
    if (m_options.statisticsPath && m_exitStatus == 0)
        m_monitor.StatisticsMenu_Click();
    if (m_exitStatus != 0)
        return m_exitStatus;
    if (m_options.reprocessPath) {
        reprocess(*m_options.reprocessPath);
    } else {
        m_monitor.start();
        m_monitor.run();
    }
    if (m_endStation)
        m_output.setUndeliveredEvents(m_endStation());
    m_output.showSummary();
    return m_exitStatus;
}

void Logger::reprocess(const std::string& path)
{
    const std::string quoted = '"' + path + '"';
    const monitor::Monitor::ReprocessOutcome outcome
        = m_monitor.reprocess(path, [this, &quoted](const std::string& note) {
              m_output.showNews("Reprocessing " + quoted + ": " + note);
          });
    switch (outcome.end) {
    case monitor::Monitor::ReprocessOutcome::End::LogEnd:
        break;
    case monitor::Monitor::ReprocessOutcome::End::Stopped:
        m_output.showFailure("Stopped at line " + std::to_string(outcome.line) + " of about "
            + std::to_string(outcome.aboutLines) + " of " + quoted);
        m_exitStatus = m_exitStatus != 0 ? m_exitStatus : kStoppedStatus;
        break;
    case monitor::Monitor::ReprocessOutcome::End::Failed:
        m_output.showFailure("Cannot reprocess " + quoted + ": " + outcome.problem);
        m_exitStatus = 2;
        break;
    }
    m_monitor.shutDown();
}

// An output file that could not be created, or closed by itself: a station without it is no use.
void Logger::fail()
{
    m_exitStatus = 2;
    stop();
}

} // namespace marlume::logger
