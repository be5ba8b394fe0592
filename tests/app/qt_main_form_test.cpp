#include "app/qt_main_form.h"
#include "app/version_caption.h"
#include "common/twips.h"
#include "dialogs/qt_ask_yes_no_cancel.h"
#include "dialogs/qt_yes_no_cancel_form.h"
#include "qt/qt_event_pump.h"
#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/fake_serial_control.h"
#include "support/fake_settings_store.h"
#include "support/qt_window_services.h"

#include <QAudioDevice>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMediaDevices>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::app {
namespace {

using common::twipsToPixels;

struct DesignCase {
    const char* name;
    double left, top, width, height;
    const char* caption;
};

// The window as designed, in twips.
const DesignCase kDesign[] = {
    { "StatusLabel", 120, 400, 1695, 255, "" },
    { "DataLabel", 1980, 405, 135, 135, "" },
    { "TimeLabel", 2280, 405, 1095, 255, "" },
    { "TiltLabel", 3480, 405, 855, 255, "" },
    { "HeadingLabel", 4560, 405, 855, 255, "" },
    { "PitchLabel", 5520, 405, 735, 255, "" },
    { "RollLabel", 6360, 405, 735, 255, "" },
    { "CaptureButton", 120, 840, 2175, 375, "Create Capture File..." },
    { "TriggerButton", 2400, 840, 1575, 375, "Force Trigger" },
    { "ResetSeqButton", 4080, 840, 1575, 375, "Reset Seq#" },
    { "ExitButton", 6000, 840, 1095, 375, "Exit" },
    { "CaptureLabel", 160, 1320, 4455, 255, "No file open" },
    { "TableLabel", 180, 360, 6630, 255, "Seq#|Start Time| End Time |Tilt | Head |Pitch|Roll | N" },
    { "EventsFrame", 120, 1680, 6990, 4950, "" },
    { "LogText", 120, 600, 6750, 4110, "" },
    { "Label1(4)", 240, 120, 1455, 255, "Status" },
    { "Label1(5)", 1860, 120, 375, 255, "Data" },
    { "Label1(3)", 2280, 120, 1095, 255, "Time" },
    { "Label1(6)", 3480, 120, 855, 255, "Tilt" },
    { "Label1(0)", 4560, 120, 855, 255, "Heading" },
    { "Label1(1)", 5520, 120, 735, 255, "Pitch" },
    { "Label1(2)", 6360, 120, 735, 255, "Roll" },
};

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() { comPort.presentPorts = { 1 }; }

    // The sensor sends lines on an open port; one tick of Timer1 takes them.
    void receive(std::string_view lines)
    {
        if (!comPort.PortOpen())
            static_cast<void>(comPort.setPortOpen(true));
        comPort.arrive(lines);
        clock.advanceMilliseconds(10);
        form.monitor().wake();
    }
    [[nodiscard]] QString text(QLabel* label) const { return label->text(); }
    [[nodiscard]] QString logText() const { return form.controls().LogText->toPlainText(); }

    testing::FakeSerialControl comPort;
    testing::FakeClock clock;
    qt::QtEventPump pump;
    testing::FakeSettingsStore settings;
    testing::QtWindowServices window;
    link::LinkState& linkState = window.linkState;
    MainForm form { window.with(comPort, clock, pump), settings };
};

TEST(VersionCaption, WritesTheRevisionStraightAfterTheMinorNumber)
{
    EXPECT_EQ(versionCaption("Marlume Tilt Monitor", 1, 0, 2), "Marlume Tilt Monitor 1.02");
    EXPECT_EQ(versionCaption("Marlume Tilt Monitor", 2, 1, 15), "Marlume Tilt Monitor 2.115");
}

