#pragma once

namespace marlume::common {

// How numbers and times are written on screen: the user's decimal and time separators.
struct Separators {
    char decimal = '.';
    char time = ':';
};

} // namespace marlume::common
