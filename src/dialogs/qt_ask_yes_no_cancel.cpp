#include "dialogs/qt_ask_yes_no_cancel.h"

#include "common/twips.h"
#include "dialogs/qt_yes_no_cancel_form.h"
#include "dialogs/question_layout.h"
#include "qt/qt_twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace marlume::dialogs {

namespace {

void placeForm(YesNoCancelForm& form, QWidget* ownerWindow)
{
    const QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
    const TwipsRect screenArea = screen ? qt::twipsRect(screen->geometry()) : TwipsRect { 0, 0, 0, 0 };
    const TwipsRect dialog = qt::twipsRect(form.frameGeometry());
    const std::optional<TwipsRect> owner
        = ownerWindow ? std::optional(qt::twipsRect(ownerWindow->frameGeometry())) : std::nullopt;
    const TwipsPoint place = placeQuestion(owner, dialog.width, dialog.height, screenArea);
    form.move(common::twipsToPixels(place.left), common::twipsToPixels(place.top));
    if (ownerWindow)
        ownerWindow->activateWindow();
}

void setUpButton(QPushButton* button, const QString& text)
{
    if (text.isEmpty()) {
        // The layout and the accelerators skip a button by its empty caption.
        button->setText(QString());
        button->hide();
    } else {
        button->show();
        button->setText(QLatin1Char('&') + text);
    }
}

} // namespace

int AskYesNoCancel(const QString& title, const QString& message, const QString& yesText,
    const QString& noText, const QString& cancelText, int defaultButton, bool centreOnOwner, QWidget* owner)
{
    YesNoCancelForm form(owner);
    form.setWindowTitle(title);
    form.setTag(QString::number(defaultButton));
    placeForm(form, centreOnOwner && owner ? owner->window() : nullptr);
    setUpButton(form.YesButton(), yesText);
    setUpButton(form.NoButton(), noText);
    setUpButton(form.Cancel_Button(), cancelText);
    form.Question_text()->setText(message);
    form.exec();
    return tagValue(form.Tag().toStdString());
}

} // namespace marlume::dialogs
