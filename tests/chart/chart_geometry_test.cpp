#include "chart/chart_geometry.h"

#include "common/local_date_time.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::chart {
namespace {

constexpr auto kTilt = static_cast<std::size_t>(Series::Tilt);

std::int64_t msAt(int minute, int second, int millisecond = 0)
{
    return common::localMilliseconds({ 2008, 8, 18, 14, minute, second, millisecond });
}

record::AcceptedReading readingAt(std::int64_t ms, float tilt = 10)
{
    record::AcceptedReading reading;
    reading.time = common::localDateTime(ms);
    reading.tilt = tilt;
    reading.heading = 200;
    reading.overRange = tilt > 55;
    return reading;
}

// 400 by 300 pixels, a minute ending at 14:03:11.
ChartFrame minuteFrame(char timeSeparator = ':')
{
    return { 400, 300, 60'000, msAt(3, 11), timeSeparator };
}

std::vector<std::size_t> lineSizes(const ChartScene& scene, std::size_t series)
{
    std::vector<std::size_t> sizes;
    for (const Line& line : scene.lines) {
        if (line.series == series)
            sizes.push_back(line.points.size());
    }
    return sizes;
}

TEST(ChartGeometry, PanesSpanTheirRangesAndHoldValuesBeyondThemAtTheEdge)
{
    const ChartScene scene = layoutChart(ChartModel(), minuteFrame());
    const Box& angles = scene.angles.box;
    EXPECT_EQ(scene.angles.y(90), angles.top);
    EXPECT_EQ(scene.angles.y(-90), angles.bottom());
    EXPECT_DOUBLE_EQ(scene.angles.y(0), angles.top + angles.height / 2);
    EXPECT_EQ(scene.angles.y(400), angles.top) << "held at the edge";
    EXPECT_EQ(scene.heading.y(360), scene.heading.box.top);
    EXPECT_GT(scene.heading.box.top, angles.bottom()) << "heading below the angles";
    EXPECT_LE(scene.heading.box.bottom(), 300);
    EXPECT_EQ(scene.alarmY, scene.angles.y(55));
    EXPECT_EQ(scene.axis.x(msAt(2, 11)), scene.axis.box.left);
    EXPECT_EQ(scene.axis.x(msAt(3, 11)), scene.axis.box.right());
}

struct TimeLabelCase {
    std::string name;
    char separator;
    std::vector<std::string> texts;
};

class ChartTimeLabelTest : public ::testing::TestWithParam<TimeLabelCase> { };

TEST_P(ChartTimeLabelTest, StartMiddleAndEndInsideThePlot)
{
    const ChartScene scene = layoutChart(ChartModel(), minuteFrame(GetParam().separator));
    ASSERT_EQ(scene.timeLabels.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scene.timeLabels[i].text, GetParam().texts[i]);
        EXPECT_GE(scene.timeLabels[i].box.left, scene.axis.box.left);
        EXPECT_LE(scene.timeLabels[i].box.right(), scene.axis.box.right());
        EXPECT_GE(scene.timeLabels[i].box.top, scene.axis.box.bottom());
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, ChartTimeLabelTest,
    ::testing::ValuesIn(std::vector<TimeLabelCase> {
        { "Colon", ':', { "14:02:11", "14:02:41", "14:03:11" } },
        { "LocalesPoint", '.', { "14.02.11", "14.02.41", "14.03.11" } },
    }),
    testing::CaseName());

struct BreakCase {
    std::string name;
    std::vector<std::int64_t> readingsMs; // after 14:02:30
    std::vector<std::pair<std::int64_t, std::int64_t>> gaps; // link lost and found again, after 14:02:30
    std::vector<std::size_t> lines; // points in each line of a series
};

class ChartLineBreakTest : public ::testing::TestWithParam<BreakCase> { };

TEST_P(ChartLineBreakTest, BreaksTheLinesAtSilencesAndLossesOfTheLink)
{
    ChartModel model;
    const std::int64_t origin = msAt(2, 30);
    std::size_t gap = 0;
    for (const std::int64_t ms : GetParam().readingsMs) {
        for (; gap < GetParam().gaps.size() && GetParam().gaps[gap].first < ms; ++gap) {
            model.linkLost(common::localDateTime(origin + GetParam().gaps[gap].first));
            model.sensorFound({ common::localDateTime(origin + GetParam().gaps[gap].second), 1, "sim" });
        }
        model.readingAccepted(readingAt(origin + ms));
    }
    const ChartScene scene = layoutChart(model, minuteFrame());
    for (std::size_t series = 0; series < kSeriesCount; ++series)
        EXPECT_EQ(lineSizes(scene, series), GetParam().lines) << "series " << series;
    EXPECT_EQ(scene.gaps.size(), GetParam().gaps.size());
}

INSTANTIATE_TEST_SUITE_P(Readings, ChartLineBreakTest,
    ::testing::ValuesIn(std::vector<BreakCase> {
        { "Continuous", { 0, 100, 200, 300 }, {}, { 4 } },
        { "OneReadingIsADot", { 0 }, {}, { 1 } },
        { "SilenceOfThreeSecondsIsJoined", { 0, 3000 }, {}, { 2 } },
        { "LongerSilenceBreaks", { 0, 100, 3200, 3300 }, {}, { 2, 2 } },
        { "LostLinkBreaksEvenBriefly", { 0, 100, 900, 1000 }, { { 200, 800 } }, { 2, 2 } },
    }),
    testing::CaseName());

TEST(ChartGeometry, DrawsTheReadingsOfTheSpanAndOneBeforeIt)
{
    ChartModel model;
    for (int second = 0; second < 60; second += 2)
        model.readingAccepted(readingAt(msAt(2, second), second == 58 ? 70.0F : 10.0F)); // 14:02:00 to :58
    const ChartScene scene = layoutChart(model, minuteFrame());
    const std::vector<std::size_t> sizes = lineSizes(scene, kTilt);
    ASSERT_EQ(sizes.size(), 1U);
    EXPECT_EQ(sizes[0], 25U) << "14:02:12 to :58, and :10 entering from the left edge";
    ASSERT_EQ(scene.overDots.size(), 1U);
    EXPECT_EQ(scene.overDots[0].x, scene.axis.x(msAt(2, 58)));
    EXPECT_TRUE(scene.ranges.empty()) << "reading by reading over a minute";
}

TEST(ChartGeometry, LongSpansDrawSecondsWithTheirRangesAndOverMarks)
{
    ChartModel model;
    model.readingAccepted(readingAt(msAt(2, 0, 100), 10));
    model.readingAccepted(readingAt(msAt(2, 0, 600), 70));
    ChartFrame frame = minuteFrame();
    frame.spanMs = 15 * 60'000;
    const ChartScene scene = layoutChart(model, frame);
    EXPECT_EQ(scene.ranges.size(), kSeriesCount) << "one second, one range bar a series";
    EXPECT_EQ(scene.overMarks.size(), 1U);
    EXPECT_TRUE(scene.overDots.empty());
    EXPECT_EQ(lineSizes(scene, kTilt), std::vector<std::size_t> { 1 });
}

TEST(ChartGeometry, EventsBegunBeforeTheSpanStartAtItsEdgeWithTheirNumberInside)
{
    ChartModel model;
    model.eventStarted(7, common::localDateTime(msAt(1, 0)));
    model.eventEnded(
        { 7, common::localDateTime(msAt(1, 0)), common::localDateTime(msAt(2, 41)), 0, 0, 0, 0, 1 });
    model.eventStarted(8, common::localDateTime(msAt(3, 1))); // still collecting at the right edge
    const ChartScene scene = layoutChart(model, minuteFrame());
    ASSERT_EQ(scene.eventBands.size(), 2U);
    EXPECT_EQ(scene.eventBands[0].left, scene.axis.box.left);
    EXPECT_DOUBLE_EQ(scene.eventBands[0].right(), scene.axis.x(msAt(2, 41)));
    EXPECT_DOUBLE_EQ(scene.eventBands[1].right(), scene.axis.box.right());
    ASSERT_EQ(scene.eventNumbers.size(), 2U);
    EXPECT_EQ(scene.eventNumbers[0].text, "007");
    EXPECT_EQ(scene.eventNumbers[1].text, "008");
    EXPECT_GE(scene.eventNumbers[0].box.top, scene.axis.box.top);
}

} // namespace
} // namespace marlume::chart
