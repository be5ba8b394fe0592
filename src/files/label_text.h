#pragma once

#include "files/output_file_session.h"

#include <string>

namespace marlume::files {

// A file label's text in three parts, so that a view short of room can shorten the file's name in
// the middle and never the rest.
struct LabelText {
    std::string before; // up to and with the opening quote
    std::string name; // the file's name, without quotes; empty for a text without one
    std::string after; // from the closing quote on

    [[nodiscard]] std::string text() const { return before + name + after; }
    friend bool operator==(const LabelText&, const LabelText&) = default;
};

// A label that names the file: before, then the file's name in quotes, then after.
[[nodiscard]] LabelText fileLabel(
    std::string before, const OutputFileStatus& status, std::string after, char pathSeparator = '/');

// "Cannot create "run.csv": reason" or "Cannot write to "run.csv": reason", for a status that is a failure.
[[nodiscard]] LabelText troubleLabel(const OutputFileStatus& status, char pathSeparator = '/');

} // namespace marlume::files
