#include "app/qt_main_status_bar.h"

#include "app/qt_elided_label.h"
#include "app/qt_status_fields_layout.h"
#include "common/time_text.h"
#include "monitor/silence_text.h"

#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

namespace marlume::app {

namespace {

constexpr std::chrono::milliseconds kPlaybackInterval { 500 };

// The fields share one row of their own, as QStatusBar's layout would squeeze a short one first.
QWidget* addFields(QStatusBar* bar)
{
    auto* fields = new QWidget(bar);
    fields->setObjectName(QStringLiteral("StatusFields"));
    new StatusFieldsLayout(fields);
    bar->addWidget(fields, 1);
    return fields;
}

ElidedLabel* addLabel(QWidget* fields, const char* name)
{
    auto* label = new ElidedLabel(fields);
    label->setObjectName(QString::fromLatin1(name));
    fields->layout()->addWidget(label);
    return label;
}

// A state's field shows only once it has something to say.
void showState(ElidedLabel* label, const QString& text, bool failure)
{
    label->setTexts({ text });
    label->setStyleSheet(failure ? QStringLiteral("color: red") : QString());
    label->setVisible(!text.isEmpty());
}

QString portLine(std::int16_t port, const std::string& message)
{
    return QStringLiteral("Port %1: %2").arg(port).arg(QString::fromStdString(message));
}

} // namespace

MainStatusBar::MainStatusBar(const monitor::Monitor& monitor, QWidget* parent)
    : QStatusBar(parent)
    , m_monitor(monitor)
    , m_fields(addFields(this))
    , m_messageArea(addLabel(m_fields, "MessageArea"))
    , m_playback(addLabel(m_fields, "PlaybackLabel"))
    , m_rawLog(addLabel(m_fields, "RawLogLabel"))
    , m_statistics(addLabel(m_fields, "StatisticsLabel"))
    , m_playbackTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    m_rawLog->hide();
    m_statistics->hide();
    m_playbackTimer->setInterval(kPlaybackInterval);
    connect(m_playbackTimer, &QTimer::timeout, this, &MainStatusBar::showPlayback);
    showPlayback();
}

// Qt takes the bar's height from its font when a field is added, and the window's font comes later.
void MainStatusBar::changeEvent(QEvent* event)
{
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        reformat();
}

void MainStatusBar::tell(Source source, const QString& text, std::int16_t port)
{
    const auto same
        = [&](const Message& message) { return message.source == source && message.port == port; };
    const auto last = std::find_if(m_messages.begin(), m_messages.end(), same);
    if (last != m_messages.end() && last->text == text)
        return; // told again: it keeps its place
    if (last != m_messages.end())
        m_messages.erase(last);
    m_messages.insert(m_messages.begin(), { source, port, text });
    showMessages();
}

void MainStatusBar::forget(Source source)
{
    std::erase_if(m_messages, [source](const Message& message) { return message.source == source; });
    showMessages();
}

void MainStatusBar::showMessages()
{
    QStringList texts;
    for (const Message& message : m_messages)
        texts << message.text;
    m_messageArea->setTexts(texts);
}

void MainStatusBar::showRawLog(const rawlog::RawLogStatus& status)
{
    std::string text = rawlog::rawLogLabel(status).text();
    if (status.file.open)
        text += " - " + rawlog::rawLogCounts(status);
    showState(m_rawLog, QString::fromStdString(text), status.file.failure());
}

void MainStatusBar::showStatisticsFile(const files::OutputFileStatus& status)
{
    showState(m_statistics, QString::fromStdString(events::statisticsLabel(status).text()), status.failure());
}

void MainStatusBar::portNotice(const platform::PortNotice& notice)
{
    showPlayback(); // a replay's end or stop
    switch (notice.kind) {
    case platform::PortNotice::Kind::Fault:
        showInBox(notice);
        break;
    case platform::PortNotice::Kind::News:
        tell(Source::PortNews, portLine(notice.port, notice.message), notice.port);
        break;
    case platform::PortNotice::Kind::Unavailable:
        forget(Source::Sensor);
        tell(Source::Search, portLine(notice.port, notice.message), notice.port);
        break;
    }
}

void MainStatusBar::sensorFound(const monitor::FoundSensor& found)
{
    forget(Source::Search);
    tell(Source::Sensor,
        QStringLiteral("Sensor on port %1").arg(found.port)
            + (found.device.empty() ? QString()
                                    : QStringLiteral(" (%1)").arg(QString::fromStdString(found.device))));
    showPlayback();
}

void MainStatusBar::linkLost(const common::LocalDateTime& /*time*/)
{
    showPlayback();
}

void MainStatusBar::sensorSilent(const monitor::Silence& silence)
{
    tell(Source::Silence, QString::fromStdString(monitor::silenceText(silence)));
}

void MainStatusBar::dataAgain(const monitor::Silence& silence)
{
    tell(Source::Silence, QString::fromStdString(monitor::dataAgainText(silence)));
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
    }
    showState(m_playback, text, false);
    // A live port or a replay at its end has nothing more to show until the next is found.
    if (playback && playback->progress.fraction < 1) {
        if (!m_playbackTimer->isActive())
            m_playbackTimer->start();
    } else {
        m_playbackTimer->stop();
    }
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
