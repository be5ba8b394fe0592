#include "app/fair_shares.h"

#include <algorithm>
#include <numeric>

namespace marlume::app {

std::vector<int> fairShares(const std::vector<int>& wanted, int room)
{
    std::vector<std::size_t> modestFirst(wanted.size());
    std::iota(modestFirst.begin(), modestFirst.end(), std::size_t { 0 });
    std::stable_sort(modestFirst.begin(), modestFirst.end(),
        [&wanted](std::size_t left, std::size_t right) { return wanted[left] < wanted[right]; });
    std::vector<int> widths(wanted.size());
    int left = std::max(room, 0);
    for (std::size_t given = 0; given < modestFirst.size(); ++given) {
        const std::size_t field = modestFirst[given];
        const int share = left / static_cast<int>(modestFirst.size() - given);
        widths[field] = std::min(std::max(wanted[field], 0), share);
        left -= widths[field];
    }
    return widths;
}

} // namespace marlume::app
