#pragma once

namespace marlume::common {

// A point and a rectangle in a view's pixels, y downwards, without a widget: what the chart and the
// attitude view lay out before they paint.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Box {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    [[nodiscard]] double right() const { return left + width; }
    [[nodiscard]] double bottom() const { return top + height; }
    friend bool operator==(const Box&, const Box&) = default;
};

} // namespace marlume::common
