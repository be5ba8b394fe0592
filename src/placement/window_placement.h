#pragma once

#include "platform/settings_store.h"

#include <string_view>

namespace marlume::placement {

enum class WindowState { Normal, Minimized, Maximized };

// A window as its placement is kept: the outer frame's position and size in twips.
class PlacementWindow {
public:
    virtual ~PlacementWindow() = default;
    [[nodiscard]] virtual float left() const = 0;
    [[nodiscard]] virtual float top() const = 0;
    [[nodiscard]] virtual float width() const = 0;
    [[nodiscard]] virtual float height() const = 0;
    virtual void setLeft(float twips) = 0;
    virtual void setTop(float twips) = 0;
    virtual void setWidth(float twips) = 0;
    virtual void setHeight(float twips) = 0;
    [[nodiscard]] virtual WindowState windowState() const = 0;
    [[nodiscard]] virtual bool isResizable() const = 0;
    // False where the window system does not tell a window where it stands (Wayland).
    [[nodiscard]] virtual bool knowsPosition() const = 0;
    [[nodiscard]] virtual float screenWidth() const = 0;
    [[nodiscard]] virtual float screenHeight() const = 0;
};

// Puts the window where the settings say, keeping the present value for every entry
// that is missing, not a number or a size no window can have, then pulls it back onto
// the screen.
void RestoreWindowPlacement(PlacementWindow& window, const platform::SettingsStore& store,
    std::string_view section, char decimalSeparator = '.');

// Keeps the placement of a window in its normal state and puts it on disk at once.
// A minimised or maximised window saves nothing.
void SaveWindowPlacement(const PlacementWindow& window, platform::SettingsStore& store,
    std::string_view section, char decimalSeparator = '.');

// Moves the window's top-left corner into the screen; its size is left alone.
void KeepWindowOnScreen(PlacementWindow& window);

// Makes the whole window fit the screen: no larger than the screen, and moved so that no edge lies
// beyond it. For windows beside the main one, which a placement kept at another scale could put
// mostly off the screen.
void FitWindowOnScreen(PlacementWindow& window);

} // namespace marlume::placement
