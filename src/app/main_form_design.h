#pragma once

#include "common/twips.h"

#include <array>
#include <string_view>

namespace marlume::app {

// The main window as designed: positions and sizes in twips relative to the client
// area (or to EventsFrame for the controls inside it).
using common::TwipsRect;

enum class DesignFont { Form, Verdana825, Verdana825Bold, CourierNew9 };

struct ControlDesign {
    std::string_view name;
    std::string_view caption;
    TwipsRect rect;
    DesignFont font;
};

inline constexpr std::string_view kDesignCaption = "Marlume Tilt Monitor";
inline constexpr double kDesignClientWidth = 7230;
inline constexpr double kDesignClientHeight = 6750;

// Column captions over the value labels, by Label1 index.
inline constexpr std::array<ControlDesign, 7> kLabel1Design { {
    { "Label1(0)", "Heading", { 4560, 120, 855, 255 }, DesignFont::Verdana825 },
    { "Label1(1)", "Pitch", { 5520, 120, 735, 255 }, DesignFont::Verdana825 },
    { "Label1(2)", "Roll", { 6360, 120, 735, 255 }, DesignFont::Verdana825 },
    { "Label1(3)", "Time", { 2280, 120, 1095, 255 }, DesignFont::Verdana825 },
    { "Label1(4)", "Status", { 240, 120, 1455, 255 }, DesignFont::Verdana825 },
    { "Label1(5)", "Data", { 1860, 120, 375, 255 }, DesignFont::Verdana825 },
    { "Label1(6)", "Tilt", { 3480, 120, 855, 255 }, DesignFont::Verdana825 },
} };

inline constexpr ControlDesign kStatusLabel { "StatusLabel", "", { 120, 400, 1695, 255 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kDataLabel { "DataLabel", "", { 1980, 405, 135, 135 }, DesignFont::Form };
inline constexpr ControlDesign kTimeLabel { "TimeLabel", "", { 2280, 405, 1095, 255 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kTiltLabel { "TiltLabel", "", { 3480, 405, 855, 255 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kHeadingLabel { "HeadingLabel", "", { 4560, 405, 855, 255 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kPitchLabel { "PitchLabel", "", { 5520, 405, 735, 255 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kRollLabel { "RollLabel", "", { 6360, 405, 735, 255 },
    DesignFont::Verdana825 };

inline constexpr ControlDesign kCaptureButton { "CaptureButton", "Create Capture File...",
    { 120, 840, 2175, 375 }, DesignFont::Verdana825 };
inline constexpr ControlDesign kTriggerButton { "TriggerButton", "Force Trigger", { 2400, 840, 1575, 375 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kResetSeqButton { "ResetSeqButton", "Reset Seq#", { 4080, 840, 1575, 375 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kExitButton { "ExitButton", "Exit", { 6000, 840, 1095, 375 },
    DesignFont::Verdana825 };
inline constexpr ControlDesign kCaptureLabel { "CaptureLabel", "No file open", { 160, 1320, 4455, 255 },
    DesignFont::Verdana825Bold };

inline constexpr ControlDesign kEventsFrame { "EventsFrame", "Trigger Events", { 120, 1680, 6975, 4575 },
    DesignFont::Form };
inline constexpr ControlDesign kTableLabel { "TableLabel",
    "Seq#|Start Time| End Time |Tilt | Head |Pitch|Roll | N", { 180, 360, 7455, 255 },
    DesignFont::CourierNew9 };
inline constexpr ControlDesign kLogText { "LogText", "", { 120, 600, 6375, 3855 }, DesignFont::CourierNew9 };

} // namespace marlume::app
