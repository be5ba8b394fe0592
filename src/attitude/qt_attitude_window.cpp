#include "attitude/qt_attitude_window.h"

#include "qt/qt_locale_separators.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <limits>

namespace marlume::attitude {

namespace {

const QColor kOverRed(0xFF0000); // as "over" shows in the main window
const QColor kMarkBlue(0x1F5FBF);
const QColor kStaleGrey(0xA0A0A0);
constexpr double kDotRadius = 6;

QPointF toQt(const common::Point& point)
{
    return { point.x, point.y };
}

void drawCircle(QPainter& painter, const common::Point& centre, double radius)
{
    painter.drawEllipse(toQt(centre), radius, radius);
}

void drawFigure(QPainter& painter, const common::Point& baseline, const QString& text)
{
    const double width = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(QPointF(baseline.x - width / 2, baseline.y - painter.fontMetrics().descent()), text);
}

void drawLevel(QPainter& painter, const Circle& level, const QColor& ink, const QColor& alarm)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1));
    drawCircle(painter, level.centre, level.radius);
    painter.drawLine(QPointF(level.centre.x - level.radius, level.centre.y),
        QPointF(level.centre.x + level.radius, level.centre.y));
    painter.drawLine(QPointF(level.centre.x, level.centre.y - level.radius),
        QPointF(level.centre.x, level.centre.y + level.radius));
    for (const float ring : kLevelRings) {
        const bool alarmRing = ring == kLevelRings.back();
        painter.setPen(
            QPen(alarmRing ? alarm : ink, alarmRing ? 2 : 1, alarmRing ? Qt::SolidLine : Qt::DotLine));
        drawCircle(painter, level.centre, ringRadius(level, ring));
        // Its degrees just outside it, up and to the right.
        const common::Point label = needleTip({ level.centre, ringRadius(level, ring) + 2 }, 45);
        painter.drawText(QPointF(label.x, label.y), QString::number(ring) + QChar(0x00B0));
    }
}

void drawCompass(QPainter& painter, const Circle& compass, const QColor& ink)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1));
    drawCircle(painter, compass.centre, compass.radius);
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const Circle inner { compass.centre, compass.radius * 0.9 };
        painter.drawLine(toQt(needleTip(inner, static_cast<float>(degrees))),
            toQt(needleTip(compass, static_cast<float>(degrees))));
    }
    const Circle letters { compass.centre, compass.radius * 0.72 };
    const double half = painter.fontMetrics().height() / 2.0;
    constexpr std::array<std::pair<float, char>, 4> kPoints { { { 0, 'N' }, { 90, 'E' }, { 180, 'S' },
        { 270, 'W' } } };
    for (const auto& [degrees, letter] : kPoints) {
        const common::Point at = needleTip(letters, degrees);
        drawFigure(painter, { at.x, at.y + half }, QString(QLatin1Char(letter)));
    }
}

QPolygonF needlePolygon(const Circle& compass, float heading)
{
    return { toQt(needleTip({ compass.centre, compass.radius * 0.85 }, heading)),
        toQt(needleTip({ compass.centre, compass.radius * 0.08 }, heading - 90)),
        toQt(needleTip({ compass.centre, compass.radius * 0.08 }, heading + 90)) };
}

// A figure's line across the view, where it is drawn.
QRect figureStrip(const common::Point& baseline, int width, int textHeight)
{
    return { 0, static_cast<int>(baseline.y) - textHeight - 1, width, textHeight + 2 };
}

// The pixels a shape touches, antialiased edges included.
QRect touched(const QRectF& shape)
{
    return shape.adjusted(-2, -2, 2, 2).toAlignedRect();
}

} // namespace

AttitudeWindow::AttitudeWindow(
    AttitudeModel& model, const platform::Clock& clock, platform::SettingsStore& settings, QWidget* parent)
    : SideWindow(settings, kPlacementSection, parent)
    , m_model(model)
    , m_clock(clock)
    , m_decimalSeparator(qt::localeSeparators().decimal)
{
    setObjectName(QStringLiteral("AttitudeWindow"));
    setWindowTitle(QStringLiteral("Marlume Tilt Monitor - Attitude"));
    setMinimumSize(320, 200);
    resize(480, 280);
    // The background pixmap covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pending.setSingleShot(true);
    connect(&m_pending, &QTimer::timeout, this, &AttitudeWindow::refresh);
    model.setOnReading([this] { readingCame(); });
}

void AttitudeWindow::readingCame()
{
    const std::int64_t now = m_clock.monotonicMilliseconds();
    m_readingAtMs = now;
    if (!isVisible())
        return;
    const std::int64_t sinceRefresh = m_refreshedAtMs ? now - *m_refreshedAtMs : kLatestRefresh.count();
    if (sinceRefresh >= kRefreshInterval.count()) {
        refresh();
        return;
    }
    const std::int64_t due = kLatestRefresh.count() - sinceRefresh;
    if (!m_pending.isActive() || m_pendingAtMs > now + due)
        refreshIn(due);
}

void AttitudeWindow::refreshIn(std::int64_t delayMs)
{
    m_pendingAtMs = m_clock.monotonicMilliseconds() + delayMs;
    m_pending.start(static_cast<int>(delayMs));
}

