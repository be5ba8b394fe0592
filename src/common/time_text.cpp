#include "common/time_text.h"

#include "common/number_text.h"

namespace marlume::common {

std::string timeText(const common::LocalDateTime& time, char separator)
{
    std::string text = wholeNumberText(time.hour, 2);
    text += separator;
    text += wholeNumberText(time.minute, 2);
    text += separator;
    text += wholeNumberText(time.second, 2);
    return text;
}

std::string dateText(const common::LocalDateTime& date, char separator)
{
    std::string text = wholeNumberText(date.month, 2);
    text += separator;
    text += wholeNumberText(date.day, 2);
    text += separator;
    text += wholeNumberText(date.year, 4);
    return text;
}

std::string isoDateTimeText(const common::LocalDateTime& time, bool withMilliseconds)
{
    std::string text;
    appendIsoDateTime(text, time, withMilliseconds);
    return text;
}

void appendIsoDateTime(std::string& text, const common::LocalDateTime& time, bool withMilliseconds)
{
    const auto digits = [&text](int value, int count) {
        if (value < 0 || value >= (count == 4 ? 10'000 : count == 3 ? 1'000 : 100)) {
            text += wholeNumberText(value, static_cast<std::size_t>(count));
            return;
        }
        for (int divisor = count == 4 ? 1000 : count == 3 ? 100 : 10; divisor > 0; divisor /= 10)
            text += static_cast<char>('0' + value / divisor % 10);
    };
    digits(time.year, 4);
    text += '-';
    digits(time.month, 2);
    text += '-';
    digits(time.day, 2);
    text += 'T';
    digits(time.hour, 2);
    text += ':';
    digits(time.minute, 2);
    text += ':';
    digits(time.second, 2);
    if (withMilliseconds) {
        text += '.';
        digits(time.millisecond, 3);
    }
}

} // namespace marlume::common
