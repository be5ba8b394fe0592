#include "app/qt_alarm_menu.h"

#include "common/number_text.h"
#include "common/time_text.h"

#include <QAction>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMenu>
#include <QSoundEffect>
#include <QWidget>

#include <utility>

namespace marlume::app {

namespace {

constexpr std::string_view kSection = "Alarm";
constexpr std::string_view kSoundKey = "SoundOnOverRange";

} // namespace

AlarmMenu::AlarmMenu(QMenu& menu, platform::SettingsStore& settings, QWidget& window,
    common::Separators separators, TellOperator tellOperator)
    : QObject(&menu)
    , m_settings(settings)
    , m_window(window)
    , m_separators(separators)
    , m_tellOperator(std::move(tellOperator))
    , m_alarm(*this)
    , m_acknowledgeAction(new QAction(QStringLiteral("&Acknowledge"), &menu))
{
    QAction* soundAction = menu.addAction(QStringLiteral("&Sound on Over-Range"));
    soundAction->setObjectName(QStringLiteral("SoundAction"));
    soundAction->setCheckable(true);
    soundAction->setChecked(m_settings.read(kSection, kSoundKey) == "1");
    setSoundOn(soundAction->isChecked());
    connect(soundAction, &QAction::toggled, this, [this](bool on) {
        setSoundOn(on);
        m_settings.write(kSection, kSoundKey, on ? "1" : "0");
        m_settings.sync();
    });

    m_acknowledgeAction->setObjectName(QStringLiteral("AcknowledgeAction"));
    m_acknowledgeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    m_acknowledgeAction->setShortcutContext(Qt::ApplicationShortcut); // from the chart's window too
    m_acknowledgeAction->setEnabled(false); // while the alarm sounds
    connect(m_acknowledgeAction, &QAction::triggered, this, [this] { m_alarm.acknowledge(); });
    menu.addAction(m_acknowledgeAction);
}

void AlarmMenu::setSoundOn(bool on)
{
    if (on && m_sound == nullptr) {
        m_sound = new QSoundEffect(this);
        connect(m_sound, &QSoundEffect::statusChanged, this, [this] {
            if (m_sound->status() == QSoundEffect::Error)
                m_tellOperator(QStringLiteral("The alarm sound cannot be played"));
        });
        m_sound->setSource(QUrl(QStringLiteral("qrc:/over-range.wav")));
        m_sound->setLoopCount(QSoundEffect::Infinite);
    }
    if (on && QMediaDevices::audioOutputs().isEmpty())
        m_tellOperator(QStringLiteral("No sound device: the over-range alarm shows on screen only"));
    m_alarm.setSoundOn(on);
}

void AlarmMenu::setSounding(bool sounding)
{
    m_acknowledgeAction->setEnabled(sounding);
    if (sounding)
        m_sound->play();
    else if (m_sound != nullptr)
        m_sound->stop();
}

void AlarmMenu::excursionStarted(const record::AcceptedReading& reading)
{
    if (m_window.isActiveWindow())
        return;
    m_notification.show(QStringLiteral("Tilt over range"),
        QString::fromStdString("Tilt " + common::numberText(reading.tilt, m_separators.decimal) + " at "
            + common::timeText(reading.time, m_separators.time)));
}

} // namespace marlume::app
