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
    const common::Box& angles = scene.angles.box;
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
    double width;
    int spanMinutes;
    char separator;
    std::vector<std::string> texts;
};

class ChartTimeLabelTest : public ::testing::TestWithParam<TimeLabelCase> { };

TEST_P(ChartTimeLabelTest, MarksRoundTimesWithLabelsThatFitAndNeverTouch)
{
    ChartFrame frame = minuteFrame(GetParam().separator);
    frame.width = GetParam().width;
    frame.spanMs = GetParam().spanMinutes * 60'000;
    const ChartScene scene = layoutChart(ChartModel(), frame);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < scene.timeLabels.size(); ++i) {
        const common::Box& box = scene.timeLabels[i].box;
        texts.push_back(scene.timeLabels[i].text);
        EXPECT_GE(box.left, 0);
        EXPECT_LE(box.right(), frame.width);
        EXPECT_GE(box.top, scene.axis.box.bottom());
        if (i > 0) {
            EXPECT_LT(scene.timeLabels[i - 1].box.right(), box.left) << texts.back();
        }
    }
    EXPECT_EQ(texts, GetParam().texts);
    EXPECT_GE(scene.timeMarks.size(), texts.size());
}

// Every span ends at 14:03:11.
INSTANTIATE_TEST_SUITE_P(Spans, ChartTimeLabelTest,
    ::testing::ValuesIn(std::vector<TimeLabelCase> {
        { "AMinuteInQuarters", 400, 1, ':', { "14:02:15", "14:02:30", "14:02:45", "14:03:00" } },
        { "TheLocalesSeparator", 400, 1, '.', { "14.02.15", "14.02.30", "14.02.45", "14.03.00" } },
        { "AMinuteWideInTens", 720, 1, ':',
            { "14:02:20", "14:02:30", "14:02:40", "14:02:50", "14:03:00" } }, // 14:03:10 would leave the plot
        { "FifteenMinutesInTwos", 720, 15, ':',
            { "13:50", "13:52", "13:54", "13:56", "13:58", "14:00", "14:02" } },
        { "AnHourInFives", 720, 60, ':',
            { "13:05", "13:10", "13:15", "13:20", "13:25", "13:30", "13:35", "13:40", "13:45", "13:50",
                "13:55", "14:00" } },
        { "AnHourNarrowInQuarters", 300, 60, ':', { "13:15", "13:30", "13:45", "14:00" } },
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
    EXPECT_TRUE(scene.overRangeEvents.empty()) << "no reading of event 7 went over range";
    ASSERT_EQ(scene.eventNumbers.size(), 2U);
    EXPECT_EQ(scene.eventNumbers[0].text, "007");
    EXPECT_EQ(scene.eventNumbers[1].text, "008");
    EXPECT_GE(scene.eventNumbers[0].box.top, scene.axis.box.top);
}

struct LabelRoomCase {
    std::string name;
    double width;
    double height;
};

class ChartLabelRoomTest : public ::testing::TestWithParam<LabelRoomCase> { };

TEST_P(ChartLabelRoomTest, NoTwoLabelsTouchAndEveryOneStaysInsideTheFrame)
{
    ChartModel model;
    for (int n = 0; n < 12; ++n) { // ten-second events, five seconds apart, numbered up to 010 and beyond
        model.eventStarted(n + 1, common::localDateTime(msAt(2, 11) + n * 5'000));
        model.eventEnded({ n + 1, common::localDateTime(msAt(2, 11) + n * 5'000),
            common::localDateTime(msAt(2, 13) + n * 5'000), 0, 0, 0, 0, 1 });
    }
    ChartFrame frame = minuteFrame();
    frame.width = GetParam().width;
    frame.height = GetParam().height;
    const ChartScene scene = layoutChart(model, frame);
    std::vector<const Label*> labels;
    for (const std::vector<Label>* group : { &scene.valueLabels, &scene.timeLabels, &scene.eventNumbers })
        for (const Label& label : *group)
            labels.push_back(&label);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const common::Box& box = labels[i]->box;
        EXPECT_GE(box.left, 0) << labels[i]->text;
        EXPECT_LE(box.right(), frame.width) << labels[i]->text;
        EXPECT_LE(box.bottom(), frame.height) << labels[i]->text;
        for (std::size_t j = 0; j < i; ++j) {
            const common::Box& other = labels[j]->box;
            EXPECT_FALSE(box.left < other.right() && other.left < box.right() && box.top < other.bottom()
                && other.top < box.bottom())
                << labels[i]->text << " touches " << labels[j]->text;
        }
    }
    ASSERT_FALSE(scene.eventNumbers.empty());
    EXPECT_EQ(scene.eventNumbers.back().text, "012") << "the newest keeps its number";
    EXPECT_GE(scene.eventNumbers.back().box.top, scene.angles.box.top + 5) << "clear of the over-range marks";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ChartLabelRoomTest,
    ::testing::ValuesIn(std::vector<LabelRoomCase> {
        { "Roomy", 900, 500 },
        { "Default", 400, 300 },
        { "Smallest", 300, 200 },
    }),
    testing::CaseName());

struct HeadingCase {
    std::string name;
    std::vector<float> headings; // as the record shows them, a reading every 100 ms
    std::vector<std::size_t> lines;
    float firstOnDial;
};

class ChartHeadingTest : public ::testing::TestWithParam<HeadingCase> { };

TEST_P(ChartHeadingTest, DrawsTheHeadingFromZeroTo360BrokenWhereItPassesNorth)
{
    ChartModel model;
    for (std::size_t i = 0; i < GetParam().headings.size(); ++i) {
        record::AcceptedReading reading = readingAt(msAt(3, 0) + static_cast<std::int64_t>(i) * 100);
        reading.heading = GetParam().headings[i];
        model.readingAccepted(reading);
    }
    const ChartScene scene = layoutChart(model, minuteFrame());
    constexpr auto kHeading = static_cast<std::size_t>(Series::Heading);
    EXPECT_EQ(lineSizes(scene, kHeading), GetParam().lines);
    for (const Line& line : scene.lines) {
        if (line.series == kHeading) {
            EXPECT_DOUBLE_EQ(line.points.front().y, scene.heading.y(GetParam().firstOnDial));
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Headings, ChartHeadingTest,
    ::testing::ValuesIn(std::vector<HeadingCase> {
        { "Steady", { 100, 101, 102 }, { 3 }, 100 },
        { "PastNorthUpwards", { 358, 359, 0, 1 }, { 2, 2 }, 358 },
        { "NegativeHeadingsOnTheDial", { -5, -4, -3 }, { 3 }, 355 },
        { "BelowNorthAndBack", { 2, 0, -2, 1 }, { 2, 1, 1 }, 2 },
    }),
    testing::CaseName());

TEST(ChartGeometry, MarksSilencesWithTheLinkUpAndNamesBandsOnlyWhereTheTextFits)
{
    ChartModel model;
    model.readingAccepted(readingAt(msAt(2, 20)));
    model.readingAccepted(readingAt(msAt(2, 40))); // 20 s without a reading
    model.readingAccepted(readingAt(msAt(2, 40, 900))); // under a second: no mark
    model.linkLost(common::localDateTime(msAt(2, 50)));
    model.sensorFound({ common::localDateTime(msAt(2, 50, 500)), 1, "sim" }); // half a second down
    model.readingAccepted(readingAt(msAt(2, 51)));
    const ChartScene scene = layoutChart(model, minuteFrame()); // ends at 14:03:11, 20 s after the last
    ASSERT_EQ(scene.silences.size(), 2U) << "between readings, and since the last one";
    EXPECT_DOUBLE_EQ(scene.silences[0].box.left, scene.axis.x(msAt(2, 20)));
    EXPECT_DOUBLE_EQ(scene.silences[0].box.right(), scene.axis.x(msAt(2, 40)));
    EXPECT_EQ(scene.silences[0].text, "no data");
    EXPECT_DOUBLE_EQ(scene.silences[1].box.right(), scene.axis.box.right());
    ASSERT_EQ(scene.gaps.size(), 1U);
    EXPECT_EQ(scene.gaps[0].text, "") << "too narrow for its text: the legend tells it";
}

TEST(ChartGeometry, AHiddenSeriesDrawsNothing)
{
    ChartModel model;
    model.readingAccepted(readingAt(msAt(3, 0), 70));
    model.readingAccepted(readingAt(msAt(3, 1), 70));
    ChartFrame frame = minuteFrame();
    frame.shown = { false, true, false, true }; // heading and roll
    const ChartScene scene = layoutChart(model, frame);
    EXPECT_EQ(lineSizes(scene, kTilt), std::vector<std::size_t> {});
    EXPECT_EQ(lineSizes(scene, static_cast<std::size_t>(Series::Roll)), std::vector<std::size_t> { 2 });
    EXPECT_TRUE(scene.overDots.empty()) << "the over-range dots sit on the tilt";
}

TEST(ChartGeometry, ASecondThatPassesNorthSpansItsFewDegreesInTwoBarsNotTheWholeDial)
{
    ChartModel model;
    int millisecond = 0;
    for (const float heading : { 358.0F, 359.0F, 0.0F, 1.0F }) {
        record::AcceptedReading reading = readingAt(msAt(3, 0, millisecond += 200));
        reading.heading = heading;
        model.readingAccepted(reading);
    }
    constexpr auto kHeading = static_cast<std::size_t>(Series::Heading);
    EXPECT_EQ(model.seconds()[0].high[kHeading] - model.seconds()[0].low[kHeading], 3);
    ChartFrame frame = minuteFrame();
    frame.spanMs = 15 * 60'000;
    const ChartScene scene = layoutChart(model, frame);
    std::vector<std::pair<double, double>> bars;
    for (const RangeBar& range : scene.ranges) {
        if (range.series == kHeading)
            bars.emplace_back(range.from.y, range.to.y);
    }
    const std::vector<std::pair<double, double>> expected { { scene.heading.y(358), scene.heading.y(360) },
        { scene.heading.y(0), scene.heading.y(1) } };
    EXPECT_EQ(bars, expected);
}

TEST(ChartGeometry, AnEventWithReadingsOverRangeIsMarkedAlongItsBand)
{
    ChartModel model;
    events::EventStatistics statistics;
    statistics.overRange = 2;
    model.eventStarted(3, common::localDateTime(msAt(2, 20)));
    model.eventEnded({ 3, common::localDateTime(msAt(2, 20)), common::localDateTime(msAt(2, 30)), 0, 0, 0, 0,
        5, statistics });
    const ChartScene scene = layoutChart(model, minuteFrame());
    ASSERT_EQ(scene.overRangeEvents.size(), 1U);
    EXPECT_DOUBLE_EQ(scene.overRangeEvents[0].left, scene.eventBands[0].left);
    EXPECT_DOUBLE_EQ(scene.overRangeEvents[0].width, scene.eventBands[0].width);
    EXPECT_DOUBLE_EQ(scene.overRangeEvents[0].bottom(), scene.angles.box.bottom());
}

} // namespace
} // namespace marlume::chart
