#pragma once

#include "events/capture_file.h"
#include "events/statistics_file.h"
#include "events/trigger_events.h"
#include "events/trigger_sources.h"
#include "link/link_state.h"
#include "link/link_status.h"
#include "link/port_search.h"
#include "link/receive_loop.h"
#include "monitor/monitor_listener.h"
#include "monitor/recorded_clock.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/output_files.h"
#include "platform/serial_control.h"
#include "platform/ticker.h"
#include "rawlog/raw_log.h"
#include "record/data_record_class.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace marlume::monitor {

// What the monitor works with: the link state the start-up routine shares with it, the serial
// control, the clock, the event pump its loops run on, the ticks of its receive loop, and for each
// output file its own file output (the raw log's batches never wait behind records) and the raw
// log's flush.
struct MonitorServices {
    link::LinkState& linkState;
    platform::SerialControl& comPort;
    const platform::Clock& clock;
    platform::EventPump& pump;
    platform::Ticker& ticker;
    platform::OutputFiles& captureFiles;
    platform::OutputFiles& rawLogFiles;
    platform::Ticker& rawLogFlush;
    platform::OutputFiles& statisticsFiles;
};

// What shows the output files: the capture file's button and label, the raw log's state, the statistics
// file's, and how each file's path is asked for. All else the faces are told as listeners.
struct MonitorViews {
    events::CaptureView& capture;
    rawlog::RawLogView& rawLog;
    events::StatisticsView& statistics;
    files::AskForPath askForCapturePath;
    files::AskForPath askForRawLogPath;
    files::AskForPath askForStatisticsPath;
};

// The program without its face: the sensor record, the receive loop and its 10 ms tick, the port
// search, the trigger events, the capture file and the raw readings log, wired together. A window or
// a headless logger listens, shows what it is told and forwards the operator's clicks; every listener
// gets the link's status, each accepted reading and each event as values.
class Monitor final : private link::LinkObserver {
public:
    static constexpr std::chrono::milliseconds kTickInterval { 10 };

    // How a reprocessing ended: at the log's end, stopped by the program's end before it, or at a line
    // that is no line of a raw log (the events ended before it keep their records).
    struct ReprocessOutcome {
        enum class End { LogEnd, Stopped, Failed };
        End end = End::LogEnd;
        std::int64_t line = 0; // the last line taken in, the header being line 1
        std::int64_t aboutLines = 0; // the log's lines as far as the part read tells
        std::string problem; // Failed: why ("line 5 has 3 fields, not 7")
    };
    // Something about the log that stops nothing: a time going back, a last line cut off.
    using ReprocessNote = std::function<void(const std::string& note)>;

    Monitor(const MonitorServices& services, const MonitorViews& views);
    ~Monitor() override;
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // Ticks until shutDown(): call once the face is ready, since no tick may come before. Ticks are counted
    // on the monotonic clock, 10 ms apart; the monitor wakes for them only when the port brings news, a
    // watchdog comes due, or the port cannot tell of its news and has to be looked at.
    void start();
    // The start-up routine's loop: processes events and searches for the sensor whenever the link is
    // not alive (listeners are told when it is found). Returns once shutDown() has been called.
    void run();
    // The program's end, as the close box or a termination signal ask for it: the raw log goes to disk
    // and closes, the serial port closes, the ticks stop and every loop on the event pump ends. The
    // capture file's queued records are written when its file output goes.
    void shutDown();

    // Runs the ticks that have come due since the last (each one: the serial control looks at its
    // lines, a CTS change starting or ending an event, then the receive loop drains it and keeps the
    // watchdogs), then asks for the next wake-up it needs.
    void wake();
    [[nodiscard]] link::SearchResult FindPort() { return m_search.FindPort(); }

