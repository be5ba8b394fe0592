#pragma once

#include "common/raw_log_format.h"
#include "files/label_text.h"
#include "files/output_file_session.h"
#include "platform/ticker.h"
#include "record/accepted_reading.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::rawlog {

// Where the raw log stands, for the menu item, a label or the logger's output.
struct RawLogStatus {
    files::OutputFileStatus file;
    std::int64_t readings = 0; // logged since the file was opened
    std::int64_t rejected = 0; // complete lines that were no reading, counted and never logged
};

// The raw log's label: "Raw log to "raw.txt"" (with the readings not saved, if any), its failure, or
// once closed "Raw log closed: 12 readings logged, 1 line rejected"; empty before any was opened.
[[nodiscard]] files::LabelText rawLogLabel(const RawLogStatus& status, char pathSeparator = '/');

// What the open log has taken: "12 readings", with ", 1 rejected" when lines were rejected.
[[nodiscard]] std::string rawLogCounts(const RawLogStatus& status);

class RawLogView {
public:
    virtual ~RawLogView() = default;
    // After every change of state, and after each flush while the file is open (about once a second).
    virtual void showRawLog(const RawLogStatus& status) = 0;
};

// The raw readings log: while open, one line per accepted reading and a mark at its start and at every
// event's start and end (see common/raw_log_format.h). The opening mark holds the record's state when the
// log was opened and the time of the line after it (a log that none follows keeps only its header), so
// that a log written from a replay or a reprocessing carries the recorded time throughout.
// Lines are gathered and handed to the file output as one write and sync at most a second after
// the first of them came, at every event end, when the link is lost and when the file is closed, so
// a slow disk costs one write a second and a crash loses at most the last second. A fault is told
// on the view with the count of readings lost; what was written before stays.
class RawLog final {
public:
    static constexpr std::chrono::milliseconds kFlushDelay { 1000 };

    // The time, the event collecting and the heading shown, for the mark a new log starts with.
    using CurrentState = std::function<common::RawLogMark()>;

    // files must be this log's own: its session takes their outcome handler.
    RawLog(platform::OutputFiles& files, platform::Ticker& flushTicker, RawLogView& view,
        files::AskForPath askForPath, CurrentState currentState);
    ~RawLog();
    RawLog(const RawLog&) = delete;
    RawLog& operator=(const RawLog&) = delete;

    // File > Raw Readings Log...: asks for a file and starts the log, or stops the one running.
    void RawLogMenu_Click();
    [[nodiscard]] bool isOpen() const { return m_session.isOpen(); }
    // Hands what is gathered to the file now.
    void flush();
    // Stops the log when it runs, with everything gathered on its way to disk.
    void close();

    void readingAccepted(const record::AcceptedReading& reading);
    void lineRejected();
    // An event started or ended: from the mark's time on, its event collects (0: none).
    void eventChanged(const common::RawLogMark& mark);

private:
    // Hands the gathered lines to the file; false when there were none.
    bool handOver();
    void gather(std::string_view lines);
    // Gathers the opening mark, if still due, dated with the time of the line that follows it.
    void markOpening(const common::LocalDateTime& time);
    void show();

    platform::Ticker& m_flushTicker;
    RawLogView& m_view;
    CurrentState m_currentState;
    std::optional<common::RawLogMark> m_openingMark; // until the first line after it
    std::string m_gathered; // lines not yet handed to the file
    std::int64_t m_gatheredCount = 0;
    std::int64_t m_readings = 0;
    std::int64_t m_rejected = 0;
    files::OutputFileSession m_session; // last: it reports into the members above
};

} // namespace marlume::rawlog
