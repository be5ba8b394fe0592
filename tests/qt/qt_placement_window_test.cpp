#include "qt/qt_placement_window.h"

#include "support/case_name.h"
#include "support/fake_settings_store.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace marlume::qt {
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
    EXPECT_EQ(window.placement.windowState(), placement::WindowState::Maximized);
    FakeSettingsStore saved;
    SaveWindowPlacement(window.placement, saved, "Velmora");
    EXPECT_TRUE(saved.entries.empty());
}

// Entries that no window can have, on a real widget: sizes in twips, the left edge as a share of the
// screen's width; nullopt means what a first start (no entries) gives.
struct DamagedCase {
    std::string name;
    std::map<std::string, std::string> stored;
    std::optional<double> leftScreenShare;
    std::optional<float> width;
    std::optional<float> height;
};

class DamagedPlacementTest : public ::testing::TestWithParam<DamagedCase> { };

TEST_P(DamagedPlacementTest, OpensAWindowThatCanBeSeen)
{
    const auto& c = GetParam();
    const OpenedWindow firstStart { FakeSettingsStore() };
    FakeSettingsStore store;
    for (const auto& [key, text] : c.stored)
        store.write("Velmora", key, text);
    const OpenedWindow window(store);

    const float left = c.leftScreenShare
        ? static_cast<float>(*c.leftScreenShare * window.placement.screenWidth())
        : firstStart.placement.left();
    EXPECT_EQ(window.placement.left(), left);
    EXPECT_EQ(window.placement.width(), c.width.value_or(firstStart.placement.width()));
    EXPECT_EQ(window.placement.height(), c.height.value_or(firstStart.placement.height()));
    EXPECT_TRUE(window.widget.isVisible());
    EXPECT_GT(window.widget.width(), 0);
    EXPECT_GT(window.widget.height(), 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, DamagedPlacementTest,
    ::testing::ValuesIn(std::vector<DamagedCase> {
        { "LeftBeyondTheIntRange", { { "Left", "1e30" } }, 0.9, std::nullopt, std::nullopt },
        { "ZeroSize", { { "Width", "0" }, { "Height", "0" } }, std::nullopt, std::nullopt, std::nullopt },
        { "SizeBelowOnePixel", { { "Width", "7" }, { "Height", "7" } }, std::nullopt, std::nullopt,
            std::nullopt },
        { "NegativeSize", { { "Width", "-6000" }, { "Height", "-6000" } }, std::nullopt, std::nullopt,
            std::nullopt },
        { "HugeSize", { { "Width", "1e9" }, { "Height", "1e30" } }, std::nullopt, std::nullopt,
            std::nullopt },
        { "SaneSizeIsTaken", { { "Width", "6000" }, { "Height", "6000" } }, std::nullopt, 6000, 6000 },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::qt
