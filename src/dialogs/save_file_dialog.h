#pragma once

#include "common/path_helpers.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace marlume::dialogs {

struct FileType {
    std::string_view description;
    std::string_view pattern;
    // Added to a confirmed name that has none; empty adds nothing.
    std::string_view extension;
};

// The file types offered, in order; the dialog numbers them from 1.
inline constexpr std::array<FileType, 3> kSaveFileTypes { {
    { "Text File (*.txt)", "*.txt", "txt" },
    { "CSV File (*.csv)", "*.csv", "csv" },
    { "All Files (*.*)", "*.*", "" },
} };

// The name buffer's length, terminator included: a name may have 999 characters.
inline constexpr std::int32_t kNameBufferLength = 1000;

inline constexpr std::string_view kSaveAsTitle = "Save As";

// What the save-file dialog is shown with.
struct SaveFileRequest {
    std::string title;
    std::span<const FileType> types;
    // 1-based; 0 (or any value outside the list) opens on the first type.
    int selectedType;
    std::string initialDirectory;
    std::string initialName;
};

// A confirmed dialog: the full path and the type left selected (1-based).
struct SaveFileChoice {
    std::string path;
    int selectedType;
};

// A question for AskYesNoCancel, which the caller places over the main window.
struct QuestionRequest {
    std::string title;
    std::string message;
    std::string yesText;
    std::string noText;
    std::string cancelText;
    int defaultButton;
};

// The steps that meet the user and the file system.
struct SaveFileSteps {
    // Shows the save-file dialog; nothing on cancel or failure.
    std::function<std::optional<SaveFileChoice>(const SaveFileRequest&)> showDialog;
    // Asks a question; returns its answer code.
    std::function<int(const QuestionRequest&)> ask;
    std::function<bool(std::string_view path)> fileExists
        = [](std::string_view path) { return common::FileExists(path); };
};

// Asks for the name of a file to create. A confirmed name gets the chosen type's
// extension when it has none; an existing file is replaced only when the user agrees,
// else the dialog comes back with the initial path and the last chosen type.
// fileName is written on every confirmed pass, filterIndex (0 = first type) too; a
// cancel leaves both as they were. Returns false on cancel or failure.
[[nodiscard]] bool chooseFileToCreate(const SaveFileSteps& steps, std::string_view initialPath,
    std::string& fileName, std::int16_t& filterIndex);

} // namespace marlume::dialogs
