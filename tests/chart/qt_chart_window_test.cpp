#include "app/qt_main_form.h"
#include "chart/qt_chart_window.h"
#include "common/raw_log_format.h"
#include "qt/qt_event_pump.h"
#include "support/fake_clock.h"
#include "support/fake_serial_control.h"
#include "support/fake_settings_store.h"
#include "support/qt_window_services.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace marlume::chart {
namespace {

// The main window on fakes, its sensor on an open port 1.
class ChartWindowTest : public ::testing::Test {
protected:
    ChartWindowTest()
    {
        comPort.presentPorts = { 1 };
        static_cast<void>(comPort.setPortOpen(true));
    }

    void receive(std::string_view lines)
    {
        comPort.arrive(lines);
        clock.advanceMilliseconds(100);
        form.monitor().wake();
    }
    [[nodiscard]] QAction* action(const char* name) const
    {
        return form.menuBar()->findChild<QAction*>(QString::fromLatin1(name));
    }
    [[nodiscard]] QImage drawn() { return form.chartWindow().plot().grab().toImage(); }

    testing::FakeSerialControl comPort;
    testing::FakeClock clock;
    qt::QtEventPump pump;
    testing::FakeSettingsStore settings;
    testing::QtWindowServices window;
    app::MainForm form { window.with(comPort, clock, pump), settings };
};

TEST_F(ChartWindowTest, TheMenuBarOffersTheLogTheChartExitAndAbout)
{
    const QStringList menus = [this] {
        QStringList titles;
        for (QAction* menu : form.menuBar()->actions())
            titles << menu->text();
        return titles;
    }();
    EXPECT_EQ(
        menus, (QStringList { QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help") }));
    ASSERT_NE(action("RawLogAction"), nullptr);
    EXPECT_EQ(action("RawLogAction")->text(), QStringLiteral("&Raw Readings Log..."));
    EXPECT_EQ(action("ExitAction")->shortcut(), QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(action("AboutAction")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_FALSE(action("ChartAction")->shortcut().isEmpty());
}

TEST_F(ChartWindowTest, ViewChartOpensAWindowOfItsOwnThatFollowsTheReadings)
{
    form.show();
    action("ChartAction")->trigger();
    ChartWindow& chart = form.chartWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    EXPECT_TRUE(chart.isWindow());
    EXPECT_FALSE(chart.isModal());
    EXPECT_TRUE(form.isVisible()) << "the main window stays up beside it";

    const QImage empty = drawn();
    receive("100,10,5\r\n");
    receive("110,20,10\r\n");
    receive("120,62,5\r\n"); // over the alarm
    EXPECT_EQ(form.chartModel().points().size(), 3U);
    EXPECT_EQ(form.chartModel().latestMs(), common::localMilliseconds(clock.now()));
    chart.refresh();
    const QImage withReadings = drawn();
    EXPECT_NE(withReadings, empty) << "the readings are drawn";

    // Paused, the picture stays while readings go on coming in.
    chart.pauseButton().click();
    receive("130,-20,-10\r\n");
    chart.refresh();
    EXPECT_EQ(drawn(), withReadings);
    EXPECT_EQ(form.chartModel().points().size(), 4U) << "the model goes on collecting";
    chart.pauseButton().click();
    chart.refresh();
    EXPECT_NE(drawn(), withReadings) << "resumed, it follows again";
}

TEST_F(ChartWindowTest, TheSpanChangesHowMuchIsShown)
{
    form.chartWindow().showChart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form.chartWindow()));
    QComboBox& span = form.chartWindow().spanBox();
    ASSERT_EQ(span.count(), 4);
    const std::chrono::minutes expected[] = { std::chrono::minutes(1), std::chrono::minutes(5),
        std::chrono::minutes(15), std::chrono::minutes(60) };
    for (int index = 0; index < span.count(); ++index) {
        span.setCurrentIndex(index);
        EXPECT_EQ(form.chartWindow().plot().span(), expected[index]) << span.itemText(index).toStdString();
    }
}

TEST_F(ChartWindowTest, ItsPlacementIsKeptInItsOwnSection)
{
    ChartWindow& chart = form.chartWindow();
    chart.showChart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.resize(640, 380);
    chart.close();
    EXPECT_TRUE(settings.entries.contains({ "Chart", "Width" }));
    EXPECT_FALSE(settings.entries.contains({ "Velmora", "Width" })) << "the main window's is its own";
}

} // namespace
} // namespace marlume::chart
