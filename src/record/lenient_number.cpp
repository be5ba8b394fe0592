#include "record/lenient_number.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace marlume::record {

namespace {

// Walks a field, stepping over blanks and tabs wherever they occur.
class FieldCursor final {
public:
    explicit FieldCursor(std::string_view text)
        : m_text(text)
    {
    }

    // The next character that is not a blank or tab, '\0' at the end.
    [[nodiscard]] char peek()
    {
        while (m_position < m_text.size() && (m_text[m_position] == ' ' || m_text[m_position] == '\t'))
            ++m_position;
        return m_position < m_text.size() ? m_text[m_position] : '\0';
    }
    void advance() { ++m_position; }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
};

[[nodiscard]] bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[nodiscard]] int digitValue(char c, int base)
{
    int value = base;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

std::optional<double> readWholeNumber(FieldCursor& in, int base)
{
    std::uint64_t value = 0;
    for (int digit = digitValue(in.peek(), base); digit >= 0; digit = digitValue(in.peek(), base)) {
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFF'FFFFU)
            return std::nullopt;
        in.advance();
    }
    if (value <= 0xFFFFU)
        return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
}

// Enough digits to round any decimal text to the nearest double: the longest exact
// halfway point between two doubles has 767 significant digits. Of the digits beyond,
// only whether one of them is not zero matters.
constexpr std::size_t kMaxDigits = 768;
// Exponents beyond these give infinity or zero whatever the digits.
constexpr std::int64_t kOverflowExponent = 310;
constexpr std::int64_t kUnderflowExponent = -330;
constexpr std::int64_t kExponentCap = 1'000'000;

// The value of 0.<digits> x 10^exponent when both the digits and the power of ten are
// exact doubles: then one multiplication or division rounds correctly. That covers
// every sentence the sensor sends, without the general reader.
std::optional<double> exactValue(std::string_view digits, std::int64_t exponent)
{
    constexpr std::array<double, 23> kPowersOfTen { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
        1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    constexpr std::size_t kExactDigits = 15;
    const std::int64_t scale = exponent - static_cast<std::int64_t>(digits.size());
    if (digits.size() > kExactDigits || scale < -22 || scale > 22)
        return std::nullopt;
    std::int64_t mantissa = 0;
    for (const char digit : digits)
        mantissa = mantissa * 10 + (digit - '0');
    const auto value = static_cast<double>(mantissa);
    return scale < 0 ? value / kPowersOfTen[static_cast<std::size_t>(-scale)]
                     : value * kPowersOfTen[static_cast<std::size_t>(scale)];
}

std::optional<double> readDecimalNumber(FieldCursor& in)
{
    bool negative = false;
    if (const char sign = in.peek(); sign == '+' || sign == '-') {
        negative = sign == '-';
        in.advance();
    }

    // The number is 0.d1d2d3... x 10^exponent with d1 the first significant digit.
    std::array<char, kMaxDigits> digits; // only the first digitCount are written and read
    std::size_t digitCount = 0;
    bool droppedNonZero = false;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool seenPoint = false;
    for (char c = in.peek();; c = in.peek()) {
        if (isDigit(c)) {
            anyDigit = true;
            if (digitCount == 0 && c == '0') {
                if (seenPoint)
                    --exponent;
            } else {
                if (digitCount < kMaxDigits)
                    digits[digitCount++] = c;
                else
                    droppedNonZero = droppedNonZero || c != '0';
                if (!seenPoint)
                    ++exponent;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        in.advance();
    }

    if (const char e = in.peek(); anyDigit && (e == 'E' || e == 'e')) {
        in.advance();
        bool negativeExponent = false;
        if (const char sign = in.peek(); sign == '+' || sign == '-') {
            negativeExponent = sign == '-';
            in.advance();
        }
        std::int64_t written = 0;
        for (char c = in.peek(); isDigit(c); c = in.peek()) {
            if (written < kExponentCap)
                written = written * 10 + (c - '0');
            in.advance();
        }
        exponent += negativeExponent ? -written : written;
    }

    if (digitCount == 0 || exponent < kUnderflowExponent)
        return 0.0;
    if (exponent > kOverflowExponent)
        return std::nullopt;
    if (const auto exact = exactValue({ digits.data(), digitCount }, exponent))
        return negative ? -*exact : *exact;

    // Canonical text "-0.<digits>e<exponent>" for the correctly rounding reader.
    std::array<char, kMaxDigits + 32> text; // filled up to out
    char* out = text.data();
    if (negative)
        *out++ = '-';
    *out++ = '0';
    *out++ = '.';
    for (std::size_t i = 0; i < digitCount; ++i)
        *out++ = digits[i];
    if (droppedNonZero)
        *out++ = '1';
    *out++ = 'e';
    out = std::to_chars(out, text.data() + text.size(), exponent).ptr;

    double value = 0;
    if (std::from_chars(text.data(), out, value).ec == std::errc::result_out_of_range)
        return exponent > 0 ? std::nullopt : std::optional<double>(0.0);
    return value;
}

} // namespace

std::optional<double> readLenientNumber(std::string_view field)
{
    FieldCursor in(field);
    if (in.peek() != '&')
        return readDecimalNumber(in);
    in.advance();
    switch (in.peek()) {
    case 'H':
    case 'h':
        in.advance();
        return readWholeNumber(in, 16);
    case 'O':
    case 'o':
        in.advance();
        return readWholeNumber(in, 8);
    default:
        return 0.0;
    }
}

} // namespace marlume::record
