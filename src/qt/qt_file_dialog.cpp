#include "qt/qt_file_dialog.h"

#include "qt/qt_file_icon_provider.h"

#include <QFileDialog>
#include <QStringList>

namespace marlume::qt {

namespace {

// The dialog reads the patterns from the last parentheses and, with the details hidden,
// shows the text before them, so the description stays as given. "*.*" would hide
// every file without a dot here, so it shows all files.
QString nameFilter(const QtFileType& type)
{
    const QString pattern = type.pattern == QLatin1String("*.*") ? QStringLiteral("*") : type.pattern;
    return type.description + QLatin1String(" (") + pattern + QLatin1Char(')');
}

// With the details hidden, Qt reports the selected filter by its shown text. 1-based; 0 for none.
int selectedTypeOf(const QList<QtFileType>& types, const QString& selectedFilter)
{
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (types[i].description == selectedFilter || nameFilter(types[i]) == selectedFilter)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

} // namespace

std::optional<QtSaveFileChoice> runSaveFileDialog(QWidget* owner, const QString& title,
    const QList<QtFileType>& types, int selectedType, const QString& directory, const QString& fileName)
{
    // Declared first: the dialog only borrows it.
    QtFileIconProvider iconProvider;
    QFileDialog dialog(owner, title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite
        | QFileDialog::HideNameFilterDetails);
    // After the options: only DontUseNativeDialog makes sure that Qt's own file list exists.
    dialog.setIconProvider(&iconProvider);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());

    QStringList filters;
    for (const QtFileType& type : types)
        filters << nameFilter(type);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.value(selectedType - 1, filters.first()));
    if (!directory.isEmpty())
        dialog.setDirectory(directory);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QtSaveFileChoice { dialog.selectedFiles().constFirst(),
        selectedTypeOf(types, dialog.selectedNameFilter()) };
}

} // namespace marlume::qt
