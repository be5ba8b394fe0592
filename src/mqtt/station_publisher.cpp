#include "mqtt/station_publisher.h"

#include "mqtt/station_messages.h"

#include <utility>

namespace marlume::mqtt {

StationPublisher::StationPublisher(
    BrokerLink& link, std::string prefix, std::int64_t readingIntervalMs, const platform::Clock& clock)
    : m_link(link)
    , m_prefix(std::move(prefix))
    , m_readingIntervalMs(readingIntervalMs)
    , m_clock(clock)
{
}

void StationPublisher::readingAccepted(const record::AcceptedReading& reading)
{
    const std::int64_t now = m_clock.monotonicMilliseconds();
    if (m_lastReadingMs && now - *m_lastReadingMs < m_readingIntervalMs)
        return;
    m_lastReadingMs = now;
    m_link.publish(m_prefix + "/reading", readingMessage(reading), 0);
}

void StationPublisher::eventEnded(const monitor::EndedEvent& event)
{
    m_link.publish(m_prefix + "/event", eventMessage(event), 1);
}

void StationPublisher::sensorSilent(const monitor::Silence&)
{
    m_link.setStatus(kSilent);
}

void StationPublisher::dataAgain(const monitor::Silence&)
{
    m_link.setStatus(kOnline);
}

} // namespace marlume::mqtt
