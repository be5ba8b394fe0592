#include "common/saturating.h"
#include "record/data_record_class.h"

#include "support/case_name.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace marlume::record {
namespace {

void parseAll(DataRecordClass& record, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        ASSERT_TRUE(record.parseString(line)) << line;
}

struct EventCase {
    std::string name;
    std::vector<std::string> before; // sentences before startAvg; the last is the seed
    std::vector<std::string> during; // sentences between startAvg and endAvg
    std::vector<std::string> after; // sentences after endAvg
    std::int32_t count;
    float heading;
    float pitch;
    float roll;
    float tilt;
};

class EventTable : public ::testing::TestWithParam<EventCase> { };

TEST_P(EventTable, AveragesTheSeedAndEveryCommittedReading)
{
    const EventCase& c = GetParam();
    testing::FakeClock clock;
    DataRecordClass record(clock);
    parseAll(record, c.before);
    record.startAvg();
    parseAll(record, c.during);
    record.endAvg();
    parseAll(record, c.after);

    EXPECT_EQ(record.avgN(), c.count);
    EXPECT_EQ(record.avgHeading(), c.heading);
    EXPECT_EQ(record.avgPitch(), c.pitch);
    EXPECT_EQ(record.avgRoll(), c.roll);
    EXPECT_EQ(record.avgTilt(), c.tilt);
}

INSTANTIATE_TEST_SUITE_P(Events, EventTable,
    ::testing::Values(
        // Tilt sum 2.2 + 2.9155 + 1.5815 = 6.697.
        EventCase { "three_readings", { "100,1,2" }, { "102.4,1.5,2.5", "101.6,0.5,1.5" }, {}, 3, 101, 1.0F,
            2.0F, 2.2F },
        EventCase { "seed_only_in_displayed_form", { "100.4,1,2" }, {}, {}, 1, 100, 1, 2, 2.2F },
        EventCase { "nothing_before_seeds_zeros", {}, {}, {}, 1, 0, 0, 0, 0 },
        // Headings turn by less than half a circle at a time to stand at 358 for the start.
        EventCase { "heading_sum_across_north", { "170,0,0", "300,0,0", "358,0,0" }, { "359,0,0", "1,0,0" },
            {}, 3, 359, 0, 0, 0 },
        EventCase { "heading_mean_on_north_reduced", { "170,0,0", "300,0,0", "359,0,0" }, { "0,0,0" }, {}, 2,
            0, 0, 0, 0 },
        EventCase { "readings_after_end_left_out", { "100,1,2" }, { "102.4,1.5,2.5", "101.6,0.5,1.5" },
            { "200,30,40", "10,-5,5" }, 3, 101, 1.0F, 2.0F, 2.2F },
        // The limit tilt of 90.0457 counts: (0 + 90.0457) / 2.
        EventCase { "tilt_past_vertical_counted", { "0,0,0" }, { "0,60,60" }, {}, 2, 0, 30, 30, 45.0F }),
    testing::CaseName());

using Average = float (DataRecordClass::*)() const;

struct RoundingCase {
    std::string name;
    std::vector<std::string> before;
    std::vector<std::string> during;
    Average average;
    float expected;
};

class RoundingTable : public ::testing::TestWithParam<RoundingCase> { };

TEST_P(RoundingTable, ExactHalvesGoToTheEvenNeighbour)
{
    const RoundingCase& c = GetParam();
    testing::FakeClock clock;
    DataRecordClass record(clock);
    parseAll(record, c.before);
    record.startAvg();
    parseAll(record, c.during);
    EXPECT_EQ((record.*c.average)(), c.expected);
}

// Nineteen sentences after a level seed: the first with the given pitch, then level ones.
std::vector<std::string> twentiethsOf(const std::string& pitch)
{
    std::vector<std::string> lines { "0," + pitch + ",0" };
    lines.resize(19, "0,0,0");
    return lines;
}

INSTANTIATE_TEST_SUITE_P(Halves, RoundingTable,
    ::testing::Values(
        RoundingCase { "pitch_4_5_over_2", { "0,2,0" }, { "0,2.5,0" }, &DataRecordClass::avgPitch, 2.2F },
        RoundingCase { "pitch_5_5_over_2", { "0,2.5,0" }, { "0,3,0" }, &DataRecordClass::avgPitch, 2.8F },
        RoundingCase {
            "roll_minus_4_5_over_2", { "0,0,-2" }, { "0,0,-2.5" }, &DataRecordClass::avgRoll, -2.2F },
        RoundingCase { "pitch_3_over_20", { "0,0,0" }, twentiethsOf("3"), &DataRecordClass::avgPitch, 0.2F },
        RoundingCase { "pitch_5_over_20", { "0,0,0" }, twentiethsOf("5"), &DataRecordClass::avgPitch, 0.2F },
        RoundingCase { "pitch_7_over_20", { "0,0,0" }, twentiethsOf("7"), &DataRecordClass::avgPitch, 0.4F },
        RoundingCase { "heading_5_over_2", { "2,0,0" }, { "3,0,0" }, &DataRecordClass::avgHeading, 2 },
        RoundingCase { "heading_7_over_2", { "3,0,0" }, { "4,0,0" }, &DataRecordClass::avgHeading, 4 },
        RoundingCase {
            "heading_minus_5_over_2", { "-2,0,0" }, { "-3,0,0" }, &DataRecordClass::avgHeading, -2 },
        // 178 is taken as 538: (359 + 538) / 2 = 448.5 -> 448 -> 88.
        RoundingCase { "heading_above_full_circle_reduced", { "170,0,0", "300,0,0", "359,0,0" },
            { "178,0,0" }, &DataRecordClass::avgHeading, 88 }),
    testing::CaseName());

TEST(Averaging, NothingCountedAfterConstruction)
{
    testing::FakeClock clock;
    const DataRecordClass record(clock);
    EXPECT_EQ(record.avgN(), 0);
    EXPECT_EQ(record.avgHeading(), 0);
    EXPECT_EQ(record.avgPitch(), 0);
    EXPECT_EQ(record.avgRoll(), 0);
    EXPECT_EQ(record.avgTilt(), 0);
    EXPECT_FALSE(record.startTime());
    EXPECT_FALSE(record.endTime());
}

TEST(Averaging, SecondStartTakesTheNextNumberAndDropsTheFirstSums)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString("10,1,0"));
    record.startAvg();
    ASSERT_TRUE(record.parseString("20,30,0"));
    clock.setTimeOfDay(15, 0, 0);
    record.startAvg();
    EXPECT_EQ(record.SequenceNumber(), 2);
    EXPECT_EQ(record.avgN(), 1);
    EXPECT_EQ(record.avgPitch(), 30);
    EXPECT_EQ(record.startTime(), clock.now());
}

