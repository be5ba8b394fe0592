#include "dialogs/qt_yes_no_cancel_form.h"

#include "common/twips.h"
#include "dialogs/qt_accelerator_key.h"
#include "dialogs/question_layout.h"
#include "qt/qt_design_font.h"
#include "qt/qt_twips.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <array>
#include <limits>

namespace marlume::dialogs {

namespace {

using common::pixelsToTwips;
using common::twipsToPixels;

QLabel* makeSign(QWidget* parent, QStyle::StandardPixmap pixmap, const TwipsRect& rect)
{
    auto* sign = new QLabel(parent);
    sign->setGeometry(qt::pixelRect(rect));
    sign->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sign->setPixmap(parent->style()->standardIcon(pixmap).pixmap(32, 32));
    return sign;
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const TwipsRect& rect, const QFont& font)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(qt::pixelRect(rect));
    button->setFont(font);
    // No button is the default: Enter acts on the focused one (see eventFilter).
    button->setAutoDefault(false);
    return button;
}

} // namespace

YesNoCancelForm::YesNoCancelForm(QWidget* mainWindow)
    : QDialog(mainWindow,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Ostrune"));
    setFont(qt::designFont(QStringLiteral("Arial"), 9.75));
    setFixedSize(common::twipsToPixels(design::kClientWidth), common::twipsToPixels(design::kClientHeight));
    const QFont controlFont = qt::designFont(QStringLiteral("Tahoma"), 8.25);

    // Created in the dialog's control order, which the accelerator routine follows.
    m_warningIcon = makeSign(this, QStyle::SP_MessageBoxWarning, design::kSign);
    m_warningIcon->setObjectName(QStringLiteral("WarningIcon"));
    m_infoIcon = makeSign(this, QStyle::SP_MessageBoxInformation, design::kSign);
    m_infoIcon->setObjectName(QStringLiteral("InfoIcon"));
    m_noButton = makeButton(this, QStringLiteral("&No"), design::kNoButton, controlFont);
    m_noButton->setObjectName(QStringLiteral("NoButton"));
    m_yesButton = makeButton(this, QStringLiteral("&Yes"), design::kYesButton, controlFont);
    m_yesButton->setObjectName(QStringLiteral("YesButton"));
    m_cancelButton = makeButton(this, QStringLiteral("Cancel"), design::kCancelButton, controlFont);
    m_cancelButton->setObjectName(QStringLiteral("Cancel_Button"));
    m_questionIcon = makeSign(this, QStyle::SP_MessageBoxQuestion, design::kQuestionSign);
    m_questionIcon->setObjectName(QStringLiteral("QuestionIcon"));
    m_questionText = new QLabel(QStringLiteral("Text"), this);
    m_questionText->setObjectName(QStringLiteral("Question_text"));
    m_questionText->setGeometry(qt::pixelRect(design::kQuestionText));
    m_questionText->setFont(controlFont);
    // A path such as "<b>" must show as typed.
    m_questionText->setTextFormat(Qt::PlainText);
    m_questionText->setWordWrap(true);
    m_questionText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    setTabOrder(m_yesButton, m_noButton);
    setTabOrder(m_noButton, m_cancelButton);

    connect(m_yesButton, &QPushButton::clicked, this, &YesNoCancelForm::YesButton_Click);
    connect(m_noButton, &QPushButton::clicked, this, &YesNoCancelForm::NoButton_Click);
    connect(m_cancelButton, &QPushButton::clicked, this, &YesNoCancelForm::Cancel_Button_Click);

    // Key preview: every control's keys pass the dialog first.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);

    Form_Load(mainWindow);
}

void YesNoCancelForm::Form_Load(QWidget* mainWindow)
{
    if (mainWindow)
        setWindowTitle(mainWindow->window()->windowTitle());
}

void YesNoCancelForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void YesNoCancelForm::Form_Activate()
{
    m_defaultButton = tagValue(m_tag.toStdString());
    m_tag = QString::number(kAnswerCancel);

    const bool warning = !m_noButton->isHidden() || !m_cancelButton->isHidden();
    m_warningIcon->setVisible(warning);
    m_infoIcon->setVisible(!warning);
    m_questionIcon->setVisible(false);

    // A hidden button cannot take the focus; the focus then stays where Qt put it.
    if (QPushButton* button = buttonFor(m_defaultButton); button && !button->isHidden())
        button->setFocus(Qt::OtherFocusReason);
    // Qt styles mark the focus only once a key has moved it; the question is a keyboard one.
    setAttribute(Qt::WA_KeyboardFocusChange);

    LayoutDialog();
}

void YesNoCancelForm::LayoutDialog()
{
    const TwipsRect frame = qt::twipsRect(frameGeometry());
    const TwipsRect client = qt::twipsRect(geometry());
    const auto button = [](const QPushButton* control, const TwipsRect& rect) {
        return QuestionButton { rect.width, rect.height, !control->text().isEmpty() };
    };
    const LayoutInput input {
        { frame.left, frame.top, frame.width, frame.height, client.width, client.height },
        design::kQuestionText.left,
        design::kQuestionText.top,
        static_cast<float>(common::pixelsToTwips(m_questionText->width())),
        { button(m_yesButton, design::kYesButton), button(m_noButton, design::kNoButton),
            button(m_cancelButton, design::kCancelButton) },
    };

    const QFontMetrics metrics(m_questionText->font());
    const QString text = m_questionText->text();
    const auto labelHeightFor = [&](float labelWidth) {
        const QRect area(0, 0, common::twipsToPixels(labelWidth), std::numeric_limits<int>::max() / 2);
        return static_cast<float>(
            common::pixelsToTwips(metrics.boundingRect(area, Qt::TextWordWrap, text).height()));
    };

    const LayoutResult layout = layoutQuestion(input, labelHeightFor);
    setFixedSize(
        common::twipsToPixels(layout.dialog.scaleWidth), common::twipsToPixels(layout.dialog.scaleHeight));
    // Grown about its centre and downward, the dialog may have left the screen it was placed on.
    TwipsPoint place { layout.dialog.left, layout.dialog.top };
    if (const QScreen* area = screen())
        place = keepOnScreen(
            { layout.dialog.left, layout.dialog.top, layout.dialog.width, layout.dialog.height },
            qt::twipsRect(area->geometry()));
    move(common::twipsToPixels(place.left), common::twipsToPixels(place.top));
    m_questionText->setGeometry(
        qt::pixelRect({ input.labelLeft, input.labelTop, layout.labelWidth, layout.labelHeight }));
    const std::array<QPushButton*, 3> buttons { m_yesButton, m_noButton, m_cancelButton };
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->move(
            common::twipsToPixels(layout.buttons[i].left), common::twipsToPixels(layout.buttons[i].top));
}

void YesNoCancelForm::Form_KeyPress(int& key)
{
    if (ProcessAcceleratorKey(*this, key) == 0)
        key = 0;
}

bool YesNoCancelForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (const QString text = keyEvent->text(); text.size() == 1) {
        int key = text.front().unicode();
        Form_KeyPress(key);
        if (key == 0)
            return true;
    }
    if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            button->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void YesNoCancelForm::YesButton_Click()
{
    answer(kAnswerYes);
}

void YesNoCancelForm::NoButton_Click()
{
    answer(kAnswerNo);
}

void YesNoCancelForm::Cancel_Button_Click()
{
    answer(kAnswerCancel);
}

void YesNoCancelForm::answer(int code)
{
    m_tag = QString::number(code);
    hide();
}

QPushButton* YesNoCancelForm::buttonFor(int code) const
{
    switch (code) {
    case kAnswerYes:
        return m_yesButton;
    case kAnswerNo:
        return m_noButton;
    case kAnswerCancel:
        return m_cancelButton;
    default:
        return nullptr;
    }
}

} // namespace marlume::dialogs
