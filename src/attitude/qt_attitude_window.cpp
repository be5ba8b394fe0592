#include "attitude/qt_attitude_window.h"

#include "qt/qt_locale_separators.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <limits>

namespace marlume::attitude {

namespace {

const QColor kOverRed(0xFF0000); // as "over" shows in the main window
const QColor kMarkBlue(0x1F5FBF);
const QColor kStaleGrey(0xA0A0A0);
constexpr double kDotRadius = 6;

QPointF toQt(const Point& point)
{
    return { point.x, point.y };
}

void drawCircle(QPainter& painter, const Point& centre, double radius)
{
    painter.drawEllipse(toQt(centre), radius, radius);
}

void drawFigure(QPainter& painter, const Point& baseline, const QString& text)
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
        const Point label = needleTip({ level.centre, ringRadius(level, ring) + 2 }, 45);
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
        const Point at = needleTip(letters, degrees);
        drawFigure(painter, { at.x, at.y + half }, QString(QLatin1Char(letter)));
    }
}

void drawNeedle(QPainter& painter, const Circle& compass, float heading, const QColor& colour)
{
    const Point tip = needleTip({ compass.centre, compass.radius * 0.85 }, heading);
    const Point left = needleTip({ compass.centre, compass.radius * 0.08 }, heading - 90);
    const Point right = needleTip({ compass.centre, compass.radius * 0.08 }, heading + 90);
    QPainterPath needle(toQt(tip));
    needle.lineTo(toQt(left));
    needle.lineTo(toQt(right));
    needle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(needle);
}

} // namespace

AttitudeWindow::AttitudeWindow(const AttitudeModel& model, platform::SettingsStore& settings, QWidget* parent)
    : SideWindow(settings, kPlacementSection, parent)
    , m_model(model)
    , m_decimalSeparator(qt::localeSeparators().decimal)
{
    setObjectName(QStringLiteral("AttitudeWindow"));
    setWindowTitle(QStringLiteral("Marlume Tilt Monitor - Attitude"));
    setMinimumSize(320, 200);
    resize(480, 280);
    setAutoFillBackground(true);
    m_refresh.setInterval(kRefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &AttitudeWindow::refresh);
}

bool AttitudeWindow::refresh()
{
    bool changed = false;
    if (m_model.revision() != m_drawnRevision) {
        m_drawnRevision = m_model.revision();
        m_sinceReading.restart();
        changed = true;
    }
    const Tone tone = toneOf(m_model.latest(),
        m_sinceReading.isValid() ? m_sinceReading.elapsed() : std::numeric_limits<std::int64_t>::max());
    changed = changed || tone != m_drawnTone;
    m_drawnTone = tone;
    if (changed)
        update();
    return changed;
}

void AttitudeWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const AttitudeLayout layout = layoutAttitude(width(), height(), painter.fontMetrics().height());
    const bool stale = m_drawnTone == Tone::Stale;
    const QColor ink = stale ? kStaleGrey : palette().color(QPalette::WindowText);
    const QColor mark = stale ? kStaleGrey : m_drawnTone == Tone::OverRange ? kOverRed : kMarkBlue;
    drawLevel(painter, layout.level, ink, stale ? kStaleGrey : kOverRed);
    drawCompass(painter, layout.compass, ink);

    const std::optional<record::AcceptedReading>& latest = m_model.latest();
    if (!latest) {
        painter.setPen(ink);
        drawFigure(painter, layout.tiltFigure, QStringLiteral("No reading"));
        return;
    }
    const Point dot = levelDot(layout.level, latest->pitch, latest->roll, latest->tilt);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    drawCircle(painter, dot, kDotRadius);
    drawNeedle(painter, layout.compass, latest->heading, mark);
    painter.setPen(mark);
    drawFigure(painter, layout.tiltFigure, QString::fromStdString(tiltFigure(*latest, m_decimalSeparator)));
    painter.setPen(ink);
    drawFigure(painter, layout.headingFigure, QString::fromStdString(headingFigure(*latest)));
}

void AttitudeWindow::showEvent(QShowEvent* event)
{
    SideWindow::showEvent(event);
    refresh();
    m_refresh.start();
}

void AttitudeWindow::hideEvent(QHideEvent* event)
{
    SideWindow::hideEvent(event);
    m_refresh.stop();
}

} // namespace marlume::attitude
