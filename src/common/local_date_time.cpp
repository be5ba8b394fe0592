#include "common/local_date_time.h"

namespace marlume::common {

namespace {

// Days from 1970-01-01 of a civil date (Howard Hinnant's days_from_civil).
std::int64_t daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

// The civil date of a count of days from 1970-01-01 (Howard Hinnant's civil_from_days).
void civilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
}

} // namespace

std::int64_t localMilliseconds(const LocalDateTime& time)
{
    const std::int64_t days = daysFromCivil(time.year, time.month, time.day);
    return ((days * 24 + time.hour) * 60 + time.minute) * 60'000 + time.second * 1000LL + time.millisecond;
}

LocalDateTime localDateTime(std::int64_t milliseconds)
{
    constexpr std::int64_t kDayMs = 86'400'000;
    const std::int64_t days
        = milliseconds >= 0 ? milliseconds / kDayMs : -((-milliseconds + kDayMs - 1) / kDayMs);
    const std::int64_t ofDay = milliseconds - days * kDayMs;
    LocalDateTime time;
    civilFromDays(days, time.year, time.month, time.day);
    time.hour = static_cast<int>(ofDay / 3'600'000);
    time.minute = static_cast<int>(ofDay / 60'000 % 60);
    time.second = static_cast<int>(ofDay / 1000 % 60);
    time.millisecond = static_cast<int>(ofDay % 1000);
    return time;
}

} // namespace marlume::common
