#include "dialogs/question_layout.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

namespace marlume::dialogs {
namespace {

// The dialog as loaded: client 5715 x 1890 inside a frame of 90 x 405 twips.
constexpr DialogFrame kLoaded { 3000, 2000, 5805, 2295, 5715, 1890 };

struct Captions {
    bool yes;
    bool no;
    bool cancel;
};
constexpr Captions kSaveAs { true, true, false };
constexpr Captions kAll { true, true, true };
constexpr Captions kYesOnly { true, false, false };

struct LayoutCase {
    std::string name;
    Captions captions;
    // Wrapped label height by label width; any other width gives one line of 195.
    std::map<float, float> heights;
    DialogFrame dialog;
    float labelWidth;
    float labelHeight;
    std::array<float, 3> lefts;
    float buttonTop;
};

LayoutInput inputFor(const Captions& captions)
{
    return { kLoaded, 840, 120, 4695,
        { QuestionButton { 1455, 375, captions.yes }, QuestionButton { 1455, 375, captions.no },
            QuestionButton { 1332, 375, captions.cancel } } };
}

const std::vector<LayoutCase> kLayoutCases {
    { "SaveAsQuestionKeepsDesignSize", kSaveAs, {}, kLoaded, 4695, 195, { 2265, 3900, 5535 }, 1455 },
    { "ThreeButtons", kAll, {}, kLoaded, 4695, 195, { 933, 2568, 4203 }, 1455 },
    { "YesOnly", kYesOnly, {}, kLoaded, 4695, 195, { 3900, 5535, 5535 }, 1455 },
    { "TallLabelGrowsDownward", kSaveAs, { { 4695, 1365 } }, { 3000, 2000, 5805, 2385, 5715, 1980 }, 4695,
        1365, { 2265, 3900, 5535 }, 1545 },
    { "NarrowLabelWidensBothWays", kSaveAs, { { 4695, 3000 }, { 6000, 600 } },
        { 2377.5, 2000, 7050, 2295, 6960, 1890 }, 6000, 600, { 3510, 5145, 6780 }, 1455 },
    { "WidthCappedAt8000", kAll, { { 4695, 5000 }, { 8000, 300 } }, { 1377.5, 2000, 9050, 2295, 8960, 1890 },
        8000, 300, { 4178, 5813, 7448 }, 1455 },
    { "HalfWidthEqualToHeightKeepsWidth", kSaveAs, { { 4695, 2347.5 } },
        { 3000, 2000, 5805, 3367.5, 5715, 2962.5 }, 4695, 2347.5, { 2265, 3900, 5535 }, 2527.5 },
    { "LabelEndingAtMarginKeepsWidth", kSaveAs, { { 4695, 2377.5 }, { 4755, 200 } }, kLoaded, 4755, 200,
        { 2265, 3900, 5535 }, 1455 },
    { "LabelOneTwipTooWide", kSaveAs, { { 4695, 2378 }, { 4756, 200 } },
        { 2999.5, 2000, 5806, 2295, 5716, 1890 }, 4756, 200, { 2266, 3901, 5536 }, 1455 },
    { "NewWidthRoundsHalfDown", kSaveAs, { { 4695, 2378.25 }, { 4756.5, 200 } },
        { 2999.5, 2000, 5806, 2295, 5716, 1890 }, 4756.5, 200, { 2266, 3901, 5536 }, 1455 },
    { "NewWidthRoundsHalfUp", kSaveAs, { { 4695, 2378.75 }, { 4757.5, 200 } },
        { 2998.5, 2000, 5808, 2295, 5718, 1890 }, 4757.5, 200, { 2268, 3903, 5538 }, 1455 },
    { "LabelFillingHeightKeepsHeight", kSaveAs, { { 4695, 1275 } }, kLoaded, 4695, 1275, { 2265, 3900, 5535 },
        1455 },
};

class LayoutDialogTest : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(LayoutDialogTest, FitsDialogAroundMessage)
{
    const LayoutCase& expected = GetParam();
    const auto heightFor = [&](float width) {
        const auto found = expected.heights.find(width);
        return found == expected.heights.end() ? 195.0f : found->second;
    };

    const LayoutResult result = layoutQuestion(inputFor(expected.captions), heightFor);

