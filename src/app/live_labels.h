#pragma once

#include "common/separators.h"
#include "link/link_status.h"
#include "record/accepted_reading.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace marlume::app {

enum class SystemColour { WindowBackground, WindowText, ButtonFace };

struct Rgb {
    std::uint32_t value = 0; // 0xRRGGBB
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Colour = std::variant<Rgb, SystemColour>;

inline constexpr Rgb kBlack { 0x000000 };
inline constexpr Rgb kWhite { 0xFFFFFF };
inline constexpr Rgb kRed { 0xFF0000 };
inline constexpr Rgb kGreen { 0x00FF00 };
inline constexpr Rgb kYellow { 0xFFFF00 };

enum class Bold { Unchanged, On, Off };

enum class ValueLabel { Time, Tilt, Heading, Pitch, Roll };

struct LabelText {
    ValueLabel label = ValueLabel::Time;
    std::string text;
    friend bool operator==(const LabelText&, const LabelText&) = default;
};

// The angle labels that take the reading's colours, in the order they take them.
inline constexpr std::array<ValueLabel, 4> kColouredLabels { ValueLabel::Pitch, ValueLabel::Tilt,
    ValueLabel::Roll, ValueLabel::Heading };

// One reading for the row of value labels.
struct ReadingDisplay {
    std::vector<LabelText> texts; // in the order they are shown; the heading is shown first and last
    Colour background = SystemColour::WindowBackground; // for kColouredLabels; the time keeps its colours
    Colour foreground = SystemColour::WindowText;
    friend bool operator==(const ReadingDisplay&, const ReadingDisplay&) = default;
};

// The status line; it is always centred.
struct StatusDisplay {
    std::string text;
    Colour background = SystemColour::ButtonFace;
    Colour foreground = kBlack;
    Bold bold = Bold::Off;
    friend bool operator==(const StatusDisplay&, const StatusDisplay&) = default;
};

// The value labels for an accepted reading, with its time: over range, the four angles read "over" in
// white on red.
[[nodiscard]] ReadingDisplay readingDisplay(
    const record::AcceptedReading& reading, common::Separators separators);

// The status line for the link's status: "Ready" green, "Integrating" bold white on red, "Searching" with
// a point for every port tried yellow with its bold left alone.
[[nodiscard]] StatusDisplay statusDisplay(const link::LinkStatus& status);

// The data indicator's background: green while readings come.
[[nodiscard]] Colour dataIndicatorColour(bool receiving);

} // namespace marlume::app
