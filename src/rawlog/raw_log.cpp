#include "rawlog/raw_log.h"

#include "common/number_text.h"
#include "common/raw_log_format.h"

#include <utility>

namespace marlume::rawlog {

files::LabelText rawLogLabel(const RawLogStatus& status, char pathSeparator)
{
    using State = files::OutputFileStatus::State;
    const files::OutputFileStatus& file = status.file;
    switch (file.state) {
    case State::Open:
        return files::fileLabel("Raw log to ", file,
            file.unsaved > 0
                ? ", " + common::countText(file.unsaved, "reading not saved", "readings not saved")
                : std::string(),
            pathSeparator);
    case State::Closed: {
        if (file.path.empty())
            return {};
        std::string summary = "Raw log closed: "
            + common::countText(status.readings - file.unsaved, "reading", "readings") + " logged";
        if (file.unsaved > 0)
            summary += ", " + common::countText(file.unsaved, "reading", "readings") + " not saved";
        summary += ", " + common::countText(status.rejected, "line", "lines") + " rejected";
        return { std::move(summary), {}, {} };
    }
    case State::CannotCreate:
    case State::CannotWrite:
        break;
    }
    return files::troubleLabel(file, pathSeparator);
}

std::string rawLogCounts(const RawLogStatus& status)
{
    std::string counts = common::countText(status.readings, "reading", "readings");
    if (status.rejected > 0)
        counts += ", " + common::wholeNumberText(status.rejected) + " rejected";
    return counts;
}

RawLog::RawLog(platform::OutputFiles& files, platform::Ticker& flushTicker, RawLogView& view,
    files::AskForPath askForPath, CurrentState currentState)
    : m_flushTicker(flushTicker)
    , m_view(view)
    , m_currentState(std::move(currentState))
    , m_session(files, std::move(askForPath), [this](const files::OutputFileStatus&) { show(); })
{
    m_flushTicker.setOnTick([this] { flush(); });
}

RawLog::~RawLog()
{
    m_flushTicker.stop();
    m_flushTicker.setOnTick({});
    handOver(); // told to no one: the view may be gone
}

void RawLog::RawLogMenu_Click()
{
    if (isOpen()) {
        close();
        return;
    }
    m_readings = 0;
    m_rejected = 0;
    if (m_session.open([](platform::FileWriter& output, platform::FileNumber file) {
            static_cast<void>(output.write(file, common::kRawLogHeader));
            static_cast<void>(output.sync(file));
        }))
        m_openingMark = m_currentState(); // the state the record is in now: a replay starts from it
}

void RawLog::close()
{
    m_openingMark.reset(); // nothing followed it: there is nothing to replay from it
    flush();
    m_session.close();
}

void RawLog::gather(std::string_view lines)
{
    if (m_gathered.empty())
        m_flushTicker.wakeIn(kFlushDelay);
    m_gathered += lines;
}

void RawLog::markOpening(const common::LocalDateTime& time)
{
    // Dated by the first line after it: a replayed or reprocessed session's own time, not the time of day.
    if (!m_openingMark)
        return;
    m_openingMark->time = time;
    gather(common::rawLogMarkText(*std::exchange(m_openingMark, std::nullopt)));
}

void RawLog::flush()
{
    if (handOver())
        show();
}

bool RawLog::handOver()
{
    m_flushTicker.stop();
    if (m_gathered.empty())
        return false;
    m_session.write(
        std::exchange(m_gatheredCount, 0), [this](platform::FileWriter& output, platform::FileNumber file) {
            static_cast<void>(output.write(file, m_gathered));
            static_cast<void>(output.sync(file));
        });
    m_gathered.clear();
    return true;
}

void RawLog::readingAccepted(const record::AcceptedReading& reading)
{
    if (!isOpen())
        return;
    markOpening(reading.time);
    if (m_gathered.empty())
        m_flushTicker.wakeIn(kFlushDelay);
    common::appendRawLogLine(m_gathered,
        { reading.time, reading.sentHeading, reading.pitch, reading.roll, reading.tilt, reading.eventNumber,
            reading.heading });
    ++m_readings;
    ++m_gatheredCount;
}

void RawLog::eventChanged(const common::RawLogMark& mark)
{
    if (!isOpen())
        return;
    markOpening(mark.time);
    gather(common::rawLogMarkText(mark));
}

void RawLog::lineRejected()
{
    if (isOpen())
        ++m_rejected;
}

void RawLog::show()
{
    m_view.showRawLog({ m_session.status(), m_readings, m_rejected });
}

} // namespace marlume::rawlog
