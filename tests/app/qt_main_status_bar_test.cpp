#include "app/qt_main_status_bar.h"

#include "support/monitor_on_fakes.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace marlume::app {
namespace {

using Kind = platform::PortNotice::Kind;

class MainStatusBarTest : public ::testing::Test, public testing::MonitorOnFakes {
protected:
    MainStatusBarTest()
    {
        window.setWindowTitle(QStringLiteral("Marlume Tilt Monitor 1.02"));
        window.resize(480, 80);
        monitor.addListener(bar);
        monitor.start();
    }

    [[nodiscard]] QLabel* label(const char* name) const
    {
        return bar.findChild<QLabel*>(QString::fromLatin1(name));
    }

    QWidget window;
    MainStatusBar bar { monitor, &window };
};

TEST_F(MainStatusBarTest, TellsWhyPortsCannotBeOpenedUntilTheSensorIsFound)
{
    comPort.tell({ 1, Kind::Unavailable, "/dev/ttyUSB0: missing" });
    comPort.tell(
        { 2, Kind::Unavailable, "/dev/ttyS0: permission denied (add yourself to the dialout group)" });
    EXPECT_EQ(label("PortsLabel")->text(),
        QStringLiteral("Port 2: /dev/ttyS0: permission denied (add yourself to the dialout group)"));
    EXPECT_EQ(label("PortsLabel")->toolTip(),
        QStringLiteral(
            "Port 1: /dev/ttyUSB0: missing\nPort 2: /dev/ttyS0: permission denied (add yourself to the "
            "dialout group)"));
    EXPECT_EQ(bar.noticeBox(), nullptr) << "no box for a port the search passes over";
    bar.sensorFound({ clock.now(), 3, "sim" });
    EXPECT_EQ(label("PortsLabel")->text(), QStringLiteral("Sensor on port 3 (sim)"));
    EXPECT_EQ(label("PortsLabel")->toolTip(), QString());
}

TEST_F(MainStatusBarTest, AReplayFaultTakesOverTheBoxThatIsUpInsteadOfStackingAnother)
{
    comPort.tell({ 2, Kind::Fault, "Cannot replay \"a.txt\": No such file or directory" });
    QMessageBox* const first = bar.noticeBox();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal()) << "the search goes on behind it";
    comPort.tell({ 3, Kind::Fault, "Replay of \"b.txt\" stopped: line 5 has 3 fields, not 7" });
    EXPECT_EQ(bar.noticeBox(), first);
    EXPECT_EQ(
        first->text(), QStringLiteral("Port 3: Replay of \"b.txt\" stopped: line 5 has 3 fields, not 7"));
    EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 1);
    comPort.tell({ 3, Kind::News, "Replay of \"c.txt\" finished: 12 readings" });
    EXPECT_EQ(bar.currentMessage(), QStringLiteral("Port 3: Replay of \"c.txt\" finished: 12 readings"))
        << "news needs no box";
    EXPECT_EQ(
        first->text(), QStringLiteral("Port 3: Replay of \"b.txt\" stopped: line 5 has 3 fields, not 7"));
}

TEST_F(MainStatusBarTest, ShowsHowFarAReplayHasGotAndTheRawLogsState)
{
    EXPECT_TRUE(label("PlaybackLabel")->isHidden()) << "a live port";
    comPort.playing = platform::PlaybackProgress { "/data/cast-17.txt", 0.426 };
    comPort.recording = platform::RecordedMoment { { 2008, 8, 18, 14, 2, 37, 250 }, std::nullopt };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !label("PlaybackLabel")->text().isEmpty(); }, 10'000));
    EXPECT_EQ(
        label("PlaybackLabel")->text(), QStringLiteral("Replay of cast-17.txt: 2008-08-18 14:02:37 (42 %)"));

    monitor.RawLogMenu_Click();
    receive("1,2,3\r\nx\r\n");
    flushTicker.tick();
    bar.showRawLog(rawView.shown.back());
    EXPECT_EQ(label("RawLogLabel")->text(), QStringLiteral("Raw log to \"raw.txt\" - 1 reading, 1 rejected"));
    rawFiles.failure = "No space left on device";
    receive("4,5,6\r\n");
    flushTicker.tick();
    bar.showRawLog(rawView.shown.back());
    EXPECT_TRUE(label("RawLogLabel")->toolTip().contains(QStringLiteral("No space left on device")))
        << label("RawLogLabel")->toolTip().toStdString();
    EXPECT_TRUE(label("RawLogLabel")->styleSheet().contains(QStringLiteral("red")));
}

} // namespace
} // namespace marlume::app
