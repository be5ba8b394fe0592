#pragma once

#include "common/local_date_time.h"

#include <cstdint>

namespace marlume::record {

class DataRecordClass;

// One reading the sensor record accepted, stamped once when it came, so that the screen, the raw log
// and the chart all show the same time and values.
struct AcceptedReading {
    common::LocalDateTime time;
    float heading = 0; // whole degrees, as shown
    float pitch = 0;
    float roll = 0;
    float tilt = 0; // rounded to a tenth, as shown
    bool overRange = false;
    std::int32_t eventNumber = 0; // of the event collecting it; 0 while none runs
    float sentHeading = 0; // as the sensor sent it, so that a log replays to the same sums

    friend bool operator==(const AcceptedReading&, const AcceptedReading&) = default;
};

// The record's current reading, taken at the given time by the given event (0 for none).
[[nodiscard]] AcceptedReading acceptedReading(
    const DataRecordClass& record, const common::LocalDateTime& time, std::int32_t eventNumber);

} // namespace marlume::record
