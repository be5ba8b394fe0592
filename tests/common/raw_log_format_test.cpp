#include "common/raw_log_format.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::common {
namespace {

struct LineCase {
    std::string name;
    RawLogReading reading;
    std::string text;
};

class RawLogLineTest : public ::testing::TestWithParam<LineCase> { };

TEST_P(RawLogLineTest, WritesTheLineAndReadsItBackAsTheSentence)
{
    const LineCase& row = GetParam();
    const std::string text = rawLogLineText(row.reading);
    EXPECT_EQ(text, row.text);

    std::string problem;
    const auto entry = parseRawLogLine(std::string_view(text).substr(0, text.size() - 1), problem);
    ASSERT_TRUE(entry) << problem;
    EXPECT_EQ(entry->time, row.reading.time);
    EXPECT_EQ(entry->eventNumber, row.reading.eventNumber);
    // The sentence is the first three fields, as written.
    EXPECT_EQ(entry->sentence + ",", text.substr(24, entry->sentence.size() + 1));
}

INSTANTIATE_TEST_SUITE_P(Lines, RawLogLineTest,
    ::testing::ValuesIn(std::vector<LineCase> {
        { "OutsideAnEvent", { { 2008, 8, 18, 14, 2, 11, 250 }, 123.4F, -2.5F, 1.8F, 3.1F, 0 },
            "2008-08-18T14:02:11.250,123.4,-2.5,1.8,3.1,\r\n" },
        { "InsideAnEvent", { { 2024, 1, 2, 3, 4, 5, 6 }, 359.9F, 0, -0.05F, 0.1F, 12 },
            "2024-01-02T03:04:05.006,359.9,0,-0.05,0.1,12\r\n" },
        { "WholeNumbersAndOverRange", { { 1999, 12, 31, 23, 59, 59, 999 }, 10, 50, 40, 64, 1 },
            "1999-12-31T23:59:59.999,10,50,40,64,1\r\n" },
    }),
    testing::CaseName());

struct BadLineCase {
    std::string name;
    std::string line;
    std::string problem;
};

class RawLogBadLineTest : public ::testing::TestWithParam<BadLineCase> { };

TEST_P(RawLogBadLineTest, SaysWhatIsWrong)
{
    std::string problem;
    EXPECT_FALSE(parseRawLogLine(GetParam().line, problem));
    EXPECT_EQ(problem, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Lines, RawLogBadLineTest,
    ::testing::ValuesIn(std::vector<BadLineCase> {
        { "Empty", "", "has 1 field, not 6" },
        { "TooFewFields", "2008-08-18T14:02:11.250,1,2,3,4", "has 5 fields, not 6" },
        { "TooManyFields", "2008-08-18T14:02:11.250,1,2,3,4,5,6", "has 7 fields, not 6" },
        { "TheCaptureHeader", "Number,Date, Start time, End Time, AvgTilt, AvgHeading",
            "has no time like 2008-08-18T14:02:11.250" },
        { "NoMilliseconds", "2008-08-18T14:02:11,1,2,3,4,", "has no time like 2008-08-18T14:02:11.250" },
        { "NoMonth13", "2008-13-18T14:02:11.250,1,2,3,4,", "has no time like 2008-08-18T14:02:11.250" },
        { "NoHour24", "2008-08-18T24:02:11.250,1,2,3,4,", "has no time like 2008-08-18T14:02:11.250" },
        { "CommaDecimals", "2008-08-18T14:02:11.250,1;5,2,3,4,", "has no number for the heading" },
        { "NoPitch", "2008-08-18T14:02:11.250,1,,3,4,", "has no number for the pitch" },
        { "NoTilt", "2008-08-18T14:02:11.250,1,2,3,x,", "has no number for the tilt" },
        { "EventZero", "2008-08-18T14:02:11.250,1,2,3,4,0", "has no event number of 1 or more" },
        { "EventNotANumber", "2008-08-18T14:02:11.250,1,2,3,4,7a", "has no event number of 1 or more" },
    }),
    testing::CaseName());

TEST(RawLogFormat, TheHeaderEndsInCrLf)
{
    EXPECT_EQ(kRawLogHeader, "Time,Heading,Pitch,Roll,Tilt,Event\r\n");
}

TEST(RawLogFormat, LocalMillisecondsCountAcrossMidnightAndMonths)
{
    EXPECT_EQ(localMilliseconds({ 1970, 1, 1, 0, 0, 0, 0 }), 0);
    EXPECT_EQ(localMilliseconds({ 2008, 8, 18, 14, 2, 11, 250 }), 1219068131250);
    EXPECT_EQ(
        localMilliseconds({ 2024, 3, 1, 0, 0, 0, 0 }) - localMilliseconds({ 2024, 2, 28, 23, 59, 59, 500 }),
        86'400'000 + 500)
        << "2024 is a leap year";
    for (const LocalDateTime time : { LocalDateTime { 1970, 1, 1, 0, 0, 0, 0 },
             LocalDateTime { 2024, 2, 29, 23, 59, 59, 999 }, LocalDateTime { 1969, 12, 31, 23, 0, 0, 5 } })
        EXPECT_EQ(localDateTime(localMilliseconds(time)), time) << "and back";
}

} // namespace
} // namespace marlume::common
