#pragma once

#include <string_view>

class QWidget;

namespace marlume::dialogs {

// The kind name of a control for the accelerator routine: "CommandButton", "CheckBox",
// "OptionButton", or empty for every other kind.
[[nodiscard]] std::string_view controlKind(const QWidget& control);

// Presses the first push button of window, in control order, whose caption marks the
// typed character after its first "&" (case ignored), while the window's focus is on a
// push button, check box or option button. Returns 0 when it pressed one (the caller
// then drops the character), else key unchanged.
[[nodiscard]] int ProcessAcceleratorKey(QWidget& window, int key);

} // namespace marlume::dialogs
