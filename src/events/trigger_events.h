#pragma once

#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "platform/clock.h"
#include "record/data_record_class.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace marlume::events {

// Starts and ends trigger events and keeps the event table: one fixed-column line per
// event, its first two columns written at the start and the rest at the end. A start
// and an end never check one another; each runs whenever it is called.
class TriggerEvents final {
public:
    using SetStatus = std::function<void(std::string_view)>;

    // The table holds at most this many characters after an append ...
    static constexpr std::size_t kMaxLogLength = 65'500;
    // ... and keeps this many of its last characters when an append would pass that.
    static constexpr std::size_t kKeptLogLength = 40'000;

    TriggerEvents(record::DataRecordClass& dataRecord, const platform::Clock& clock, EventTableView& view,
        CaptureFile& capture, SetStatus setStatus, char timeSeparator = ':');

    // CTS high, or "Force Trigger" pressed.
    void StartEvent();
    // CTS low, or "Force Trigger" released; the averages go to the table and the capture file.
    void EndEvent();

    // The number of the event that has started and not ended yet; 0 when none runs.
    [[nodiscard]] std::int32_t runningEvent() const { return m_running ? m_dataRecord.SequenceNumber() : 0; }
    // The next event is number 1.
    void ResetSeqButton_Click() { m_dataRecord.ResetSequenceNumber(); }

    // Appends to the table and returns its new length in characters.
    std::int32_t AppendToLog(std::string_view text);
    [[nodiscard]] const std::string& logText() const { return m_logText; }

private:
    record::DataRecordClass& m_dataRecord;
    const platform::Clock& m_clock;
    EventTableView& m_view;
    CaptureFile& m_capture;
    SetStatus m_setStatus;
    char m_timeSeparator;
    std::string m_logText;
    bool m_running = false;
};

} // namespace marlume::events
