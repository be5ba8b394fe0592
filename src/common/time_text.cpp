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
    std::string text = wholeNumberText(time.year, 4);
    text += '-';
    text += wholeNumberText(time.month, 2);
    text += '-';
    text += wholeNumberText(time.day, 2);
    text += 'T';
    text += timeText(time, ':');
    if (withMilliseconds) {
        text += '.';
        text += wholeNumberText(time.millisecond, 3);
    }
    return text;
}

} // namespace marlume::common
