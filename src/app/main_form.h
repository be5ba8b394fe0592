#pragma once

#include "app/form_resize.h"
#include "app/main_form_widgets.h"
#include "app/qt_placement_window.h"
#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "events/trigger_events.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "link/live_display.h"
#include "link/port_search.h"
#include "link/receive_loop.h"
#include "platform/capture_file_output.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/serial_control.h"
#include "platform/settings_store.h"
#include "record/data_record_class.h"

#include <QTimer>
#include <QWidget>

namespace marlume::app {

// What the start-up routine hands the main window: the link state it shares with it,
// the serial control, the clock, the event pump its loops run on and the settings store.
struct MainFormServices {
    link::LinkState& linkState;
    platform::SerialControl& comPort;
    const platform::Clock& clock;
    platform::EventPump& pump;
    platform::SettingsStore& settings;
};

// The main window: the live reading, the status line, the buttons and the event table.
// It owns the sensor record and the link, event and capture logic, and binds them to
// its controls; the logic itself lives in plain C++ behind the three views below.
class MainForm final : public QWidget,
                       private link::LinkView,
                       private events::EventTableView,
                       private events::CaptureView {
    Q_OBJECT

public:
    explicit MainForm(const MainFormServices& services);
    // The serial control outlives the window: it must not call back into a window that has gone.
    ~MainForm() override { m_comPort.setOnComm({}); }

    // The 10 ms tick of Timer1: the serial control looks at its lines (a CTS change starts or
    // ends an event), then the receive loop drains it and keeps the watchdogs.
    void Timer1_Timer()
    {
        m_comPort.poll();
        m_receiveLoop.Timer1_Timer();
    }
    [[nodiscard]] link::SearchResult FindPort() { return m_search.FindPort(); }
    [[nodiscard]] link::PortSearch& portSearch() { return m_search; }
    [[nodiscard]] const MainFormWidgets& controls() const { return m_controls; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void CloseDown();
    void Form_Resize();

    void showReading(const link::ReadingDisplay& reading) override;
    void setDataIndicator(const link::Colour& colour) override;
    void showStatus(const link::StatusDisplay& status) override;

    void appendText(std::string_view piece) override;
    void replaceText(std::string_view text) override;
    void moveToEnd() override;

    [[nodiscard]] std::string captureButtonCaption() const override;
    void setCaptureButtonCaption(const std::string& caption) override;
    void setCaptureLabel(const events::CaptureLabelText& text) override;

    [[nodiscard]] QLabel* valueLabel(link::ValueLabel label) const;
    [[nodiscard]] QColor toQColor(const link::Colour& colour) const;

    MainFormWidgets m_controls;
    link::LinkState& m_linkState;
    platform::SerialControl& m_comPort;
    platform::EventPump& m_pump;
    platform::SettingsStore& m_settings;
    QtPlacementWindow m_placement;
    record::DataRecordClass m_dataRecord;
    link::LiveDisplay m_display;
    link::ReceiveLoop m_receiveLoop;
    link::PortSearch m_search;
    platform::CaptureFileOutput m_captureFiles;
    events::CaptureFile m_capture;
    events::TriggerEvents m_events;
    EventsLayout m_eventsLayout = kDesignEventsLayout;
    QTimer m_timer1;
};

} // namespace marlume::app
