#include "common/number_text.h"
#include "common/time_text.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace marlume::common {
namespace {

struct TextCase {
    std::string name;
    float value;
    char separator;
    std::string text;
};

class NumberTextTable : public ::testing::TestWithParam<TextCase> { };

TEST_P(NumberTextTable, WritesTheGeneralDecimalText)
{
    EXPECT_EQ(numberText(GetParam().value, GetParam().separator), GetParam().text);
}

TEST_P(NumberTextTable, ReadsItsOwnTextBack)
{
    const TextCase& c = GetParam();
    const std::optional<float> back = parseNumberText(c.text, c.separator);
    ASSERT_TRUE(back);
    // Seven digits keep every value shown here; the others come back to within a unit of the seventh.
    EXPECT_EQ(numberText(*back, c.separator), c.text);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberTextTable,
    ::testing::Values(TextCase { "whole", 12, '.', "12" }, TextCase { "negative_half", -3.5F, '.', "-3.5" },
        TextCase { "quarter", 0.25F, '.', "0.25" }, TextCase { "seven_digits", 3.162278F, '.', "3.162278" },
        TextCase { "twips", 1440, '.', "1440" }, TextCase { "negative_twips", -120, '.', "-120" },
        TextCase { "zero", 0, '.', "0" }, TextCase { "negative_zero", -0.0F, '.', "0" },
        TextCase { "tenth", 0.1F, '.', "0.1" }, TextCase { "average", 2.2F, '.', "2.2" },
        TextCase { "third_rounded_to_seven", 1.0F / 3, '.', "0.3333333" },
        TextCase { "rounds_up_at_seventh", 2.0F / 3, '.', "0.6666667" },
        TextCase { "tilt_below_ten", 9.999999F, '.', "9.999999" },
        TextCase { "tilt_stored", 5.945059F, '.', "5.945059" },
        TextCase { "trailing_zeros_dropped", 1.5F, '.', "1.5" },
        TextCase { "largest_fixed", 9999999, '.', "9999999" },
        TextCase { "fraction_of_large", 123456.7F, '.', "123456.7" },
        TextCase { "seven_digits_whole", 1234567, '.', "1234567" },
        TextCase { "ten_million", 1e7F, '.', "1E+07" },
        TextCase { "above_ten_million", 12345678, '.', "1.234568E+07" },
        TextCase { "smallest_fixed", 0.0001F, '.', "0.0001" },
        TextCase { "small_fixed_digits", 0.00012345F, '.', "0.00012345" },
        TextCase { "below_smallest_fixed", 0.00001F, '.', "1E-05" },
        TextCase { "tiny_with_digits", 0.000012345678F, '.', "1.234568E-05" },
        TextCase { "negative_tiny", -0.00001F, '.', "-1E-05" },
        TextCase { "largest_single", std::numeric_limits<float>::max(), '.', "3.402823E+38" },
        TextCase { "smallest_single", std::numeric_limits<float>::denorm_min(), '.', "1.401298E-45" },
        TextCase { "comma_separator", -3.5F, ',', "-3,5" },
        TextCase { "comma_below_one", 0.25F, ',', "0,25" }, TextCase { "comma_whole", 1440, ',', "1440" },
        TextCase { "comma_exponent", 0.000015F, ',', "1,5E-05" }),
    testing::CaseName());

struct ParseTextCase {
    std::string name;
    std::string text;
    char separator;
    std::optional<float> value;
};

class ParseNumberTextTable : public ::testing::TestWithParam<ParseTextCase> { };

TEST_P(ParseNumberTextTable, ReadsNumbersAndRefusesTheRest)
{
    EXPECT_EQ(parseNumberText(GetParam().text, GetParam().separator), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseNumberTextTable,
    ::testing::Values(ParseTextCase { "whole", "1440", '.', 1440.0F },
        ParseTextCase { "negative", "-120", '.', -120.0F },
        ParseTextCase { "comma_fraction", "-3,5", ',', -3.5F },
        ParseTextCase { "exponent", "1.234568E+07", '.', 12345680.0F },
        ParseTextCase { "empty", "", '.', std::nullopt }, ParseTextCase { "word", "abc", '.', std::nullopt },
        ParseTextCase { "point_with_comma_separator", "1.5", ',', std::nullopt },
        ParseTextCase { "comma_with_point_separator", "1,5", '.', std::nullopt },
        ParseTextCase { "trailing_blank", "12 ", '.', std::nullopt },
        ParseTextCase { "leading_blank", " 12", '.', std::nullopt },
        ParseTextCase { "trailing_letters", "12px", '.', std::nullopt },
        ParseTextCase { "infinity", "inf", '.', std::nullopt },
        ParseTextCase { "not_a_number", "nan", '.', std::nullopt },
        ParseTextCase { "beyond_single", "1e39", '.', std::nullopt },
        ParseTextCase { "double_sign", "--1", '.', std::nullopt }),
    testing::CaseName());

struct WholeCase {
    std::string name;
    std::int64_t value;
    std::size_t minDigits;
    std::string text;
};

class WholeNumberTextTable : public ::testing::TestWithParam<WholeCase> { };

TEST_P(WholeNumberTextTable, PadsWithLeadingZerosAfterTheSign)
{
    EXPECT_EQ(wholeNumberText(GetParam().value, GetParam().minDigits), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, WholeNumberTextTable,
    ::testing::Values(WholeCase { "Zero", 0, 1, "0" }, WholeCase { "PaddedToThree", 7, 3, "007" },
        WholeCase { "NegativePadded", -7, 3, "-007" }, WholeCase { "WiderThanItsPlaces", 1000, 3, "1000" },
        WholeCase { "LargestLong", std::numeric_limits<std::int64_t>::max(), 1, "9223372036854775807" },
        WholeCase { "SmallestLong", std::numeric_limits<std::int64_t>::min(), 1, "-9223372036854775808" }),
    testing::CaseName());

struct TimeCase {
    std::string name;
    common::LocalDateTime time;
    char separator;
    std::string text;
};

class TimeTextTable : public ::testing::TestWithParam<TimeCase> { };

TEST_P(TimeTextTable, TwoDigitsEachOnATwentyFourHourClock)
{
    EXPECT_EQ(timeText(GetParam().time, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Times, TimeTextTable,
    ::testing::Values(TimeCase { "morning", { 2008, 8, 18, 9, 5, 3, 0 }, ':', "09:05:03" },
        TimeCase { "evening", { 2008, 8, 18, 21, 5, 3, 999 }, ':', "21:05:03" },
        TimeCase { "midnight", { 2008, 8, 18, 0, 0, 0, 0 }, ':', "00:00:00" },
        TimeCase { "last_second", { 2008, 8, 18, 23, 59, 59, 0 }, ':', "23:59:59" },
        TimeCase { "point_separator", { 2008, 8, 18, 14, 2, 11, 0 }, '.', "14.02.11" }),
    testing::CaseName());

class DateTextTable : public ::testing::TestWithParam<TimeCase> { };

TEST_P(DateTextTable, MonthDayAndFourDigitYear)
{
    EXPECT_EQ(dateText(GetParam().time, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Dates, DateTextTable,
    ::testing::Values(TimeCase { "summer", { 2008, 8, 18, 14, 2, 11, 0 }, '/', "08/18/2008" },
        TimeCase { "year_end", { 2008, 12, 31, 23, 59, 50, 0 }, '/', "12/31/2008" },
        TimeCase { "early_year", { 987, 1, 2, 0, 0, 0, 0 }, '/', "01/02/0987" },
        TimeCase { "dash_separator", { 2024, 2, 29, 0, 0, 0, 0 }, '-', "02-29-2024" }),
    testing::CaseName());

struct IsoCase {
    std::string name;
    common::LocalDateTime time;
    bool withMilliseconds;
    std::string text;
};

class IsoDateTimeTextTable : public ::testing::TestWithParam<IsoCase> { };

TEST_P(IsoDateTimeTextTable, DateTTimeWithLeadingZeros)
{
    EXPECT_EQ(isoDateTimeText(GetParam().time, GetParam().withMilliseconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Stamps, IsoDateTimeTextTable,
    ::testing::Values(IsoCase { "seconds", { 2008, 8, 18, 14, 2, 11, 7 }, false, "2008-08-18T14:02:11" },
        IsoCase { "milliseconds", { 2008, 8, 18, 14, 2, 11, 7 }, true, "2008-08-18T14:02:11.007" },
        IsoCase { "early_year_and_midnight", { 987, 1, 2, 0, 0, 0, 999 }, true, "0987-01-02T00:00:00.999" }),
    testing::CaseName());

} // namespace
} // namespace marlume::common
