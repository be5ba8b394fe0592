#pragma once

#include "rawlog/raw_log.h"

#include <string>
#include <vector>

namespace marlume::testing {

// Keeps every raw log status it is shown.
class FakeRawLogView final : public rawlog::RawLogView {
public:
    void showRawLog(const rawlog::RawLogStatus& status) override { shown.push_back(status); }
    [[nodiscard]] std::string label() const
    {
        return shown.empty() ? std::string() : rawlog::rawLogLabel(shown.back()).text();
    }

    std::vector<rawlog::RawLogStatus> shown;
};

} // namespace marlume::testing