    EXPECT_EQ(result.dialog.left, expected.dialog.left);
    EXPECT_EQ(result.dialog.top, expected.dialog.top);
    EXPECT_EQ(result.dialog.width, expected.dialog.width);
    EXPECT_EQ(result.dialog.height, expected.dialog.height);
    EXPECT_EQ(result.dialog.scaleWidth, expected.dialog.scaleWidth);
    EXPECT_EQ(result.dialog.scaleHeight, expected.dialog.scaleHeight);
    EXPECT_EQ(result.labelWidth, expected.labelWidth);
    EXPECT_EQ(result.labelHeight, expected.labelHeight);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(result.buttons[i].left, expected.lefts[i]) << "button " << i;
        EXPECT_EQ(result.buttons[i].top, expected.buttonTop) << "button " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutDialogTest, ::testing::ValuesIn(kLayoutCases), marlume::testing::CaseName());

struct PlacementCase {
    std::string name;
    std::optional<TwipsRect> owner;
    float dialogWidth;
    TwipsRect screen;
    TwipsPoint expected;
};

// A 1280 x 960 pixel screen.
constexpr TwipsRect kScreen { 0, 0, 19200, 14400 };

const std::vector<PlacementCase> kPlacementCases {
    { "CentredOverOwner", TwipsRect { 3000, 2000, 9000, 6000 }, 5805, kScreen, { 4597.5, 3852.5 } },
    { "OwnerAtTopLeftCorner", TwipsRect { 0, 0, 3000, 1500 }, 5805, kScreen, { 0, 0 } },
    { "OwnerNearRightAndBottom", TwipsRect { 16000, 13000, 3000, 1400 }, 5805, kScreen, { 13395, 12105 } },
    { "WiderThanScreenEndsOnRightEdge", TwipsRect { 3000, 2000, 9000, 6000 }, 20000, kScreen,
        { -800, 3852.5 } },
    { "NoOwnerCentresOnScreen", std::nullopt, 5805, kScreen, { 6697.5, 6052.5 } },
    { "NoOwnerNoEdgeRules", std::nullopt, 20000, kScreen, { -400, 6052.5 } },
    { "OwnerOnSecondScreenStaysThere", TwipsRect { 19200, 0, 3000, 1500 }, 5805, { 19200, 0, 19200, 14400 },
        { 19200, 0 } },
};

class PlaceQuestionTest : public ::testing::TestWithParam<PlacementCase> { };

TEST_P(PlaceQuestionTest, PlacesDialog)
{
    const PlacementCase& testCase = GetParam();
    const TwipsPoint place = placeQuestion(testCase.owner, testCase.dialogWidth, 2295, testCase.screen);
    EXPECT_EQ(place.left, testCase.expected.left);
    EXPECT_EQ(place.top, testCase.expected.top);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, PlaceQuestionTest, ::testing::ValuesIn(kPlacementCases), marlume::testing::CaseName());

struct OnScreenCase {
    std::string name;
    TwipsRect window;
    TwipsRect screen;
    TwipsPoint expected;
};

// Dialogs as the layout step leaves them: widened about the centre, lengthened downward.
const std::vector<OnScreenCase> kOnScreenCases {
    { "FitsUnchanged", { 2377.5, 3852.5, 7050, 2295 }, kScreen, { 2377.5, 3852.5 } },
    { "FillsScreenExactly", { 0, 0, 19200, 14400 }, kScreen, { 0, 0 } },
    { "GrownPastBottom", { 4597.5, 12105, 5805, 4560 }, kScreen, { 4597.5, 9840 } },
    { "GrownPastLeft", { -1247.5, 6000, 9050, 2295 }, kScreen, { 0, 6000 } },
    { "GrownPastRight", { 13395, 6000, 9050, 2295 }, kScreen, { 10150, 6000 } },
    { "GrownPastLeftAndBottom", { -1247.5, 12105, 9050, 4560 }, kScreen, { 0, 9840 } },
    { "LargerThanScreenKeepsRightAndBottomEdges", { -500, 200, 20000, 15000 }, kScreen, { -800, -600 } },
    { "BackOntoSecondScreen", { 17000, 13000, 9050, 4560 }, { 19200, 0, 19200, 14400 }, { 19200, 9840 } },
};

class KeepOnScreenTest : public ::testing::TestWithParam<OnScreenCase> { };

TEST_P(KeepOnScreenTest, PullsWindowBackOntoScreen)
{
    const OnScreenCase& testCase = GetParam();
    const TwipsPoint place = keepOnScreen(testCase.window, testCase.screen);
    EXPECT_EQ(place.left, testCase.expected.left);
    EXPECT_EQ(place.top, testCase.expected.top);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, KeepOnScreenTest, ::testing::ValuesIn(kOnScreenCases), marlume::testing::CaseName());

struct TagCase {
    std::string name;
    std::string tag;
    int expected;
};

class TagValueTest : public ::testing::TestWithParam<TagCase> { };

TEST_P(TagValueTest, ReadsDefaultFocusCode)
{
    EXPECT_EQ(tagValue(GetParam().tag), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Tags, TagValueTest,
    ::testing::Values(TagCase { "Yes", "1", 1 }, TagCase { "No", "0", 0 }, TagCase { "Cancel", "-1", -1 },
        TagCase { "LeadingBlank", " 1", 1 }, TagCase { "Empty", "", 0 }, TagCase { "Blanks", "   ", 0 },
        TagCase { "Letters", "abc", 0 }, TagCase { "TrailingLetters", "12abc", 12 },
        TagCase { "Plus", "+1", 1 }, TagCase { "RoundsUp", "1.6", 2 }, TagCase { "HalfToEven", "2.5", 2 },
        TagCase { "NegativeHalf", "-0.5", 0 }, TagCase { "Infinity", "inf", 0 },
        TagCase { "NotANumber", "nan", 0 }, TagCase { "LoneMinus", "-", 0 },
        TagCase { "BeyondInt", "99999999999", std::numeric_limits<int>::min() }),
    marlume::testing::CaseName());

} // namespace
} // namespace marlume::dialogs
