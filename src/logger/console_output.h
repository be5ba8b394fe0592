#pragma once

#include "events/capture_file.h"
#include "events/statistics_file.h"
#include "monitor/monitor_listener.h"
#include "platform/clock.h"
#include "rawlog/raw_log.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace marlume::logger {

// The logger's face, a journal: one line per change worth telling on its output, each with an ISO 8601
// time stamp, so that a terminal or the system journal tells what it does. A search once (not every
// port it tries), the sensor found with its port, the tilt going over range and coming back, each ended
// event as its table line, the loss of the link, the output files' states with their full paths, and a
// summary at the end; failures go to the error output. Readings are only counted.
class ConsoleOutput final : public events::CaptureView,
                            public monitor::MonitorListener,
                            public rawlog::RawLogView,
                            public events::StatisticsView {
public:
    // onFileLost is told when an output file could not be created, or closed by itself (its header
    // could not be written).
    ConsoleOutput(std::ostream& out, std::ostream& err, const platform::Clock& clock, bool quiet,
        std::function<void()> onFileLost);

    // No button: its caption is kept only to be handed back.
    [[nodiscard]] std::string captureButtonCaption() const override { return m_captureCaption; }
    void setCaptureButtonCaption(const std::string& caption) override { m_captureCaption = caption; }
    void showCaptureFile(const files::OutputFileStatus& status) override;

    // Only the start of a search: the sensor found and each event have lines of their own.
    void linkStatusChanged(const link::LinkStatus& status) override;
    void readingAccepted(const record::AcceptedReading& reading) override;
    void overRangeChanged(const record::AcceptedReading& reading) override;
    // An event's line, as the window's table has it, printed once its end completes it.
    void eventStarted(std::int32_t number, const common::LocalDateTime& start) override;
    void eventEnded(const monitor::EndedEvent& event) override;
    void lineRejected() override { ++m_rejected; }
    void linkLost(const common::LocalDateTime& time) override;
    void sensorFound(const monitor::FoundSensor& found) override;
    void sensorSilent(const monitor::Silence& silence) override;
    void dataAgain(const monitor::Silence& silence) override;
    // Why a port could not be opened (once a search, and when it changes), or how its replay went;
    // problems go to the error output.
    void portNotice(const platform::PortNotice& notice) override;

    void showRawLog(const rawlog::RawLogStatus& status) override;
    void showStatisticsFile(const files::OutputFileStatus& status) override;
    void showFailure(const std::string& message) { print(m_err, message); }
    // News from beside the monitor, such as the broker's connection.
    void showNews(const std::string& message)
    {
        if (!m_quiet)
            print(m_out, message);
    }
    // The events a station's broker did not have at the end, for the summary.
    void setUndeliveredEvents(std::size_t count) { m_undelivered = count; }
    // "Ended: 3 events, 1204 readings, 2 lines rejected", with the files written and the events not
    // delivered.
    void showSummary();

private:
    void print(std::ostream& stream, std::string_view text);
    // A file's state, when its text has changed: failures to the error output, and a file lost for good is
    // told.
    void printFileState(const files::OutputFileStatus& status, files::LabelText label, std::string& lastText);

    std::ostream& m_out;
    std::ostream& m_err;
    const platform::Clock& m_clock;
    bool m_quiet;
    bool m_searching = false;
    std::string m_tableLine; // the starts of the events whose end has not come
    std::function<void()> m_onFileLost;
    std::string m_captureCaption;
    std::string m_captureText;
    std::string m_rawLogText;
    std::string m_statisticsText;
    files::OutputFileStatus m_capture;
    files::OutputFileStatus m_rawLog;
    files::OutputFileStatus m_statistics;
    std::map<std::int16_t, std::string> m_unavailable; // told this search, by port
    std::int64_t m_events = 0;
    std::int64_t m_readings = 0;
    std::int64_t m_rejected = 0;
    std::size_t m_undelivered = 0;
};

} // namespace marlume::logger
