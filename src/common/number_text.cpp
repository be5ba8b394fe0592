#include "common/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace marlume::common {

namespace {

constexpr int kSignificantDigits = 7;
// Below 1E-04 and from 1E+07 on the text takes the exponent form "1.234568E+07",
// "1E-05": fixed digits there would be long runs of zeros or invent digits.
constexpr int kSmallestFixedExponent = -4;
constexpr int kLargestFixedExponent = kSignificantDigits - 1;

void appendExponent(std::string& text, int exponent)
{
    text += 'E';
    text += exponent < 0 ? '-' : '+';
    text += wholeNumberText(std::abs(exponent), 2);
}

} // namespace

std::string numberText(float value, char decimalSeparator)
{
    std::array<char, 32> buffer {};
    char* const bufferEnd = buffer.data() + buffer.size();
    if (!std::isfinite(value))
        return { buffer.data(), std::to_chars(buffer.data(), bufferEnd, value).ptr };
    // Negative zero shows as plain 0.
    if (value == 0.0F)
        return "0";

    // Seven significant digits rounded from the exact value, as "-d.dddddde+xx".
    const char* const end = std::to_chars(
        buffer.data(), bufferEnd, value, std::chars_format::scientific, kSignificantDigits - 1)
                                .ptr;
    std::string_view scientific(buffer.data(), end);
    const bool negative = scientific.front() == '-';
    if (negative)
        scientific.remove_prefix(1);
    const std::size_t exponentAt = scientific.find('e');
    std::string_view exponentText = scientific.substr(exponentAt + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::array<char, kSignificantDigits> digits {};
    digits[0] = scientific[0];
    std::copy(scientific.begin() + 2, scientific.begin() + static_cast<std::ptrdiff_t>(exponentAt),
        digits.begin() + 1);
    std::size_t count = digits.size();
    while (count > 1 && digits[count - 1] == '0')
        --count;
    const std::string_view significant(digits.data(), count);

    std::string text;
    if (negative)
        text += '-';
    if (exponent < kSmallestFixedExponent || exponent > kLargestFixedExponent) {
        text += significant.front();
        if (count > 1) {
            text += decimalSeparator;
            text += significant.substr(1);
        }
        appendExponent(text, exponent);
    } else if (exponent < 0) {
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += significant;
    } else {
        const auto wholeDigits = static_cast<std::size_t>(exponent + 1);
        if (count <= wholeDigits) {
            text += significant;
            text.append(wholeDigits - count, '0');
        } else {
            text += significant.substr(0, wholeDigits);
            text += decimalSeparator;
            text += significant.substr(wholeDigits);
        }
    }
    return text;
}

std::optional<float> parseNumberText(std::string_view text, char decimalSeparator)
{
    std::string standard(text);
    if (decimalSeparator != '.') {
        // A full stop is no part of number text written with another separator.
        if (standard.find('.') != std::string::npos)
            return std::nullopt;
        std::replace(standard.begin(), standard.end(), decimalSeparator, '.');
    }
    float value = 0;
    const char* const end = standard.data() + standard.size();
    const auto [stop, error] = std::from_chars(standard.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string countText(std::int64_t count, std::string_view one, std::string_view many)
{
    return wholeNumberText(count) + ' ' + std::string(count == 1 ? one : many);
}

std::string wholeNumberText(std::int64_t value, std::size_t minDigits)
{
    // The magnitude as unsigned, so that the most negative value has one too.
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0)
        magnitude = 0U - magnitude;
    std::array<char, 20> digits {};
    const char* const end = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr;
    const auto length = static_cast<std::size_t>(end - digits.data());
    std::string text = value < 0 ? "-" : "";
    if (length < minDigits)
        text.append(minDigits - length, '0');
    text.append(digits.data(), length);
    return text;
}

} // namespace marlume::common
