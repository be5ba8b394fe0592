#include "app/qt_main_status_bar.h"

#include "support/case_name.h"
#include "support/main_form_on_fakes.h"
#include "support/monitor_on_fakes.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace marlume::app {
namespace {

using namespace std::chrono_literals;
using Kind = platform::PortNotice::Kind;
using Source = MainStatusBar::Source;

// The timers that fire while the event loop runs for the given time, the one that ends it aside.
int timersFiredWithin(std::chrono::milliseconds span)
{
    class Counter final : public QObject {
    public:
        int fired = 0;
        QObject* ending = nullptr;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            fired += event->type() == QEvent::Timer && watched != ending ? 1 : 0;
            return QObject::eventFilter(watched, event);
        }
    } counter;
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    counter.ending = &end;
    QCoreApplication::instance()->installEventFilter(&counter);
    end.start(span);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&counter);
    return counter.fired;
}

// The timers registered for a widget and everything in it.
qsizetype timersOf(QObject& root)
{
    qsizetype count = QAbstractEventDispatcher::instance()->registeredTimers(&root).size();
    for (QObject* child : root.findChildren<QObject*>())
        count += QAbstractEventDispatcher::instance()->registeredTimers(child).size();
    return count;
}

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
    // Every message, whole and the newest first.
    [[nodiscard]] QString messages() const { return label("MessageArea")->toolTip(); }

    QWidget window;
    MainStatusBar bar { monitor, &window };
};

TEST_F(MainStatusBarTest, TellsWhyPortsCannotBeOpenedUntilTheSensorIsFound)
{
    comPort.tell({ 1, Kind::Unavailable, "/dev/ttyUSB0: missing" });
    comPort.tell(
        { 2, Kind::Unavailable, "/dev/ttyS0: permission denied (add yourself to the dialout group)" });
    EXPECT_EQ(messages(),
        QStringLiteral("Port 2: /dev/ttyS0: permission denied (add yourself to the dialout group)\nPort 1: "
                       "/dev/ttyUSB0: missing"));
    EXPECT_TRUE(label("MessageArea")->text().startsWith(QStringLiteral("Port 2")))
        << label("MessageArea")->text().toStdString();
    EXPECT_EQ(bar.noticeBox(), nullptr) << "no box for a port the search passes over";
    bar.sensorFound({ clock.now(), 3, "sim" });
    EXPECT_EQ(messages(), QStringLiteral("Sensor on port 3 (sim)"));
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
    EXPECT_EQ(messages(), QStringLiteral("Port 3: Replay of \"c.txt\" finished: 12 readings"))
        << "news needs no box";
    EXPECT_EQ(
        first->text(), QStringLiteral("Port 3: Replay of \"b.txt\" stopped: line 5 has 3 fields, not 7"));
}

TEST_F(MainStatusBarTest, ShowsHowFarAReplayHasGotAndTheRawLogsState)
{
    EXPECT_TRUE(label("PlaybackLabel")->isHidden()) << "a live port";
    EXPECT_EQ(timersFiredWithin(1200ms), 0) << "an idle window sleeps";
    comPort.playing = platform::PlaybackProgress { "/data/cast-17.txt", 0.426 };
    comPort.recording = platform::RecordedMoment { { 2008, 8, 18, 14, 2, 37, 250 }, std::nullopt };
    bar.sensorFound({ clock.now(), 1, "replay:/data/cast-17.txt" });
    EXPECT_EQ(label("PlaybackLabel")->toolTip(),
        QStringLiteral("Replay of cast-17.txt: 2008-08-18 14:02:37 (42 %)"));
    comPort.playing->fraction = 1;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return label("PlaybackLabel")->toolTip().endsWith(QStringLiteral("(100 %)")); }, 10'000))
        << "followed while it plays";
    EXPECT_EQ(timersOf(bar), 0) << "a replay at its end moves no more";

    monitor.RawLogMenu_Click();
    receive("1,2,3\r\nx\r\n");
    flushTicker.tick();
    bar.showRawLog(rawView.shown.back());
    EXPECT_EQ(
        label("RawLogLabel")->toolTip(), QStringLiteral("Raw log to \"raw.txt\" - 1 reading, 1 rejected"));
    rawFiles.failure = "No space left on device";
    receive("4,5,6\r\n");
    flushTicker.tick();
    bar.showRawLog(rawView.shown.back());
    EXPECT_TRUE(label("RawLogLabel")->toolTip().contains(QStringLiteral("No space left on device")))
        << label("RawLogLabel")->toolTip().toStdString();
    EXPECT_TRUE(label("RawLogLabel")->styleSheet().contains(QStringLiteral("red")));
}

