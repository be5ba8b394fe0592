#include "logger/console_output.h"

#include "common/number_text.h"
#include "common/status_text.h"
#include "common/time_text.h"
#include "events/event_table_line.h"
#include "monitor/silence_text.h"
#include "mqtt/broker_session.h"

#include <utility>

namespace marlume::logger {

namespace {

// A label with the file's full path in place of the short name a window's label shows.
files::LabelText withFullPath(files::LabelText label, const files::OutputFileStatus& status)
{
    if (!label.name.empty())
        label.name = status.path;
    return label;
}

// "capture file "/data/run.csv"", with the items not saved, for the summary.
std::string fileSummary(std::string_view what, const files::OutputFileStatus& status, std::string_view items)
{
    std::string text = std::string(what) + " \"" + status.path + '"';
    if (status.unsaved > 0)
        text += " (" + common::countText(status.unsaved, items, std::string(items) + "s") + " not saved)";
    return text;
}

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

void ConsoleOutput::linkStatusChanged(const link::LinkStatus& status)
{
    // A search tells every port it tries: one line says it has begun.
    const bool searching = status.kind == link::LinkStatus::Kind::Searching;
    if (searching && !m_searching && !m_quiet)
        print(m_out, common::kSearchingStatus);
    m_searching = searching;
}

void ConsoleOutput::showCaptureFile(const files::OutputFileStatus& status)
{
    m_capture = status;
    printFileState(status, withFullPath(events::captureLabel(status), status), m_captureText);
}

void ConsoleOutput::readingAccepted(const record::AcceptedReading&)
{
    ++m_readings;
}

void ConsoleOutput::overRangeChanged(const record::AcceptedReading& reading)
{
    if (!m_quiet)
        print(m_out,
            (reading.overRange ? "Over range: tilt " : "Back in range: tilt ")
                + common::numberText(reading.tilt));
}

void ConsoleOutput::eventStarted(std::int32_t number, const common::LocalDateTime& start)
{
    m_tableLine += events::startPiece({ number, start });
}

void ConsoleOutput::eventEnded(const monitor::EndedEvent& event)
{
    ++m_events;
    for (const std::string& piece : events::endPieces(event))
        m_tableLine += piece;
    m_tableLine.erase(m_tableLine.find_last_not_of("\r\n") + 1); // the journal ends its lines itself
    if (!m_quiet)
        print(m_out, m_tableLine);
    m_tableLine.clear();
}

void ConsoleOutput::sensorFound(const monitor::FoundSensor& found)
{
    m_unavailable.clear(); // the next search tells them again
    if (!m_quiet)
        print(m_out,
            std::string(common::kReadyStatus) + " on port " + std::to_string(found.port)
                + (found.device.empty() ? std::string() : " (" + found.device + ")"));
}

void ConsoleOutput::sensorSilent(const monitor::Silence& silence)
{
    if (!m_quiet)
        print(m_out, monitor::silenceText(silence));
}

void ConsoleOutput::dataAgain(const monitor::Silence& silence)
{
    if (!m_quiet)
        print(m_out, monitor::dataAgainText(silence));
}

void ConsoleOutput::linkLost(const common::LocalDateTime&)
{
    // The event it interrupts is never ended: its line ends here, so that the next stands alone.
    if (!m_tableLine.empty() && !m_quiet)
        print(m_out, m_tableLine + " link lost");
    m_tableLine.clear();
    if (!m_quiet)
        print(m_out, "Link lost");
}

void ConsoleOutput::portNotice(const platform::PortNotice& notice)
{
    // Why a port cannot be opened comes at every try: printed once a search, and again when it changes.
    if (notice.kind == platform::PortNotice::Kind::Unavailable
        && std::exchange(m_unavailable[notice.port], notice.message) == notice.message)
        return;
    const bool problem = notice.kind != platform::PortNotice::Kind::News;
    if (problem || !m_quiet)
        print(problem ? m_err : m_out, "Port " + std::to_string(notice.port) + ": " + notice.message);
}

void ConsoleOutput::showRawLog(const rawlog::RawLogStatus& status)
{
    // Told after every flush: printed only when its text changes.
    m_rawLog = status.file;
    printFileState(status.file, withFullPath(rawlog::rawLogLabel(status), status.file), m_rawLogText);
}

void ConsoleOutput::showStatisticsFile(const files::OutputFileStatus& status)
{
    m_statistics = status;
    printFileState(status, withFullPath(events::statisticsLabel(status), status), m_statisticsText);
}

void ConsoleOutput::showSummary()
{
    const std::string undelivered = m_undelivered > 0 ? mqtt::undeliveredText(m_undelivered) : std::string();
    if (m_quiet) {
        if (!undelivered.empty()) // a loss, told even when all else is quiet
            print(m_err, undelivered);
        return;
    }
    std::string summary = "Ended: " + common::countText(m_events, "event", "events") + ", "
        + common::countText(m_readings, "reading", "readings") + ", "
        + common::countText(m_rejected, "line", "lines") + " rejected";
    if (!m_capture.path.empty())
        summary += "; " + fileSummary("capture file", m_capture, "record");
    if (!m_rawLog.path.empty())
        summary += "; " + fileSummary("raw log", m_rawLog, "reading");
    if (!m_statistics.path.empty())
        summary += "; " + fileSummary("statistics file", m_statistics, "line");
    if (!undelivered.empty())
        summary += "; " + undelivered;
    print(m_out, summary);
}

void ConsoleOutput::printFileState(
    const files::OutputFileStatus& status, files::LabelText label, std::string& lastText)
{
    std::string text = label.text();
    if (std::exchange(lastText, text) == text)
        return;
    if (status.failure() || !m_quiet)
        print(status.failure() ? m_err : m_out, text);
    if (status.failure() && !status.open && m_onFileLost)
        m_onFileLost();
}

void ConsoleOutput::print(std::ostream& stream, std::string_view text)
{
    stream << common::isoDateTimeText(m_clock.now()) << ' ' << text << std::endl;
}

} // namespace marlume::logger
