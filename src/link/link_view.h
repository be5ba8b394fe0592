#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace marlume::link {

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

// The main window's labels as the sensor link writes them.
class LinkView {
public:
    virtual ~LinkView() = default;
    // Apply the texts in their order, then to each of kColouredLabels the background and then the text
    // colour.
    virtual void showReading(const ReadingDisplay& reading) = 0;
    // False for a face without live labels (a journal): the readings' texts are then never made, which is
    // most of what a reprocessing would spend on each line.
    [[nodiscard]] virtual bool showsReadings() const { return true; }
    // The data indicator's background.
    virtual void setDataIndicator(const Colour& colour) = 0;
    // Centre the status line, then apply the text, colours and bold.
    virtual void showStatus(const StatusDisplay& status) = 0;
};

} // namespace marlume::link