TEST_F(MainFormTest, OpensWithTheDesignContents)
{
    form.show(); // the first display runs the resize rules
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Marlume Tilt Monitor 1.02"));
    // The designed client area lies between the menu bar and the status bar, which make the window as
    // much taller.
    const QSize client(common::twipsToPixels(7230), common::twipsToPixels(6750));
    EXPECT_EQ(form.clientArea()->geometry(), QRect(QPoint(0, form.menuBar()->height()), client));
    EXPECT_EQ(form.statusBar().geometry().top(), form.clientArea()->geometry().bottom() + 1);
    EXPECT_EQ(form.size(), client + QSize(0, form.menuBar()->height() + form.statusBar().height()));
    EXPECT_EQ(form.controls().EventsFrame->title(), QStringLiteral("Trigger Events"));
    EXPECT_TRUE(form.controls().CaptureLabel->font().bold());
    EXPECT_TRUE(form.controls().LogText->toPlainText().isEmpty());
    const QColor fieldWhite = form.palette().color(QPalette::Base);
    const QColor buttonFace = form.palette().color(QPalette::Button);
    const MainFormWidgets& c = form.controls();
    for (QLabel* value : { c.TimeLabel, c.TiltLabel, c.HeadingLabel, c.PitchLabel, c.RollLabel })
        EXPECT_EQ(value->palette().color(QPalette::Window), fieldWhite) << value->objectName().toStdString();
    EXPECT_EQ(c.StatusLabel->palette().color(QPalette::Window), buttonFace);
    EXPECT_EQ(c.DataLabel->palette().color(QPalette::Window), buttonFace);
    for (const DesignCase& control : kDesign) {
        SCOPED_TRACE(control.name);
        auto* widget = form.findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(),
            QRect(common::twipsToPixels(control.left), common::twipsToPixels(control.top),
                common::twipsToPixels(control.width), common::twipsToPixels(control.height)));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), QString::fromLatin1(control.caption));
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), QString::fromLatin1(control.caption));
        }
    }
}

TEST_F(MainFormTest, FocusStartsOnExitAndFollowsTheDesignOrder)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const MainFormWidgets& c = form.controls();
    EXPECT_EQ(QApplication::focusWidget(), c.ExitButton);
    for (QWidget* next :
        std::initializer_list<QWidget*> { c.CaptureButton, c.TriggerButton, c.ResetSeqButton, c.LogText }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(MainFormTest, ExitButtonShowsItsFocusMarkFromTheStart)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QStyleOptionButton option;
    option.initFrom(form.controls().ExitButton);
    // Qt styles draw the focus frame only when both are set.
    EXPECT_TRUE(option.state.testFlag(QStyle::State_HasFocus));
    EXPECT_TRUE(option.state.testFlag(QStyle::State_KeyboardFocusChange));
}

TEST_F(MainFormTest, ShowsAcceptedReadingsAndFlashesTheDataIndicator)
{
    const MainFormWidgets& c = form.controls();
    const QColor buttonFace = form.palette().color(QPalette::Button);
    receive("123.4,-2.5,1.8\r\n");
    EXPECT_EQ(text(c.TimeLabel), QStringLiteral("14:02:11"));
    EXPECT_EQ(text(c.HeadingLabel), QStringLiteral("123"));
    EXPECT_EQ(text(c.PitchLabel), QStringLiteral("-2.5"));
    EXPECT_EQ(text(c.RollLabel), QStringLiteral("1.8"));
    EXPECT_EQ(text(c.TiltLabel), QStringLiteral("3.1"));
    EXPECT_EQ(c.DataLabel->palette().color(QPalette::Window), QColor(0x00FF00));
    receive("124,0,0\n");
    EXPECT_EQ(c.DataLabel->palette().color(QPalette::Window), buttonFace);
    EXPECT_TRUE(linkState.linkAlive);
}

