#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace marlume::dialogs {

// The save-as dialog on Qt's own file dialog, modal over owner; the replace question
// opens centred over owner's window. Paths are UTF-8. See chooseFileToCreate for
// the rules: fileName and filterIndex (0 = first type) are written on every confirmed
// pass; false when the user cancels.
[[nodiscard]] bool SaveFileDialog(
    QWidget* owner, std::string_view initialPath, std::string& fileName, std::int16_t& filterIndex);

} // namespace marlume::dialogs