    // Reprocessing: a raw readings log taken in as fast as it can be read, without port or search, each
    // line through the receive loop's own routine with its recorded time, its events started and ended at
    // their marks through the trigger (an event the log ends inside at its last reading), so that the
    // capture file, the raw log and every listener get what the live session gave them. As a search
    // does, it ignores events until the log's first reading: there is nothing to average before it.
    // Events are numbered from 1. The event loop gets its turn every few thousand lines, without ever
    // waiting on it, so that a termination signal stops a long log.
    [[nodiscard]] ReprocessOutcome reprocess(const std::string& path, const ReprocessNote& note = {});

    // A found sensor that sends nothing for longer than this is told to the listeners; its link stays up.
    void setSilenceLimit(std::chrono::milliseconds limit) { m_silenceLimit = limit; }

    // The operator's buttons and menu items.
    void TriggerButton_MouseDown() { trigger(m_triggerSources.buttonChanged(true)); }
    void TriggerButton_MouseUp() { trigger(m_triggerSources.buttonChanged(false)); }
    // The next event is number 1; one running keeps the number it started with.
    void ResetSeqButton_Click();
    void CaptureButton_Click() { m_capture.CaptureButton_Click(); }
    void RawLogMenu_Click() { m_rawLog.RawLogMenu_Click(); }
    void StatisticsMenu_Click() { m_statisticsFile.StatisticsMenu_Click(); }

    void addListener(MonitorListener& listener) { m_listeners.push_back(&listener); }

    // Where the replay on the port stands: its file, how far it has got and the recorded time reached.
    struct Playback {
        platform::PlaybackProgress progress;
        std::optional<common::LocalDateTime> at;
    };
    [[nodiscard]] std::optional<Playback> playback() const;

    [[nodiscard]] const events::CaptureFile& captureFile() const { return m_capture; }
    [[nodiscard]] const rawlog::RawLog& rawLog() const { return m_rawLog; }
    [[nodiscard]] const events::StatisticsFile& statisticsFile() const { return m_statisticsFile; }

private:
    void linkStatusChanged(const link::LinkStatus& status) override;
    void dataIndicatorChanged(bool receiving) override;
    void trigger(events::TriggerSources::Edge edge);
    void StartEvent();
    void EndEvent();
    void tellIfSilent();
    void readingAccepted(const record::AcceptedReading& reading);
    void lineRejected();
    void scheduleNextTick();
    void tellIfLinkLost(bool wasAlive);
    template <typename... Parameters, typename... Arguments>
    void notify(void (MonitorListener::*told)(Parameters...), const Arguments&... arguments)
    {
        for (MonitorListener* listener : m_listeners)
            (listener->*told)(arguments...);
    }

    link::LinkState& m_linkState;
    platform::SerialControl& m_comPort;
    const platform::Clock& m_clock;
    RecordedClock m_stamps; // for readings and events: a replay's own times
    platform::EventPump& m_pump;
    platform::Ticker& m_ticker;
    record::DataRecordClass m_dataRecord;
    link::StatusLine m_status;
    link::ReceiveLoop m_receiveLoop;
    link::PortSearch m_search;
    events::CaptureFile m_capture;
    rawlog::RawLog m_rawLog;
    events::StatisticsFile m_statisticsFile;
    events::TriggerEvents m_events;
    events::TriggerSources m_triggerSources;
    bool m_resetPending = false; // Reset Seq# pressed while an event ran
    events::EventStatisticsCollector m_statistics;
    std::optional<record::AcceptedReading> m_lastReading; // the reading an average starts from
    bool m_overRange = false; // the excursion the listeners were told of
    std::chrono::milliseconds m_silenceLimit = kDefaultSilenceLimit;
    std::optional<std::int64_t> m_heardAt; // monotonic milliseconds of the found sensor's last reading
    bool m_silent = false; // its silence has been told
    bool m_ended = false;
    std::int64_t m_lastTickAt = 0; // monotonic milliseconds of the last tick counted
    std::vector<MonitorListener*> m_listeners;
};

} // namespace marlume::monitor
