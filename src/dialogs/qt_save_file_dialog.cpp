#include "dialogs/qt_save_file_dialog.h"

#include "dialogs/qt_ask_yes_no_cancel.h"
#include "dialogs/save_file_dialog.h"
#include "qt/qt_file_dialog.h"

#include <QWidget>

namespace marlume::dialogs {

bool SaveFileDialog(
    QWidget* owner, std::string_view initialPath, std::string& fileName, std::int16_t& filterIndex)
{
    // The question always stands over the main window, whichever widget owns the file dialog.
    QWidget* mainWindow = owner ? owner->window() : nullptr;
    SaveFileSteps steps;
    steps.showDialog = [owner](const SaveFileRequest& request) -> std::optional<SaveFileChoice> {
        QList<qt::QtFileType> types;
        for (const FileType& type : request.types)
            types.append({ QString::fromUtf8(type.description), QString::fromUtf8(type.pattern) });
        const auto choice
            = qt::runSaveFileDialog(owner, QString::fromUtf8(request.title), types, request.selectedType,
                QString::fromUtf8(request.initialDirectory), QString::fromUtf8(request.initialName));
        if (!choice)
            return std::nullopt;
        return SaveFileChoice { choice->path.toStdString(), choice->selectedType };
    };
    steps.ask = [mainWindow](const QuestionRequest& question) {
        return AskYesNoCancel(QString::fromUtf8(question.title), QString::fromUtf8(question.message),
            QString::fromUtf8(question.yesText), QString::fromUtf8(question.noText),
            QString::fromUtf8(question.cancelText), question.defaultButton, true, mainWindow);
    };
    return chooseFileToCreate(steps, initialPath, fileName, filterIndex);
}

} // namespace marlume::dialogs
