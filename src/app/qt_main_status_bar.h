#pragma once

#include "monitor/monitor.h"
#include "monitor/monitor_listener.h"
#include "rawlog/raw_log.h"

#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include <cstdint>
#include <map>
#include <string>

class QLabel;

namespace marlume::app {

// The status bar below the designed client area: why the search could not open ports and, once found,
// the sensor's port, news such as a
// replay's end, how far a replay has got, and the raw log's state with its faults. A replay that cannot
// be played is told in a box beside the window that waits for no answer; a later fault takes that box
// over, so boxes never pile up.
class MainStatusBar final : public QStatusBar, public monitor::MonitorListener {
public:
    MainStatusBar(const monitor::Monitor& monitor, QWidget* parent);

    void showRawLog(const rawlog::RawLogStatus& status);
    void showStatisticsFile(const files::OutputFileStatus& status);

    void portNotice(const platform::PortNotice& notice) override;
    void sensorFound(const monitor::FoundSensor& found) override;

    [[nodiscard]] QMessageBox* noticeBox() const { return m_box; }

private:
    void showPorts();
    void showPlayback();
    void showInBox(const platform::PortNotice& notice);

    const monitor::Monitor& m_monitor;
    QLabel* m_ports;
    QLabel* m_playback;
    QLabel* m_rawLog;
    QLabel* m_statistics;
    QTimer m_playbackTimer;
    QPointer<QMessageBox> m_box;
    std::map<std::int16_t, std::string> m_unavailable; // why each port could not be opened, this search
    std::int16_t m_lastUnavailable = 0;
};

} // namespace marlume::app