std::int64_t AttitudeWindow::msSinceReading() const
{
    return m_readingAtMs ? m_clock.monotonicMilliseconds() - *m_readingAtMs
                         : std::numeric_limits<std::int64_t>::max();
}

bool AttitudeWindow::refresh()
{
    m_refreshedAtMs = m_clock.monotonicMilliseconds();
    Picture next = picture();
    // Unless a reading comes first, look again when the view is due to turn grey.
    if (next.tone == Tone::Stale)
        m_pending.stop();
    else
        refreshIn(kStaleAfterMs + 1 - msSinceReading());
    if (next == m_drawn)
        return false;
    // Greying or coming back changes the ink of the rings and the compass too.
    const bool inkChanged = (next.tone == Tone::Stale) != (m_drawn.tone == Tone::Stale);
    update(inkChanged ? QRegion(rect()) : marksRegion(m_drawn) + marksRegion(next));
    m_drawn = std::move(next);
    return true;
}

AttitudeLayout AttitudeWindow::layout() const
{
    return layoutAttitude(width(), height(), fontMetrics().height());
}

AttitudeWindow::Picture AttitudeWindow::picture() const
{
    const std::optional<record::AcceptedReading>& latest = m_model.latest();
    Picture picture;
    picture.tone = toneOf(latest, msSinceReading());
    if (!latest) {
        picture.tiltFigure = QStringLiteral("No reading");
        return picture;
    }
    const common::Point dot = levelDot(layout().level, latest->pitch, latest->roll, latest->tilt);
    // Whole pixels: a reading that moves the dot less is not worth a repaint.
    picture.dot = common::Point { std::round(dot.x), std::round(dot.y) };
    picture.heading = latest->heading;
    picture.tiltFigure = QString::fromStdString(tiltFigure(*latest, m_decimalSeparator));
    picture.headingFigure = QString::fromStdString(headingFigure(*latest));
    return picture;
}

QRegion AttitudeWindow::marksRegion(const Picture& picture) const
{
    const AttitudeLayout layout = this->layout();
    const int textHeight = fontMetrics().height();
    QRegion region = QRegion(figureStrip(layout.tiltFigure, width(), textHeight))
        + figureStrip(layout.headingFigure, width(), textHeight);
    if (picture.dot) {
        region += touched(
            { picture.dot->x - kDotRadius, picture.dot->y - kDotRadius, 2 * kDotRadius, 2 * kDotRadius });
        region += touched(needlePolygon(layout.compass, picture.heading).boundingRect());
    }
    return region;
}

const QPixmap& AttitudeWindow::background()
{
    const bool stale = m_drawn.tone == Tone::Stale;
    const qreal ratio = devicePixelRatioF();
    if (m_background.deviceIndependentSize() == QSizeF(size()) && m_backgroundStale == stale)
        return m_background;
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(palette().color(QPalette::Window));
    m_backgroundStale = stale;
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    const QColor ink = stale ? kStaleGrey : palette().color(QPalette::WindowText);
    const AttitudeLayout layout = this->layout();
    drawLevel(painter, layout.level, ink, stale ? kStaleGrey : kOverRed);
    drawCompass(painter, layout.compass, ink);
    return m_background;
}

void AttitudeWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, background());
    painter.setRenderHint(QPainter::Antialiasing);
    const bool stale = m_drawn.tone == Tone::Stale;
    const QColor ink = stale ? kStaleGrey : palette().color(QPalette::WindowText);
    const QColor mark = stale ? kStaleGrey : m_drawn.tone == Tone::OverRange ? kOverRed : kMarkBlue;
    const AttitudeLayout layout = this->layout();
    // Only the parts the repaint reaches: shaping text and filling shapes cost more than the clip saves.
    const QRegion& reached = event->region();
    if (m_drawn.dot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(mark);
        drawCircle(painter, *m_drawn.dot, kDotRadius);
        const QPolygonF needle = needlePolygon(layout.compass, m_drawn.heading);
        if (reached.intersects(touched(needle.boundingRect())))
            painter.drawConvexPolygon(needle);
    }
    const int textHeight = fontMetrics().height();
    if (reached.intersects(figureStrip(layout.tiltFigure, width(), textHeight))) {
        painter.setPen(m_drawn.dot ? mark : ink);
        drawFigure(painter, layout.tiltFigure, m_drawn.tiltFigure);
    }
    if (reached.intersects(figureStrip(layout.headingFigure, width(), textHeight))) {
        painter.setPen(ink);
        drawFigure(painter, layout.headingFigure, m_drawn.headingFigure);
    }
}

void AttitudeWindow::showEvent(QShowEvent* event)
{
    SideWindow::showEvent(event);
    refresh();
}

void AttitudeWindow::hideEvent(QHideEvent* event)
{
    SideWindow::hideEvent(event);
    m_pending.stop();
}

void AttitudeWindow::resizeEvent(QResizeEvent* event)
{
    SideWindow::resizeEvent(event);
    // The whole view repaints at the new size; the marks move with it.
    m_drawn = picture();
}

} // namespace marlume::attitude
