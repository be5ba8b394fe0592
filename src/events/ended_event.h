#pragma once

#include "common/local_date_time.h"
#include "events/event_statistics.h"

#include <cstdint>

namespace marlume::events {

// A trigger event that has started: its number and the record's start time.
struct StartedEvent {
    std::int32_t number = 0;
    common::LocalDateTime start;
};

// A trigger event that has ended, with the record's own times and averages, as the table, the capture file
// and every report show them, and the statistics of the readings they were taken from.
struct EndedEvent {
    std::int32_t number = 0;
    common::LocalDateTime start;
    common::LocalDateTime end;
    float avgTilt = 0;
    float avgHeading = 0;
    float avgPitch = 0;
    float avgRoll = 0;
    std::int32_t samples = 0;
    EventStatistics statistics {};
};

} // namespace marlume::events
