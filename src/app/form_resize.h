#pragma once

#include "app/main_form_design.h"

namespace marlume::app {

// The controls that follow the window's size: EventsFrame fills the client area below
// the fixed top part, and its children TableLabel and LogText follow the frame.
struct EventsLayout {
    TwipsRect eventsFrame;
    TwipsRect tableLabel; // relative to EventsFrame
    TwipsRect logText; // relative to EventsFrame
};

inline constexpr EventsLayout kDesignEventsLayout { kEventsFrame.rect, kTableLabel.rect, kLogText.rect };

// The layout after a resize to the given client area. A control refuses a negative
// width or height: the first assignment that would give one ends the rules, and the
// assignments before it stay made (a minimised window changes nothing).
[[nodiscard]] EventsLayout resizeEventsLayout(EventsLayout layout, double scaleWidth, double scaleHeight);

} // namespace marlume::app
