#include "app/qt_start_up.h"

#include "app/qt_main_form.h"
#include "monitor/qt_monitor_platform.h"
#include "mqtt/station.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_settings_store.h"
#include "qt/qt_termination_signals.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace marlume::app {

namespace {

// Lets a benchmark time the start-up: one line on stderr once the window has been shown.
void reportWindowShown()
{
    if (!qEnvironmentVariableIsSet("MARLUME_STARTUP_PROBE"))
        return;
    QCoreApplication::processEvents();
    std::fputs("marlume: window shown\n", stderr);
    std::fflush(stderr);
}

} // namespace

int Main(const mqtt::StationOptions& stationOptions)
{
    monitor::QtMonitorPlatform platform;
    qt::QtSettingsStore settings("Marlume Tilt Monitor");

    MainForm form(platform.services(), settings);
    std::optional<mqtt::Station> station;
    if (!mqtt::startStation(
            station, stationOptions, platform.services().clock, qt::postToEventLoop,
            [&form](const mqtt::StationNews& news) {
                form.statusBar().tell(MainStatusBar::Source::Station, QString::fromStdString(news.text));
                if (news.problem) // someone has to mend it: said where a service's log has it too
                    std::fprintf(stderr, "marlume-tilt-monitor: %s\n", news.text.c_str());
            },
            "marlume-tilt-monitor"))
        return 2;
    if (station)
        form.monitor().addListener(station->listener());
    // As the close box: placement saved, port and file closed; a question or file dialog that is up
    // is left at once, since every event loop ends.
    const qt::QtTerminationSignals termination([&form] {
        form.close();
        QCoreApplication::exit(0);
    });
    form.show();
    // Lets a benchmark measure the cost of the chart or the attitude view: it opens with the main window.
    if (qEnvironmentVariableIsSet("MARLUME_OPEN_CHART"))
        form.chartWindow().showWindow();
    if (qEnvironmentVariableIsSet("MARLUME_OPEN_ATTITUDE"))
        form.attitudeWindow().showWindow();
    reportWindowShown();
    form.monitor().run();
    if (const std::size_t undelivered = station ? station->end() : 0; undelivered > 0)
        std::fprintf(stderr, "marlume-tilt-monitor: %s\n", mqtt::undeliveredText(undelivered).c_str());
    return 0;
}

} // namespace marlume::app
