#include "logger/console_output.h"

#include "common/status_text.h"
#include "common/time_text.h"
#include "link/live_display.h"

#include <utility>

namespace marlume::logger {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

} // namespace

ConsoleOutput::ConsoleOutput(std::ostream& out, std::ostream& err, const platform::Clock& clock, bool quiet,
    std::function<void()> onFileLost)
    : m_out(out)
    , m_err(err)
    , m_clock(clock)
    , m_quiet(quiet)
    , m_onFileLost(std::move(onFileLost))
{
}

void ConsoleOutput::showStatus(const link::StatusDisplay& status)
{
    // A search shows a point more for every port it tries: one line says it has begun.
    const std::string text
        = link::isSearchStatus(status.text) ? std::string(common::kSearchingStatus) : status.text;
    if (text == m_status)
        return;
    m_status = text;
    if (!m_quiet)
        print(m_out, m_clock.now(), text);
}

void ConsoleOutput::appendText(std::string_view piece)
{
    m_tableLine += piece;
    if (!m_tableLine.ends_with(kLineEnd))
        return;
    m_tableLine.resize(m_tableLine.size() - kLineEnd.size());
    if (!m_quiet)
        print(m_out, m_clock.now(), m_tableLine);
    m_tableLine.clear();
}

void ConsoleOutput::showCaptureFile(const files::OutputFileStatus& status)
{
    printFileState(status, events::captureLabel(status).text());
}

void ConsoleOutput::sensorFound(const common::LocalDateTime&)
{
    m_unavailable.clear();
}

void ConsoleOutput::linkLost(const common::LocalDateTime& time)
{
    m_status.clear(); // the search that follows is told again
    // The event it interrupts is never ended: its line ends here, so that the next stands alone.
    if (!m_tableLine.empty() && !m_quiet)
        print(m_out, time, m_tableLine + " link lost");
    m_tableLine.clear();
    if (!m_quiet)
        print(m_out, time, "Link lost");
}

void ConsoleOutput::showRawLog(const rawlog::RawLogStatus& status)
{
    // Told after every flush: printed only when its text changes.
    const std::string text = rawlog::rawLogLabel(status).text();
    if (text == m_rawLogText)
        return;
    m_rawLogText = text;
    printFileState(status.file, text);
}

void ConsoleOutput::printFileState(const files::OutputFileStatus& status, const std::string& text)
{
    if (status.failure() || !m_quiet)
        print(status.failure() ? m_err : m_out, m_clock.now(), text);
    if (status.failure() && !status.open && m_onFileLost)
        m_onFileLost();
}

void ConsoleOutput::portNotice(const platform::PortNotice& notice)
{
    // Why a port cannot be opened comes at every try: printed once a search, and again when it changes.
    if (notice.kind == platform::PortNotice::Kind::Unavailable
        && std::exchange(m_unavailable[notice.port], notice.message) == notice.message)
        return;
    const bool problem = notice.kind != platform::PortNotice::Kind::News;
    if (problem || !m_quiet)
        print(problem ? m_err : m_out, m_clock.now(),
            "Port " + std::to_string(notice.port) + ": " + notice.message);
}

void ConsoleOutput::print(std::ostream& stream, const common::LocalDateTime& time, std::string_view text)
{
    stream << common::isoDateTimeText(time) << ' ' << text << std::endl;
}

} // namespace marlume::logger
