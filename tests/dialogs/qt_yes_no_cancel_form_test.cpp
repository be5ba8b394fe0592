#include "common/path_helpers.h"
#include "dialogs/qt_accelerator_key.h"
#include "dialogs/qt_ask_yes_no_cancel.h"
#include "dialogs/qt_yes_no_cancel_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <variant>
#include <vector>

namespace marlume::dialogs {
namespace {

// Runs act on the question once its modal display has begun.
void whenQuestionShows(std::function<void(YesNoCancelForm&)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* form = qobject_cast<YesNoCancelForm*>(QApplication::activeModalWidget());
        if (!form) {
            ADD_FAILURE() << "no question is shown";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        act(*form);
    });
}

QWidget* keyTarget(YesNoCancelForm& form)
{
    return form.focusWidget() ? form.focusWidget() : &form;
}

struct Buttons {
    const char* yes;
    const char* no;
    const char* cancel;
};
constexpr Buttons kSaveAs { "Yes", "No", "" };
constexpr Buttons kAll { "Yes", "No", "Cancel" };
constexpr Buttons kYesOnly { "Yes", "", "" };

int ask(const Buttons& buttons, int defaultButton, QWidget* owner = nullptr,
    const QString& message = QStringLiteral("Replace it?"))
{
    return AskYesNoCancel(QStringLiteral("Save As"), message, QString::fromLatin1(buttons.yes),
        QString::fromLatin1(buttons.no), QString::fromLatin1(buttons.cancel), defaultButton, owner != nullptr,
        owner);
}

struct ShapeCase {
    std::string name;
    Buttons buttons;
    int defaultButton;
    // Pixel lefts of YesButton, NoButton, Cancel_Button (twips / 15).
    std::array<int, 3> lefts;
    bool warning;
    const char* focused;
};

class QuestionShapeTest : public ::testing::TestWithParam<ShapeCase> { };

TEST_P(QuestionShapeTest, LaysOutShortQuestion)
{
    const ShapeCase& testCase = GetParam();
    whenQuestionShows([&](YesNoCancelForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Save As"));
        EXPECT_EQ(form.size(), QSize(381, 126));
        EXPECT_EQ(form.WarningIcon()->isVisible(), testCase.warning);
        EXPECT_EQ(form.InfoIcon()->isVisible(), !testCase.warning);
        EXPECT_FALSE(form.QuestionIcon()->isVisible());
        const std::array<QPushButton*, 3> buttons { form.YesButton(), form.NoButton(), form.Cancel_Button() };
        const std::array<const char*, 3> texts { testCase.buttons.yes, testCase.buttons.no,
            testCase.buttons.cancel };
        for (std::size_t i = 0; i < 3; ++i) {
            const QString text = QString::fromLatin1(texts[i]);
            EXPECT_EQ(buttons[i]->text(), text.isEmpty() ? QString() : QLatin1Char('&') + text) << i;
            EXPECT_EQ(buttons[i]->isHidden(), text.isEmpty()) << i;
            EXPECT_EQ(buttons[i]->pos(), QPoint(testCase.lefts[i], 97)) << i;
        }
        ASSERT_NE(form.focusWidget(), nullptr);
        EXPECT_EQ(form.focusWidget()->objectName(), QLatin1String(testCase.focused));
        EXPECT_EQ(form.Tag(), QStringLiteral("-1"));
        form.close();
    });
    EXPECT_EQ(ask(testCase.buttons, testCase.defaultButton), -1);
}

INSTANTIATE_TEST_SUITE_P(Shapes, QuestionShapeTest,
    ::testing::Values(ShapeCase { "SaveAs", kSaveAs, 0, { 151, 260, 369 }, true, "NoButton" },
        ShapeCase { "ThreeButtons", kAll, -1, { 62, 171, 280 }, true, "Cancel_Button" },
        ShapeCase { "YesOnly", kYesOnly, 1, { 260, 369, 369 }, false, "YesButton" }),
    marlume::testing::CaseName());

// What the user does: a typed character or a key without text.
using Keystroke = std::variant<char, Qt::Key>;

struct KeyCase {
    std::string name;
    Buttons buttons;
    int defaultButton;
    Keystroke keystroke;
    int expected;
};

class QuestionKeyTest : public ::testing::TestWithParam<KeyCase> { };

TEST_P(QuestionKeyTest, AnswersKey)
{
    const KeyCase& testCase = GetParam();
    whenQuestionShows([&](YesNoCancelForm& form) {
        std::visit([&](auto key) { QTest::keyClick(keyTarget(form), key); }, testCase.keystroke);
        // A key that answers nothing leaves the question up; close it from the frame.
        if (form.isVisible())
            form.close();
    });
    EXPECT_EQ(ask(testCase.buttons, testCase.defaultButton), testCase.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, QuestionKeyTest,
    ::testing::Values(KeyCase { "LowerYAnswersYes", kSaveAs, 0, 'y', 1 },
        KeyCase { "UpperYAnswersYes", kSaveAs, 0, 'Y', 1 }, KeyCase { "NAnswersNo", kSaveAs, 1, 'n', 0 },
        KeyCase { "HiddenCancelIgnoresC", kSaveAs, 1, 'c', -1 },
        KeyCase { "VisibleCancelTakesC", kAll, 1, 'c', -1 },
        KeyCase { "UnmarkedLetterIgnored", kSaveAs, 1, 'x', -1 },
        KeyCase { "EnterOnFocusedNo", kSaveAs, 0, Qt::Key_Return, 0 },
        KeyCase { "EnterOnFocusedYes", kSaveAs, 1, Qt::Key_Return, 1 },
        KeyCase { "KeypadEnterOnFocusedNo", kAll, 0, Qt::Key_Enter, 0 },
        KeyCase { "SpaceOnFocusedNo", kSaveAs, 0, Qt::Key_Space, 0 },
        KeyCase { "EscapeAnswersCancel", kSaveAs, 1, Qt::Key_Escape, -1 }),
    marlume::testing::CaseName());

TEST(QuestionTest, IgnoredKeyLeavesQuestionUp)
{
    bool stillShown = false;
    whenQuestionShows([&](YesNoCancelForm& form) {
        QTest::keyClick(keyTarget(form), 'c');
        stillShown = form.isVisible();
        form.NoButton()->click();
    });
    EXPECT_EQ(ask(kSaveAs, 1), 0);
    EXPECT_TRUE(stillShown);
}

TEST(QuestionTest, ClosingFromFrameAnswersMinusOneWhateverTheDefault)
{
    whenQuestionShows([](YesNoCancelForm& form) { form.close(); });
    EXPECT_EQ(ask(kAll, 1), -1);
}

TEST(QuestionTest, HiddenDefaultButtonTakesNoFocus)
{
    whenQuestionShows([](YesNoCancelForm& form) {
        EXPECT_FALSE(form.Cancel_Button()->hasFocus());
        form.YesButton()->click();
    });
    EXPECT_EQ(ask(kSaveAs, -1), 1);
}

TEST(QuestionTest, NoButtonShownOnlyCloses)
{
    whenQuestionShows([](YesNoCancelForm& form) {
        EXPECT_TRUE(form.InfoIcon()->isVisible());
        EXPECT_EQ(form.focusWidget(), nullptr);
        QTest::keyClick(&form, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible());
        form.close();
    });
    EXPECT_EQ(ask({ "", "", "" }, 0), -1);
}

TEST(QuestionTest, LongMessageGrowsOnlyItsOwnDialog)
{
    QSize grown;
    whenQuestionShows([&](YesNoCancelForm& form) {
        grown = form.size();
        // The button row follows the grown client area.
        EXPECT_EQ(form.YesButton()->y(), form.height() - 25 - 4);
        form.YesButton()->click();
    });
    const QString longMessage
        = QStringLiteral("The capture goes on while this question is up. ").repeated(40);
    EXPECT_EQ(ask(kSaveAs, 0, nullptr, longMessage), 1);
    EXPECT_GT(grown.height(), 126);
    EXPECT_GT(grown.width(), 381);

    QSize second;
    whenQuestionShows([&](YesNoCancelForm& form) {
        second = form.size();
        form.NoButton()->click();
    });
    EXPECT_EQ(ask(kSaveAs, 0), 0);
    EXPECT_EQ(second, QSize(381, 126));
}

TEST(QuestionTest, TimersRunWhileQuestionIsUp)
{
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks < 3)
            return;
        timer.stop();
        if (auto* form = qobject_cast<YesNoCancelForm*>(QApplication::activeModalWidget()))
            form->YesButton()->click();
    });
    timer.start();
    EXPECT_EQ(ask(kSaveAs, 0), 1);
    EXPECT_EQ(ticks, 3);
}

