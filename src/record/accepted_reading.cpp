#include "record/accepted_reading.h"

#include "record/data_record_class.h"
#include "record/tilt.h"

namespace marlume::record {

AcceptedReading acceptedReading(
    const DataRecordClass& record, const common::LocalDateTime& time, std::int32_t eventNumber)
{
    const float tilt = record.LastTilt();
    return { time, record.LastHeading(), record.LastPitch(), record.LastRoll(), tilt, isOverRange(tilt),
        eventNumber, record.SentHeading() };
}

} // namespace marlume::record
