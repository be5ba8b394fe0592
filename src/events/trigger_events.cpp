#include "events/trigger_events.h"

namespace marlume::events {

TriggerEvents::TriggerEvents(record::DataRecordClass& dataRecord, CaptureFile& capture)
    : m_dataRecord(dataRecord)
    , m_capture(capture)
{
}

StartedEvent TriggerEvents::StartEvent()
{
    m_dataRecord.startAvg();
    m_running = true;
    return { m_dataRecord.SequenceNumber(), *m_dataRecord.startTime() };
}

EndedEvent TriggerEvents::EndEvent()
{
    m_dataRecord.endAvg();
    m_running = false;
    m_capture.writeAvgToFile();
    const common::LocalDateTime end = *m_dataRecord.endTime();
    // An end with no start since the program began has nothing but its end to go by.
    return { m_dataRecord.SequenceNumber(), m_dataRecord.startTime().value_or(end), end,
        m_dataRecord.avgTilt(), m_dataRecord.avgHeading(), m_dataRecord.avgPitch(), m_dataRecord.avgRoll(),
        m_dataRecord.avgN() };
}

} // namespace marlume::events
