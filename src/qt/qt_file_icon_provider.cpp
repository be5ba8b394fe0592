#include "qt/qt_file_icon_provider.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

namespace marlume::qt {

QIcon QtFileIconProvider::icon(const QFileInfo& info) const
{
    if (info.isRoot())
        return icon(Drive);
    if (info.isSymLink())
        return QApplication::style()->standardIcon(
            info.isDir() ? QStyle::SP_DirLinkIcon : QStyle::SP_FileLinkIcon);
    // Pipes, sockets and devices show as files.
    return icon(info.isDir() ? Folder : File);
}

// The same words as Qt's own provider.
QString QtFileIconProvider::type(const QFileInfo& info) const
{
    if (info.isRoot())
        return QStringLiteral("Drive");
    if (info.isFile()) {
        // By the name only; the default match reads the file.
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }
    if (info.isDir())
        return QStringLiteral("Folder");
    if (info.isSymLink())
        return QStringLiteral("Shortcut");
    return QStringLiteral("Unknown");
}

} // namespace marlume::qt
