#pragma once

#include "monitor/monitor.h"
#include "monitor/monitor_listener.h"
#include "rawlog/raw_log.h"

#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>

#include <cstdint>
#include <vector>

class QTimer;

namespace marlume::app {

class ElidedLabel;

// The status bar below the designed client area. At its left one message area, the newest message first
// and older ones after it while they fit, each source's latest only: why the search could not open each
// port or, once found, the sensor's port, a port's news such as a replay's end, why the alarm will not be
// heard, the station's broker, a silent sensor. At its right the states: how far a replay has got, the
// raw log's and the statistics file's. Each field is shortened in the middle to the room it has and holds
// its whole text as tooltip, so that no two texts are ever drawn over one another. A replay that cannot
// be played is told in a box beside the window that waits for no answer; a later fault takes that box
// over, so boxes never pile up.
class MainStatusBar final : public QStatusBar, public monitor::MonitorListener {
public:
    // Where a message comes from: a source's new message takes the place of its last.
    enum class Source { Search, Sensor, PortNews, Alarm, Station, Silence };

    MainStatusBar(const monitor::Monitor& monitor, QWidget* parent);

    // Puts the message first in the message area; port tells which port's it is, for the port's own.
    void tell(Source source, const QString& text, std::int16_t port = 0);
    void showRawLog(const rawlog::RawLogStatus& status);
    void showStatisticsFile(const files::OutputFileStatus& status);

    void portNotice(const platform::PortNotice& notice) override;
    void sensorFound(const monitor::FoundSensor& found) override;
    void linkLost(const common::LocalDateTime& time) override;
    void sensorSilent(const monitor::Silence& silence) override;
    void dataAgain(const monitor::Silence& silence) override;

    [[nodiscard]] QMessageBox* noticeBox() const { return m_box; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Qt's own message would be drawn over the message area: every message goes through tell().
    using QStatusBar::clearMessage;
    using QStatusBar::showMessage;

    struct Message {
        Source source;
        std::int16_t port;
        QString text;
    };

    void forget(Source source);
    void showMessages();
    void showPlayback();
    void showInBox(const platform::PortNotice& notice);

    const monitor::Monitor& m_monitor;
    QWidget* m_fields;
    ElidedLabel* m_messageArea;
    ElidedLabel* m_playback;
    ElidedLabel* m_rawLog;
    ElidedLabel* m_statistics;
    QTimer* m_playbackTimer; // runs only while a replay plays, so an idle window sleeps
    QPointer<QMessageBox> m_box;
    std::vector<Message> m_messages; // the newest first
};

} // namespace marlume::app
