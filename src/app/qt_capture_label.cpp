#include "app/qt_capture_label.h"

#include <QFontMetrics>

#include <algorithm>

namespace marlume::app {

QString fittedCaptureLabel(const files::LabelText& label, const QFontMetrics& metrics, int width)
{
    const QString before = QString::fromUtf8(label.before);
    const QString after = QString::fromUtf8(label.after);
    const int roomForName = std::max(0, width - metrics.horizontalAdvance(before + after));
    const QString name = metrics.elidedText(QString::fromUtf8(label.name), Qt::ElideMiddle, roomForName);
    return metrics.elidedText(before + name + after, Qt::ElideRight, width);
}

} // namespace marlume::app
