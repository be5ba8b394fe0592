#include "app/live_labels.h"

#include "record/data_record_class.h"
#include "support/fake_clock.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <ostream>

namespace marlume::app {

void PrintTo(const Rgb& colour, std::ostream* out)
{
    *out << "0x" << std::hex << colour.value;
}

namespace {

using link::LinkStatus;
using testing::FakeClock;

struct ReadingCase {
    std::string name;
    std::string sentence;
    common::LocalDateTime now;
    char decimalSeparator;
    char timeSeparator;
    std::vector<LabelText> texts;
    Colour background;
    Colour foreground;
};

class ReadingDisplayTest : public ::testing::TestWithParam<ReadingCase> { };

TEST_P(ReadingDisplayTest, ShowsTheReading)
{
    const ReadingCase& row = GetParam();
    FakeClock clock;
    record::DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString(row.sentence));

    const ReadingDisplay display = readingDisplay(
        record::acceptedReading(record, row.now, 0), { row.decimalSeparator, row.timeSeparator });

    EXPECT_EQ(display.texts, row.texts);
    EXPECT_EQ(display.background, row.background);
    EXPECT_EQ(display.foreground, row.foreground);
}

constexpr common::LocalDateTime kMorning { 2008, 8, 18, 9, 5, 3, 0 };
constexpr common::LocalDateTime kEvening { 2008, 8, 18, 21, 5, 3, 0 };
constexpr Colour kWindow = SystemColour::WindowBackground;
constexpr Colour kText = SystemColour::WindowText;

std::vector<LabelText> inRange(
    std::string time, std::string heading, std::string pitch, std::string roll, std::string tilt)
{
    return { { ValueLabel::Time, std::move(time) }, { ValueLabel::Heading, heading },
        { ValueLabel::Pitch, pitch }, { ValueLabel::Roll, roll }, { ValueLabel::Tilt, tilt },
        { ValueLabel::Heading, heading } };
}

std::vector<LabelText> overRange(std::string time, std::string heading)
{
    return { { ValueLabel::Time, std::move(time) }, { ValueLabel::Heading, std::move(heading) },
        { ValueLabel::Pitch, "over" }, { ValueLabel::Tilt, "over" }, { ValueLabel::Roll, "over" },
        { ValueLabel::Heading, "over" } };
}

INSTANTIATE_TEST_SUITE_P(Readings, ReadingDisplayTest,
    ::testing::Values(ReadingCase { "typical", "123.4,-2.5,1.8", kMorning, '.', ':',
                          inRange("09:05:03", "123", "-2.5", "1.8", "3.1"), kWindow, kText },
        ReadingCase { "evening_is_24_hour", "0,0,0", kEvening, '.', ':',
            inRange("21:05:03", "0", "0", "0", "0"), kWindow, kText },
        ReadingCase { "locale_separators", "123.4,-2.5,1.8", kEvening, ',', '.',
            inRange("21.05.03", "123", "-2,5", "1,8", "3,1"), kWindow, kText },
        ReadingCase { "tilt_55_is_a_value", "10,55,0", kMorning, '.', ':',
            inRange("09:05:03", "10", "55", "0", "55"), kWindow, kText },
        ReadingCase {
            "tilt_55_1_is_over", "10,55.1,0", kMorning, '.', ':', overRange("09:05:03", "10"), kRed, kWhite },
        ReadingCase { "negative_pitch_over", "10,0,-56", kMorning, '.', ':', overRange("09:05:03", "10"),
            kRed, kWhite }),
    testing::CaseName {});

TEST(LiveLabelsTest, InRangeReadingAfterOverRestoresValuesAndColours)
{
    FakeClock clock;
    record::DataRecordClass record(clock);

    ASSERT_TRUE(record.parseString("10,60,0"));
    const ReadingDisplay over = readingDisplay(record::acceptedReading(record, clock.now(), 0), {});
    ASSERT_TRUE(record.parseString("11,3,4"));
    const ReadingDisplay back = readingDisplay(record::acceptedReading(record, clock.now(), 0), {});

    EXPECT_EQ(over.background, Colour { kRed });
    EXPECT_EQ(back.texts, inRange("14:02:11", "11", "3", "4", "5"));
    EXPECT_EQ(back.background, kWindow);
    EXPECT_EQ(back.foreground, kText);
}

struct StatusCase {
    std::string name;
    LinkStatus status;
    StatusDisplay expected;
};

class StatusDisplayTest : public ::testing::TestWithParam<StatusCase> { };

TEST_P(StatusDisplayTest, ColoursTheStatus)
{
    EXPECT_EQ(statusDisplay(GetParam().status), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statuses, StatusDisplayTest,
    ::testing::Values(
        StatusCase { "ready", { LinkStatus::Kind::Ready, 3 }, { "Ready", kGreen, kBlack, Bold::Off } },
        StatusCase { "integrating", { LinkStatus::Kind::Integrating, 3, 12 },
            { "Integrating", kRed, kWhite, Bold::On } },
        StatusCase {
            "searching", { LinkStatus::Kind::Searching }, { "Searching", kYellow, kBlack, Bold::Unchanged } },
        StatusCase { "searching_port_four", { LinkStatus::Kind::Searching, 4 },
            { "Searching....", kYellow, kBlack, Bold::Unchanged } },
        StatusCase { "searching_port_sixteen", { LinkStatus::Kind::Searching, 16 },
            { "Searching................", kYellow, kBlack, Bold::Unchanged } }),
    testing::CaseName {});

struct BoldCase {
    std::string name;
    std::vector<LinkStatus::Kind> statuses;
    bool bold;
};

class StatusBoldTest : public ::testing::TestWithParam<BoldCase> { };

TEST_P(StatusBoldTest, SearchTextsLeaveBoldAsItWas)
{
    bool bold = false; // as the label keeps it
    for (const LinkStatus::Kind kind : GetParam().statuses) {
        const StatusDisplay display = statusDisplay({ kind, 1 });
        if (display.bold != Bold::Unchanged)
            bold = display.bold == Bold::On;
    }
    EXPECT_EQ(bold, GetParam().bold);
}

constexpr LinkStatus::Kind kReady = LinkStatus::Kind::Ready;
constexpr LinkStatus::Kind kIntegrating = LinkStatus::Kind::Integrating;
constexpr LinkStatus::Kind kSearching = LinkStatus::Kind::Searching;

INSTANTIATE_TEST_SUITE_P(BoldSequences, StatusBoldTest,
    ::testing::Values(BoldCase { "integrating_then_search_stays_bold", { kIntegrating, kSearching }, true },
        BoldCase { "search_after_ready_stays_normal", { kReady, kSearching }, false },
        BoldCase { "ready_after_search_is_normal", { kIntegrating, kSearching, kReady }, false }),
    testing::CaseName {});

} // namespace
} // namespace marlume::app
