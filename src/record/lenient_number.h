#pragma once

#include <optional>
#include <string_view>

namespace marlume::record {

// Reads the number at the start of a sentence field as the sensor's fields are read:
// blanks and tabs are skipped wherever they occur; then an optional sign, decimal
// digits with at most one "." as the decimal point (whatever the locale) and an
// optional exponent (E or e, optional sign, digits). Reading stops at the first
// character that does not fit and the number so far is the value; a field that does
// not start with a number reads as 0.
//
// "&H" and "&O" (either case) start a hexadecimal or octal whole number. A value of
// up to 16 bits is taken as a signed 16-bit number ("&HFFFF" is -1), one of up to 32
// bits as a signed 32-bit number ("&H10000" is 65536, "&HFFFFFFFF" is -1); anything
// longer cannot be converted.
//
// nullopt on a conversion failure: a number beyond the double range or a hexadecimal
// or octal number longer than 32 bits. Numbers too small for a double read as 0.
[[nodiscard]] std::optional<double> readLenientNumber(std::string_view field);

} // namespace marlume::record