TEST_F(MainFormTest, OverRangeShowsOverInWhiteOnRedUntilTheTiltComesBack)
{
    const MainFormWidgets& c = form.controls();
    receive("10,50,40\n");
    for (QLabel* label : { c.TiltLabel, c.HeadingLabel, c.PitchLabel, c.RollLabel }) {
        EXPECT_EQ(text(label), QStringLiteral("over"));
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0xFF0000));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0xFFFFFF));
    }
    // The border stays dark on red, where the white text colour would hide it.
    const QImage tilt = c.TiltLabel->grab().toImage();
    EXPECT_EQ(tilt.pixelColor(0, tilt.height() / 2), kValueLabelBorder);
    EXPECT_EQ(tilt.pixelColor(tilt.width() / 2, tilt.height() - 1), kValueLabelBorder);
    receive("10,3,4\n");
    EXPECT_EQ(text(c.TiltLabel), QStringLiteral("5"));
    for (QLabel* label : { c.TiltLabel, c.HeadingLabel, c.PitchLabel, c.RollLabel }) {
        EXPECT_EQ(label->palette().color(QPalette::Window), form.palette().color(QPalette::Base));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), form.palette().color(QPalette::Text));
    }
}

TEST_F(MainFormTest, TheAlarmSoundsOnceTurnedOnUntilAcknowledgedAndTheChoiceIsKept)
{
    auto* soundAction = form.menuBar()->findChild<QAction*>(QStringLiteral("SoundAction"));
    auto* acknowledge = form.menuBar()->findChild<QAction*>(QStringLiteral("AcknowledgeAction"));
    ASSERT_NE(soundAction, nullptr);
    ASSERT_NE(acknowledge, nullptr);
    const monitor::OverRangeAlarm& alarm = form.alarmMenu().alarm();
    EXPECT_FALSE(soundAction->isChecked()) << "off until the operator turns it on";
    receive("10,50,40\n");
    EXPECT_FALSE(alarm.sounding());
    EXPECT_FALSE(acknowledge->isEnabled());
    EXPECT_EQ(form.alarmMenu().sound(), nullptr) << "loaded once turned on";

    soundAction->trigger();
    // A machine without a sound device (as a build machine is) says so.
    const QString noDevice = QStringLiteral("No sound device: the over-range alarm shows on screen only");
    const bool silentMachine = QMediaDevices::audioOutputs().isEmpty();
    EXPECT_EQ(form.statusBar().findChild<QLabel*>(QStringLiteral("MessageArea"))->toolTip(),
        silentMachine ? noDevice : QString());
    EXPECT_EQ(settings.read("Alarm", "SoundOnOverRange"), "1");
    EXPECT_EQ(settings.unsyncedWrites, 0);
    EXPECT_TRUE(alarm.sounding());
    EXPECT_TRUE(acknowledge->isEnabled());
    acknowledge->trigger();
    EXPECT_FALSE(alarm.sounding());
    EXPECT_FALSE(acknowledge->isEnabled());
    receive("10,50,41\n");
    EXPECT_FALSE(alarm.sounding()) << "silent until the tilt is back in range";
    receive("10,3,4\n10,50,40\n");
    EXPECT_TRUE(alarm.sounding()) << "the next excursion sounds again";

    QMenu menu;
    QStringList told;
    const AlarmMenu nextSession(menu, settings, form, {}, [&](const QString& reason) { told << reason; });
    EXPECT_TRUE(menu.findChild<QAction*>(QStringLiteral("SoundAction"))->isChecked());
    EXPECT_EQ(told, silentMachine ? QStringList { noDevice } : QStringList());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form.alarmMenu().sound()->status() == QSoundEffect::Ready; }, 10'000))
        << "the shipped sound loads";
}

