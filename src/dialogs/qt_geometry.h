#pragma once

#include "dialogs/question_layout.h"
#include "platform/twips.h"

#include <QRect>

namespace marlume::dialogs {

// Twips rectangles meet Qt's pixel rectangles here.
[[nodiscard]] inline QRect pixelRect(const TwipsRect& rect)
{
    using platform::twipsToPixels;
    return { twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
        twipsToPixels(rect.height) };
}

[[nodiscard]] inline TwipsRect twipsRect(const QRect& rect)
{
    const auto twips = [](int pixels) { return static_cast<float>(platform::pixelsToTwips(pixels)); };
    return { twips(rect.x()), twips(rect.y()), twips(rect.width()), twips(rect.height()) };
}

} // namespace marlume::dialogs
