#pragma once

#include "monitor/monitor_listener.h"

namespace marlume::monitor {

// What the over-range alarm drives: a sound, and a word to the operator who is not looking.
class AlarmOutputs {
public:
    virtual ~AlarmOutputs() = default;
    // Starts the sound, looping until told otherwise, or stops it.
    virtual void setSounding(bool sounding) = 0;
    // The tilt has gone over range: told once for each excursion, whether the sound is on or not.
    virtual void excursionStarted(const record::AcceptedReading& reading) = 0;
};

// The alarm an operator can hear: it sounds from the reading that takes the tilt over range until one
// brings it back, while the sound is on. Acknowledging silences it until then; the next excursion sounds
// again. A lost link stops it: the tilt is no longer known.
class OverRangeAlarm final : public MonitorListener {
public:
    explicit OverRangeAlarm(AlarmOutputs& outputs);

    void setSoundOn(bool on);
    [[nodiscard]] bool soundOn() const { return m_soundOn; }
    // Silences the sound until the tilt is back in range; nothing while it is not over.
    void acknowledge();
    [[nodiscard]] bool sounding() const { return m_sounding; }

    void overRangeChanged(const record::AcceptedReading& reading) override;
    void linkLost(const common::LocalDateTime& time) override;

private:
    void update();

    AlarmOutputs& m_outputs;
    bool m_soundOn = false;
    bool m_overRange = false;
    bool m_acknowledged = false;
    bool m_sounding = false;
};

} // namespace marlume::monitor
