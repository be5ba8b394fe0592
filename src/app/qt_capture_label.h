#pragma once

#include "files/label_text.h"

#include <QString>

class QFontMetrics;

namespace marlume::app {

// The capture label's text as it fits the given width in pixels: the file's name is
// shortened in the middle first, so the reason of a failure stays whole; only a text that
// does not fit even then loses its end.
[[nodiscard]] QString fittedCaptureLabel(
    const files::LabelText& label, const QFontMetrics& metrics, int width);

} // namespace marlume::app
