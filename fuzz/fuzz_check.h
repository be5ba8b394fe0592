#pragma once

#include "record/data_record_class.h"
#include "record_invariants.h"

#include <cstdio>
#include <string>

namespace marlume::fuzz {

// Stops the run with the broken rule, so that libFuzzer keeps the input.
inline void require(bool holds, const std::string& rule)
{
    if (holds)
        return;
    std::fputs(("broken: " + rule + "\n").c_str(), stderr);
    __builtin_trap();
}

inline void requireSoundRecord(const record::DataRecordClass& record)
{
    const std::string broken = brokenRecordInvariant(record);
    require(broken.empty(), broken);
}

} // namespace marlume::fuzz
