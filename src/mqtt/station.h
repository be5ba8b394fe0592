#pragma once

#include "mqtt/mosquitto_link.h"
#include "mqtt/station_options.h"
#include "mqtt/station_publisher.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::mqtt {

// A station's reports to its broker, for either program to add to its monitor: the broker link and the
// publisher, the credentials from their file or else the environment.
class Station final {
public:
    Station(const StationOptions& options, const platform::Clock& clock, MosquittoLink::Post post,
        MosquittoLink::Tell tell);

    // Why the station cannot report (no broker, credentials or CA file unusable); empty when it does.
    [[nodiscard]] const std::string& problem() const { return m_problem; }
    // What the monitor tells, once the station has no problem.
    [[nodiscard]] monitor::MonitorListener& listener() { return *m_publisher; }
    // Once the monitor has ended: waits a little for the broker to have what is queued, and ends the
    // link; the events the broker has not acknowledged.
    [[nodiscard]] std::size_t end() { return m_link ? m_link->end() : 0; }

private:
    std::string m_problem;
    std::optional<MosquittoLink> m_link;
    std::optional<StationPublisher> m_publisher;
};

// Makes the station the options ask for, none without --mqtt, as both programs do: what it says is posted to
// the thread of the program's output and told there. A station that cannot report is said on standard
// error after the program's name, and false returned: the program then ends with status 2.
[[nodiscard]] bool startStation(std::optional<Station>& station, const StationOptions& options,
    const platform::Clock& clock, MosquittoLink::Post post, MosquittoLink::Tell tell,
    std::string_view program);

} // namespace marlume::mqtt
