#pragma once

#include "monitor/monitor_listener.h"

#include <functional>
#include <optional>
#include <utility>

namespace marlume::attitude {

// What the attitude view draws: the latest reading as the monitor tells it. The view hears of each new
// one, so that it redraws when one comes rather than on a clock of its own.
class AttitudeModel final : public monitor::MonitorListener {
public:
    void readingAccepted(const record::AcceptedReading& reading) override
    {
        m_latest = reading;
        if (m_onReading)
            m_onReading();
    }

    void setOnReading(std::function<void()> onReading) { m_onReading = std::move(onReading); }
    [[nodiscard]] const std::optional<record::AcceptedReading>& latest() const { return m_latest; }

private:
    std::optional<record::AcceptedReading> m_latest;
    std::function<void()> m_onReading;
};

} // namespace marlume::attitude
