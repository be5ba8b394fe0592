#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::common {

// General decimal text of a single-precision value: at most 7 significant digits,
// no trailing zeros, no separator for whole values ("12", "-3.5", "0.25", "3.162278").
// The one number formatter of the program: display, settings store and capture file.
[[nodiscard]] std::string numberText(float value, char decimalSeparator = '.');

// Reads number text written by numberText (with the same separator) back; nullopt
// when the text is not a number.
[[nodiscard]] std::optional<float> parseNumberText(std::string_view text, char decimalSeparator = '.');

// Decimal text of a whole number with at least minDigits digits, padded with leading zeros
// ("-007" for -7 and 3): event numbers, counts, dates and times.
[[nodiscard]] std::string wholeNumberText(std::int64_t value, std::size_t minDigits = 1);

// A count and the word for what it counts: "1 record", "7 records".
[[nodiscard]] std::string countText(std::int64_t count, std::string_view one, std::string_view many);

} // namespace marlume::common
