#pragma once

#include "fuzz_require.h"
#include "record/data_record_class.h"
#include "record_invariants.h"

#include <string>

namespace marlume::fuzz {

inline void requireSoundRecord(const record::DataRecordClass& record)
{
    const std::string broken = brokenRecordInvariant(record);
    require(broken.empty(), broken);
}

} // namespace marlume::fuzz
