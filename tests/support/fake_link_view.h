#pragma once

#include "link/link_view.h"

#include <string>
#include <vector>

namespace marlume::testing {

// Records what the sensor link shows, and keeps the status line's bold as a label would.
class FakeLinkView final : public link::LinkView {
public:
    void showReading(const link::ReadingDisplay& reading) override { readings.push_back(reading); }
    void setDataIndicator(const link::Colour& colour) override { indicator.push_back(colour); }
    void showStatus(const link::StatusDisplay& status) override
    {
        statuses.push_back(status);
        if (status.bold != link::Bold::Unchanged)
            statusBold = status.bold == link::Bold::On;
    }

    [[nodiscard]] std::vector<std::string> statusTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& status : statuses)
            texts.push_back(status.text);
        return texts;
    }

    std::vector<link::ReadingDisplay> readings;
    std::vector<link::Colour> indicator;
    std::vector<link::StatusDisplay> statuses;
    bool statusBold = false;
};

} // namespace marlume::testing
