#pragma once

#include "common/local_date_time.h"
#include "events/ended_event.h"
#include "link/link_status.h"
#include "platform/serial_control.h"
#include "record/accepted_reading.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace marlume::monitor {

using EndedEvent = events::EndedEvent;

// The sensor the search has found: when, on which port and behind which device.
struct FoundSensor {
    common::LocalDateTime time;
    std::int16_t port = 0;
    std::string device; // in the words of the port map: "/dev/ttyUSB0", "sim"
};

// A found sensor quiet for longer than this is told, unless the program is told another limit.
inline constexpr std::chrono::milliseconds kDefaultSilenceLimit { 2000 };

// A found sensor that has sent no reading for longer than the silence limit while its link stays up.
struct Silence {
    std::int16_t port = 0;
    // When the silence is told, the limit it passed; when readings come again, how long it lasted.
    std::chrono::milliseconds lasted {};
};

// What the monitor tells its faces (the window, the logger's journal) and whoever draws or reports the
// data (the chart, a broker), in values: each face makes its own words of them. Every call comes on the
// user-interface thread.
class MonitorListener {
public:
    virtual ~MonitorListener() = default;
    // Searching, ready on a port, integrating: what the status line shows.
    virtual void linkStatusChanged(const link::LinkStatus& /*status*/) { }
    // Whether the data indicator shows that readings come: it flips with every reading, and turns neutral
    // when they stop.
    virtual void dataIndicatorChanged(bool /*receiving*/) { }
    virtual void readingAccepted(const record::AcceptedReading& /*reading*/) { }
    // After the reading that took the tilt over range (an excursion starts, "over" shows), or the first
    // back in range; a lost link ends an excursion without a word.
    virtual void overRangeChanged(const record::AcceptedReading& /*reading*/) { }
    virtual void eventStarted(std::int32_t /*number*/, const common::LocalDateTime& /*start*/) { }
    virtual void eventEnded(const EndedEvent& /*event*/) { }
    // A complete line that is no reading: counted by whoever keeps readings, never kept.
    virtual void lineRejected() { }
    // Ten failing ticks in a row: the search for the sensor starts again.
    virtual void linkLost(const common::LocalDateTime& /*time*/) { }
    // The search has found the sensor; readings follow.
    virtual void sensorFound(const FoundSensor& /*found*/) { }
    // The sensor has sent nothing for longer than the silence limit: told once per silence.
    virtual void sensorSilent(const Silence& /*silence*/) { }
    // The first reading after such a silence.
    virtual void dataAgain(const Silence& /*silence*/) { }
    // Something about a port's device: why it could not be opened, or how its replay went.
    virtual void portNotice(const platform::PortNotice& /*notice*/) { }
};

} // namespace marlume::monitor
