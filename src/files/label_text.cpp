#include "files/label_text.h"

#include "common/path_helpers.h"

#include <utility>

namespace marlume::files {

LabelText fileLabel(std::string before, const OutputFileStatus& status, std::string after, char pathSeparator)
{
    return { std::move(before) + '"', common::labelFileName(status.path, pathSeparator),
        '"' + std::move(after) };
}

LabelText troubleLabel(const OutputFileStatus& status, char pathSeparator)
{
    const bool creating = status.state == OutputFileStatus::State::CannotCreate;
    return fileLabel(
        creating ? "Cannot create " : "Cannot write to ", status, ": " + status.reason, pathSeparator);
}

} // namespace marlume::files
