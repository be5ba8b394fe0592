#include "app/qt_main_status_bar.h"

#include "app/qt_capture_label.h"
#include "common/time_text.h"

#include <QLabel>
#include <QMessageBox>

namespace marlume::app {

namespace {

constexpr std::chrono::milliseconds kPlaybackInterval { 500 };

QLabel* addLabel(QStatusBar* bar, const char* name, bool permanent)
{
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    if (permanent)
        bar->addPermanentWidget(label);
    else
        bar->addWidget(label, 1);
    return label;
}

QString portLine(std::int16_t port, const std::string& message)
{
    return QStringLiteral("Port %1: %2").arg(port).arg(QString::fromStdString(message));
}

} // namespace

MainStatusBar::MainStatusBar(const monitor::Monitor& monitor, QWidget* parent)
    : QStatusBar(parent)
    , m_monitor(monitor)
    , m_ports(addLabel(this, "PortsLabel", false))
    , m_playback(addLabel(this, "PlaybackLabel", true))
    , m_rawLog(addLabel(this, "RawLogLabel", true))
    , m_statistics(addLabel(this, "StatisticsLabel", true))
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    m_statistics->hide();
    m_playbackTimer.setInterval(kPlaybackInterval);
    connect(&m_playbackTimer, &QTimer::timeout, this, &MainStatusBar::showPlayback);
    m_playbackTimer.start();
    showPlayback();
}

void MainStatusBar::showRawLog(const rawlog::RawLogStatus& status)
{
    const files::LabelText label = rawlog::rawLogLabel(status);
    QString text
        = fittedCaptureLabel(label, m_rawLog->fontMetrics(), std::max(parentWidget()->width() / 2, 1));
    if (status.file.open)
        text += QStringLiteral(" - ") + QString::fromStdString(rawlog::rawLogCounts(status));
    m_rawLog->setText(text);
    m_rawLog->setToolTip(QString::fromStdString(label.text()));
    m_rawLog->setStyleSheet(status.file.failure() ? QStringLiteral("color: red") : QString());
    m_rawLog->setVisible(!text.isEmpty());
}

void MainStatusBar::showStatisticsFile(const files::OutputFileStatus& status)
{
    const files::LabelText label = events::statisticsLabel(status);
    m_statistics->setText(
        fittedCaptureLabel(label, m_statistics->fontMetrics(), std::max(parentWidget()->width() / 3, 1)));
    m_statistics->setToolTip(QString::fromStdString(label.text()));
    m_statistics->setStyleSheet(status.failure() ? QStringLiteral("color: red") : QString());
    m_statistics->setVisible(!m_statistics->text().isEmpty());
}

void MainStatusBar::portNotice(const platform::PortNotice& notice)
{
    if (notice.kind == platform::PortNotice::Kind::Fault) {
        showInBox(notice);
        return;
    }
    if (notice.kind == platform::PortNotice::Kind::News) {
        showMessage(portLine(notice.port, notice.message));
        return;
    }
    m_unavailable[notice.port] = notice.message;
    m_lastUnavailable = notice.port;
    showPorts();
}

void MainStatusBar::sensorFound(const monitor::FoundSensor& found)
{
    m_unavailable.clear();
    showPorts();
    m_ports->setText(QStringLiteral("Sensor on port %1").arg(found.port)
        + (found.device.empty() ? QString()
                                : QStringLiteral(" (%1)").arg(QString::fromStdString(found.device))));
}

void MainStatusBar::showPorts()
{
    const auto last = m_unavailable.find(m_lastUnavailable);
    m_ports->setText(last == m_unavailable.end() ? QString() : portLine(last->first, last->second));
    QStringList all;
    for (const auto& [port, message] : m_unavailable)
        all << portLine(port, message);
    m_ports->setToolTip(all.join(QLatin1Char('\n')));
}

void MainStatusBar::showPlayback()
{
    const std::optional<monitor::Monitor::Playback> playback = m_monitor.playback();
    QString text;
    if (playback) {
        const std::string& path = playback->progress.path;
        text = QStringLiteral("Replay of %1").arg(QString::fromStdString(path.substr(path.rfind('/') + 1)));
        if (playback->at) {
            std::string at = common::isoDateTimeText(*playback->at);
            at[10] = ' ';
            text += QStringLiteral(": %1").arg(QString::fromStdString(at));
        }
        text += QStringLiteral(" (%1 %)").arg(static_cast<int>(playback->progress.fraction * 100));
        m_playback->setToolTip(QString::fromStdString(path));
    }
    m_playback->setText(text);
    m_playback->setVisible(!text.isEmpty());
}

void MainStatusBar::showInBox(const platform::PortNotice& notice)
{
    if (!m_box) {
        m_box = new QMessageBox(parentWidget());
        m_box->setObjectName(QStringLiteral("NoticeBox"));
        m_box->setAttribute(Qt::WA_DeleteOnClose);
        m_box->setWindowModality(Qt::NonModal);
        m_box->setStandardButtons(QMessageBox::Ok);
    }
    m_box->setWindowTitle(parentWidget()->windowTitle());
    m_box->setIcon(QMessageBox::Warning);
    m_box->setText(portLine(notice.port, notice.message));
    m_box->show();
    m_box->raise();
}

} // namespace marlume::app
