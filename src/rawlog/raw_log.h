#pragma once

#include "events/capture_file.h"
#include "monitor/monitor_listener.h"
#include "platform/output_files.h"
#include "platform/ticker.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

namespace marlume::rawlog {

// Where the raw log stands, for the menu item, a label or the logger's output.
struct RawLogStatus {
    events::CaptureLabelText label; // "Raw log to "raw.txt"", "Cannot write to ...", "Raw log closed: ..."
    bool open = false;
    bool failure = false; // the label tells a fault
    std::int64_t readings = 0; // logged since the file was opened
    std::int64_t rejected = 0; // complete lines that were no reading, counted and never logged
};

class RawLogView {
public:
    virtual ~RawLogView() = default;
    // After every change of state, and after each flush while the file is open (about once a second).
    virtual void showRawLog(const RawLogStatus& status) = 0;
};

// The raw readings log: while open, one line per accepted reading (see common/raw_log_format.h).
// Lines are gathered and handed to the file output as one write and sync at most a second after
// the first of them came, at every event end, when the link is lost and when the file is closed, so
// a slow disk costs one write a second and a crash loses at most the last second. A fault is told
// on the view with the count of readings lost; what was written before stays.
class RawLog final : public monitor::MonitorListener {
public:
    using AskForPath = events::CaptureFile::AskForPath;
    static constexpr std::chrono::milliseconds kFlushDelay { 1000 };

    // files must be this log's own: it takes their outcome handler.
    RawLog(platform::OutputFiles& files, platform::Ticker& flushTicker, RawLogView& view,
        AskForPath askForPath, char pathSeparator = '/');
    ~RawLog() override;
    RawLog(const RawLog&) = delete;
    RawLog& operator=(const RawLog&) = delete;

    // File > Raw Readings Log...: asks for a file and starts the log, or stops the one running.
    void RawLogMenu_Click();
    [[nodiscard]] bool isOpen() const { return m_file != 0; }
    // Hands what is gathered to the file now.
    void flush();

    void readingAccepted(const monitor::AcceptedReading& reading) override;
    void eventEnded(const monitor::EndedEvent& event) override;
    void lineRejected() override;
    void linkLost(const platform::LocalDateTime& time) override;

private:
    void openFile();
    void closeFile();
    void takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome);
    void showOpen();
    void showTrouble(std::string_view what, const std::string& reason);
    void show(events::CaptureLabelText label, bool failure);

    platform::OutputFiles& m_files;
    platform::Ticker& m_flushTicker;
    RawLogView& m_view;
    AskForPath m_askForPath;
    char m_pathSeparator;
    platform::FileNumber m_file = 0;
    std::int16_t m_filterIndex = 0;
    std::string m_path; // where the open file stands now
    std::string m_gathered; // lines not yet handed to the file
    std::int64_t m_gatheredCount = 0;
    std::deque<std::int64_t> m_syncedCounts; // readings in each sync whose outcome is still to come
    bool m_headerPending = false;
    bool m_troubleShown = false;
    std::int64_t m_readings = 0;
    std::int64_t m_rejected = 0;
    std::int64_t m_unsaved = 0;
};

} // namespace marlume::rawlog
