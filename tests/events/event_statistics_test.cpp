#include "events/event_statistics.h"

#include "common/local_date_time.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace marlume::events {
namespace {

struct Sample {
    int ms; // after 14:02:11.000
    float tilt;
    float heading;
    float pitch = 0;
    float roll = 0;
};

record::AcceptedReading readingOf(const Sample& sample)
{
    record::AcceptedReading reading;
    reading.time
        = common::localDateTime(common::localMilliseconds({ 2008, 8, 18, 14, 2, 11, 0 }) + sample.ms);
    reading.tilt = sample.tilt;
    reading.heading = sample.heading;
    reading.pitch = sample.pitch;
    reading.roll = sample.roll;
    reading.overRange = std::isfinite(sample.tilt) && sample.tilt > 55;
    return reading;
}

struct StatisticsCase {
    std::string name;
    std::optional<Sample> current; // the reading the event starts from
    std::vector<Sample> collected;
    std::int32_t readings;
    ValueSpread tilt;
    float headingSpread;
    std::int32_t overRange;
    std::int32_t noTilt;
    std::int64_t longestGapMs;
    std::int32_t excursions = 0;
    std::int64_t longestExcursionMs = 0;
};

class EventStatisticsTest : public ::testing::TestWithParam<StatisticsCase> { };

TEST_P(EventStatisticsTest, ComputesWhatTheHandDoes)
{
    const StatisticsCase& c = GetParam();
    EventStatisticsCollector collector;
    const common::LocalDateTime start = readingOf({ 0, 0, 0 }).time;
    const common::LocalDateTime end = readingOf({ 2000, 0, 0 }).time;
    collector.start(c.current ? std::optional(readingOf(*c.current)) : std::nullopt, start);
    for (const Sample& sample : c.collected)
        collector.add(readingOf(sample));
    const EventStatistics statistics = collector.result(7, start, end);
    EXPECT_EQ(statistics.readings, c.readings);
    EXPECT_EQ(statistics.tilt.min, c.tilt.min);
    EXPECT_EQ(statistics.tilt.max, c.tilt.max);
    EXPECT_NEAR(statistics.tilt.standardDeviation, c.tilt.standardDeviation, 1e-9);
    EXPECT_EQ(statistics.headingSpread, c.headingSpread);
    EXPECT_EQ(statistics.overRange, c.overRange);
    EXPECT_EQ(statistics.noTilt, c.noTilt);
    EXPECT_EQ(statistics.longestGapMs, c.longestGapMs);
    EXPECT_EQ(statistics.excursions, c.excursions);
    EXPECT_EQ(statistics.longestExcursionMs, c.longestExcursionMs);
}

constexpr float kNoTilt = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Events, EventStatisticsTest,
    ::testing::ValuesIn(std::vector<StatisticsCase> {
        { "OneReading", Sample { 0, 3.5F, 100 }, {}, 1, { 3.5F, 3.5F, 0 }, 0, 0, 0, 0 },
        { "TextbookDeviation", Sample { 0, 2, 10 },
            { { 100, 4, 10 }, { 200, 4, 10 }, { 300, 4, 10 }, { 400, 5, 10 }, { 500, 5, 10 }, { 600, 7, 10 },
                { 700, 9, 10 } },
            8, { 2, 9, 2 }, 0, 0, 0, 100 },
        { "AcrossNorth", Sample { 0, 1, 359 }, { { 100, 1, 1 }, { 200, 1, -1 } }, 3, { 1, 1, 0 }, 2, 0, 0,
            100 },
        { "OverRangeAndTheLongestGap", Sample { 0, 50, 0 },
            { { 90, 57, 0 }, { 1590, 60, 0 }, { 1690, 40, 0 } }, 4, { 40, 60, std::sqrt(59.1875) }, 0, 2, 0,
            1500, 1, 1600 },
        { "ExcursionsRunningAtTheStartAndAtTheEndLastToThem", Sample { 0, 56, 0 },
            { { 300, 50, 0 }, { 1000, 57, 0 }, { 1500, 56, 0 } }, 4, { 50, 57, std::sqrt(7.6875) }, 0, 3, 0,
            700, 2, 1000 },
        { "ATiltThatCannotBeComputed", Sample { 0, 2, 0 }, { { 100, kNoTilt, 0 }, { 200, 4, 0 } }, 3,
            { 2, 4, 1 }, 0, 0, 1, 100 },
        { "BeforeAnyReadingFromZero", std::nullopt, { { 5000, 4, 90 } }, 2, { 0, 4, 2 }, 90, 0, 0, 0 },
    }),
    testing::CaseName());

TEST(EventStatisticsFile, ALineHoldsTheTimesAsTheRawLogAndNumbersWithAPoint)
{
    EXPECT_TRUE(kEventStatisticsHeader.starts_with("Number,"));
    EventStatistics statistics { 7, { 2008, 8, 18, 14, 2, 11, 250 }, { 2008, 8, 18, 14, 2, 41, 250 }, 301,
        { 2.1F, 57.3F, 4.6249 }, { -1.5F, 3, 0.5 }, { 0, 0.25F, 1.0 / 3 }, 2, 3, 1, 1500, 2, 850 };
    EXPECT_EQ(eventStatisticsLine(statistics),
        "7,2008-08-18T14:02:11.250,2008-08-18T14:02:41.250,301,2.1,57.3,4.62,-1.5,3,0.5,0,0.25,0.33,2,3,1,"
        "1500,2,850\r\n");
}

} // namespace
} // namespace marlume::events
