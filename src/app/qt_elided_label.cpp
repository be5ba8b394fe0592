#include "app/qt_elided_label.h"

#include <QFontMetricsF>

#include <cmath>

namespace marlume::app {

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setTexts(const QStringList& texts)
{
    m_texts = texts;
    setToolTip(m_texts.join(QLatin1Char('\n')));
    fit();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const
{
    return sizeFor(m_texts.value(0));
}

QSize ElidedLabel::minimumSizeHint() const
{
    return sizeFor(QString(QChar(0x2026)));
}

// The width to the next whole pixel, as eliding measures it; the whole height of the font, so that
// descenders and underscores are never cut off.
QSize ElidedLabel::sizeFor(const QString& text) const
{
    const QMargins margins = contentsMargins() + QMargins(margin(), margin(), margin(), margin());
    const auto width = static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text)));
    return QSize(width, fontMetrics().height()).grownBy(margins);
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fit();
}

void ElidedLabel::fit()
{
    const int room = contentsRect().width() - 2 * margin();
    QString shown = fontMetrics().elidedText(m_texts.value(0), Qt::ElideMiddle, room);
    for (qsizetype next = 1; next < m_texts.size(); ++next) {
        const QString longer = shown + QStringLiteral(" | ") + m_texts[next];
        if (fontMetrics().horizontalAdvance(longer) > room)
            break;
        shown = longer;
    }
    setText(shown);
}

} // namespace marlume::app
