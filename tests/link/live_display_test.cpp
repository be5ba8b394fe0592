#include "link/live_display.h"

#include "record/data_record_class.h"
#include "support/fake_clock.h"
#include "support/fake_link_view.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <ostream>

namespace marlume::link {

void PrintTo(const Rgb& colour, std::ostream* out)
{
    *out << "0x" << std::hex << colour.value;
}

namespace {

using testing::FakeClock;
using testing::FakeLinkView;

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

TEST(LiveDisplayTest, InRangeReadingAfterOverRestoresValuesAndColours)
{
    FakeClock clock;
    FakeLinkView view;
    LinkState state;
    record::DataRecordClass record(clock);
    LiveDisplay display(view, state, {});

    ASSERT_TRUE(record.parseString("10,60,0"));
    display.DisplayLatestData(record::acceptedReading(record, clock.now(), 0));
    ASSERT_TRUE(record.parseString("11,3,4"));
    display.DisplayLatestData(record::acceptedReading(record, clock.now(), 0));

    ASSERT_EQ(view.readings.size(), 2U);
    EXPECT_EQ(view.readings[0].background, Colour { kRed });
    EXPECT_EQ(view.readings[1].texts, inRange("14:02:11", "11", "3", "4", "5"));
    EXPECT_EQ(view.readings[1].background, kWindow);
    EXPECT_EQ(view.readings[1].foreground, kText);
}

struct StatusCase {
    std::string name;
    std::string text;
    StatusDisplay expected;
    bool searchActive;
};

class StatusDisplayTest : public ::testing::TestWithParam<StatusCase> { };

TEST_P(StatusDisplayTest, ColoursTheStatusAndSetsSearchActive)
{
    const StatusCase& row = GetParam();
    FakeClock clock;
    FakeLinkView view;
    LinkState state;
    state.searchActive = !row.searchActive;
    LiveDisplay display(view, state, {});

    display.SetStatus(row.text);

    ASSERT_EQ(view.statuses.size(), 1U);
    EXPECT_EQ(view.statuses[0], row.expected);
    EXPECT_EQ(state.searchActive, row.searchActive);
}

INSTANTIATE_TEST_SUITE_P(Statuses, StatusDisplayTest,
    ::testing::Values(StatusCase { "ready", "Ready", { "Ready", kGreen, kBlack, Bold::Off }, false },
        StatusCase { "integrating", "Integrating", { "Integrating", kRed, kWhite, Bold::On }, false },
        StatusCase { "searching", "Searching", { "Searching", kYellow, kBlack, Bold::Unchanged }, true },
        StatusCase { "searching_four_points", "Searching....",
            { "Searching....", kYellow, kBlack, Bold::Unchanged }, true },
        StatusCase { "search_inside_text", "Port Search 2",
            { "Port Search 2", kYellow, kBlack, Bold::Unchanged }, true },
        StatusCase { "lower_case_search_is_other", "search",
            { "search", SystemColour::ButtonFace, kBlack, Bold::Off }, false },
        StatusCase { "ready_must_match_exactly", "Ready ",
            { "Ready ", SystemColour::ButtonFace, kBlack, Bold::Off }, false },
        StatusCase { "empty_text", "", { "", SystemColour::ButtonFace, kBlack, Bold::Off }, false }),
    testing::CaseName {});

struct BoldCase {
    std::string name;
    std::vector<std::string> texts;
    bool bold;
};

class StatusBoldTest : public ::testing::TestWithParam<BoldCase> { };

TEST_P(StatusBoldTest, SearchTextsLeaveBoldAsItWas)
{
    FakeClock clock;
    FakeLinkView view;
    LinkState state;
    LiveDisplay display(view, state, {});

    for (const auto& text : GetParam().texts)
        display.SetStatus(text);

    EXPECT_EQ(view.statusBold, GetParam().bold);
}

INSTANTIATE_TEST_SUITE_P(BoldSequences, StatusBoldTest,
    ::testing::Values(BoldCase { "integrating_then_search_stays_bold", { "Integrating", "Searching" }, true },
        BoldCase { "search_after_ready_stays_normal", { "Ready", "Searching." }, false },
        BoldCase { "ready_after_search_is_normal", { "Integrating", "Searching", "Ready" }, false },
        BoldCase { "other_text_is_normal", { "Integrating", "Port lost" }, false }),
    testing::CaseName {});

} // namespace
} // namespace marlume::link
