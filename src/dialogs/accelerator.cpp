#include "dialogs/accelerator.h"

namespace marlume::dialogs {

namespace {

// Case rules of the single-byte Latin-1 set; other characters compare as they are.
char16_t lowerCase(char16_t c)
{
    constexpr char16_t multiplicationSign = 0xD7;
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != multiplicationSign))
        return static_cast<char16_t>(c + 0x20);
    return c;
}

bool takesAccelerators(std::string_view kind)
{
    return kind == kCommandButton || kind == kCheckBox || kind == kOptionButton;
}

} // namespace

std::optional<std::size_t> findAcceleratorButton(
    std::string_view focusedKind, std::span<const AcceleratorControl> controls, char16_t key)
{
    if (!takesAccelerators(focusedKind))
        return std::nullopt;
    const char16_t typed = lowerCase(key);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != kCommandButton)
            continue;
        const std::u16string_view caption = controls[i].caption;
        const std::size_t amp = caption.find(u'&');
        // A caption ending in "&" marks no character.
        if (amp == std::u16string_view::npos || amp + 1 == caption.size())
            continue;
        if (lowerCase(caption[amp + 1]) == typed)
            return i;
    }
    return std::nullopt;
}

} // namespace marlume::dialogs
