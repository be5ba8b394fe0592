#pragma once

#include "common/twips.h"

#include <QRect>

namespace marlume::qt {

// Twips rectangles meet Qt's pixel rectangles here.
[[nodiscard]] inline QRect pixelRect(const common::TwipsRect& rect)
{
    using common::twipsToPixels;
    return { twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
        twipsToPixels(rect.height) };
}

[[nodiscard]] inline common::TwipsRect twipsRect(const QRect& rect)
{
    const auto twips = [](int pixels) { return static_cast<float>(common::pixelsToTwips(pixels)); };
    return { twips(rect.x()), twips(rect.y()), twips(rect.width()), twips(rect.height()) };
}

} // namespace marlume::qt
