#include "app/qt_placement_window.h"

#include "support/fake_settings_store.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace marlume::app {
namespace {

using testing::FakeSettingsStore;

// A main window as the program opens it: placement restored before it is shown.
struct OpenedWindow {
    explicit OpenedWindow(const FakeSettingsStore& store)
    {
        widget.resize(482, 450);
        RestoreWindowPlacement(placement, store, "Velmora");
        widget.show();
        QCoreApplication::processEvents();
    }

    QWidget widget;
    QtPlacementWindow placement { widget };
};

FakeSettingsStore savedPlacement()
{
    FakeSettingsStore store;
    store.write("Velmora", "Top", "1500");
    store.write("Velmora", "Left", "3000");
    store.write("Velmora", "Width", "7470");
    store.write("Velmora", "Height", "7440");
    return store;
}

TEST(QtPlacementWindow, RestoredWindowSavesTheSamePlacement)
{
    const FakeSettingsStore stored = savedPlacement();
    OpenedWindow window(stored);
    FakeSettingsStore saved;
    SaveWindowPlacement(window.placement, saved, "Velmora");
    EXPECT_EQ(saved.entries, stored.entries);
    // The entries are the outer frame's: the client area is smaller by the frame.
    const QSize frame = window.widget.frameGeometry().size() - window.widget.geometry().size();
    EXPECT_EQ(window.widget.size(), QSize(498, 496) - frame);
}

TEST(QtPlacementWindow, RepeatedStartsDoNotGrowTheWindow)
{
    FakeSettingsStore store = savedPlacement();
    for (int start = 0; start < 3; ++start) {
        OpenedWindow window(store);
        FakeSettingsStore saved;
        SaveWindowPlacement(window.placement, saved, "Velmora");
        EXPECT_EQ(saved.entries, store.entries) << "start " << start;
        store = saved;
    }
}

TEST(QtPlacementWindow, WindowMovedAfterShowingSavesItsNewFrame)
{
    OpenedWindow window(savedPlacement());
    window.placement.setLeft(1500);
    window.placement.setTop(750);
    window.placement.setWidth(6000);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.placement.left(), 1500);
    EXPECT_EQ(window.placement.top(), 750);
    EXPECT_EQ(window.placement.width(), 6000);
    EXPECT_EQ(window.placement.height(), 7440);
}

TEST(QtPlacementWindow, MaximisedWindowSavesNothing)
{
    OpenedWindow window(savedPlacement());
    window.widget.showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.placement.windowState(), WindowState::Maximized);
    FakeSettingsStore saved;
    SaveWindowPlacement(window.placement, saved, "Velmora");
    EXPECT_TRUE(saved.entries.empty());
}

} // namespace
} // namespace marlume::app
