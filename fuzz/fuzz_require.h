#pragma once

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

} // namespace marlume::fuzz
