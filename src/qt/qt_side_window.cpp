#include "qt/qt_side_window.h"

#include "placement/window_placement.h"

#include <QCloseEvent>
#include <QShortcut>

namespace marlume::qt {

SideWindow::SideWindow(platform::SettingsStore& settings, std::string_view placementSection, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_placementSection(placementSection)
    , m_placement(*this)
{
    for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) })
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

void SideWindow::showWindow()
{
    if (!m_placed) {
        m_placed = true;
        placement::RestoreWindowPlacement(m_placement, m_settings, m_placementSection);
        placement::FitWindowOnScreen(m_placement);
    }
    show();
    raise();
    activateWindow();
}

void SideWindow::savePlacement()
{
    if (m_placed)
        placement::SaveWindowPlacement(m_placement, m_settings, m_placementSection);
}

void SideWindow::closeEvent(QCloseEvent* event)
{
    savePlacement();
    QWidget::closeEvent(event);
}

} // namespace marlume::qt
