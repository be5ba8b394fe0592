#include "dialogs/save_file_dialog_qt.h"

#include "dialogs/ask_yes_no_cancel.h"
#include "dialogs/save_file_dialog.h"
#include "platform/qt_file_dialog.h"

#include <QWidget>

namespace marlume::dialogs {

namespace {

QString qtText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

bool SaveFileDialog(
    QWidget* owner, std::string_view initialPath, std::string& fileName, std::int16_t& filterIndex)
{
    // The question always stands over the main window, whichever widget owns the file dialog.
    QWidget* mainWindow = owner ? owner->window() : nullptr;
    SaveFileSteps steps;
    steps.showDialog = [owner](const SaveFileRequest& request) -> std::optional<SaveFileChoice> {
        QList<platform::QtFileType> types;
        for (const FileType& type : request.types)
            types.append({ qtText(type.description), qtText(type.pattern) });
        const auto choice = platform::runSaveFileDialog(owner, qtText(request.title), types,
            request.selectedType, qtText(request.initialDirectory), qtText(request.initialName));
        if (!choice)
            return std::nullopt;
        return SaveFileChoice { choice->path.toStdString(), choice->selectedType };
    };
    steps.ask = [mainWindow](const QuestionRequest& question) {
        return AskYesNoCancel(qtText(question.title), qtText(question.message), qtText(question.yesText),
            qtText(question.noText), qtText(question.cancelText), question.defaultButton, true, mainWindow);
    };
    return SaveFileDialog(steps, initialPath, fileName, filterIndex);
}

} // namespace marlume::dialogs
