#include "placement/window_placement.h"

#include "support/case_name.h"
#include "support/fake_placement_window.h"
#include "support/fake_settings_store.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace marlume::placement {
namespace {

using testing::FakePlacementWindow;
using testing::FakeSettingsStore;

struct Placement {
    float left;
    float top;
    float width;
    float height;
};

void place(FakePlacementWindow& window, const Placement& p)
{
    window.setLeft(p.left);
    window.setTop(p.top);
    window.setWidth(p.width);
    window.setHeight(p.height);
}

void expectPlacement(const FakePlacementWindow& window, const Placement& expected)
{
    EXPECT_EQ(window.left(), expected.left) << "left";
    EXPECT_EQ(window.top(), expected.top) << "top";
    EXPECT_EQ(window.width(), expected.width) << "width";
    EXPECT_EQ(window.height(), expected.height) << "height";
}

void storeEntries(FakeSettingsStore& store, const std::map<std::string, std::string>& entries)
{
    for (const auto& [key, text] : entries)
        store.write("Velmora", key, text);
}

// On a screen of 19200 x 14400 twips.
struct RestoreCase {
    std::string name;
    std::map<std::string, std::string> stored;
    Placement present;
    bool resizable;
    Placement expected;
};

class RestoreWindowPlacementTest : public ::testing::TestWithParam<RestoreCase> { };

TEST_P(RestoreWindowPlacementTest, PutsTheWindowBack)
{
    const auto& c = GetParam();
    FakeSettingsStore store;
    storeEntries(store, c.stored);
    FakePlacementWindow window;
    place(window, c.present);
    window.resizable = c.resizable;

    RestoreWindowPlacement(window, store, "Velmora");
    expectPlacement(window, c.expected);
}

constexpr Placement kPresent { 1200, 900, 7470, 7440 };

INSTANTIATE_TEST_SUITE_P(Cases, RestoreWindowPlacementTest,
    ::testing::ValuesIn(std::vector<RestoreCase> {
        { "FirstRunKeepsThePresentPlacement", {}, kPresent, true, kPresent },
        { "FirstRunIsStillPulledOntoTheScreen", {}, { -500, -15, 7470, 7440 }, true, { 0, 0, 7470, 7440 } },
        { "SavedPlacement",
            { { "Top", "2000" }, { "Left", "3000" }, { "Width", "8000" }, { "Height", "9000" } }, kPresent,
            true, { 3000, 2000, 8000, 9000 } },
        { "MonitorLeftOfThePrimaryOne", { { "Left", "-2000" } }, kPresent, true, { 0, 900, 7470, 7440 } },
        { "AboveTheScreen", { { "Top", "-300" } }, kPresent, true, { 1200, 0, 7470, 7440 } },
        { "FarRightAndLow", { { "Left", "18000" }, { "Top", "13500" } }, kPresent, true,
            { 17280, 12960, 7470, 7440 } },
        { "LeftAtTheLimitStays", { { "Left", "17280" }, { "Top", "12960" } }, kPresent, true,
            { 17280, 12960, 7470, 7440 } },
        { "BottomBelowTheScreenIsLeft", { { "Top", "12000" }, { "Height", "9000" } }, kPresent, true,
            { 1200, 12000, 7470, 9000 } },
        { "EntriesThatAreNotNumbersKeepThePresentValue",
            { { "Top", "high" }, { "Left", "3000" }, { "Width", "" }, { "Height", "12x" } }, kPresent, true,
            { 3000, 900, 7470, 7440 } },
        { "FixedSizeWindowKeepsItsSize", { { "Left", "3000" }, { "Width", "8000" }, { "Height", "9000" } },
            kPresent, false, { 3000, 900, 7470, 7440 } },
        { "ZeroSizeKeepsThePresentSize", { { "Width", "0" }, { "Height", "0" } }, kPresent, true, kPresent },
        { "SizeBelowOnePixelKeepsThePresentSize", { { "Width", "7" }, { "Height", "14" } }, kPresent, true,
            kPresent },
        { "OnePixelIsASize", { { "Width", "15" }, { "Height", "15" } }, kPresent, true,
            { 1200, 900, 15, 15 } },
        { "NegativeSizeKeepsThePresentSize", { { "Width", "-7470" }, { "Height", "-1" } }, kPresent, true,
            kPresent },
        { "SizeOfAThousandScreensKeepsThePresentSize", { { "Width", "1e9" }, { "Height", "1e30" } }, kPresent,
            true, kPresent },
        { "SizeOfFourScreensIsTaken", { { "Width", "76800" }, { "Height", "57600" } }, kPresent, true,
            { 1200, 900, 76800, 57600 } },
        { "SizeJustOverFourScreensKeepsThePresentSize", { { "Width", "76801" }, { "Height", "57601" } },
            kPresent, true, kPresent },
        { "PositionsBeyondTheIntRangeLandOnTheScreen", { { "Left", "1e30" }, { "Top", "-1e30" } }, kPresent,
            true, { 17280, 0, 7470, 7440 } },
        { "PositionBeyondSinglePrecisionKeepsThePresentValue", { { "Left", "1e39" } }, kPresent, true,
            kPresent },
    }),
    testing::CaseName());

struct SaveCase {
    std::string name;
    WindowState state;
    bool resizable;
    bool positionKnown;
    std::map<std::string, std::string> expected;
};

class SaveWindowPlacementTest : public ::testing::TestWithParam<SaveCase> { };

TEST_P(SaveWindowPlacementTest, WritesTheNormalPlacement)
{
    const auto& c = GetParam();
    FakeSettingsStore store;
    storeEntries(store, { { "Top", "2000" }, { "Left", "3000" }, { "Width", "8000" }, { "Height", "9000" } });
    store.sync();
    FakePlacementWindow window;
    place(window, { -120, 1440, 7470, 7440 });
    window.state = c.state;
    window.resizable = c.resizable;
    window.positionKnown = c.positionKnown;

    SaveWindowPlacement(window, store, "Velmora");

    std::map<std::string, std::string> saved;
    for (const auto& [entry, text] : store.entries)
        saved[entry.second] = text;
    EXPECT_EQ(saved, c.expected);
    EXPECT_EQ(store.unsyncedWrites, 0) << "saved entries must reach the disk before the program ends";
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveWindowPlacementTest,
    ::testing::ValuesIn(std::vector<SaveCase> {
        { "Normal", WindowState::Normal, true, true,
            { { "Top", "1440" }, { "Left", "-120" }, { "Width", "7470" }, { "Height", "7440" } } },
        { "MinimisedSavesNothing", WindowState::Minimized, true, true,
            { { "Top", "2000" }, { "Left", "3000" }, { "Width", "8000" }, { "Height", "9000" } } },
        { "MaximisedSavesNothing", WindowState::Maximized, true, true,
            { { "Top", "2000" }, { "Left", "3000" }, { "Width", "8000" }, { "Height", "9000" } } },
        { "FixedSizeSavesThePositionOnly", WindowState::Normal, false, true,
            { { "Top", "1440" }, { "Left", "-120" }, { "Width", "8000" }, { "Height", "9000" } } },
        { "UnknownPositionKeepsTheSavedOne", WindowState::Normal, true, false,
            { { "Top", "2000" }, { "Left", "3000" }, { "Width", "7470" }, { "Height", "7440" } } },
    }),
    testing::CaseName());

TEST(WindowPlacement, SaveRestoreSaveGivesTheSameEntries)
{
    FakeSettingsStore first;
    FakePlacementWindow closing;
    place(closing, { 4215, 1935, 8130, 7365 });
    SaveWindowPlacement(closing, first, "Velmora");

    FakePlacementWindow opening;
    RestoreWindowPlacement(opening, first, "Velmora");
    FakeSettingsStore second;
    SaveWindowPlacement(opening, second, "Velmora");
    EXPECT_EQ(second.entries, first.entries);
}

struct FitCase {
    std::string name;
    Placement present;
    Placement expected;
};

class FitWindowOnScreenTest : public ::testing::TestWithParam<FitCase> { };

// On a screen of 19200 x 14400 twips.
TEST_P(FitWindowOnScreenTest, KeepsTheWholeWindowOnTheScreen)
{
    FakePlacementWindow window;
    place(window, GetParam().present);
    FitWindowOnScreen(window);
    expectPlacement(window, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitWindowOnScreenTest,
    ::testing::ValuesIn(std::vector<FitCase> {
        { "AlreadyOn", { 100, 200, 9000, 6000 }, { 100, 200, 9000, 6000 } },
        { "LargerThanTheScreenFromTwiceTheScale", { 3000, 2000, 27000, 15000 }, { 0, 0, 19200, 14400 } },
        { "HangingOffTheRight", { 15000, 12000, 9000, 6000 }, { 10200, 8400, 9000, 6000 } },
        { "AboveAndLeftOfIt", { -500, -300, 9000, 6000 }, { 0, 0, 9000, 6000 } },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::placement
