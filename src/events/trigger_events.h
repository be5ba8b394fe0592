#pragma once

#include "events/capture_file.h"
#include "events/ended_event.h"
#include "record/data_record_class.h"

#include <cstdint>

namespace marlume::events {

// Starts and ends trigger events on the record. A start and an end never check one another; each runs
// whenever it is called, and tells the event as the record holds it.
class TriggerEvents final {
public:
    TriggerEvents(record::DataRecordClass& dataRecord, CaptureFile& capture);

    // CTS high, or "Force Trigger" pressed.
    StartedEvent StartEvent();
    // CTS low, or "Force Trigger" released; the averages go to the capture file.
    EndedEvent EndEvent();

    // The number of the event that has started and not ended yet; 0 when none runs.
    [[nodiscard]] std::int32_t runningEvent() const { return m_running ? m_dataRecord.SequenceNumber() : 0; }
    // The next event is number 1.
    void ResetSeqButton_Click() { m_dataRecord.ResetSequenceNumber(); }

private:
    record::DataRecordClass& m_dataRecord;
    CaptureFile& m_capture;
    bool m_running = false;
};

} // namespace marlume::events
