#include "qt/qt_placement_window.h"

#include "common/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <utility>

namespace marlume::qt {

namespace {

float toTwips(int pixels)
{
    return static_cast<float>(common::pixelsToTwips(pixels));
}

QSize primaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? QSize() : screen->geometry().size();
}

} // namespace

QtPlacementWindow::QtPlacementWindow(QWidget& window)
    : m_window(window)
{
    m_window.installEventFilter(this);
}

float QtPlacementWindow::left() const
{
    return toTwips(m_window.frameGeometry().x());
}

float QtPlacementWindow::top() const
{
    return toTwips(m_window.frameGeometry().y());
}

float QtPlacementWindow::width() const
{
    return toTwips(m_window.frameGeometry().width());
}

float QtPlacementWindow::height() const
{
    return toTwips(m_window.frameGeometry().height());
}

void QtPlacementWindow::setLeft(float twips)
{
    // A window's move() places its frame's corner, before and after it is shown.
    m_window.move(common::twipsToPixels(twips), m_window.frameGeometry().y());
}

void QtPlacementWindow::setTop(float twips)
{
    m_window.move(m_window.frameGeometry().x(), common::twipsToPixels(twips));
}

void QtPlacementWindow::setWidth(float twips)
{
    resizeOuter({ common::twipsToPixels(twips), m_window.frameGeometry().height() });
}

void QtPlacementWindow::setHeight(float twips)
{
    resizeOuter({ m_window.frameGeometry().width(), common::twipsToPixels(twips) });
}

placement::WindowState QtPlacementWindow::windowState() const
{
    const Qt::WindowStates state = m_window.windowState();
    if (state.testFlag(Qt::WindowMinimized))
        return placement::WindowState::Minimized;
    if (state.testFlag(Qt::WindowMaximized) || state.testFlag(Qt::WindowFullScreen))
        return placement::WindowState::Maximized;
    return placement::WindowState::Normal;
}

bool QtPlacementWindow::isResizable() const
{
    return m_window.minimumSize() != m_window.maximumSize();
}

bool QtPlacementWindow::knowsPosition() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

float QtPlacementWindow::screenWidth() const
{
    return toTwips(primaryScreenSize().width());
}

float QtPlacementWindow::screenHeight() const
{
    return toTwips(primaryScreenSize().height());
}

bool QtPlacementWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    const bool mayBeFramed = type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize;
    if (mayBeFramed && m_pendingOuter.isValid() && m_window.isVisible() && !frameExtra().isNull())
        m_window.resize(std::exchange(m_pendingOuter, QSize()) - frameExtra());
    return QObject::eventFilter(watched, event);
}

void QtPlacementWindow::resizeOuter(QSize outer)
{
    const QSize extra = frameExtra();
    // Until the window is framed its margins read as none; the size is set again once they are known.
    m_pendingOuter = m_window.isVisible() && !extra.isNull() ? QSize() : outer;
    m_window.resize(outer - extra);
}

QSize QtPlacementWindow::frameExtra() const
{
    return m_window.frameGeometry().size() - m_window.geometry().size();
}

} // namespace marlume::qt
