#pragma once

#include "common/number_text.h"
#include "record/data_record_class.h"

#include <cmath>
#include <string>

namespace marlume::fuzz {

// What must hold of the record after any input whatever: finite values only, the
// heading in whole degrees within -359 to 359, the tilt between 0 and a right angle
// (90.05 with 3.14 for pi), no negative count. Empty when all holds,
// otherwise the first broken rule.
[[nodiscard]] inline std::string brokenRecordInvariant(const record::DataRecordClass& record)
{
    const auto isHeading = [](float heading) {
        return std::isfinite(heading) && heading == std::nearbyint(heading) && std::abs(heading) <= 359;
    };
    const auto isTilt = [](float tilt) { return std::isfinite(tilt) && tilt >= 0 && tilt <= 90.1F; };
    if (!isHeading(record.LastHeading()))
        return "LastHeading " + common::numberText(record.LastHeading());
    if (!isHeading(record.avgHeading()))
        return "avgHeading " + common::numberText(record.avgHeading());
    if (!isTilt(record.LastTilt()))
        return "LastTilt " + common::numberText(record.LastTilt());
    if (!isTilt(record.avgTilt()))
        return "avgTilt " + common::numberText(record.avgTilt());
    if (!std::isfinite(record.LastPitch()) || !std::isfinite(record.LastRoll()))
        return "LastPitch or LastRoll not finite";
    if (!std::isfinite(record.avgPitch()) || !std::isfinite(record.avgRoll()))
        return "avgPitch or avgRoll not finite";
    if (record.avgN() < 0 || record.SequenceNumber() < 0)
        return "negative count";
    return {};
}

} // namespace marlume::fuzz
