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
    const auto entry = parseRawLogLine(
        std::string_view(text).substr(0, text.size() - 1), RawLogLayout::WithMarks, problem);
    ASSERT_TRUE(entry) << problem;
    EXPECT_EQ(entry->time, row.reading.time);
    EXPECT_EQ(entry->eventNumber, row.reading.eventNumber);
    EXPECT_EQ(entry->shown, row.reading.shown);
    // The sentence is the first three fields, as written.
    EXPECT_EQ(entry->sentence + ",", text.substr(24, entry->sentence.size() + 1));
}

TEST(RawLogFormat, AMarkIsALineWithoutAReading)
{
    const std::string text = rawLogMarkText({ { 2008, 8, 18, 14, 2, 11, 300 }, 7, -5 });
    EXPECT_EQ(text, "2008-08-18T14:02:11.300,,,,,7,-5\r\n");
    std::string problem;
    const std::string_view line = std::string_view(text).substr(0, text.size() - 1);
    const auto mark = parseRawLogLine(line, RawLogLayout::WithMarks, problem);
    ASSERT_TRUE(mark) << problem;
    EXPECT_TRUE(mark->isMark());
    EXPECT_EQ(mark->eventNumber, 7);
    EXPECT_EQ(mark->shown, -5.0F);
    EXPECT_FALSE(parseRawLogLine(line, RawLogLayout::ReadingsOnly, problem)) << "an older log has none";
}

TEST(RawLogFormat, AnOlderLogIsReadWithoutTheHeadingShown)
{
    EXPECT_EQ(rawLogLayout("Time,Heading,Pitch,Roll,Tilt,Event"), RawLogLayout::ReadingsOnly);
    EXPECT_EQ(rawLogLayout("Time,Heading,Pitch,Roll,Tilt,Event,Shown"), RawLogLayout::WithMarks);
    EXPECT_EQ(rawLogLayout("Number,Date, Start time"), std::nullopt);
    std::string problem;
    const auto entry
        = parseRawLogLine("2008-08-18T14:02:11.250,123.4,-2.5,1.8,3.1,", RawLogLayout::ReadingsOnly, problem);
    ASSERT_TRUE(entry) << problem;
    EXPECT_EQ(entry->sentence, "123.4,-2.5,1.8");
    EXPECT_EQ(entry->shown, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Lines, RawLogLineTest,
    ::testing::ValuesIn(std::vector<LineCase> {
        { "OutsideAnEvent", { { 2008, 8, 18, 14, 2, 11, 250 }, 123.4F, -2.5F, 1.8F, 3.1F, 0, 123 },
            "2008-08-18T14:02:11.250,123.4,-2.5,1.8,3.1,,123\r\n" },
        { "InsideAnEventPastNorth", { { 2024, 1, 2, 3, 4, 5, 6 }, 359.9F, 0, -0.05F, 0.1F, 12, 0 },
            "2024-01-02T03:04:05.006,359.9,0,-0.05,0.1,12,0\r\n" },
        { "ShownBelowNorth", { { 1999, 12, 31, 23, 59, 59, 999 }, 355, 50, 40, 64, 1, -5 },
            "1999-12-31T23:59:59.999,355,50,40,64,1,-5\r\n" },
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
    EXPECT_FALSE(parseRawLogLine(GetParam().line, RawLogLayout::WithMarks, problem));
    EXPECT_EQ(problem, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Lines, RawLogBadLineTest,
    ::testing::ValuesIn(std::vector<BadLineCase> {
        { "Empty", "", "has 1 field, not 7" },
        { "TooFewFields", "2008-08-18T14:02:11.250,1,2,3,4,", "has 6 fields, not 7" },
        { "TooManyFields", "2008-08-18T14:02:11.250,1,2,3,4,5,6,7", "has 8 fields, not 7" },
        { "TheCaptureHeader", "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch",
            "has no time like 2008-08-18T14:02:11.250" },
        { "NoMilliseconds", "2008-08-18T14:02:11,1,2,3,4,,1", "has no time like 2008-08-18T14:02:11.250" },
        { "NoMonth13", "2008-13-18T14:02:11.250,1,2,3,4,,1", "has no time like 2008-08-18T14:02:11.250" },
        { "NoHour24", "2008-08-18T24:02:11.250,1,2,3,4,,1", "has no time like 2008-08-18T14:02:11.250" },
        { "CommaDecimals", "2008-08-18T14:02:11.250,1;5,2,3,4,,1", "has no number for the heading" },
        { "NoPitch", "2008-08-18T14:02:11.250,1,,3,4,,1", "has no number for the pitch" },
        { "NoTilt", "2008-08-18T14:02:11.250,1,2,3,x,,1", "has no number for the tilt" },
        { "HalfAMark", "2008-08-18T14:02:11.250,,,,4,,1", "has no number for the heading" },
        { "NoHeadingShown", "2008-08-18T14:02:11.250,1,2,3,4,,", "has no number for the heading shown" },
        { "EventZero", "2008-08-18T14:02:11.250,1,2,3,4,0,1", "has no event number of 1 or more" },
        { "EventNotANumber", "2008-08-18T14:02:11.250,,,,,7a,1", "has no event number of 1 or more" },
    }),
    testing::CaseName());

TEST(RawLogFormat, TheHeaderEndsInCrLf)
{
    EXPECT_EQ(kRawLogHeader, "Time,Heading,Pitch,Roll,Tilt,Event,Shown\r\n");
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
