#include "common/number_text.h"
#include "record/data_record_class.h"
#include "record/tilt.h"

#include "support/case_name.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace marlume::record {
namespace {

struct TiltCase {
    std::string name;
    float pitch;
    float roll;
    std::string_view stored; // the tilt to the digits given, compared to half a unit of the last one
    float lastTilt;
};

class TiltTable : public ::testing::TestWithParam<TiltCase> { };

TEST_P(TiltTable, StoredAndRoundedTiltMatchTheWorkedValues)
{
    const TiltCase& c = GetParam();
    double expected = 0;
    std::from_chars(c.stored.data(), c.stored.data() + c.stored.size(), expected);
    const std::size_t point = c.stored.find('.');
    const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(c.stored.size() - point - 1);
    const double tolerance = 0.5 * std::pow(10.0, -decimals);

    const float tilt = TiltFromPitchRoll(c.pitch, c.roll);
    EXPECT_NEAR(tilt, expected, tolerance) << "pitch " << c.pitch << " roll " << c.roll;

    testing::FakeClock clock;
    DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString("0," + common::numberText(c.pitch) + ',' + common::numberText(c.roll)));
    EXPECT_EQ(record.LastTilt(), c.lastTilt);
}

INSTANTIATE_TEST_SUITE_P(WorkedValues, TiltTable,
    ::testing::Values(TiltCase { "level", 0, 0, "0", 0 }, TiltCase { "three_four", 3, 4, "5.00293", 5.0F },
        // Not 10: the product with 180 is a single.
        TiltCase { "ten_pitch", 10, 0, "9.999999", 10.0F },
        TiltCase { "minus_ten_roll", 0, -10, "9.999999", 10.0F },
        TiltCase { "fractions", 5.5F, -2.25F, "5.94506", 5.9F },
        TiltCase { "near_display_limit", 30, 40, "54.5163", 54.5F },
        TiltCase { "forty_five_each", 45, 45, "88.4278", 88.4F },
        TiltCase { "right_angle", 90, 0, "90.0014", 90.0F },
        // Past the vertical the limit arcsin(1) counts.
        TiltCase { "sixty_each_limit", 60, 60, "90.0457", 90.0F },
        TiltCase { "ninety_each_limit", 90, 90, "90.0457", 90.0F }),
    testing::CaseName());

struct ArcSinCase {
    std::string name;
    float x;
    double expected;
};

class ArcSinTable : public ::testing::TestWithParam<ArcSinCase> { };

TEST_P(ArcSinTable, GivesTheSingleNearestTheAngle)
{
    EXPECT_EQ(ArcSin(GetParam().x), static_cast<float>(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Values, ArcSinTable,
    ::testing::Values(ArcSinCase { "zero", 0, 0 }, ArcSinCase { "half", 0.5F, std::asin(0.5) },
        ArcSinCase { "minus_half", -0.5F, std::asin(-0.5) }, ArcSinCase { "one", 1, std::numbers::pi / 2 },
        ArcSinCase { "beyond_one", 1.5F, std::numbers::pi / 2 },
        ArcSinCase { "minus_one", -1, -std::numbers::pi / 2 },
        ArcSinCase { "beyond_minus_one", -2, -std::numbers::pi / 2 }),
    testing::CaseName());

} // namespace
} // namespace marlume::record
