#include "monitor/over_range_alarm.h"

namespace marlume::monitor {

OverRangeAlarm::OverRangeAlarm(AlarmOutputs& outputs)
    : m_outputs(outputs)
{
}

void OverRangeAlarm::setSoundOn(bool on)
{
    m_soundOn = on;
    update();
}

void OverRangeAlarm::acknowledge()
{
    m_acknowledged = m_overRange;
    update();
}

void OverRangeAlarm::overRangeChanged(const record::AcceptedReading& reading)
{
    m_overRange = reading.overRange;
    m_acknowledged = false;
    if (m_overRange)
        m_outputs.excursionStarted(reading);
    update();
}

void OverRangeAlarm::linkLost(const common::LocalDateTime&)
{
    m_overRange = false;
    m_acknowledged = false;
    update();
}

void OverRangeAlarm::update()
{
    const bool sounding = m_soundOn && m_overRange && !m_acknowledged;
    if (sounding == m_sounding)
        return;
    m_sounding = sounding;
    m_outputs.setSounding(sounding);
}

} // namespace marlume::monitor
