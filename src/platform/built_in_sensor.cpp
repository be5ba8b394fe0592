#include "platform/built_in_sensor.h"

#include <algorithm>

namespace marlume::platform {

BuiltInSensor::BuiltInSensor(const Clock& clock)
    : m_clock(clock)
{
}

std::optional<std::size_t> BuiltInSensor::available()
{
    advance();
    return m_received.size();
}

std::optional<std::string> BuiltInSensor::read(std::size_t maxCount)
{
    advance();
    const auto count = take(std::min(maxCount, m_received.size()));
    std::string taken = m_received.substr(0, count);
    m_received.erase(0, count);
    return taken;
}

std::int64_t BuiltInSensor::millisecondsSinceLastStep()
{
    const std::int64_t now = m_clock.monotonicMilliseconds();
    const std::int64_t step = m_lastStepAt ? std::max<std::int64_t>(0, now - *m_lastStepAt) : 0;
    m_lastStepAt = now;
    return step;
}

void BuiltInSensor::restartSteps()
{
    m_lastStepAt = m_clock.monotonicMilliseconds();
}

} // namespace marlume::platform
