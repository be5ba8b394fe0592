#pragma once

#include "app/form_resize.h"
#include "app/qt_main_form_widgets.h"
#include "app/qt_placement_window.h"
#include "chart/chart_model.h"
#include "chart/qt_chart_window.h"
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
#include "rawlog/raw_log.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenuBar;

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

// The main window: a menu bar over the designed client area (the live reading, the status line,
// the buttons and the event table). It is a face of its monitor: it shows what the monitor hands its
// views, forwards the operator's clicks, and keeps its own placement and layout; the raw log and the
// chart listen to the monitor beside it.
class MainForm final : public QWidget,
                       private link::LinkView,
                       private events::EventTableView,
                       private events::CaptureView,
                       private rawlog::RawLogView {
    Q_OBJECT

public:
    explicit MainForm(const MainFormServices& services);

    [[nodiscard]] monitor::Monitor& monitor() { return m_monitor; }
    // Timer1's tick and the search, as the window's handlers.
    void Timer1_Timer() { m_monitor.Timer1_Timer(); }
    [[nodiscard]] link::SearchResult FindPort() { return m_monitor.FindPort(); }
    [[nodiscard]] link::PortSearch& portSearch() { return m_monitor.portSearch(); }
    [[nodiscard]] const MainFormWidgets& controls() const { return m_controls; }
    // The designed client area below the menu bar: the controls' parent, sized by the window.
    [[nodiscard]] QWidget* clientArea() const { return m_client; }
    [[nodiscard]] QMenuBar* menuBar() const { return m_menuBar; }
    [[nodiscard]] chart::ChartWindow& chartWindow() { return *m_chartWindow; }
    [[nodiscard]] const chart::ChartModel& chartModel() const { return m_chartModel; }

    // A message about a port's device, such as a replay file that cannot be played: a box that waits
    // for no answer, so that the search goes on behind it.
    void showDeviceNotice(std::int16_t port, const std::string& message, bool problem);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void CloseDown();
    void Form_Resize();
    void buildMenuBar();
    void showAbout();
    void showRawLog(const rawlog::RawLogStatus& status) override;

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

    QMenuBar* m_menuBar;
    QWidget* m_client;
    MainFormWidgets m_controls;
    QAction* m_rawLogAction = nullptr;
    QLabel* m_rawLogLabel = nullptr;
    platform::SettingsStore& m_settings;
    QtPlacementWindow m_placement;
    EventsLayout m_eventsLayout = kDesignEventsLayout;
    qt::QtTicker m_timer1;
    platform::CaptureFileOutput m_captureFiles;
    platform::CaptureFileOutput m_rawLogFiles; // a writer of its own: raw batches never hold up records
    qt::QtTicker m_rawLogFlush;
    rawlog::RawLog m_rawLog;
    chart::ChartModel m_chartModel;
    chart::ChartWindow* m_chartWindow; // a window of its own, owned as a child of this one
    monitor::Monitor m_monitor; // last: it ticks into the views above
};

} // namespace marlume::app
