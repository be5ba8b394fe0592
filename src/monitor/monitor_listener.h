#pragma once

#include "platform/clock.h"

#include <cstdint>

namespace marlume::monitor {

// One reading the sensor record accepted, as it stood then.
struct AcceptedReading {
    platform::LocalDateTime time;
    float heading = 0; // whole degrees, as shown
    float pitch = 0;
    float roll = 0;
    float tilt = 0; // rounded to a tenth, as shown
    bool eventCollecting = false; // a trigger event is running
    std::int32_t eventNumber = 0; // of the running event; 0 while none runs
    float sentHeading = 0; // as the sensor sent it, so that a log replays to the same sums
};

// A trigger event that has ended, with its averages as the table and the capture file show them.
struct EndedEvent {
    std::int32_t number = 0;
    platform::LocalDateTime start;
    platform::LocalDateTime end;
    float avgTilt = 0;
    float avgHeading = 0;
    float avgPitch = 0;
    float avgRoll = 0;
    std::int32_t samples = 0;
};

// What the monitor tells whoever keeps or draws the data (a raw log, a chart, the logger's output),
// in numbers rather than label text. Every call comes on the user-interface thread.
class MonitorListener {
public:
    virtual ~MonitorListener() = default;
    virtual void readingAccepted(const AcceptedReading& /*reading*/) { }
    virtual void eventStarted(std::int32_t /*number*/, const platform::LocalDateTime& /*start*/) { }
    virtual void eventEnded(const EndedEvent& /*event*/) { }
    // A complete line that is no reading: counted by whoever keeps readings, never kept.
    virtual void lineRejected() { }
    // Ten failing ticks in a row: the search for the sensor starts again.
    virtual void linkLost(const platform::LocalDateTime& /*time*/) { }
    // The search has found the sensor; readings follow.
    virtual void sensorFound(const platform::LocalDateTime& /*time*/) { }
};

} // namespace marlume::monitor
