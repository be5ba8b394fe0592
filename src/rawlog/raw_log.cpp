#include "rawlog/raw_log.h"

#include "common/number_text.h"
#include "common/path_helpers.h"
#include "common/raw_log_format.h"

#include <utility>

namespace marlume::rawlog {

RawLog::RawLog(platform::OutputFiles& files, platform::Ticker& flushTicker, RawLogView& view,
    AskForPath askForPath, char pathSeparator)
    : m_files(files)
    , m_flushTicker(flushTicker)
    , m_view(view)
    , m_askForPath(std::move(askForPath))
    , m_pathSeparator(pathSeparator)
{
    m_files.setOutcomeHandler([this](platform::FileNumber file, const platform::WriteOutcome& outcome) {
        takeOutcome(file, outcome);
    });
    m_flushTicker.setOnTick([this] { flush(); });
}

RawLog::~RawLog()
{
    m_flushTicker.stop();
    m_flushTicker.setOnTick({});
    if (isOpen()) {
        flush();
        m_files.close(m_file);
    }
    m_files.setOutcomeHandler({});
}

void RawLog::RawLogMenu_Click()
{
    if (isOpen())
        closeFile();
    else
        openFile();
}

void RawLog::openFile()
{
    std::string path;
    if (!m_askForPath(path, m_filterIndex))
        return;
    const platform::FileNumber file = m_files.freeFileNumber();
    m_path = path;
    if (!m_files.open(file, path)) {
        showTrouble("Cannot create ", m_files.lastError());
        return;
    }
    m_file = file;
    m_readings = 0;
    m_rejected = 0;
    m_unsaved = 0;
    m_syncedCounts.clear();
    m_headerPending = true;
    m_troubleShown = false;
    showOpen();
    // Its outcome may come at once: a header that cannot be written undoes the opening.
    static_cast<void>(m_files.write(file, common::kRawLogHeader));
    m_syncedCounts.push_back(0);
    static_cast<void>(m_files.sync(file));
}

void RawLog::closeFile()
{
    flush();
    m_files.close(m_file);
    m_file = 0;
    m_syncedCounts.clear();
    std::string summary
        = "Raw log closed: " + common::countText(m_readings - m_unsaved, "reading", "readings") + " logged";
    if (m_unsaved > 0)
        summary += ", " + common::countText(m_unsaved, "reading", "readings") + " not saved";
    summary += ", " + common::countText(m_rejected, "line", "lines") + " rejected";
    show({ std::move(summary), {}, {} }, false);
}

void RawLog::flush()
{
    m_flushTicker.stop();
    if (!isOpen() || m_gatheredCount == 0)
        return;
    static_cast<void>(m_files.write(m_file, m_gathered));
    m_syncedCounts.push_back(std::exchange(m_gatheredCount, 0));
    m_gathered.clear();
    static_cast<void>(m_files.sync(m_file));
}

void RawLog::readingAccepted(const monitor::AcceptedReading& reading)
{
    if (!isOpen())
        return;
    m_gathered += common::rawLogLineText({ reading.time, reading.sentHeading, reading.pitch, reading.roll,
        reading.tilt, reading.eventCollecting ? reading.eventNumber : 0 });
    ++m_readings;
    if (m_gatheredCount++ == 0)
        m_flushTicker.wakeIn(kFlushDelay);
}

void RawLog::eventEnded(const monitor::EndedEvent&)
{
    flush();
}

void RawLog::lineRejected()
{
    if (isOpen())
        ++m_rejected;
}

void RawLog::linkLost(const platform::LocalDateTime&)
{
    flush();
}

void RawLog::takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome)
{
    if (file != m_file || m_syncedCounts.empty())
        return;
    const std::int64_t count = m_syncedCounts.front();
    m_syncedCounts.pop_front();
    if (std::exchange(m_headerPending, false) && !outcome.saved) {
        // A file without its header is no raw log: it goes again.
        m_files.discard(file);
        m_file = 0;
        m_syncedCounts.clear();
        showTrouble("Cannot write to ", outcome.reason);
        return;
    }
    const bool moved = outcome.path != m_path;
    m_path = outcome.path;
    if (!outcome.saved) {
        m_unsaved += count;
        showTrouble("Cannot write to ", outcome.reason);
    } else if (std::exchange(m_troubleShown, false) || moved || count > 0) {
        showOpen();
    }
}

void RawLog::showOpen()
{
    std::string after = "\"";
    if (m_unsaved > 0)
        after += ", " + common::countText(m_unsaved, "reading", "readings") + " not saved";
    show({ "Raw log to \"", common::labelFileName(m_path, m_pathSeparator), std::move(after) }, false);
}

void RawLog::showTrouble(std::string_view what, const std::string& reason)
{
    m_troubleShown = true;
    show({ std::string(what) + '"', common::labelFileName(m_path, m_pathSeparator), "\": " + reason }, true);
}

void RawLog::show(events::CaptureLabelText label, bool failure)
{
    m_view.showRawLog({ std::move(label), isOpen(), failure, m_readings, m_rejected });
}

} // namespace marlume::rawlog
