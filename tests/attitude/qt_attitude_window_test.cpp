#include "attitude/qt_attitude_window.h"
#include "support/main_form_on_fakes.h"

#include <QAction>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace marlume::attitude {
namespace {

class AttitudeWindowTest : public ::testing::Test, protected testing::MainFormOnFakes {
protected:
    // The colour at the centre of the latest reading's dot.
    [[nodiscard]] QColor dotColour()
    {
        AttitudeWindow& view = form.attitudeWindow();
        const record::AcceptedReading reading = *form.attitudeModel().latest();
        const common::Point dot
            = levelDot(layoutAttitude(view.width(), view.height(), view.fontMetrics().height()).level,
                reading.pitch, reading.roll, reading.tilt);
        return view.grab().toImage().pixelColor(static_cast<int>(dot.x), static_cast<int>(dot.y));
    }
};

TEST_F(AttitudeWindowTest, DrawsEachReadingRedOverRangeGreyWhenReadingsStopAndOnlyWhatIsNew)
{
    form.menuBar()->findChild<QAction*>(QStringLiteral("AttitudeAction"))->trigger();
    AttitudeWindow& view = form.attitudeWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.tone(), Tone::Stale) << "no reading yet";
    EXPECT_FALSE(view.refresh()) << "nothing new: no repaint";

    // Each reading is drawn by itself, at once or a little later when the last redraw was just now.
    receive("90,10,20\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.tone() == Tone::Normal; }, 1000));
    EXPECT_FALSE(view.refresh()) << "already drawn";
    EXPECT_EQ(dotColour(), QColor(0x1F5FBF));

    receive("90,50,40\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.tone() == Tone::OverRange; }, 1000));
    EXPECT_EQ(dotColour(), QColor(0xFF0000));

    // The age of a reading is the monitor's clock's.
    clock.advanceMilliseconds(static_cast<int>(kStaleAfterMs));
    static_cast<void>(view.refresh());
    EXPECT_EQ(view.tone(), Tone::OverRange) << "a second old: not yet grey";
    clock.advanceMilliseconds(1);
    EXPECT_TRUE(view.refresh());
    EXPECT_EQ(view.tone(), Tone::Stale) << "grey once the last reading is more than a second old";
    EXPECT_EQ(dotColour(), QColor(0xA0A0A0));

    view.close();
    EXPECT_TRUE(settings.entries.contains({ "Attitude", "Width" }))
        << "its placement in a section of its own";
}

} // namespace
} // namespace marlume::attitude
