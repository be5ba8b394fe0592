#pragma once

#include "common/twips.h"

#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace marlume::dialogs {

// Answer codes of a question; the same codes name the button that starts with the focus.
inline constexpr int kAnswerYes = 1;
inline constexpr int kAnswerNo = 0;
inline constexpr int kAnswerCancel = -1;

using common::TwipsRect;

// The question dialog as designed: client area and control rectangles.
namespace design {
inline constexpr float kClientWidth = 5715;
inline constexpr float kClientHeight = 1890;
inline constexpr TwipsRect kSign { 120, 120, 480, 480 };
inline constexpr TwipsRect kQuestionSign { 120, 120, 492, 492 };
inline constexpr TwipsRect kYesButton { 720, 1440, 1455, 375 };
inline constexpr TwipsRect kNoButton { 2400, 1440, 1455, 375 };
inline constexpr TwipsRect kCancelButton { 4080, 1440, 1332, 375 };
inline constexpr TwipsRect kQuestionText { 840, 120, 4695, 195 };
} // namespace design

// Outer position and size of a window (frame included) and its client area.
struct DialogFrame {
    float left;
    float top;
    float width;
    float height;
    float scaleWidth;
    float scaleHeight;
};

struct QuestionButton {
    float width;
    float height;
    bool hasCaption;
};

// Buttons in the order YesButton, NoButton, Cancel_Button.
struct LayoutInput {
    DialogFrame dialog;
    float labelLeft;
    float labelTop;
    float labelWidth;
    std::array<QuestionButton, 3> buttons;
};

struct ButtonPosition {
    float left;
    float top;
};

struct LayoutResult {
    DialogFrame dialog;
    float labelWidth;
    float labelHeight;
    std::array<ButtonPosition, 3> buttons;
};

// Height of the message wrapped at the given width, both in twips.
using LabelHeightFor = std::function<float(float width)>;

// Fits the dialog around its message: never narrower or lower than it is, at most 8000
// twips of label width, growing equally to both sides and downward; then places the
// button row at the bottom right, where a button without caption takes no room.
[[nodiscard]] LayoutResult layoutQuestion(const LayoutInput& input, const LabelHeightFor& labelHeightFor);

struct TwipsPoint {
    float left;
    float top;
};

// Where a window (outer rectangle) stays on the screen: pulled in past the left and top
// edges, then past the right and bottom ones, which win for a window larger than the screen.
[[nodiscard]] TwipsPoint keepOnScreen(const TwipsRect& window, const TwipsRect& screen);

// Where a question of the given outer size opens: centred over the owner and pulled
// onto the owner's screen (the right and bottom edges win over the left and top ones),
// or centred on the screen when there is no owner.
[[nodiscard]] TwipsPoint placeQuestion(
    const std::optional<TwipsRect>& owner, float dialogWidth, float dialogHeight, const TwipsRect& screen);

// The default-focus code read back from the dialog's Tag: leading blanks skipped, text
// that does not begin with a number gives 0, rounded to the nearest integer (halves to even);
// a value beyond the int range gives INT_MIN, which names no button.
[[nodiscard]] int tagValue(std::string_view tag);

} // namespace marlume::dialogs
