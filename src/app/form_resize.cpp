#include "app/form_resize.h"

namespace marlume::app {

namespace {

bool assignSize(float& size, double value)
{
    if (value < 0)
        return false;
    size = static_cast<float>(value);
    return true;
}

} // namespace

EventsLayout resizeEventsLayout(EventsLayout layout, double scaleWidth, double scaleHeight)
{
    auto& frame = layout.eventsFrame;
    auto& label = layout.tableLabel;
    auto& log = layout.logText;
    // The frame's left also serves as its margin on the right and at the bottom.
    if (!assignSize(frame.width, scaleWidth - 2 * frame.left))
        return layout;
    if (!assignSize(frame.height, scaleHeight - frame.top - frame.left))
        return layout;
    if (!assignSize(label.width, frame.width - 2 * label.left))
        return layout;
    if (!assignSize(log.width, frame.width - 2 * log.left))
        return layout;
    log.left = kLogText.rect.left;
    assignSize(log.height, frame.height - log.top - 2 * frame.left);
    return layout;
}

} // namespace marlume::app