TEST_F(MainFormTest, AnyMouseButtonHoldsAnEventOpenAndTheStatusFollows)
{
    const MainFormWidgets& c = form.controls();
    receive("100,1,2\n");
    QTest::mousePress(c.TriggerButton, Qt::RightButton);
    EXPECT_EQ(text(c.StatusLabel), QStringLiteral("Integrating"));
    EXPECT_TRUE(c.StatusLabel->font().bold());
    EXPECT_EQ(c.StatusLabel->palette().color(QPalette::Window), QColor(0xFF0000));
    receive("102.4,1.5,2.5\n101.6,0.5,1.5\n");
    clock.setTimeOfDay(14, 2, 41);
    QTest::mouseRelease(c.TriggerButton, Qt::RightButton);
    EXPECT_EQ(text(c.StatusLabel), QStringLiteral("Ready"));
    EXPECT_FALSE(c.StatusLabel->font().bold());
    EXPECT_EQ(c.StatusLabel->palette().color(QPalette::Window), QColor(0x00FF00));
    EXPECT_EQ(logText(), QStringLiteral("001 | 14:02:11 | 14:02:41 |  02 |  101 |  01 |  02 | 3\n"));

    QTest::mousePress(c.TriggerButton, Qt::LeftButton);
    QTest::mouseRelease(c.TriggerButton, Qt::LeftButton);
    EXPECT_TRUE(logText().endsWith(QStringLiteral(" | 1\n"))) << logText().toStdString();
}

TEST_F(MainFormTest, TheKeyboardNeverTriggers)
{
    QPushButton* trigger = form.controls().TriggerButton;
    trigger->setFocus();
    QTest::keyClick(trigger, Qt::Key_Space);
    QTest::keyClick(trigger, Qt::Key_Return);
    EXPECT_TRUE(logText().isEmpty());
}

TEST_F(MainFormTest, ResetSeqRestartsTheNumbering)
{
    const MainFormWidgets& c = form.controls();
    for (int event = 0; event < 2; ++event) {
        QTest::mousePress(c.TriggerButton, Qt::LeftButton);
        QTest::mouseRelease(c.TriggerButton, Qt::LeftButton);
    }
    QTest::mouseClick(c.ResetSeqButton, Qt::LeftButton);
    QTest::mousePress(c.TriggerButton, Qt::LeftButton);
    EXPECT_TRUE(logText().endsWith(QStringLiteral("001 | 14:02:11 |"))) << logText().toStdString();
}

TEST_F(MainFormTest, ExitSavesThePlacementClosesThePortAndEndsTheLoops)
{
    receive("1,2,3\n");
    QTest::mouseClick(form.controls().ExitButton, Qt::LeftButton);
    EXPECT_FALSE(comPort.PortOpen());
    EXPECT_TRUE(settings.entries.contains({ "Velmora", "Width" }));
    EXPECT_FALSE(pump.processEvents());
    EXPECT_EQ(form.monitor().FindPort(), link::SearchResult::Ending);
}

TEST_F(MainFormTest, TicksAndCtsChangesGoOnWhileAQuestionIsUp)
{
    form.show();
    static_cast<void>(comPort.setPortOpen(true));
    comPort.arrive("42,1,2\n");
    // Once Timer1 has shown the reading, CTS rises; once its event shows in the table, the operator answers.
    QTimer operatorAtTheDialog;
    QObject::connect(&operatorAtTheDialog, &QTimer::timeout, [&] {
        auto* question = QApplication::activeModalWidget();
        if (question == nullptr || text(form.controls().HeadingLabel).isEmpty())
            return;
        if (logText().isEmpty())
            comPort.changeCts(true);
        else
            static_cast<dialogs::YesNoCancelForm*>(question)->NoButton()->click();
    });
    operatorAtTheDialog.start(5);
    // Should the question never be answered, the test fails in seconds instead of hanging.
    QTimer::singleShot(5000, [] {
        if (QWidget* question = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "the question was still up after 5 s";
            question->close();
        }
    });
    const int answer
        = dialogs::AskYesNoCancel(QStringLiteral("Save As"), QStringLiteral("run.csv already exists."),
            QStringLiteral("Yes"), QStringLiteral("No"), QString(), 0, true, &form);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(text(form.controls().HeadingLabel), QStringLiteral("42"));
    EXPECT_EQ(logText(), QStringLiteral("001 | 14:02:11 |"));
}

