#pragma once

#include "monitor/monitor_listener.h"

#include <cstdint>
#include <optional>

namespace marlume::attitude {

// What the attitude view draws: the latest reading as the monitor tells it, and a count that moves on
// with each, so that the view redraws only when something is new.
class AttitudeModel final : public monitor::MonitorListener {
public:
    void readingAccepted(const record::AcceptedReading& reading) override
    {
        m_latest = reading;
        ++m_revision;
    }

    [[nodiscard]] const std::optional<record::AcceptedReading>& latest() const { return m_latest; }
    [[nodiscard]] std::uint64_t revision() const { return m_revision; }

private:
    std::optional<record::AcceptedReading> m_latest;
    std::uint64_t m_revision = 0;
};

} // namespace marlume::attitude
