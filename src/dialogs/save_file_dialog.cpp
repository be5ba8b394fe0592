#include "dialogs/save_file_dialog.h"

#include "common/path_helpers.h"
#include "dialogs/question_layout.h"

namespace marlume::dialogs {

namespace {

// The chosen path as it comes back through the name buffer: up to its first NUL, or
// nothing when it does not fit with its terminator, which the dialog reports as failure.
std::optional<std::string> throughNameBuffer(std::string_view path)
{
    if (path.size() >= static_cast<std::size_t>(kNameBufferLength))
        return std::nullopt;
    return common::TrimAtNull(common::PadWithNulls(path, kNameBufferLength));
}

std::string withTypeExtension(std::string name, int type)
{
    if (!common::FileExtension(name).empty() || type < 1 || type > static_cast<int>(kSaveFileTypes.size()))
        return name;
    const std::string_view extension = kSaveFileTypes[static_cast<std::size_t>(type - 1)].extension;
    return extension.empty() ? name : common::ChangeExtension(name, extension);
}

} // namespace

bool chooseFileToCreate(const SaveFileSteps& steps, std::string_view initialPath, std::string& fileName,
    std::int16_t& filterIndex)
{
    const std::string initial(initialPath);
    for (;;) {
        const SaveFileRequest request { std::string(kSaveAsTitle), kSaveFileTypes, filterIndex,
            common::DirectoryPart(initial), common::FileNamePart(initial) };
        const std::optional<SaveFileChoice> choice = steps.showDialog(request);
        if (!choice)
            return false;
        const std::optional<std::string> chosen = throughNameBuffer(choice->path);
        if (!chosen)
            return false;

        filterIndex = static_cast<std::int16_t>(choice->selectedType == 0 ? 1 : choice->selectedType);
        fileName = withTypeExtension(*chosen, filterIndex);

        if (!steps.fileExists(fileName))
            return true;
        const QuestionRequest question { std::string(kSaveAsTitle),
            common::DisplayPath(fileName) + " already exists.  Replace it?", "Yes", "No", "", kAnswerNo };
        if (steps.ask(question) == kAnswerYes)
            return true;
    }
}

} // namespace marlume::dialogs
