#pragma once

#include "monitor/monitor_listener.h"
#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::mqtt {

// The broker as the station sees it: a message handed over is the link's to deliver.
class BrokerLink {
public:
    virtual ~BrokerLink() = default;
    // QoS 1: delivered at least once, kept while the broker is away; QoS 0: sent if the broker is there.
    virtual void publish(const std::string& topic, const std::string& payload, int qos) = 0;
    // PREFIX/status, retained: sent now if the broker is there, and again at every connection.
    virtual void setStatus(std::string_view status) = 0;
};

// Reports the monitor's data to a broker: each ended event on PREFIX/event (QoS 1), the latest reading
// on PREFIX/reading at most once an interval (QoS 0: a newer one soon follows), and a silent sensor on
// PREFIX/status until its data come again.
class StationPublisher final : public monitor::MonitorListener {
public:
    StationPublisher(
        BrokerLink& link, std::string prefix, std::int64_t readingIntervalMs, const platform::Clock& clock);

    void readingAccepted(const record::AcceptedReading& reading) override;
    void eventEnded(const monitor::EndedEvent& event) override;
    void sensorSilent(const monitor::Silence& silence) override;
    void dataAgain(const monitor::Silence& silence) override;

private:
    BrokerLink& m_link;
    std::string m_prefix;
    std::int64_t m_readingIntervalMs;
    const platform::Clock& m_clock;
    std::optional<std::int64_t> m_lastReadingMs;
};

} // namespace marlume::mqtt
