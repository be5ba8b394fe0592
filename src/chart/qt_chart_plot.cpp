#include "chart/qt_chart_plot.h"

#include "chart/chart_data.h"
#include "chart/chart_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace marlume::chart {

namespace {

// A wheel notch shows this much more or less time.
constexpr double kZoomPerNotch = 1.25;
// The pointer finds a reading this many pixels away, at most.
constexpr double kReadoutReach = 8;

QRectF toQRect(const common::Box& box)
{
    return { box.left, box.top, box.width, box.height };
}

Qt::Alignment toQt(Align align)
{
    switch (align) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        break;
    }
    return Qt::AlignRight;
}

void drawLabel(QPainter& painter, const Label& label, Qt::Alignment vertical)
{
    painter.drawText(toQRect(label.box), toQt(label.align) | vertical, QString::fromStdString(label.text));
}

QPolygonF toPolygon(const std::vector<common::Point>& points)
{
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const common::Point& point : points)
        polygon.append(QPointF(point.x, point.y));
    return polygon;
}

} // namespace

const QColor& seriesColour(std::size_t series)
{
    static const std::array<QColor, kSeriesCount> colours {
        QColor(0xC0, 0x20, 0x20), // tilt
        QColor(0x70, 0x30, 0xA0), // heading
        QColor(0x20, 0x50, 0xC0), // pitch
        QColor(0x20, 0x90, 0x40), // roll
    };
    return colours[series];
}

QBrush gapBrush()
{
    return { QColor(0xB0, 0xB0, 0xB0), Qt::BDiagPattern };
}

QBrush silenceBrush()
{
    return { QColor(0xC8, 0xC8, 0xC8), Qt::Dense6Pattern };
}

QColor eventColour()
{
    return { 0xFF, 0xE8, 0xA0 };
}

