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

} // namespace

std::int64_t localMilliseconds(const LocalDateTime& time)
{
    const std::int64_t days = daysFromCivil(time.year, time.month, time.day);
    return ((days * 24 + time.hour) * 60 + time.minute) * 60'000 + time.second * 1000LL + time.millisecond;
}

} // namespace marlume::common