TEST(Averaging, EndWithoutStartStampsOnlyTheEnd)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    record.endAvg();
    ASSERT_TRUE(record.parseString("10,1,0"));
    EXPECT_EQ(record.avgN(), 0);
    EXPECT_EQ(record.endTime(), clock.now());
    EXPECT_FALSE(record.startTime());
}

TEST(Averaging, StartAndEndTimesComeFromTheClock)
{
    testing::FakeClock clock({ 2008, 12, 31, 23, 59, 50, 0 });
    DataRecordClass record(clock);
    record.startAvg();
    const common::LocalDateTime start = clock.now();
    clock.advanceMilliseconds(20'000);
    record.endAvg();
    EXPECT_EQ(record.startTime(), start);
    EXPECT_EQ(record.endTime(), clock.now());
}

struct HugeCase {
    std::string name;
    std::string sentence;
    Average average;
};

class HugeSums : public ::testing::TestWithParam<HugeCase> { };

// Sums of valid readings near the single limit would overflow to infinity; they stop
// at the largest single instead and the averages stay finite.
TEST_P(HugeSums, StayFinite)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString(GetParam().sentence));
    record.startAvg();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(record.parseString(GetParam().sentence));
    const float average = (record.*GetParam().average)();
    EXPECT_TRUE(std::isfinite(average)) << average;
    EXPECT_NE(average, 0);
}

INSTANTIATE_TEST_SUITE_P(Sums, HugeSums,
    ::testing::Values(HugeCase { "pitch", "0,3e38,0", &DataRecordClass::avgPitch },
        HugeCase { "negative_roll", "0,0,-3e38", &DataRecordClass::avgRoll }),
    testing::CaseName());

constexpr float kLargestSingle = std::numeric_limits<float>::max();
constexpr std::int32_t kLargestCount = std::numeric_limits<std::int32_t>::max();

struct SumCase {
    std::string name;
    float sum;
    float value;
    float expected;
};

class SaturatingSumTable : public ::testing::TestWithParam<SumCase> { };

TEST_P(SaturatingSumTable, StopsAtTheLargestSingle)
{
    EXPECT_EQ(common::saturatingSum(GetParam().sum, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sums, SaturatingSumTable,
    ::testing::Values(SumCase { "ordinary", 1.5F, 2.25F, 3.75F },
        SumCase { "single_rounding", 16777216, 1, 16777216 },
        SumCase { "overflow_up", kLargestSingle, kLargestSingle, kLargestSingle },
        SumCase { "overflow_down", -kLargestSingle, -3e38F, -kLargestSingle },
        SumCase { "back_from_the_limit", kLargestSingle, -kLargestSingle, 0 }),
    testing::CaseName());

struct CountCase {
    std::string name;
    std::int32_t count;
    std::int32_t expected;
};

class SaturatingIncrementTable : public ::testing::TestWithParam<CountCase> { };

TEST_P(SaturatingIncrementTable, NeverWraps)
{
    EXPECT_EQ(common::saturatingIncrement(GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, SaturatingIncrementTable,
    ::testing::Values(CountCase { "zero", 0, 1 },
        CountCase { "below_limit", kLargestCount - 1, kLargestCount },
        CountCase { "at_limit", kLargestCount, kLargestCount }),
    testing::CaseName());

} // namespace
} // namespace marlume::record
