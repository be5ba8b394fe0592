#include "attitude/attitude_geometry.h"

#include "common/heading_dial.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace marlume::attitude {

namespace {

constexpr double kMargin = 8;

// The largest circle in a box, with room for a figure below it.
Circle circleAbove(double left, double top, double width, double height, double textHeight)
{
    const double radius = std::max(0.0, std::min(width, height - textHeight) / 2 - kMargin);
    return { { left + width / 2, top + (height - textHeight) / 2 }, radius };
}

common::Point figureBelow(const Circle& circle, double textHeight)
{
    return { circle.centre.x, circle.centre.y + circle.radius + kMargin / 2 + textHeight };
}

} // namespace

bool Circle::contains(const common::Point& point) const
{
    return std::hypot(point.x - centre.x, point.y - centre.y) <= radius + 1e-9;
}

AttitudeLayout layoutAttitude(double width, double height, double textHeight)
{
    AttitudeLayout layout;
    if (width >= height) {
        layout.level = circleAbove(0, 0, width / 2, height, textHeight);
        layout.compass = circleAbove(width / 2, 0, width / 2, height, textHeight);
    } else {
        layout.level = circleAbove(0, 0, width, height / 2, textHeight);
        layout.compass = circleAbove(0, height / 2, width, height / 2, textHeight);
    }
    layout.tiltFigure = figureBelow(layout.level, textHeight);
    layout.headingFigure = figureBelow(layout.compass, textHeight);
    return layout;
}

double ringRadius(const Circle& level, float degrees)
{
    return level.radius * std::min(degrees, kLevelRimDegrees) / kLevelRimDegrees;
}

common::Point levelDot(const Circle& level, float pitch, float roll, float tilt)
{
    const double along = std::hypot(roll, pitch);
    if (along == 0 || !std::isfinite(along))
        return level.centre;
    // A tilt that could not be computed goes as far as pitch and roll together.
    const float out = std::isfinite(tilt) ? std::fabs(tilt) : static_cast<float>(along);
    const double distance = ringRadius(level, out);
    return { level.centre.x + distance * roll / along, level.centre.y - distance * pitch / along };
}

common::Point needleTip(const Circle& compass, float heading)
{
    const double angle = common::headingOnDial(heading) * std::numbers::pi / 180;
    return { compass.centre.x + compass.radius * std::sin(angle),
        compass.centre.y - compass.radius * std::cos(angle) };
}

Tone toneOf(const std::optional<record::AcceptedReading>& latest, std::int64_t msSinceReading)
{
    if (!latest || msSinceReading > kStaleAfterMs)
        return Tone::Stale;
    return latest->overRange ? Tone::OverRange : Tone::Normal;
}

std::string tiltFigure(const record::AcceptedReading& reading, char decimalSeparator)
{
    return "Tilt " + common::numberText(reading.tilt, decimalSeparator) + "\u00B0"
        + (reading.overRange ? " over" : "");
}

std::string headingFigure(const record::AcceptedReading& reading)
{
    return "Heading " + common::numberText(common::headingOnDial(reading.heading)) + "\u00B0";
}

} // namespace marlume::attitude
