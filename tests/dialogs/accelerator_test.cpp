#include "dialogs/accelerator.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace marlume::dialogs {
namespace {

struct AcceleratorCase {
    std::string name;
    std::string_view focusedKind;
    std::vector<AcceleratorControl> controls;
    char16_t key;
    std::optional<std::size_t> expected;
};

const std::vector<AcceleratorControl> kYesNo { { kCommandButton, u"&Yes" }, { kCommandButton, u"&No" } };
// The save-as question in the dialog's control order: signs, No, Yes, hidden Cancel, label.
const std::vector<AcceleratorControl> kSaveAsQuestion { { "PictureBox", u"" }, { "PictureBox", u"" },
    { kCommandButton, u"&No" }, { kCommandButton, u"&Yes" }, { kCommandButton, u"" }, { "PictureBox", u"" },
    { "Label", u"Replace &it?" } };

const std::vector<AcceleratorCase> kCases {
    { "LowerYPressesYes", kCommandButton, kYesNo, u'y', 0 },
    { "UpperYPressesYes", kCommandButton, kYesNo, u'Y', 0 },
    { "LowerNPressesNo", kCommandButton, kYesNo, u'n', 1 },
    { "UpperNPressesNo", kCommandButton, kYesNo, u'N', 1 },
    { "UnmarkedKeyPressesNothing", kCommandButton, kYesNo, u'x', std::nullopt },
    { "FocusOnTextBox", "TextBox", kYesNo, u'y', std::nullopt },
    { "FocusOnPictureBox", "PictureBox", kYesNo, u'y', std::nullopt },
    { "NoFocusedControl", "", kYesNo, u'y', std::nullopt },
    { "FocusOnCheckBox", kCheckBox, kYesNo, u'n', 1 },
    { "FocusOnOptionButton", kOptionButton, kYesNo, u'n', 1 },
    { "CheckBoxIsNeverPressed", kCommandButton,
        { { kCheckBox, u"&Yes" }, { kOptionButton, u"&Yes" }, { kCommandButton, u"&Yes" } }, u'y', 2 },
    { "CaptionWithoutAmpersand", kCommandButton, { { kCommandButton, u"Cancel" } }, u'c', std::nullopt },
    { "CaptionEndingInAmpersand", kCommandButton, { { kCommandButton, u"Save&" } }, u'&', std::nullopt },
    { "DoubledAmpersandMarksAmpersand", kCommandButton, { { kCommandButton, u"Save && Exit" } }, u'&', 0 },
    { "OnlyFirstAmpersandCounts", kCommandButton, { { kCommandButton, u"Save && &Exit" } }, u'e',
        std::nullopt },
    { "FirstOfTwoSameMarks", kCommandButton, { { kCommandButton, u"&No" }, { kCommandButton, u"&Next" } },
        u'n', 0 },
    { "EnterPassesOn", kCommandButton, kYesNo, 13, std::nullopt },
    { "EscapePassesOn", kCommandButton, kYesNo, 27, std::nullopt },
    { "BackspacePassesOn", kCommandButton, kYesNo, 8, std::nullopt },
    { "SaveAsYes", kCommandButton, kSaveAsQuestion, u'Y', 3 },
    { "SaveAsHiddenCancel", kCommandButton, kSaveAsQuestion, u'c', std::nullopt },
    { "SaveAsLabelIsNoButton", kCommandButton, kSaveAsQuestion, u'i', std::nullopt },
    { "LatinOneCaseRule", kCommandButton, { { kCommandButton, u"&Ändern" } }, u'ä', 0 },
    { "LatinOneCaseRuleUpperKey", kCommandButton, { { kCommandButton, u"&ändern" } }, u'Ä', 0 },
    { "MultiplicationSignHasNoCase", kCommandButton, { { kCommandButton, u"&×" } }, u'÷', std::nullopt },
};

class AcceleratorTest : public ::testing::TestWithParam<AcceleratorCase> { };

TEST_P(AcceleratorTest, FindsButtonToPress)
{
    const AcceleratorCase& testCase = GetParam();
    EXPECT_EQ(
        findAcceleratorButton(testCase.focusedKind, testCase.controls, testCase.key), testCase.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, AcceleratorTest, ::testing::ValuesIn(kCases), marlume::testing::CaseName());

} // namespace
} // namespace marlume::dialogs
