#pragma once

#include "placement/window_placement.h"

namespace marlume::testing {

// A window whose placement the test sets and reads directly.
class FakePlacementWindow final : public placement::PlacementWindow {
public:
    [[nodiscard]] float left() const override { return m_left; }
    [[nodiscard]] float top() const override { return m_top; }
    [[nodiscard]] float width() const override { return m_width; }
    [[nodiscard]] float height() const override { return m_height; }
    void setLeft(float twips) override { m_left = twips; }
    void setTop(float twips) override { m_top = twips; }
    void setWidth(float twips) override { m_width = twips; }
    void setHeight(float twips) override { m_height = twips; }
    [[nodiscard]] placement::WindowState windowState() const override { return state; }
    [[nodiscard]] bool isResizable() const override { return resizable; }
    [[nodiscard]] bool knowsPosition() const override { return positionKnown; }
    [[nodiscard]] float screenWidth() const override { return screenTwipsWide; }
    [[nodiscard]] float screenHeight() const override { return screenTwipsHigh; }

    placement::WindowState state = placement::WindowState::Normal;
    bool resizable = true;
    bool positionKnown = true;
    float screenTwipsWide = 19200;
    float screenTwipsHigh = 14400;

private:
    float m_left = 1200;
    float m_top = 900;
    float m_width = 7470;
    float m_height = 7440;
};

} // namespace marlume::testing