ChartPlot::ChartPlot(const ChartModel& model, char timeSeparator, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_timeSeparator(timeSeparator)
{
    setObjectName(QStringLiteral("ChartPlot"));
    setMinimumSize(300, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

ChartFrame ChartPlot::frame() const
{
    ChartFrame frame { static_cast<double>(width()), static_cast<double>(height()), m_spanMs,
        m_endMs.value_or(m_liveEndMs), m_timeSeparator, m_shown };
    frame.digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) / 10.0;
    return frame;
}

void ChartPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const ChartScene scene = layoutChart(m_model, frame());
    const QRectF area = toQRect(scene.axis.box);

    // Gaps, silences and events under the lines.
    painter.setPen(Qt::darkGray);
    for (const Label& gap : scene.gaps) {
        painter.fillRect(toQRect(gap.box), gapBrush());
        drawLabel(painter, gap, Qt::AlignVCenter);
    }
    for (const Label& silence : scene.silences) {
        painter.fillRect(toQRect(silence.box), silenceBrush());
        drawLabel(painter, silence, Qt::AlignVCenter);
    }
    for (const common::Box& band : scene.eventBands)
        painter.fillRect(toQRect(band), eventColour());
    for (const common::Box& mark : scene.overRangeEvents)
        painter.fillRect(toQRect(mark), Qt::red);
    painter.setPen(QColor(0x80, 0x60, 0x00));
    for (const Label& number : scene.eventNumbers)
        drawLabel(painter, number, Qt::AlignTop);

    painter.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
    for (const double y : scene.gridLines)
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    for (const double x : scene.timeMarks) {
        painter.drawLine(QPointF(x, scene.angles.box.top), QPointF(x, scene.angles.box.bottom()));
        painter.drawLine(QPointF(x, scene.heading.box.top), QPointF(x, scene.heading.box.bottom()));
    }
    painter.setPen(Qt::darkGray);
    for (const Label& label : scene.valueLabels)
        drawLabel(painter, label, Qt::AlignVCenter);
    for (const Label& label : scene.timeLabels)
        drawLabel(painter, label, Qt::AlignTop);
    painter.setPen(Qt::black);
    for (const Label& title : scene.titles)
        drawLabel(painter, title, Qt::AlignVCenter);
    painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
    painter.drawLine(QPointF(area.left(), scene.alarmY), QPointF(area.right(), scene.alarmY));
    painter.setPen(Qt::gray);
    painter.drawRect(toQRect(scene.angles.box));
    painter.drawRect(toQRect(scene.heading.box));

    painter.setClipRect(area.adjusted(0, -1, 0, 1));
    for (const RangeBar& range : scene.ranges) {
        painter.setPen(QPen(seriesColour(range.series).lighter(150), 1));
        painter.drawLine(QPointF(range.from.x, range.from.y), QPointF(range.to.x, range.to.y));
    }
    for (const Line& line : scene.lines) {
        painter.setPen(QPen(seriesColour(line.series), 1.5));
        if (line.points.size() == 1)
            painter.drawPoint(QPointF(line.points.front().x, line.points.front().y));
        else
            painter.drawPolyline(toPolygon(line.points));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    for (const common::Point& dot : scene.overDots)
        painter.drawEllipse(QPointF(dot.x, dot.y), 2.5, 2.5);
    for (const common::Box& mark : scene.overMarks)
        painter.drawRect(toQRect(mark));
}

double ChartPlot::shareOf(double x) const
{
    const common::Box area = plotArea(width(), height());
    return std::clamp((x - area.left) / area.width, 0.0, 1.0);
}

std::int64_t ChartPlot::msAt(double x) const
{
    const ChartFrame now = frame();
    return now.endMs - static_cast<std::int64_t>((1 - shareOf(x)) * static_cast<double>(now.spanMs));
}

bool ChartPlot::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const EventSpan* span = eventAt(m_model, msAt(help->pos().x()));
    if (span && span->statistics)
        QToolTip::showText(
            help->globalPos(), QString::fromStdString(eventStatisticsText(*span->statistics)), this);
    else
        QToolTip::hideText();
    return true;
}

void ChartPlot::readOut(double x)
{
    if (!m_readout)
        return;
    const ChartFrame now = frame();
    const std::int64_t ms = msAt(x);
    const bool bySecond = now.spanMs > kLongestReadingSpanMs;
    const auto reach = static_cast<std::int64_t>(
        kReadoutReach / std::max(now.width, 1.0) * static_cast<double>(now.spanMs));
    const std::optional<ChartPoint> point
        = readingNear(m_model, ms, std::max<std::int64_t>(reach, bySecond ? 1000 : 0), bySecond);
    m_readout(point ? readoutText(*point, m_timeSeparator) : std::string());
}

void ChartPlot::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    if (m_dragFrom && m_endMs) {
        const auto byMs = static_cast<std::int64_t>(
            (*m_dragFrom - x) / plotArea(width(), height()).width * static_cast<double>(m_spanMs));
        const ChartView view
            = panned({ m_spanMs, *m_endMs }, byMs, m_model.oldestMs().value_or(m_liveEndMs), m_liveEndMs);
        m_endMs = view.endMs;
        m_dragFrom = x;
        update();
    }
    readOut(x);
}

void ChartPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_endMs) {
        m_dragFrom = event->position().x();
        setCursor(Qt::ClosedHandCursor);
    }
}

void ChartPlot::mouseReleaseEvent(QMouseEvent*)
{
    m_dragFrom.reset();
    unsetCursor();
}

void ChartPlot::leaveEvent(QEvent*)
{
    if (m_readout)
        m_readout({});
}

void ChartPlot::wheelEvent(QWheelEvent* event)
{
    if (!m_endMs) {
        event->ignore(); // following the live data: the span box sets the span
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    const ChartView view
        = zoomed({ m_spanMs, *m_endMs }, std::pow(kZoomPerNotch, -notches), shareOf(event->position().x()));
    m_spanMs = view.spanMs;
    m_endMs = std::min(view.endMs, m_liveEndMs);
    update();
    readOut(event->position().x());
}

} // namespace marlume::chart
