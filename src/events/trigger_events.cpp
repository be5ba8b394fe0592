#include "events/trigger_events.h"

#include "common/status_text.h"
#include "events/event_table_line.h"

#include <algorithm>
#include <utility>

namespace marlume::events {

TriggerEvents::TriggerEvents(record::DataRecordClass& dataRecord, const platform::Clock& clock,
    EventTableView& view, CaptureFile& capture, SetStatus setStatus, char timeSeparator)
    : m_dataRecord(dataRecord)
    , m_clock(clock)
    , m_view(view)
    , m_capture(capture)
    , m_setStatus(std::move(setStatus))
    , m_timeSeparator(timeSeparator)
{
}

void TriggerEvents::StartEvent()
{
    m_dataRecord.startAvg();
    m_running = true;
    AppendToLog(
        sequencePiece(m_dataRecord.SequenceNumber()) + startTimePiece(m_clock.now(), m_timeSeparator));
    m_view.moveToEnd();
    m_setStatus(common::kIntegratingStatus);
}

void TriggerEvents::EndEvent()
{
    m_dataRecord.endAvg();
    m_running = false;
    // Piece by piece, so the length rule sees each append as it comes.
    AppendToLog(endTimePiece(m_clock.now(), m_timeSeparator));
    AppendToLog(averagePiece(m_dataRecord.avgTilt(), 2));
    AppendToLog(averagePiece(m_dataRecord.avgHeading(), 3));
    AppendToLog(averagePiece(m_dataRecord.avgPitch(), 2));
    AppendToLog(averagePiece(m_dataRecord.avgRoll(), 2));
    AppendToLog(countPiece(m_dataRecord.avgN()));
    m_view.moveToEnd();
    m_setStatus(common::kReadyStatus);
    m_capture.writeAvgToFile();
}

std::int32_t TriggerEvents::AppendToLog(std::string_view text)
{
    if (m_logText.size() + text.size() > kMaxLogLength) {
        m_logText.erase(0, m_logText.size() - std::min(m_logText.size(), kKeptLogLength));
        m_view.replaceText(m_logText);
    }
    m_logText += text;
    m_view.appendText(text);
    return static_cast<std::int32_t>(m_logText.size());
}

} // namespace marlume::events
