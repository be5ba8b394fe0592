#pragma once

#include "link/link_status.h"

#include <vector>

namespace marlume::testing {

// Records how the link said it stands.
class FakeLinkObserver final : public link::LinkObserver {
public:
    void linkStatusChanged(const link::LinkStatus& status) override { statuses.push_back(status); }
    void dataIndicatorChanged(bool receiving) override { indicator.push_back(receiving); }

    std::vector<link::LinkStatus> statuses;
    std::vector<bool> indicator; // true: readings come
};

inline link::LinkStatus searching(std::int16_t port = 0)
{
    return { link::LinkStatus::Kind::Searching, port };
}

inline link::LinkStatus ready(std::int16_t port)
{
    return { link::LinkStatus::Kind::Ready, port };
}

} // namespace marlume::testing
