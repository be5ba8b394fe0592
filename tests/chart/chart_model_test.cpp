#include "chart/chart_model.h"

#include "common/local_date_time.h"
#include "record/tilt.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::chart {
namespace {

struct RingCase {
    std::string name;
    std::size_t capacity;
    int pushed; // values 1, 2, ... pushed in this order
    std::vector<int> kept; // oldest first
};

class RingBufferTest : public ::testing::TestWithParam<RingCase> { };

TEST_P(RingBufferTest, KeepsTheLatestValuesOldestFirst)
{
    RingBuffer<int> ring(GetParam().capacity);
    for (int value = 1; value <= GetParam().pushed; ++value)
        ring.push(value);
    std::vector<int> kept;
    for (std::size_t i = 0; i < ring.size(); ++i)
        kept.push_back(ring[i]);
    EXPECT_EQ(kept, GetParam().kept);
    EXPECT_EQ(ring.capacity(), GetParam().capacity);
}

INSTANTIATE_TEST_SUITE_P(Rings, RingBufferTest,
    ::testing::ValuesIn(std::vector<RingCase> {
        { "Empty", 3, 0, {} },
        { "NotYetFull", 3, 2, { 1, 2 } },
        { "JustFull", 3, 3, { 1, 2, 3 } },
        { "OneOver", 3, 4, { 2, 3, 4 } },
        { "WrappedTwice", 3, 8, { 6, 7, 8 } },
        { "SizeOne", 1, 5, { 5 } },
    }),
    testing::CaseName());

record::AcceptedReading readingAt(int second, int millisecond, float tilt, std::int32_t event = 0)
{
    record::AcceptedReading reading;
    reading.time = { 2008, 8, 18, 14, 2, second, millisecond };
    reading.tilt = tilt;
    reading.heading = 100 + tilt;
    reading.pitch = tilt / 2;
    reading.roll = -tilt;
    reading.overRange = record::isOverRange(tilt);
    reading.eventNumber = event;
    return reading;
}

std::int64_t msAt(int second, int millisecond)
{
    return common::localMilliseconds({ 2008, 8, 18, 14, 2, second, millisecond });
}

TEST(ChartModelTest, KeepsReadingsOneByOneAndSecondBySecondWithTheirRanges)
{
    ChartModel model;
    model.readingAccepted(readingAt(10, 100, 4));
    model.readingAccepted(readingAt(10, 600, 60)); // over the alarm
    model.readingAccepted(readingAt(10, 900, 2));
    model.readingAccepted(readingAt(11, 50, 8));

    ASSERT_EQ(model.points().size(), 4U);
    EXPECT_EQ(model.points()[1].ms, msAt(10, 600));
    EXPECT_TRUE(model.points()[1].over);
    EXPECT_FALSE(model.points()[0].over);
    EXPECT_EQ(model.points()[3].values[static_cast<std::size_t>(Series::Heading)], 108);

    ASSERT_EQ(model.seconds().size(), 2U);
    const ChartSecond& first = model.seconds()[0];
    const auto tilt = static_cast<std::size_t>(Series::Tilt);
    const auto roll = static_cast<std::size_t>(Series::Roll);
    EXPECT_EQ(first.count, 3);
    EXPECT_EQ(first.low[tilt], 2);
    EXPECT_EQ(first.high[tilt], 60);
    EXPECT_EQ(first.last[tilt], 2);
    EXPECT_EQ(first.low[roll], -60);
    EXPECT_TRUE(first.over);
    EXPECT_FALSE(model.seconds()[1].over);
    EXPECT_EQ(model.latestMs(), msAt(11, 50));
}

TEST(ChartModelTest, MemoryStaysFlatOverDays)
{
    ChartModel model(50, 10, 4);
    for (int i = 0; i < 200; ++i) {
        record::AcceptedReading reading = readingAt(0, 0, 1);
        reading.time = { 2008, 8, 18 + i / 24, i % 24, 0, 0, 0 }; // an hour apart
        model.readingAccepted(reading);
        model.eventStarted(i + 1, reading.time);
        model.linkLost(reading.time);
    }
    EXPECT_EQ(model.points().size(), 50U);
    EXPECT_EQ(model.seconds().size(), 10U);
    EXPECT_EQ(model.events().size(), 4U);
    EXPECT_EQ(model.events().back().number, 200) << "the latest are kept";
    EXPECT_EQ(model.gaps().size(), 4U);
}

TEST(ChartModelTest, EventSpansCarryTheTableNumbersAndCloseAtTheirEnd)
{
    ChartModel model;
    model.eventStarted(7, { 2008, 8, 18, 14, 2, 12, 0 });
    EXPECT_FALSE(model.events().back().endMs) << "open while it collects";
    monitor::EndedEvent ended;
    ended.number = 7;
    ended.start = { 2008, 8, 18, 14, 2, 12, 0 };
    ended.end = { 2008, 8, 18, 14, 2, 15, 500 };
    model.eventEnded(ended);
    ASSERT_EQ(model.events().size(), 1U);
    EXPECT_EQ(model.events()[0].number, 7);
    EXPECT_EQ(model.events()[0].startMs, msAt(12, 0));
    EXPECT_EQ(model.events()[0].endMs, msAt(15, 500));

    // An event that began before the chart listened comes whole with its end.
    ended.number = 8;
    ended.start = { 2008, 8, 18, 14, 2, 20, 0 };
    ended.end = { 2008, 8, 18, 14, 2, 21, 0 };
    model.eventEnded(ended);
    ASSERT_EQ(model.events().size(), 2U);
    EXPECT_EQ(model.events()[1].startMs, msAt(20, 0));
}

TEST(ChartModelTest, AGapRunsFromTheLossOfTheLinkToTheNextReading)
{
    ChartModel model;
    model.readingAccepted(readingAt(10, 0, 1));
    model.linkLost({ 2008, 8, 18, 14, 2, 11, 0 });
    model.linkLost({ 2008, 8, 18, 14, 2, 12, 0 }); // still lost: the same gap
    ASSERT_EQ(model.gaps().size(), 1U);
    EXPECT_EQ(model.gaps()[0].fromMs, msAt(11, 0));
    EXPECT_FALSE(model.gaps()[0].toMs) << "open while the search goes on";
    EXPECT_EQ(model.latestMs(), msAt(12, 0)) << "the chart moves on through the gap";

    model.readingAccepted(readingAt(30, 0, 1));
    EXPECT_EQ(model.gaps()[0].toMs, msAt(30, 0));
    model.sensorFound({ { 2008, 8, 18, 14, 2, 31, 0 }, 1, "sim" });
    EXPECT_EQ(model.gaps()[0].toMs, msAt(30, 0)) << "a closed gap stays as it was";

    model.linkLost({ 2008, 8, 18, 14, 2, 40, 0 });
    model.sensorFound({ { 2008, 8, 18, 14, 2, 45, 0 }, 1, "sim" });
    ASSERT_EQ(model.gaps().size(), 2U);
    EXPECT_EQ(model.gaps()[1].toMs, msAt(45, 0));
}

TEST(ChartModelTest, EveryChangeCountsARevision)
{
    ChartModel model;
    const std::uint64_t before = model.revision();
    model.readingAccepted(readingAt(10, 0, 1));
    model.eventStarted(1, { 2008, 8, 18, 14, 2, 10, 5 });
    EXPECT_EQ(model.revision(), before + 2);
}

} // namespace
} // namespace marlume::chart
