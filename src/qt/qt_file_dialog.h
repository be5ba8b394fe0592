#pragma once

#include <QList>
#include <QString>

#include <optional>

class QWidget;

namespace marlume::qt {

struct QtFileType {
    QString description;
    QString pattern;
};

struct QtSaveFileChoice {
    QString path;
    // 1-based
    int selectedType;
};

// Qt's own save-file dialog, modal over owner: it adds no suffix, asks nothing about
// overwriting and shows each description exactly as given. selectedType is 1-based;
// a value outside the list opens on the first type. Nothing when the user cancels.
[[nodiscard]] std::optional<QtSaveFileChoice> runSaveFileDialog(QWidget* owner, const QString& title,
    const QList<QtFileType>& types, int selectedType, const QString& directory, const QString& fileName);

} // namespace marlume::qt
