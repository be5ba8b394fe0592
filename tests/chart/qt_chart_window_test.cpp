#include "chart/qt_chart_window.h"
#include "common/raw_log_format.h"
#include "support/main_form_on_fakes.h"
#include "support/temporary_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace marlume::chart {
namespace {

class ChartWindowTest : public ::testing::Test, protected testing::MainFormOnFakes {
protected:
    [[nodiscard]] QAction* action(const char* name) const
    {
        return form.menuBar()->findChild<QAction*>(QString::fromLatin1(name));
    }
    [[nodiscard]] QImage drawn() { return form.chartWindow().plot().grab().toImage(); }
};

TEST_F(ChartWindowTest, TheMenuBarOffersTheLogTheChartExitAndAbout)
{
    const QStringList menus = [this] {
        QStringList titles;
        for (QAction* menu : form.menuBar()->actions())
            titles << menu->text();
        return titles;
    }();
    EXPECT_EQ(menus,
        (QStringList { QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Alarm"),
            QStringLiteral("&Help") }));
    ASSERT_NE(action("RawLogAction"), nullptr);
    EXPECT_EQ(action("RawLogAction")->text(), QStringLiteral("&Raw Readings Log..."));
    EXPECT_EQ(action("StatisticsAction")->text(), QStringLiteral("Event &Statistics..."));
    EXPECT_EQ(action("ExitAction")->shortcut(), QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(action("AboutAction")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_FALSE(action("ChartAction")->shortcut().isEmpty());
    EXPECT_EQ(action("SoundAction")->text(), QStringLiteral("&Sound on Over-Range"));
    EXPECT_EQ(action("AcknowledgeAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
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
    form.chartWindow().showWindow();
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
    chart.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.resize(640, 380);
    chart.close();
    EXPECT_TRUE(settings.entries.contains({ "Chart", "Width" }));
    EXPECT_FALSE(settings.entries.contains({ "Velmora", "Width" })) << "the main window's is its own";
}

TEST_F(ChartWindowTest, EscapeAndCtrlWCloseIt)
{
    ChartWindow& chart = form.chartWindow();
    for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
        chart.showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chart));
        QTest::keySequence(&chart, keys);
        EXPECT_FALSE(chart.isVisible()) << keys.toString().toStdString();
    }
}

TEST_F(ChartWindowTest, PausedTheWheelZoomsInTimeAndADragGoesBackWhileTheReadoutTellsTheReading)
{
    ChartWindow& chart = form.chartWindow();
    chart.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    for (int n = 0; n < 50; ++n)
        receive("100,10,5\r\n");
    chart.refresh();
    ChartPlot& plot = chart.plot();
    const QPoint middle(plot.width() / 2, plot.height() / 2);
    QWheelEvent wheel(middle, plot.mapToGlobal(middle), {}, { 0, 120 }, Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &wheel);
    EXPECT_EQ(plot.span(), std::chrono::minutes(5)) << "following, the span box sets the span";

    chart.pauseButton().click();
    const std::int64_t pausedAt = *plot.end();
    QApplication::sendEvent(&plot, &wheel);
    EXPECT_EQ(plot.span(), std::chrono::milliseconds(240'000)) << "a notch in: a fifth less time";
    QTest::mousePress(&plot, Qt::LeftButton, {}, middle);
    QTest::mouseMove(&plot, middle + QPoint(60, 0));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, middle + QPoint(60, 0));
    EXPECT_LT(*plot.end(), pausedAt) << "dragged to the right: earlier times";

    // The pointer on the newest reading reads it out.
    chart.pauseButton().click(); // follow again: the newest reading is at the right edge
    chart.refresh();
    const QPoint rightEdge(static_cast<int>(plotArea(plot.width(), plot.height()).right()) - 1, middle.y());
    QTest::mouseMove(&plot, rightEdge);
    EXPECT_TRUE(chart.readout().text().contains(QStringLiteral("Tilt 11.2  Heading 100  Pitch 10  Roll 5")))
        << chart.readout().text().toStdString();
}

TEST_F(ChartWindowTest, EachSeriesCanBeHiddenAndWhatIsShownSavedAsPictureAndCsv)
{
    ChartWindow& chart = form.chartWindow();
    chart.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.spanBox().setCurrentIndex(0); // a minute: reading by reading
    receive("100,10,5\r\n");
    receive("110,20,10\r\n");
    chart.refresh();
    const QImage all = drawn();
    chart.seriesBox(Series::Heading).setChecked(false);
    EXPECT_NE(drawn(), all) << "the heading's line is gone";
    EXPECT_FALSE(chart.plot().frame().shown[static_cast<std::size_t>(Series::Heading)]);

    const testing::TemporaryFolder folder;
    const QString picture = QString::fromStdString(folder.pathOf("chart.png"));
    const QString csv = QString::fromStdString(folder.pathOf("chart.csv"));
    EXPECT_EQ(chart.savePicture(picture), std::nullopt);
    EXPECT_EQ(QImage(picture).size(), chart.plot().size());
    EXPECT_EQ(chart.saveCsv(csv), std::nullopt);
    QFile saved(csv);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_EQ(text.count('\n'), 3) << "the header and the two readings:\n" << text.toStdString();
    EXPECT_NE(chart.saveCsv(QString::fromStdString(folder.pathOf("gone/chart.csv"))), std::nullopt);
}

TEST_F(ChartWindowTest, APlacementKeptAtAnotherScaleIsPulledOntoTheScreen)
{
    settings.entries[{ "Chart", "Width" }] = "60000";
    settings.entries[{ "Chart", "Height" }] = "40000";
    settings.entries[{ "Chart", "Left" }] = "9000";
    settings.entries[{ "Chart", "Top" }] = "9000";
    ChartWindow& chart = form.chartWindow();
    chart.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(screen.contains(chart.frameGeometry())) << "within the screen";
}

TEST_F(ChartWindowTest, ASilentSensorIsShownAsTheLiveEndMovesOn)
{
    ChartWindow& chart = form.chartWindow();
    chart.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.refresh();
    EXPECT_EQ(chart.plot().frame().endMs, common::localMilliseconds(clock.now())) << "before any reading";
    receive("100,10,5\r\n");
    chart.refresh();
    const std::int64_t last = *form.chartModel().latestMs();
    // The monitor's clock, not the wall clock, tells how long nothing came.
    clock.advanceMilliseconds(kNoDataMs);
    chart.refresh();
    EXPECT_EQ(chart.plot().frame().endMs, last) << "no silence yet";
    clock.advanceMilliseconds(1000);
    chart.refresh();
    EXPECT_EQ(chart.plot().frame().endMs, last + kNoDataMs + 1000);
    EXPECT_FALSE(layoutChart(form.chartModel(), chart.plot().frame()).silences.empty());
}

} // namespace
} // namespace marlume::chart
