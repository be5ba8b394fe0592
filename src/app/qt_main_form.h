#pragma once

#include "app/form_resize.h"
#include "app/qt_main_form_widgets.h"
#include "app/qt_placement_window.h"
#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "monitor/monitor.h"
#include "platform/capture_file_output.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/serial_control.h"
#include "platform/settings_store.h"
#include "qt/qt_ticker.h"

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

// The main window: the live reading, the status line, the buttons and the event table. It is
// a face of its monitor: it shows what the monitor hands its three views, forwards the
// operator's clicks, and keeps its own placement and layout.
class MainForm final : public QWidget,
                       private link::LinkView,
                       private events::EventTableView,
                       private events::CaptureView {
    Q_OBJECT

public:
    explicit MainForm(const MainFormServices& services);

    [[nodiscard]] monitor::Monitor& monitor() { return m_monitor; }
    // Timer1's tick and the search, as the window's handlers.
    void Timer1_Timer() { m_monitor.Timer1_Timer(); }
    [[nodiscard]] link::SearchResult FindPort() { return m_monitor.FindPort(); }
    [[nodiscard]] link::PortSearch& portSearch() { return m_monitor.portSearch(); }
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
    platform::SettingsStore& m_settings;
    QtPlacementWindow m_placement;
    EventsLayout m_eventsLayout = kDesignEventsLayout;
    qt::QtTicker m_timer1;
    platform::CaptureFileOutput m_captureFiles;
    monitor::Monitor m_monitor; // last: it ticks into the views above
};

} // namespace marlume::app
