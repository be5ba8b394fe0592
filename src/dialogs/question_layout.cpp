#include "dialogs/question_layout.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace marlume::dialogs {

namespace {

constexpr float kMargin = 120;
constexpr float kButtonGap = 180;
constexpr float kButtonBottomGap = 60;
constexpr float kMaxLabelWidth = 8000;

// Sums are rounded to single precision before they are compared.
float single(double value)
{
    return static_cast<float>(value);
}

} // namespace

LayoutResult layoutQuestion(const LayoutInput& input, const LabelHeightFor& labelHeightFor)
{
    LayoutResult out { input.dialog, input.labelWidth, labelHeightFor(input.labelWidth), {} };
    DialogFrame& dialog = out.dialog;
    const float labelLeft = input.labelLeft;
    const float labelTop = input.labelTop;

    if (out.labelWidth / 2 < out.labelHeight) {
        out.labelWidth = 2 * out.labelHeight;
        out.labelHeight = labelHeightFor(out.labelWidth);
    }
    if (out.labelWidth > kMaxLabelWidth) {
        out.labelWidth = kMaxLabelWidth;
        out.labelHeight = labelHeightFor(out.labelWidth);
    }

    if (single(double { labelLeft } + out.labelWidth + kMargin) > dialog.scaleWidth) {
        const float frameWidth = dialog.width - dialog.scaleWidth;
        const auto newWidth = static_cast<float>(
            std::nearbyint(double { frameWidth } + out.labelWidth + labelLeft + kMargin));
        dialog.left = single(double { dialog.left } - (double { newWidth } - dialog.width) / 2);
        dialog.width = newWidth;
        dialog.scaleWidth = newWidth - frameWidth;
    }

    // The Yes button's height counts even when it is hidden.
    const float buttonHeight = input.buttons[0].height;
    if (single(double { labelTop } + out.labelHeight + kMargin + buttonHeight) > dialog.scaleHeight) {
        const float frameHeight = dialog.height - dialog.scaleHeight;
        dialog.height = single(double { frameHeight } + out.labelHeight + labelTop + kMargin + buttonHeight);
        dialog.scaleHeight = dialog.height - frameHeight;
    }

    for (std::size_t i = 0; i < out.buttons.size(); ++i)
        out.buttons[i].top = dialog.scaleHeight - input.buttons[i].height - kButtonBottomGap;

    // From the right: a button without caption takes no room; the Yes button always does.
    const auto& [yes, no, cancel] = input.buttons;
    auto& [yesPlace, noPlace, cancelPlace] = out.buttons;
    cancelPlace.left
        = cancel.hasCaption ? dialog.scaleWidth - cancel.width - kButtonGap : dialog.scaleWidth - kButtonGap;
    noPlace.left = no.hasCaption ? cancelPlace.left - no.width - kButtonGap : cancelPlace.left;
    yesPlace.left = noPlace.left - yes.width - kButtonGap;
    return out;
}

TwipsPoint placeQuestion(
    const std::optional<TwipsRect>& owner, float dialogWidth, float dialogHeight, const TwipsRect& screen)
{
    if (!owner)
        return { screen.left + screen.width / 2 - dialogWidth / 2,
            screen.top + screen.height / 2 - dialogHeight / 2 };

    return keepOnScreen({ owner->width / 2 + owner->left - dialogWidth / 2,
                            owner->height / 2 + owner->top - dialogHeight / 2, dialogWidth, dialogHeight },
        screen);
}

TwipsPoint keepOnScreen(const TwipsRect& window, const TwipsRect& screen)
{
    TwipsPoint place { window.left, window.top };
    if (place.left < screen.left)
        place.left = screen.left;
    if (place.top < screen.top)
        place.top = screen.top;
    // Tested after the near edges, so a window larger than the screen keeps its far edge on screen.
    if (place.left + window.width > screen.left + screen.width)
        place.left = screen.left + screen.width - window.width;
    if (place.top + window.height > screen.top + screen.height)
        place.top = screen.top + screen.height - window.height;
    return place;
}

int tagValue(std::string_view tag)
{
    const std::size_t start = tag.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return 0;
    tag.remove_prefix(start);
    if (tag.front() == '+')
        tag.remove_prefix(1);
    // Only digits, a point or a minus begin a number; "inf" and "nan" do not.
    const std::size_t firstDigit = tag.starts_with('-') ? 1 : 0;
    if (tag.size() <= firstDigit
        || !(std::isdigit(static_cast<unsigned char>(tag[firstDigit])) || tag[firstDigit] == '.'))
        return 0;
    double value = 0;
    if (std::from_chars(tag.data(), tag.data() + tag.size(), value).ec != std::errc())
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

} // namespace marlume::dialogs