// What one source or listener call tells, and every message whole after it, the newest first.
struct Step {
    std::function<void(MainStatusBar& bar)> tell;
    QStringList messages;
};

struct MessageCase {
    std::string name;
    std::vector<Step> steps;
};

class MessageAreaTest : public MainStatusBarTest, public ::testing::WithParamInterface<MessageCase> { };

TEST_P(MessageAreaTest, HoldsEachSourcesLatestMessageTheNewestFirst)
{
    for (const Step& step : GetParam().steps) {
        step.tell(bar);
        EXPECT_EQ(messages().toStdString(), step.messages.join(QLatin1Char('\n')).toStdString());
    }
}

const QString kNoSound = QStringLiteral("No sound device: the over-range alarm shows on screen only");

void found(MainStatusBar& bar)
{
    bar.sensorFound({ {}, 3, "sim" });
}

INSTANTIATE_TEST_SUITE_P(Sources, MessageAreaTest,
    ::testing::ValuesIn(std::vector<MessageCase> {
        { "StationNewsTakesThePlaceOfItsOwn",
            {
                { [](MainStatusBar& bar) { bar.tell(Source::Alarm, kNoSound); }, { kNoSound } },
                { [](MainStatusBar& bar) {
                     bar.tell(Source::Station,
                         QStringLiteral(
                             "MQTT: cannot reach the broker at 127.0.0.1:18883 yet, trying again"));
                 },
                    { QStringLiteral("MQTT: cannot reach the broker at 127.0.0.1:18883 yet, trying again"),
                        kNoSound } },
                { found,
                    { QStringLiteral("Sensor on port 3 (sim)"),
                        QStringLiteral("MQTT: cannot reach the broker at 127.0.0.1:18883 yet, trying again"),
                        kNoSound } },
                { [](MainStatusBar& bar) {
                     bar.tell(Source::Station, QStringLiteral("MQTT: connected to 127.0.0.1:18883"));
                 },
                    { QStringLiteral("MQTT: connected to 127.0.0.1:18883"),
                        QStringLiteral("Sensor on port 3 (sim)"), kNoSound } },
                { [](MainStatusBar& bar) { bar.tell(Source::Alarm, kNoSound); },
                    { QStringLiteral("MQTT: connected to 127.0.0.1:18883"),
                        QStringLiteral("Sensor on port 3 (sim)"), kNoSound } },
            } },
        { "SilentSensorThenItsDataAgain",
            {
                { found, { QStringLiteral("Sensor on port 3 (sim)") } },
                { [](MainStatusBar& bar) {
                     bar.sensorSilent({ 3, 2000ms });
                 },
                    { QStringLiteral("No data for 2 s on port 3"),
                        QStringLiteral("Sensor on port 3 (sim)") } },
                { [](MainStatusBar& bar) {
                     bar.dataAgain({ 3, 25'400ms });
                 },
                    { QStringLiteral("Data again after 25.4 s"), QStringLiteral("Sensor on port 3 (sim)") } },
            } },
    }),
    testing::CaseName());

// The main window at a width, with a message from every source and every state at once.
struct WidthCase {
    std::string name;
    int width;
    bool statesWhole; // there is room for every state's whole text
};

class StatusBarAtWidthTest : public ::testing::TestWithParam<WidthCase>, public testing::MainFormOnFakes { };

TEST_P(StatusBarAtWidthTest, DrawsNoTextOverAnotherAndEveryTextWholeInItsTooltip)
{
    MainStatusBar& bar = form.statusBar();
    bar.tell(Source::Alarm, kNoSound);
    bar.tell(Source::Station, QStringLiteral("MQTT: connected to 127.0.0.1:18883"));
    comPort.playing = platform::PlaybackProgress { "/data/sim1raw.txt", 1 };
    comPort.recording = platform::RecordedMoment { { 2026, 12, 9, 5, 30, 0, 0 }, std::nullopt };
    bar.sensorFound({ clock.now(), 3, "replay:/data/sim1raw.txt" });
    bar.portNotice({ 3, Kind::News, "Replay of \"sim1raw.txt\" finished: 100 readings" });
    bar.showRawLog({ { files::OutputFileStatus::State::Open, true, "/data/gui_raw.txt", {}, 0 }, 75, 1 });
    bar.showStatisticsFile({ files::OutputFileStatus::State::Open, true, "/data/gui_stats.csv", {}, 0 });
    form.show();
    form.resize(GetParam().width, form.height());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();

    const std::vector<std::pair<const char*, QString>> whole {
        { "MessageArea",
            QStringLiteral("Port 3: Replay of \"sim1raw.txt\" finished: 100 readings\nSensor on port 3 "
                           "(replay:/data/sim1raw.txt)\nMQTT: connected to 127.0.0.1:18883\n")
                + kNoSound },
        { "PlaybackLabel", QStringLiteral("Replay of sim1raw.txt: 2026-12-09 05:30:00 (100 %)") },
        { "RawLogLabel", QStringLiteral("Raw log to \"gui_raw.txt\" - 75 readings, 1 rejected") },
        { "StatisticsLabel", QStringLiteral("Statistics to \"gui_stats.csv\"") },
    };
    const QImage drawn = bar.grab().toImage();
    std::vector<QRect> taken;
    std::vector<int> shortenedWidths;
    for (const auto& [name, text] : whole) {
        SCOPED_TRACE(name);
        auto* label = bar.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        ASSERT_TRUE(label->isVisible());
        EXPECT_EQ(label->toolTip().toStdString(), text.toStdString());
        const QString shown = label->text();
        EXPECT_FALSE(shown.isEmpty());
        EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width())
            << shown.toStdString();
        const bool shortened = shown.contains(QChar(0x2026));
        EXPECT_TRUE(shortened || shown == text.section(QLatin1Char('\n'), 0, 0)
            || shown.contains(QStringLiteral(" | ")))
            << "shortened in the middle, or followed by older messages: " << shown.toStdString();
        if (shortened)
            shortenedWidths.push_back(label->width());
        if (GetParam().statesWhole && std::string_view(name) != "MessageArea") {
            EXPECT_EQ(shown.toStdString(), text.toStdString());
        }
        EXPECT_GE(label->contentsRect().height(), label->fontMetrics().height()) << "descenders and _ show";
        const QRect rect(label->mapTo(&bar, QPoint(0, 0)), label->size());
        EXPECT_TRUE(bar.rect().contains(rect));
        for (const QRect& other : taken)
            EXPECT_FALSE(rect.intersects(other));
        taken.push_back(rect);
        // What shows in its rectangle is its own text and nothing drawn over or under it.
        EXPECT_EQ(drawn.copy(rect), label->grab().toImage().convertToFormat(drawn.format()));
    }
    // Only a field with at least the room of every other is shortened: no short text is squeezed away.
    for (const int width : shortenedWidths) {
        for (const QRect& other : taken)
            EXPECT_GE(width, other.width() - 1);
    }
    // To look at it: MARLUME_STATUS_BAR_PNG=/tmp/status-bar-%1.png, %1 the row's name.
    if (const QString path = qEnvironmentVariable("MARLUME_STATUS_BAR_PNG"); !path.isEmpty())
        drawn.save(path.arg(QString::fromStdString(GetParam().name)));
}

INSTANTIATE_TEST_SUITE_P(Widths, StatusBarAtWidthTest,
    ::testing::ValuesIn(std::vector<WidthCase> {
        { "Designed", 482, false },
        { "Wide", 1400, true },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::app
