#pragma once

#include "common/separators.h"

namespace marlume::qt {

// The user's decimal and time separators, as the display writes numbers and times: "," and "." in
// Finnish, "." and ":" in English. One the display cannot take falls back to "." or ":".
[[nodiscard]] common::Separators localeSeparators();

} // namespace marlume::qt
