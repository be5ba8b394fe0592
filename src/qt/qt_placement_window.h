#pragma once

#include "placement/window_placement.h"

#include <QObject>
#include <QSize>

class QWidget;

namespace marlume::qt {

// A top-level QWidget seen as a window with a placement: the outer frame's position
// and size in twips. The frame's margins are known only once the window is shown
// (on X11 only when the window manager has framed it), so an outer size set before
// then is applied to the client area as soon as the margins are known: a saved
// placement comes back as it was saved instead of growing by the frame on every start.
class QtPlacementWindow final : public QObject, public placement::PlacementWindow {
public:
    explicit QtPlacementWindow(QWidget& window);

    [[nodiscard]] float left() const override;
    [[nodiscard]] float top() const override;
    [[nodiscard]] float width() const override;
    [[nodiscard]] float height() const override;
    void setLeft(float twips) override;
    void setTop(float twips) override;
    void setWidth(float twips) override;
    void setHeight(float twips) override;
    [[nodiscard]] placement::WindowState windowState() const override;
    [[nodiscard]] bool isResizable() const override;
    [[nodiscard]] bool knowsPosition() const override;
    [[nodiscard]] float screenWidth() const override;
    [[nodiscard]] float screenHeight() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resizeOuter(QSize outer);
    [[nodiscard]] QSize frameExtra() const;

    QWidget& m_window;
    QSize m_pendingOuter; // valid while an outer size waits for the frame's margins
};

} // namespace marlume::qt
