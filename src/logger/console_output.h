#pragma once

#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "link/link_view.h"
#include "monitor/monitor_listener.h"
#include "platform/clock.h"
#include "rawlog/raw_log.h"

#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace marlume::logger {

// The logger's face: what a window would show, one line each on its output with an ISO 8601 time
// stamp, so that a terminal or the journal tells what it does. Status changes (a search once, not
// every port it tries), the loss of the link, each event's table line and the capture file's state
// go to the output; failures to the error output. Readings are not printed.
class ConsoleOutput final : public link::LinkView,
                            public events::EventTableView,
                            public events::CaptureView,
                            public monitor::MonitorListener,
                            public rawlog::RawLogView {
public:
    // onFileLost is told when an output file could not be created, or closed by itself (its header
    // could not be written).
    ConsoleOutput(std::ostream& out, std::ostream& err, const platform::Clock& clock, bool quiet,
        std::function<void()> onFileLost);

    void showReading(const link::ReadingDisplay&) override { }
    void setDataIndicator(const link::Colour&) override { }
    void showStatus(const link::StatusDisplay& status) override;

    void appendText(std::string_view piece) override;
    void replaceText(std::string_view) override { }
    void moveToEnd() override { }

    // No button: its caption is kept only to be handed back.
    [[nodiscard]] std::string captureButtonCaption() const override { return m_captureCaption; }
    void setCaptureButtonCaption(const std::string& caption) override { m_captureCaption = caption; }
    void showCaptureFile(const files::OutputFileStatus& status) override;

    void linkLost(const common::LocalDateTime& time) override;
    void sensorFound(const common::LocalDateTime& time) override;

    // Printed when its text changes; faults go to the error output.
    void showRawLog(const rawlog::RawLogStatus& status) override;
    // Why a port could not be opened, or how its replay went; problems go to the error output.
    void portNotice(const platform::PortNotice& notice) override;
    void showFailure(const std::string& message) { print(m_err, m_clock.now(), message); }

private:
    void print(std::ostream& stream, const common::LocalDateTime& time, std::string_view text);
    // A file's state: failures to the error output, and a file lost for good is told.
    void printFileState(const files::OutputFileStatus& status, const std::string& text);

    std::ostream& m_out;
    std::ostream& m_err;
    const platform::Clock& m_clock;
    bool m_quiet;
    std::string m_status;
    std::string m_tableLine; // the event's line until its end completes it
    std::function<void()> m_onFileLost;
    std::string m_captureCaption;
    std::string m_rawLogText;
    std::map<std::int16_t, std::string> m_unavailable; // told this search, by port
};

} // namespace marlume::logger
