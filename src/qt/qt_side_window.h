#pragma once

#include "platform/settings_store.h"
#include "qt/qt_placement_window.h"

#include <QWidget>

#include <string>
#include <string_view>

namespace marlume::qt {

// A window of its own beside the main one, not modal: it opens where it was last, always fitting the
// screen, and keeps its placement under its own section of the settings store. Escape and Ctrl+W close it.
class SideWindow : public QWidget {
    Q_OBJECT

public:
    SideWindow(platform::SettingsStore& settings, std::string_view placementSection, QWidget* parent);

    // Shows the window where it was last, or raises it when it is up.
    void showWindow();
    // Keeps the placement when the window has been shown in this run.
    void savePlacement();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    platform::SettingsStore& m_settings;
    std::string m_placementSection;
    QtPlacementWindow m_placement;
    bool m_placed = false; // the stored placement has been applied
};

} // namespace marlume::qt
