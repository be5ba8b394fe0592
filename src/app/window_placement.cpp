#include "app/window_placement.h"

#include "record/number_text.h"

#include <optional>

namespace marlume::app {

namespace {

// The farthest a window's corner may stand towards the right or bottom, as a share of the screen.
constexpr double kScreenShare = 0.9;

std::optional<float> storedNumber(
    const platform::SettingsStore& store, std::string_view section, std::string_view key, char separator)
{
    const auto text = store.read(section, key);
    return text ? record::parseNumberText(*text, separator) : std::nullopt;
}

} // namespace

void RestoreWindowPlacement(PlacementWindow& window, const platform::SettingsStore& store,
    std::string_view section, char decimalSeparator)
{
    if (const auto top = storedNumber(store, section, "Top", decimalSeparator))
        window.setTop(*top);
    if (const auto left = storedNumber(store, section, "Left", decimalSeparator))
        window.setLeft(*left);
    if (window.isResizable()) {
        if (const auto width = storedNumber(store, section, "Width", decimalSeparator))
            window.setWidth(*width);
        if (const auto height = storedNumber(store, section, "Height", decimalSeparator))
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
        store.write(section, "Top", record::numberText(window.top(), decimalSeparator));
        store.write(section, "Left", record::numberText(window.left(), decimalSeparator));
    }
    if (window.isResizable()) {
        store.write(section, "Width", record::numberText(window.width(), decimalSeparator));
        store.write(section, "Height", record::numberText(window.height(), decimalSeparator));
    }
    // The program ends right after saving.
    store.sync();
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

} // namespace marlume::app