TEST_F(MainFormTest, TheEventTableFollowsTheWindowSize)
{
    form.show();
    // A client area of 10000 by 8000 twips between the menu bar and the status bar.
    form.resize(common::twipsToPixels(10000),
        common::twipsToPixels(8000) + form.menuBar()->height() + form.statusBar().height());
    const MainFormWidgets& c = form.controls();
    EXPECT_EQ(c.EventsFrame->geometry(),
        QRect(common::twipsToPixels(120), common::twipsToPixels(1680), common::twipsToPixels(9760),
            common::twipsToPixels(6200)));
    EXPECT_EQ(c.LogText->geometry().size(), QSize(common::twipsToPixels(9520), common::twipsToPixels(5360)));
}

TEST_F(MainFormTest, CaptureLabelShowsAFileNameAsTyped)
{
    QLabel* label = form.controls().CaptureLabel;
    label->setText(QStringLiteral("Saving to \"run.csv\""));
    const int plainWidth = label->sizeHint().width();
    label->setText(QStringLiteral("Saving to \"<b>run.csv\""));
    EXPECT_GT(label->sizeHint().width(), plainWidth) << "the markup shows as characters";
}

struct LocaleCase {
    std::string name;
    QLocale::Language language;
    QLocale::Territory territory;
    QString time; // of the reading at 14:02:11, on screen and in the event table
    QString pitch; // -2.5
};

class LocaleDisplayTest : public ::testing::TestWithParam<LocaleCase> {
protected:
    LocaleDisplayTest() { QLocale::setDefault(QLocale(GetParam().language, GetParam().territory)); }
    ~LocaleDisplayTest() override { QLocale::setDefault(QLocale::c()); }
};

TEST_P(LocaleDisplayTest, NumbersAndTimesTakeTheUsersSeparators)
{
    testing::FakeSerialControl comPort;
    comPort.presentPorts = { 1 };
    testing::FakeClock clock;
    qt::QtEventPump pump;
    testing::FakeSettingsStore settings;
    testing::QtWindowServices window;
    MainForm form { window.with(comPort, clock, pump), settings };
    static_cast<void>(comPort.setPortOpen(true));
    comPort.arrive("123.4,-2.5,1.8\n");
    clock.advanceMilliseconds(10);
    form.monitor().wake();
    EXPECT_EQ(form.controls().TimeLabel->text(), GetParam().time);
    EXPECT_EQ(form.controls().PitchLabel->text(), GetParam().pitch);

    QTest::mouseClick(form.controls().TriggerButton, Qt::LeftButton);
    EXPECT_TRUE(form.controls().LogText->toPlainText().startsWith(
        QStringLiteral("001 | ") + GetParam().time + QStringLiteral(" | ") + GetParam().time))
        << form.controls().LogText->toPlainText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleDisplayTest,
    ::testing::ValuesIn(std::vector<LocaleCase> {
        { "English", QLocale::English, QLocale::UnitedStates, QStringLiteral("14:02:11"),
            QStringLiteral("-2.5") },
        { "German", QLocale::German, QLocale::Germany, QStringLiteral("14:02:11"), QStringLiteral("-2,5") },
        { "Finnish", QLocale::Finnish, QLocale::Finland, QStringLiteral("14.02.11"), QStringLiteral("-2,5") },
    }),
    testing::CaseName());

// Counts the paints a widget gets.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(MainFormTest, ALabelIsRepaintedOnlyWhenItChangesAndAtMostOncePerPass)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    receive("10,1,2\n");
    QCoreApplication::processEvents();
    const PaintCounter pitch(form.controls().PitchLabel);
    for (int reading = 0; reading < 5; ++reading)
        receive("10,1,2\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(pitch.paints, 0) << "the same reading changes nothing";
    receive("10,1.5,2\n10,1.7,2\n10,1.9,2\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(pitch.paints, 1) << "three new pitches in one pass, one paint";
    EXPECT_EQ(text(form.controls().PitchLabel), QStringLiteral("1.9"));
}

} // namespace
} // namespace marlume::app
