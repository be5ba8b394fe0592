#pragma once

#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "events/trigger_events.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "link/live_display.h"
#include "link/port_search.h"
#include "link/receive_loop.h"
#include "monitor/monitor_listener.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/output_files.h"
#include "platform/serial_control.h"
#include "platform/ticker.h"
#include "record/data_record_class.h"

#include <vector>

namespace marlume::monitor {

// What the monitor works with: the link state the start-up routine shares with it, the serial
// control, the clock, the event pump its loops run on, the ticks of its receive loop and the
// files its records go to.
struct MonitorServices {
    link::LinkState& linkState;
    platform::SerialControl& comPort;
    const platform::Clock& clock;
    platform::EventPump& pump;
    platform::Ticker& ticker;
    platform::OutputFiles& files;
};

// What shows the monitor's state: the live reading and status line, the event table, the capture
// file's button and label, and the dialog that asks for a capture file's name.
struct MonitorViews {
    link::LinkView& link;
    events::EventTableView& table;
    events::CaptureView& capture;
    events::CaptureFile::AskForPath askForPath;
};

// How the views write numbers and times.
struct Separators {
    char decimal = '.';
    char time = ':';
};

// The program without its face: the sensor record, the receive loop and its 10 ms tick, the port
// search, the trigger events and the capture file, wired together. A window or a headless logger
// shows what it hands them and forwards the operator's clicks; listeners get every accepted
// reading and event in numbers.
class Monitor final {
public:
    static constexpr std::chrono::milliseconds kTickInterval { 10 };

    Monitor(const MonitorServices& services, const MonitorViews& views, Separators separators = {});
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // Ticks until end(): call once the face is ready, since no tick may come before. Ticks are counted
    // on the monotonic clock, 10 ms apart; the monitor wakes for them only when the port brings news, a
    // watchdog comes due, or the port cannot tell of its news and has to be looked at.
    void start();
    // The start-up routine's loop: processes events and searches for the sensor whenever the link is
    // not alive (listeners are told when it is found). Returns once end() has been called.
    void run();
    // Stops the ticks and every loop on the event pump, the port search's included.
    void end();
    // Closes the serial port if it is open.
    void closePort();

    // One tick: the serial control looks at its lines (a CTS change starts or ends an event), then
    // the receive loop drains it and keeps the watchdogs.
    void Timer1_Timer();
    // Runs the ticks that have come due since the last, then asks for the next wake-up it needs.
    void wake();
    [[nodiscard]] link::SearchResult FindPort() { return m_search.FindPort(); }

    // The operator's buttons.
    void TriggerButton_MouseDown() { StartEvent(); }
    void TriggerButton_MouseUp() { EndEvent(); }
    void ResetSeqButton_Click() { m_events.ResetSeqButton_Click(); }
    void CaptureButton_Click() { m_capture.CaptureButton_Click(); }

    void addListener(MonitorListener& listener) { m_listeners.push_back(&listener); }

    [[nodiscard]] link::PortSearch& portSearch() { return m_search; }
    [[nodiscard]] const events::CaptureFile& captureFile() const { return m_capture; }
    [[nodiscard]] const std::string& logText() const { return m_events.logText(); }

private:
    void StartEvent();
    void EndEvent();
    void readingAccepted();
    void scheduleNextTick();
    void tellIfLinkLost(bool wasAlive);
    void notify(void (MonitorListener::*told)());

    link::LinkState& m_linkState;
    platform::SerialControl& m_comPort;
    const platform::Clock& m_clock;
    platform::EventPump& m_pump;
    platform::Ticker& m_ticker;
    record::DataRecordClass m_dataRecord;
    link::LiveDisplay m_display;
    link::ReceiveLoop m_receiveLoop;
    link::PortSearch m_search;
    events::CaptureFile m_capture;
    events::TriggerEvents m_events;
    bool m_eventRunning = false;
    bool m_ended = false;
    std::int64_t m_lastTickAt = 0; // monotonic milliseconds of the last tick counted
    std::vector<MonitorListener*> m_listeners;
};

} // namespace marlume::monitor
