#include "qt/qt_locale_separators.h"

#include <QLocale>
#include <QRegularExpression>

namespace marlume::qt {

namespace {

char asciiOr(QChar mark, char fallback)
{
    return mark.unicode() > 0x20 && mark.unicode() < 0x80 ? mark.toLatin1() : fallback;
}

char decimalSeparator(const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    return point.size() == 1 ? asciiOr(point.at(0), '.') : '.';
}

// The first mark after the hours in the locale's time format: ":" in "HH:mm:ss", "." in "H.mm.ss".
char timeSeparator(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    const qsizetype hours = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    for (qsizetype i = hours + 1; hours >= 0 && i < format.size(); ++i) {
        if (!format.at(i).isLetter())
            return asciiOr(format.at(i), ':');
    }
    return ':';
}

} // namespace

common::Separators localeSeparators()
{
    const QLocale locale;
    return { decimalSeparator(locale), timeSeparator(locale) };
}

} // namespace marlume::qt
