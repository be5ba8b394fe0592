#include "qt/qt_design_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace marlume::qt {

namespace {

QStringList substitutesFor(const QString& family)
{
    if (family == QLatin1String("Courier New"))
        return { QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono") };
    return { QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans") };
}

QString installedFamily(const QString& family)
{
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const QString& substitute : substitutesFor(family)) {
        if (QFontDatabase::hasFamily(substitute))
            return substitute;
    }
    return family; // let Qt's own matching choose
}

} // namespace

QFont designFont(const QString& family, double pointSize, bool bold)
{
    QFont font(installedFamily(family));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    if (family == QLatin1String("Courier New"))
        font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace marlume::qt
