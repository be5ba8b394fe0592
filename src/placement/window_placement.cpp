#include "placement/window_placement.h"

#include "common/number_text.h"
#include "common/twips.h"

#include <algorithm>
#include <optional>

namespace marlume::placement {

namespace {

// The farthest a window's corner may stand towards the right or bottom, as a share of the screen.
constexpr double kScreenShare = 0.9;

// A stored entry is trusted only as far as a window can be: at most this many screens from the
// origin, and as large.
constexpr float kScreensAtMost = 4;

std::optional<float> storedNumber(
    const platform::SettingsStore& store, std::string_view section, std::string_view key, char separator)
{
    const auto text = store.read(section, key);
    return text ? common::parseNumberText(*text, separator) : std::nullopt;
}

// A position far off the screen is pulled in before it is set, so no coordinate beyond what the
// window system can hold reaches it; KeepWindowOnScreen then treats it as any position off screen.
std::optional<float> storedPosition(const platform::SettingsStore& store, std::string_view section,
    std::string_view key, char separator, float screenExtent)
{
    const float farthest = kScreensAtMost * screenExtent;
    const auto position = storedNumber(store, section, key, separator);
    return position ? std::optional(std::clamp(*position, -farthest, farthest)) : std::nullopt;
}

// A size below one pixel leaves the window unmapped, and one of many screens takes the memory of a
// huge window: such an entry keeps the present size, like text that is not a number.
std::optional<float> storedSize(const platform::SettingsStore& store, std::string_view section,
    std::string_view key, char separator, float screenExtent)
{
    const auto size = storedNumber(store, section, key, separator);
    const bool windowCanBe
        = size && *size >= common::kTwipsPerPixel && *size <= kScreensAtMost * screenExtent;
    return windowCanBe ? size : std::nullopt;
}

} // namespace

void RestoreWindowPlacement(PlacementWindow& window, const platform::SettingsStore& store,
    std::string_view section, char decimalSeparator)
{
    const float screenWidth = window.screenWidth();
    const float screenHeight = window.screenHeight();
    if (const auto top = storedPosition(store, section, "Top", decimalSeparator, screenHeight))
        window.setTop(*top);
    if (const auto left = storedPosition(store, section, "Left", decimalSeparator, screenWidth))
        window.setLeft(*left);
    if (window.isResizable()) {
        if (const auto width = storedSize(store, section, "Width", decimalSeparator, screenWidth))
            window.setWidth(*width);
        if (const auto height = storedSize(store, section, "Height", decimalSeparator, screenHeight))
            window.setHeight(*height);
    }
    KeepWindowOnScreen(window);
}

void SaveWindowPlacement(const PlacementWindow& window, platform::SettingsStore& store,
    std::string_view section, char decimalSeparator)
{
    if (window.windowState() != WindowState::Normal)
        return;
    // Without a known position the saved one stays, instead of becoming 0, 0.
    if (window.knowsPosition()) {
        store.write(section, "Top", common::numberText(window.top(), decimalSeparator));
        store.write(section, "Left", common::numberText(window.left(), decimalSeparator));
    }
    if (window.isResizable()) {
        store.write(section, "Width", common::numberText(window.width(), decimalSeparator));
        store.write(section, "Height", common::numberText(window.height(), decimalSeparator));
    }
    // The program ends right after saving.
    store.sync();
}

void FitWindowOnScreen(PlacementWindow& window)
{
    const float screenWidth = window.screenWidth();
    const float screenHeight = window.screenHeight();
    if (screenWidth <= 0 || screenHeight <= 0)
        return;
    if (window.width() > screenWidth)
        window.setWidth(screenWidth);
    if (window.height() > screenHeight)
        window.setHeight(screenHeight);
    window.setLeft(std::clamp(window.left(), 0.0F, screenWidth - window.width()));
    window.setTop(std::clamp(window.top(), 0.0F, screenHeight - window.height()));
}

void KeepWindowOnScreen(PlacementWindow& window)
{
    if (window.left() < 0)
        window.setLeft(0);
    if (window.top() < 0)
        window.setTop(0);
    const auto maxLeft = static_cast<float>(kScreenShare * window.screenWidth());
    const auto maxTop = static_cast<float>(kScreenShare * window.screenHeight());
    if (window.left() > maxLeft)
        window.setLeft(maxLeft);
    if (window.top() > maxTop)
        window.setTop(maxTop);
}

} // namespace marlume::placement
