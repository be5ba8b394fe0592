#pragma once

#include <string>

namespace marlume::testing {

// Names every row of a TEST_P table after the row's `name` member.
struct CaseName {
    template <typename Info> std::string operator()(const Info& info) const { return info.param.name; }
};

} // namespace marlume::testing
