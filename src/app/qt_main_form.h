#pragma once

#include "app/form_resize.h"
#include "app/qt_alarm_menu.h"
#include "app/qt_live_controls.h"
#include "app/qt_main_form_widgets.h"
#include "app/qt_main_status_bar.h"
#include "attitude/attitude_model.h"
#include "attitude/qt_attitude_window.h"
#include "chart/chart_model.h"
#include "chart/qt_chart_window.h"
#include "events/capture_file.h"
#include "link/link_state.h"
#include "monitor/monitor.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/local_output_files.h"
#include "platform/serial_control.h"
#include "platform/settings_store.h"
#include "qt/qt_placement_window.h"
#include "qt/qt_ticker.h"
#include "rawlog/raw_log.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenuBar;

namespace marlume::app {

// The main window: a menu bar over the designed client area (the live reading, the status line,
// the buttons and the event table). It is a face of its monitor: its live controls show what the monitor
// tells them, the file labels what it hands their views; it forwards the operator's clicks, and keeps its
// own placement and layout; the chart listens to the monitor beside it.
class MainForm final : public QWidget,
                       private events::CaptureView,
                       private rawlog::RawLogView,
                       private events::StatisticsView {
    Q_OBJECT

public:
    // The monitor runs on the services; the window's placement is kept in the settings store.
    MainForm(const monitor::MonitorServices& services, platform::SettingsStore& settings);

    [[nodiscard]] monitor::Monitor& monitor() { return m_monitor; }
    [[nodiscard]] const MainFormWidgets& controls() const { return m_controls; }
    // The designed client area below the menu bar: the controls' parent, sized by the window.
    [[nodiscard]] QWidget* clientArea() const { return m_client; }
    [[nodiscard]] QMenuBar* menuBar() const { return m_menuBar; }
    [[nodiscard]] chart::ChartWindow& chartWindow() { return *m_chartWindow; }
    [[nodiscard]] const chart::ChartModel& chartModel() const { return m_chartModel; }
    [[nodiscard]] attitude::AttitudeWindow& attitudeWindow() { return *m_attitudeWindow; }
    [[nodiscard]] const attitude::AttitudeModel& attitudeModel() const { return m_attitudeModel; }

    [[nodiscard]] MainStatusBar& statusBar() const { return *m_statusBar; }
    [[nodiscard]] AlarmMenu& alarmMenu() const { return *m_alarmMenu; }

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
    // The save-as dialog, as both output files ask for their path.
    [[nodiscard]] files::AskForPath askForPath();
    void showRawLog(const rawlog::RawLogStatus& status) override;
    void showStatisticsFile(const files::OutputFileStatus& status) override;

    [[nodiscard]] std::string captureButtonCaption() const override;
    void setCaptureButtonCaption(const std::string& caption) override;
    void showCaptureFile(const files::OutputFileStatus& status) override;

    QMenuBar* m_menuBar;
    QWidget* m_client;
    MainFormWidgets m_controls;
    QAction* m_rawLogAction = nullptr;
    QAction* m_statisticsAction = nullptr;
    AlarmMenu* m_alarmMenu = nullptr;
    platform::SettingsStore& m_settings;
    qt::QtPlacementWindow m_placement;
    EventsLayout m_eventsLayout = kDesignEventsLayout;
    chart::ChartModel m_chartModel;
    chart::ChartWindow* m_chartWindow; // a window of its own, owned as a child of this one
    attitude::AttitudeModel m_attitudeModel;
    attitude::AttitudeWindow* m_attitudeWindow; // as the chart's
    LiveControls m_live;
    monitor::Monitor m_monitor; // it ticks into the views and listeners above
    MainStatusBar* m_statusBar; // it reads the monitor
};

} // namespace marlume::app
