#include "record/data_record_class.h"
#include "record/lenient_number.h"

#include "support/case_name.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace marlume::record {
namespace {

struct ParseCase {
    std::string name;
    std::string previous; // a sentence accepted before, empty for none
    std::string line;
    bool accepted;
    float heading;
    float pitch;
    float roll;
    float lastTilt;
};

class ParseTable : public ::testing::TestWithParam<ParseCase> { };

TEST_P(ParseTable, CommitsOrLeavesTheCurrentReading)
{
    const ParseCase& c = GetParam();
    testing::FakeClock clock;
    DataRecordClass record(clock);
    if (!c.previous.empty()) {
        ASSERT_TRUE(record.parseString(c.previous));
    }

    EXPECT_EQ(record.parseString(c.line), c.accepted);
    EXPECT_EQ(record.LastHeading(), c.heading);
    EXPECT_FALSE(record.LastHeading() == 0 && std::signbit(record.LastHeading())) << "negative zero heading";
    EXPECT_EQ(record.LastPitch(), c.pitch);
    EXPECT_EQ(record.LastRoll(), c.roll);
    EXPECT_EQ(record.LastTilt(), c.lastTilt);
}

INSTANTIATE_TEST_SUITE_P(Sentences, ParseTable,
    ::testing::Values(ParseCase { "typical", "", "123.4,-2.5,1.8", true, 123, -2.5F, 1.8F, 3.1F },
        ParseCase { "half_to_even_zero", "", "0.5,0,0", true, 0, 0, 0, 0 },
        ParseCase { "half_to_even_two_from_one_and_a_half", "", "1.5,0,0", true, 2, 0, 0, 0 },
        ParseCase { "half_to_even_two_from_two_and_a_half", "", "2.5,0,0", true, 2, 0, 0, 0 },
        ParseCase { "rounds_up_to_full_circle", "", "359.6,0,0", true, 0, 0, 0, 0 },
        ParseCase { "small_negative_heading_is_plain_zero", "", "-0.4,0,0", true, 0, 0, 0, 0 },
        ParseCase { "one_comma_rejected", "10,1,2", "123.4,-2.5", false, 10, 1, 2, 2.2F },
        ParseCase { "no_comma_rejected", "10,1,2", "123.4", false, 10, 1, 2, 2.2F },
        ParseCase { "leading_comma_rejected", "10,1,2", ",1,2", false, 10, 1, 2, 2.2F },
        ParseCase { "empty_line_rejected", "10,1,2", "", false, 10, 1, 2, 2.2F },
        ParseCase { "blank_heading_reads_zero", "", " ,1,2", true, 0, 1, 2, 2.2F },
        ParseCase { "empty_pitch_reads_zero", "", "7,,2", true, 7, 0, 2, 2.0F },
        ParseCase { "word_reads_zero", "", "$HDG,1,2", true, 0, 1, 2, 2.2F },
        ParseCase { "blanks_inside_number", "", "12 3,4,5", true, 123, 4, 5, 6.4F },
        ParseCase { "tabs_inside_number", "", "\t1\t2 ,3,4", true, 12, 3, 4, 5.0F },
        ParseCase { "exponent", "", "1.5e1,0,0", true, 15, 0, 0, 0 },
        ParseCase { "second_point_ends_number", "", "1.2.3,0,0", true, 1, 0, 0, 0 },
        ParseCase { "rest_of_roll_ignored", "", "10,1,2,99,abc", true, 10, 1, 2, 2.2F },
        ParseCase { "beyond_double_rejected", "10,1,2", "1e400,0,0", false, 10, 1, 2, 2.2F },
        ParseCase { "beyond_single_rejected", "10,1,2", "1e39,0,0", false, 10, 1, 2, 2.2F },
        ParseCase { "negative_beyond_single_rejected", "10,1,2", "0,-1e39,0", false, 10, 1, 2, 2.2F },
        ParseCase { "rounding_to_the_largest_single_accepted", "10,1,2", "0,3.4028235e38,-3.40282347e38",
            true, 0, 3.40282347e38F, -3.40282347e38F, 44.9F },
        ParseCase { "half_a_step_above_the_largest_single_rejected", "10,1,2", "0,3.4028236e38,0", false, 10,
            1, 2, 2.2F },
        ParseCase { "roll_beyond_double_rejected", "10,1,2", "0,0,1e999", false, 10, 1, 2, 2.2F },
        ParseCase { "below_double_reads_zero", "", "1e-400,0,0", true, 0, 0, 0, 0 },
        ParseCase { "hex_and_octal_fields", "", "&H10,&O17,&HFFFF", true, 16, 15, -1, 15.0F },
        ParseCase { "hex_beyond_32_bits_rejected", "10,1,2", "&H100000000,0,0", false, 10, 1, 2, 2.2F },
        ParseCase { "wrap_up_across_north", "350,0,0", "5,0,0", true, 5, 0, 0, 0 },
        ParseCase { "wrap_down_across_north", "10,0,0", "355,0,0", true, -5, 0, 0, 0 },
        ParseCase { "half_turn_exactly_keeps_heading", "", "180,0,0", true, 180, 0, 0, 0 },
        ParseCase { "half_turn_down_exactly_keeps_heading", "", "-180,0,0", true, -180, 0, 0, 0 },
        ParseCase { "past_half_turn_wraps", "", "181,0,0", true, -179, 0, 0, 0 },
        ParseCase { "full_turn_and_more_reduced", "", "725,0,0", true, 5, 0, 0, 0 },
        // The tilt cannot be computed there: its limit counts instead of the old value.
        ParseCase { "tilt_past_vertical_takes_limit", "10,1,2", "0,60,60", true, 0, 60, 60, 90.0F }),
    testing::CaseName());

struct NumberCase {
    std::string name;
    std::string field;
    std::optional<double> value; // nullopt: the field cannot be converted
};

class LenientNumberTable : public ::testing::TestWithParam<NumberCase> { };

TEST_P(LenientNumberTable, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(readLenientNumber(GetParam().field), GetParam().value) << "field \"" << GetParam().field << '"';
}

const std::string kZeros(800, '0');

INSTANTIATE_TEST_SUITE_P(Fields, LenientNumberTable,
    ::testing::Values(NumberCase { "empty", "", 0.0 }, NumberCase { "blanks_only", " \t ", 0.0 },
        NumberCase { "plain", "42", 42.0 }, NumberCase { "leading_blanks_and_sign", "  -1.5", -1.5 },
        NumberCase { "plus_sign", "+3", 3.0 }, NumberCase { "blank_after_sign", "- 2", -2.0 },
        NumberCase { "point_first", ".5", 0.5 }, NumberCase { "sign_and_point_first", "-.5e1", -5.0 },
        NumberCase { "trailing_point", "7.", 7.0 }, NumberCase { "sign_alone", "-", 0.0 },
        NumberCase { "point_alone", ".", 0.0 }, NumberCase { "letter_first", "x12", 0.0 },
        NumberCase { "stops_at_letter", "12x3", 12.0 }, NumberCase { "stops_at_second_sign", "1-2", 1.0 },
        NumberCase { "capital_exponent", "2E3", 2000.0 }, NumberCase { "negative_exponent", "25e-1", 2.5 },
        NumberCase { "exponent_with_blanks", "1 e +2", 100.0 },
        NumberCase { "exponent_without_digits", "3e", 3.0 }, NumberCase { "exponent_sign_only", "3e-", 3.0 },
        NumberCase { "exponent_alone", "e5", 0.0 }, NumberCase { "leading_zeros", "000123.4500", 123.45 },
        NumberCase { "tiny", "0.000001", 1e-6 },
        NumberCase { "largest_double", "1.7976931348623157e308", 1.7976931348623157e308 },
        NumberCase { "beyond_double", "1e309", std::nullopt },
        NumberCase { "negative_beyond_double", "-2e308", std::nullopt },
        NumberCase { "huge_exponent", "1e99999999999999999999", std::nullopt },
        NumberCase { "huge_negative_exponent", "1e-99999999999999999999", 0.0 },
        NumberCase { "below_double", "1e-400", 0.0 }, NumberCase { "zero_with_huge_exponent", "0e999", 0.0 },
        NumberCase { "many_digits_scaled_back", "1" + kZeros + "e-800", 1.0 },
        // 2^53 + 1 lies halfway between two doubles; a far digit decides the side.
        NumberCase { "halfway_to_even", "9007199254740993", 9007199254740992.0 },
        NumberCase { "far_digit_past_halfway", "9007199254740993." + kZeros + "1", 9007199254740994.0 },
        NumberCase { "hex", "&H1F", 31.0 }, NumberCase { "hex_lower_case", "&hff", 255.0 },
        NumberCase { "hex_with_blanks", " & H 1 0", 16.0 },
        NumberCase { "hex_16_bit_negative", "&HFFFF", -1.0 },
        NumberCase { "hex_16_bit_lowest", "&H8000", -32768.0 },
        NumberCase { "hex_17_bits", "&H10000", 65536.0 },
        NumberCase { "hex_32_bit_negative", "&HFFFFFFFF", -1.0 },
        NumberCase { "hex_32_bit_lowest", "&H80000000", -2147483648.0 },
        NumberCase { "hex_leading_zeros", "&H0000000000FFFF", -1.0 },
        NumberCase { "hex_beyond_32_bits", "&H100000000", std::nullopt },
        NumberCase { "hex_stops_at_non_digit", "&H1G", 1.0 }, NumberCase { "hex_without_digits", "&H", 0.0 },
        NumberCase { "octal", "&O17", 15.0 }, NumberCase { "octal_lower_case", "&o777", 511.0 },
        NumberCase { "octal_16_bit_negative", "&O177777", -1.0 },
        NumberCase { "octal_stops_at_eight", "&O78", 7.0 },
        NumberCase { "octal_beyond_32_bits", "&O40000000000", std::nullopt },
        NumberCase { "ampersand_other_letter", "&X12", 0.0 }, NumberCase { "ampersand_alone", "&", 0.0 },
        NumberCase { "sign_before_ampersand", "-&H10", 0.0 }),
    testing::CaseName());

TEST(ParseStringHuge, ReadingsAtTheSingleLimitStayFiniteAndTheHeadingWhole)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString("3.4e38,-3.4e38,3.4e38"));
    EXPECT_EQ(record.LastPitch(), -3.4e38F);
    EXPECT_TRUE(std::isfinite(record.LastTilt()));
    EXPECT_EQ(record.LastHeading(), std::nearbyint(record.LastHeading()));
    EXPECT_LE(std::abs(record.LastHeading()), 359);
}

} // namespace
} // namespace marlume::record
