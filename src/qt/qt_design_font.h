#pragma once

#include <QFont>
#include <QString>

namespace marlume::qt {

// The font a control was designed with, or the closest installed face: DejaVu Sans
// stands in for Verdana and Tahoma, Liberation Mono or DejaVu Sans Mono for Courier New.
[[nodiscard]] QFont designFont(const QString& family, double pointSize, bool bold = false);

} // namespace marlume::qt
