#include "record/time_text.h"

#include <array>
#include <charconv>

namespace marlume::record {

namespace {

// A calendar or clock field with leading zeros up to the given width.
void appendField(std::string& text, int value, std::size_t width)
{
    auto magnitude = static_cast<unsigned>(value);
    if (value < 0) {
        text += '-';
        magnitude = 0U - magnitude;
    }
    std::array<char, 12> digits {};
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr;
    const auto length = static_cast<std::size_t>(end - digits.data());
    if (length < width)
        text.append(width - length, '0');
    text.append(digits.data(), length);
}

} // namespace

std::string timeText(const platform::LocalDateTime& time, char separator)
{
    std::string text;
    appendField(text, time.hour, 2);
    text += separator;
    appendField(text, time.minute, 2);
    text += separator;
    appendField(text, time.second, 2);
    return text;
}

std::string dateText(const platform::LocalDateTime& date, char separator)
{
    std::string text;
    appendField(text, date.month, 2);
    text += separator;
    appendField(text, date.day, 2);
    text += separator;
    appendField(text, date.year, 4);
    return text;
}

} // namespace marlume::record