// The message label wraps a long path after its separators, not inside its names.
TEST(QuestionTest, PathBreaksAfterItsSeparators)
{
    const QString text = QString::fromStdString(
        common::DisplayPath("/home/operator/measurements/campaign_2024/run_0001_final.csv", '/'));
    QTextLayout layout(text, YesNoCancelForm(nullptr).Question_text()->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(150);
    layout.endLayout();

    ASSERT_GT(layout.lineCount(), 1);
    for (int i = 0; i + 1 < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        EXPECT_TRUE(text.mid(line.textStart(), line.textLength()).endsWith(QStringLiteral("/\u200B")))
            << text.mid(line.textStart(), line.textLength()).toStdString();
    }
}

struct PlacementCase {
    std::string name;
    QRect owner;
    // False where a screen edge pulls the dialog off the owner's centre.
    bool centred;
};

class QuestionPlacementTest : public ::testing::TestWithParam<PlacementCase> { };

TEST_P(QuestionPlacementTest, StaysOverOwnerAndOnScreen)
{
    QWidget owner;
    owner.setGeometry(GetParam().owner);
    owner.show();
    // Client areas: Qt learns a window's frame only once it is shown.
    QRect placed;
    whenQuestionShows([&](YesNoCancelForm& form) {
        placed = form.geometry();
        form.close();
    });
    EXPECT_EQ(ask(kSaveAs, 0, &owner), -1);

    const QRect screen = owner.screen()->geometry();
    const QRect ownerArea = owner.geometry();
    EXPECT_TRUE(screen.contains(placed)) << "placed at " << placed.x() << "," << placed.y();
    if (GetParam().centred) {
        EXPECT_LE(std::abs(placed.center().x() - ownerArea.center().x()), 1);
        EXPECT_LE(std::abs(placed.center().y() - ownerArea.center().y()), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Owners, QuestionPlacementTest,
    ::testing::Values(PlacementCase { "Centred", { 100, 100, 600, 400 }, true },
        PlacementCase { "TopLeftCorner", { 0, 0, 80, 60 }, false },
        PlacementCase { "BottomRightCorner", { 700, 720, 100, 80 }, false }),
    marlume::testing::CaseName());

// The layout step grows the dialog after it was placed; a long path must not push the
// buttons off the screen.
TEST(QuestionTest, LongMessageOverOwnerNearScreenBottomKeepsButtonsOnScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget owner;
    owner.setGeometry(screen.left(), screen.bottom() - 80, 120, 60);
    owner.show();
    QRect dialog;
    std::vector<QRect> buttons;
    whenQuestionShows([&](YesNoCancelForm& form) {
        dialog = form.frameGeometry();
        for (const QPushButton* button : { form.YesButton(), form.NoButton() })
            buttons.emplace_back(button->mapToGlobal(QPoint(0, 0)), button->size());
        form.YesButton()->click();
    });
    const QString longMessage
        = QStringLiteral("/home/operator/measurements/campaign_2024/run_0001_final.csv ").repeated(20);
    EXPECT_EQ(ask(kSaveAs, 0, &owner, longMessage), 1);

    // Grown both ways, or the test would not reach past the owner's screen edges.
    EXPECT_GT(dialog.width(), 381);
    EXPECT_GT(dialog.height(), 126);
    EXPECT_TRUE(screen.contains(dialog)) << "dialog at " << dialog.x() << "," << dialog.y() << " size "
                                         << dialog.width() << "x" << dialog.height();
    ASSERT_EQ(buttons.size(), 2U);
    for (const QRect& button : buttons)
        EXPECT_TRUE(screen.contains(button)) << "button at " << button.x() << "," << button.y();
}

TEST(QuestionTest, FocusedButtonShowsItsMarkFromTheStart)
{
    QStyle::State state;
    whenQuestionShows([&](YesNoCancelForm& form) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        QStyleOptionButton option;
        option.initFrom(form.NoButton());
        state = option.state;
        form.close();
    });
    EXPECT_EQ(ask(kSaveAs, 0), -1);
    // Qt styles draw the focus frame only when both are set.
    EXPECT_TRUE(state.testFlag(QStyle::State_HasFocus));
    EXPECT_TRUE(state.testFlag(QStyle::State_KeyboardFocusChange));
}

// The accelerator routine on real widgets: the kinds come from the widget types.
TEST(ProcessAcceleratorKeyTest, PressesButtonsOnlyFromButtonLikeFocus)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* check = new QCheckBox(QStringLiteral("&Yes"), &window);
    auto* yes = new QPushButton(QStringLiteral("&Yes"), &window);
    auto* no = new QPushButton(QStringLiteral("&No"), &window);
    auto* option = new QRadioButton(QStringLiteral("&Off"), &window);
    QSignalSpy yesClicks(yes, &QPushButton::clicked);
    QSignalSpy noClicks(no, &QPushButton::clicked);

    edit->setFocus();
    EXPECT_EQ(ProcessAcceleratorKey(window, 'y'), 'y');
    EXPECT_EQ(yesClicks.count(), 0);

    check->setFocus();
    EXPECT_EQ(ProcessAcceleratorKey(window, 'Y'), 0);
    EXPECT_EQ(yesClicks.count(), 1);
    EXPECT_FALSE(check->isChecked());

    no->setFocus();
    EXPECT_EQ(ProcessAcceleratorKey(window, 'n'), 0);
    EXPECT_EQ(noClicks.count(), 1);
    EXPECT_EQ(ProcessAcceleratorKey(window, 'x'), 'x');

    option->setFocus();
    EXPECT_EQ(ProcessAcceleratorKey(window, 'o'), 'o');
    EXPECT_FALSE(option->isChecked());
    EXPECT_EQ(ProcessAcceleratorKey(window, 'y'), 0);
    EXPECT_EQ(yesClicks.count(), 2);
}

} // namespace
} // namespace marlume::dialogs
