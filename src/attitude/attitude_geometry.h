#pragma once

#include "common/pixel_geometry.h"
#include "record/accepted_reading.h"
#include "record/tilt.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace marlume::attitude {

// A circle in the view's pixels.
struct Circle {
    common::Point centre;
    double radius = 0;
    [[nodiscard]] bool contains(const common::Point& point) const;
};

// The bubble level's rings, in degrees of tilt; the last is the alarm's and is drawn red.
inline constexpr std::array<float, 3> kLevelRings { 10, 30, record::kOverRangeTilt };
// The level's rim: a tilt beyond it is drawn on the rim.
inline constexpr float kLevelRimDegrees = 60;
// Without a reading for longer than this the view turns grey.
inline constexpr std::int64_t kStaleAfterMs = 1000;

// Where the parts go: the level and the compass side by side in a wide view, one above the other in a
// tall one, each with its figure below it.
struct AttitudeLayout {
    Circle level;
    Circle compass;
    common::Point tiltFigure; // the centre of the figure's baseline
    common::Point headingFigure;
};
[[nodiscard]] AttitudeLayout layoutAttitude(double width, double height, double textHeight);

[[nodiscard]] double ringRadius(const Circle& level, float degrees);
// The reading's dot in the level: in the direction of roll (right) and pitch (up), as far out as the tilt,
// held on the rim beyond it.
[[nodiscard]] common::Point levelDot(const Circle& level, float pitch, float roll, float tilt);
// The compass needle's tip: north up, turning clockwise.
[[nodiscard]] common::Point needleTip(const Circle& compass, float heading);

// How the view looks: as the reading is, red over range, grey when no reading has come for a second or
// none has come yet.
enum class Tone { Normal, OverRange, Stale };
[[nodiscard]] Tone toneOf(const std::optional<record::AcceptedReading>& latest, std::int64_t msSinceReading);

// "Tilt 12.3°" ("Tilt 57.3° over" past the alarm) and "Heading 355°", the heading on the dial.
[[nodiscard]] std::string tiltFigure(const record::AcceptedReading& reading, char decimalSeparator);
[[nodiscard]] std::string headingFigure(const record::AcceptedReading& reading);

} // namespace marlume::attitude
