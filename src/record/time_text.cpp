#include "record/time_text.h"

#include "record/number_text.h"

namespace marlume::record {

std::string timeText(const platform::LocalDateTime& time, char separator)
{
    std::string text = wholeNumberText(time.hour, 2);
    text += separator;
    text += wholeNumberText(time.minute, 2);
    text += separator;
    text += wholeNumberText(time.second, 2);
    return text;
}

std::string dateText(const platform::LocalDateTime& date, char separator)
{
    std::string text = wholeNumberText(date.month, 2);
    text += separator;
    text += wholeNumberText(date.day, 2);
    text += separator;
    text += wholeNumberText(date.year, 4);
    return text;
}

} // namespace marlume::record
