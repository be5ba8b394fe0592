#include "chart/chart_data.h"
#include "chart/chart_view.h"

#include "common/local_date_time.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::chart {
namespace {

std::int64_t msAt(int second, int millisecond = 0)
{
    return common::localMilliseconds({ 2008, 8, 18, 14, 2, second, millisecond });
}

ChartModel modelWithReadings()
{
    ChartModel model;
    const std::vector<std::pair<std::int64_t, float>> readings { { msAt(11, 250), 3.1F },
        { msAt(11, 750), 57.5F }, { msAt(12, 250), 4 }, { msAt(15, 0), 5 } };
    for (const auto& [ms, tilt] : readings) {
        record::AcceptedReading reading;
        reading.time = common::localDateTime(ms);
        reading.tilt = tilt;
        reading.heading = -5;
        reading.pitch = 1.5F;
        reading.roll = -2.5F;
        reading.overRange = tilt > 55;
        model.readingAccepted(reading);
    }
    return model;
}

struct NearCase {
    std::string name;
    std::int64_t ms;
    bool bySecond;
    std::optional<std::int64_t> found;
};

class ReadingNearTest : public ::testing::TestWithParam<NearCase> { };

TEST_P(ReadingNearTest, FindsTheNearestWithinTheTolerance)
{
    const std::optional<ChartPoint> point
        = readingNear(modelWithReadings(), GetParam().ms, 400, GetParam().bySecond);
    EXPECT_EQ(point ? std::optional(point->ms) : std::nullopt, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Moments, ReadingNearTest,
    ::testing::ValuesIn(std::vector<NearCase> {
        { "OnAReading", msAt(11, 250), false, msAt(11, 250) },
        { "NearerTheLater", msAt(11, 600), false, msAt(11, 750) },
        { "TooFarFromAny", msAt(13, 500), false, std::nullopt },
        { "TheSecondsLastReading", msAt(11, 900), true, msAt(11, 750) },
    }),
    testing::CaseName());

TEST(ChartData, TheReadoutGivesTheTimeAndTheFourValues)
{
    const std::optional<ChartPoint> point = readingNear(modelWithReadings(), msAt(11, 750), 0, false);
    ASSERT_TRUE(point);
    EXPECT_EQ(readoutText(*point, ':'), "14:02:11.750  Tilt 57.5 over  Heading -5  Pitch 1.5  Roll -2.5");
}

TEST(ChartData, TheCsvHoldsTheVisibleSpanOnly)
{
    EXPECT_EQ(chartCsv(modelWithReadings(), msAt(11, 500), msAt(15), false),
        "Time,Tilt,Heading,Pitch,Roll\r\n"
        "2008-08-18T14:02:11.750,57.5,-5,1.5,-2.5\r\n"
        "2008-08-18T14:02:12.250,4,-5,1.5,-2.5\r\n"
        "2008-08-18T14:02:15.000,5,-5,1.5,-2.5\r\n");
    EXPECT_EQ(chartCsv(modelWithReadings(), msAt(0), msAt(59), true),
        "Time,Tilt,Heading,Pitch,Roll\r\n"
        "2008-08-18T14:02:11.750,57.5,-5,1.5,-2.5\r\n"
        "2008-08-18T14:02:12.250,4,-5,1.5,-2.5\r\n"
        "2008-08-18T14:02:15.000,5,-5,1.5,-2.5\r\n")
        << "second by second, each second's last reading";
}

struct ViewCase {
    std::string name;
    ChartView view;
    double factor; // 0 for a pan
    double shareOrShiftMs;
    ChartView expected;
};

class ChartViewTest : public ::testing::TestWithParam<ViewCase> { };

TEST_P(ChartViewTest, ZoomsAboutThePointerAndPansWithinWhatIsKept)
{
    const ViewCase& c = GetParam();
    const ChartView result = c.factor > 0
        ? zoomed(c.view, c.factor, c.shareOrShiftMs)
        : panned(c.view, static_cast<std::int64_t>(c.shareOrShiftMs), 100'000, 4'000'000);
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Views, ChartViewTest,
    ::testing::ValuesIn(std::vector<ViewCase> {
        { "InAboutTheRightEdge", { 600'000, 4'000'000 }, 0.5, 1, { 300'000, 4'000'000 } },
        { "InAboutTheMiddle", { 600'000, 4'000'000 }, 0.5, 0.5, { 300'000, 3'850'000 } },
        { "OutToAnHourAtMost", { 3'000'000, 4'000'000 }, 2, 1, { 3'600'000, 4'000'000 } },
        { "InToTenSecondsAtLeast", { 12'000, 4'000'000 }, 0.5, 1, { 10'000, 4'000'000 } },
        { "BackInTime", { 600'000, 4'000'000 }, 0, -1'000'000, { 600'000, 3'000'000 } },
        { "NotPastTheNewest", { 600'000, 4'000'000 }, 0, 50'000, { 600'000, 4'000'000 } },
        { "NotBeforeTheOldest", { 600'000, 4'000'000 }, 0, -9'000'000, { 600'000, 100'000 } },
    }),
    testing::CaseName());

TEST(ChartData, AnEventsTooltipTellsItsStatistics)
{
    ChartModel model;
    events::EventStatistics statistics { 7, {}, {}, 301, { 2.1F, 57.3F, 4.6249 }, { -1.5F, 3, 0.5 },
        { 0, 0.25F, 1.0 / 3 }, 2, 3, 1, 1500, 2, 800 };
    model.eventStarted(7, common::localDateTime(msAt(11)));
    model.eventEnded(
        { 7, common::localDateTime(msAt(11)), common::localDateTime(msAt(41)), 0, 0, 0, 0, 301, statistics });
    model.eventStarted(8, common::localDateTime(msAt(50))); // still collecting: no statistics yet
    ASSERT_NE(eventAt(model, msAt(20)), nullptr);
    EXPECT_EQ(eventAt(model, msAt(20))->statistics, statistics);
    EXPECT_EQ(eventAt(model, msAt(45)), nullptr) << "between the events";
    EXPECT_EQ(eventAt(model, msAt(55))->number, 8);
    EXPECT_EQ(eventStatisticsText(statistics),
        "Event 007: 301 readings\n"
        "Tilt 2.1 to 57.3, deviation 4.62\n"
        "Pitch -1.5 to 3, deviation 0.5\n"
        "Roll 0 to 0.25, deviation 0.33\n"
        "Heading spread 2 degrees\n"
        "3 over range, 1 without a tilt, longest gap 1500 ms\n"
        "2 excursions over range, the longest 800 ms");
    statistics.excursions = 0;
    EXPECT_EQ(eventStatisticsText(statistics).find("excursion"), std::string::npos) << "no line for none";
}

} // namespace
} // namespace marlume::chart
