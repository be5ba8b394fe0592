#pragma once

#include <QString>

class QWidget;

namespace marlume::dialogs {

// Asks a question in a fresh YesNoCancelForm and waits for the answer; timers and
// serial events go on being handled meanwhile. An empty button text hides that button.
// defaultButton names the button that starts with the focus (1 Yes, 0 No, -1 Cancel).
// The dialog opens centred over owner's window, kept on its screen, when centreOnOwner
// is true and there is an owner; else centred on the screen. Returns 1 for Yes, 0 for
// No, -1 for Cancel or a dialog closed from its frame or with Escape.
[[nodiscard]] int AskYesNoCancel(const QString& title, const QString& message, const QString& yesText,
    const QString& noText, const QString& cancelText, int defaultButton, bool centreOnOwner, QWidget* owner);

} // namespace marlume::dialogs
