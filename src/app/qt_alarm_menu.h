#pragma once

#include "common/separators.h"
#include "monitor/over_range_alarm.h"
#include "platform/settings_store.h"
#include "qt/qt_desktop_notification.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QSoundEffect;
class QWidget;

namespace marlume::app {

// The Alarm menu and what it drives: "Sound on Over-Range", kept in the settings store and off until the
// operator turns it on, plays the project's alarm sound in a loop while the tilt is over range;
// Acknowledge silences it until the tilt is back. A desktop notice tells of each excursion that starts
// while the window is not the active one. The sound is loaded when first turned on, and a machine without
// a sound device is told then.
class AlarmMenu final : public QObject, private monitor::AlarmOutputs {
    Q_OBJECT

public:
    // Why the operator will not hear the alarm, for the status bar.
    using TellOperator = std::function<void(const QString& reason)>;

    AlarmMenu(QMenu& menu, platform::SettingsStore& settings, QWidget& window, common::Separators separators,
        TellOperator tellOperator);

    // The monitor tells it of excursions.
    [[nodiscard]] monitor::OverRangeAlarm& alarm() { return m_alarm; }
    // Once the sound has been turned on.
    [[nodiscard]] const QSoundEffect* sound() const { return m_sound; }

private:
    void setSounding(bool sounding) override;
    void excursionStarted(const record::AcceptedReading& reading) override;
    void setSoundOn(bool on);

    platform::SettingsStore& m_settings;
    QWidget& m_window;
    common::Separators m_separators;
    TellOperator m_tellOperator;
    monitor::OverRangeAlarm m_alarm;
    QSoundEffect* m_sound = nullptr;
    qt::DesktopNotification m_notification;
    QAction* m_acknowledgeAction;
};

} // namespace marlume::app
