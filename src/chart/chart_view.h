#pragma once

#include <algorithm>
#include <cstdint>

namespace marlume::chart {

// The stretch of time the plot shows: its length and the moment at its right edge.
struct ChartView {
    static constexpr std::int64_t kShortestSpanMs = 10'000;
    static constexpr std::int64_t kLongestSpanMs = 3'600'000;

    std::int64_t spanMs = 300'000;
    std::int64_t endMs = 0;

    friend bool operator==(const ChartView&, const ChartView&) = default;
};

// Zoomed by factor (above 1 shows more) about the moment at share (0 the left edge, 1 the right) of
// the plot, which stays where it is; the span kept between ten seconds and an hour.
[[nodiscard]] inline ChartView zoomed(const ChartView& view, double factor, double share)
{
    const auto span = static_cast<std::int64_t>(static_cast<double>(view.spanMs) * factor);
    const std::int64_t spanMs = std::clamp(span, ChartView::kShortestSpanMs, ChartView::kLongestSpanMs);
    const auto anchor
        = view.endMs - static_cast<std::int64_t>((1 - share) * static_cast<double>(view.spanMs));
    return { spanMs, anchor + static_cast<std::int64_t>((1 - share) * static_cast<double>(spanMs)) };
}

// Moved by a stretch of time (later for a positive one), its right edge kept between the oldest and
// the newest moment kept.
[[nodiscard]] inline ChartView panned(
    const ChartView& view, std::int64_t byMs, std::int64_t oldestMs, std::int64_t newestMs)
{
    return { view.spanMs, std::clamp(view.endMs + byMs, std::min(oldestMs, newestMs), newestMs) };
}

} // namespace marlume::chart
