#include "attitude/attitude_geometry.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace marlume::attitude {
namespace {

struct SizeCase {
    std::string name;
    double width;
    double height;
};

class AttitudeLayoutTest : public ::testing::TestWithParam<SizeCase> { };

TEST_P(AttitudeLayoutTest, TheLevelTheCompassAndTheirFiguresFitApart)
{
    const auto [name, width, height] = GetParam();
    constexpr double kText = 16;
    const AttitudeLayout layout = layoutAttitude(width, height, kText);
    for (const Circle& circle : { layout.level, layout.compass }) {
        EXPECT_GT(circle.radius, 40);
        EXPECT_GE(circle.centre.x - circle.radius, 0);
        EXPECT_LE(circle.centre.x + circle.radius, width);
        EXPECT_GE(circle.centre.y - circle.radius, 0);
    }
    EXPECT_GT(std::hypot(layout.level.centre.x - layout.compass.centre.x,
                  layout.level.centre.y - layout.compass.centre.y),
        layout.level.radius + layout.compass.radius)
        << "they never overlap";
    for (const auto& [circle, figure] :
        { std::pair(layout.level, layout.tiltFigure), std::pair(layout.compass, layout.headingFigure) }) {
        EXPECT_GE(figure.y - kText, circle.centre.y + circle.radius) << "below its circle";
        EXPECT_LE(figure.y, height) << "inside the window";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, AttitudeLayoutTest,
    ::testing::ValuesIn(std::vector<SizeCase> {
        { "AsItOpens", 480, 280 }, { "Smallest", 320, 200 }, { "Tall", 200, 420 }, { "Wide", 1200, 300 } }),
    testing::CaseName());

constexpr float kNoTilt = std::numeric_limits<float>::quiet_NaN();

struct DotCase {
    std::string name;
    float pitch;
    float roll;
    float tilt;
    common::Point expected; // in a level of radius 60 about the origin: one pixel a degree
};

class LevelDotTest : public ::testing::TestWithParam<DotCase> { };

TEST_P(LevelDotTest, LiesWhereThePitchAndRollPointAsFarOutAsTheTilt)
{
    const DotCase& c = GetParam();
    const common::Point dot = levelDot({ { 0, 0 }, kLevelRimDegrees }, c.pitch, c.roll, c.tilt);
    EXPECT_NEAR(dot.x, c.expected.x, 1e-4);
    EXPECT_NEAR(dot.y, c.expected.y, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Readings, LevelDotTest,
    ::testing::ValuesIn(std::vector<DotCase> {
        { "Level", 0, 0, 0, { 0, 0 } },
        { "RollRight", 0, 30, 30, { 30, 0 } },
        { "PitchUpIsUp", 10, 0, 10, { 0, -10 } },
        { "OnTheAlarmRing", -33, 44, 55, { 44, 33 } },
        { "PastTheRimHeldOnIt", 0, -80, 80, { -60, 0 } },
        { "NoTiltGoesAsFarAsPitchAndRoll", 3, 4, kNoTilt, { 4, -3 } },
    }),
    testing::CaseName());

TEST(AttitudeGeometry, TheNeedlePointsNorthUpAndTurnsClockwise)
{
    const Circle compass { { 100, 100 }, 50 };
    for (const auto& [heading, expected] : std::vector<std::pair<float, common::Point>> {
             { 0, { 100, 50 } }, { 90, { 150, 100 } }, { -90, { 50, 100 } }, { 540, { 100, 150 } } }) {
        const common::Point tip = needleTip(compass, heading);
        EXPECT_NEAR(tip.x, expected.x, 1e-4) << heading;
        EXPECT_NEAR(tip.y, expected.y, 1e-4) << heading;
    }
    EXPECT_EQ(ringRadius(compass, 55), 50 * 55 / 60.0);
}

TEST(AttitudeGeometry, TheLookFollowsTheReadingAndGreysAfterASecondWithoutOne)
{
    record::AcceptedReading inRange;
    record::AcceptedReading over;
    over.overRange = true;
    EXPECT_EQ(toneOf(std::nullopt, 0), Tone::Stale) << "no reading yet";
    EXPECT_EQ(toneOf(inRange, 1000), Tone::Normal);
    EXPECT_EQ(toneOf(over, 0), Tone::OverRange);
    EXPECT_EQ(toneOf(over, 1001), Tone::Stale);
}

TEST(AttitudeGeometry, TheFiguresGiveTheTiltAndTheHeadingOnTheDial)
{
    record::AcceptedReading reading;
    reading.tilt = 12.5F;
    reading.heading = -5;
    EXPECT_EQ(tiltFigure(reading, ','), "Tilt 12,5\u00B0");
    EXPECT_EQ(headingFigure(reading), "Heading 355\u00B0");
    reading.tilt = 57.3F;
    reading.overRange = true;
    EXPECT_EQ(tiltFigure(reading, '.'), "Tilt 57.3\u00B0 over");
}

} // namespace
} // namespace marlume::attitude
