#include "chart/qt_chart_window.h"

#include "common/number_text.h"
#include "placement/window_placement.h"
#include "record/tilt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace marlume::chart {

namespace {

constexpr std::array<int, 4> kSpanMinutes { 1, 5, 15, 60 };
constexpr int kDefaultSpanIndex = 1;
// Longer than this without a reading, the line breaks even where no loss of link was seen.
constexpr std::int64_t kBreakMs = 3000;

const std::array<QColor, kSeriesCount> kSeriesColours {
    QColor(0xC0, 0x20, 0x20), // tilt
    QColor(0x70, 0x30, 0xA0), // heading
    QColor(0x20, 0x50, 0xC0), // pitch
    QColor(0x20, 0x90, 0x40), // roll
};
const std::array<const char*, kSeriesCount> kSeriesNames { "Tilt", "Heading", "Pitch", "Roll" };

// A value range drawn into a band of the plot.
struct Pane {
    QRectF rect;
    float low;
    float high;
    [[nodiscard]] double y(float value) const
    {
        const double clamped = std::clamp(value, low, high);
        return rect.bottom() - (clamped - low) / (high - low) * rect.height();
    }
};

struct TimeAxis {
    std::int64_t startMs;
    std::int64_t spanMs;
    QRectF rect;
    [[nodiscard]] double x(std::int64_t ms) const
    {
        return rect.left() + static_cast<double>(ms - startMs) / static_cast<double>(spanMs) * rect.width();
    }
};

QString clockText(std::int64_t ms)
{
    const std::int64_t dayMs = ((ms % 86'400'000) + 86'400'000) % 86'400'000;
    const auto part
        = [](std::int64_t value) { return QString::fromStdString(common::wholeNumberText(value, 2)); };
    return part(dayMs / 3'600'000) + QLatin1Char(':') + part(dayMs / 60'000 % 60) + QLatin1Char(':')
        + part(dayMs / 1000 % 60);
}

bool inGap(const ChartModel& model, std::int64_t fromMs, std::int64_t toMs)
{
    for (std::size_t i = model.gaps().size(); i-- > 0;) {
        const LinkGap& gap = model.gaps()[i];
        if (gap.fromMs >= fromMs && gap.fromMs <= toMs)
            return true;
        if (gap.toMs && *gap.toMs < fromMs)
            break;
    }
    return false;
}

// One polyline per series through the values, broken at gaps.
template <typename Items, typename Time, typename Value>
void drawSeries(QPainter& painter, const ChartModel& model, const Items& items, std::size_t first,
    const TimeAxis& axis, const Pane& pane, std::size_t series, Time timeOf, Value valueOf)
{
    QPolygonF line;
    std::int64_t previous = 0;
    painter.setPen(QPen(kSeriesColours[series], 1.5));
    for (std::size_t i = first; i < items.size(); ++i) {
        const std::int64_t ms = timeOf(items[i]);
        if (!line.isEmpty() && (ms - previous > kBreakMs || inGap(model, previous, ms))) {
            painter.drawPolyline(line);
            line.clear();
        }
        line.append(QPointF(axis.x(ms), pane.y(valueOf(items[i]))));
        previous = ms;
    }
    if (line.size() == 1)
        painter.drawPoint(line.front());
    else if (!line.isEmpty())
        painter.drawPolyline(line);
}

// The first index whose time is not before startMs, by bisection: the ring is in time order.
template <typename Items, typename Time>
std::size_t firstFrom(const Items& items, std::int64_t startMs, Time timeOf)
{
    std::size_t low = 0;
    std::size_t high = items.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (timeOf(items[middle]) < startMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low > 0 ? low - 1 : 0; // one before, so that the line enters from the left edge
}

void drawGrid(QPainter& painter, const Pane& pane, std::initializer_list<float> marks)
{
    painter.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
    for (const float mark : marks) {
        const double y = pane.y(mark);
        painter.drawLine(QPointF(pane.rect.left(), y), QPointF(pane.rect.right(), y));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, y - 8, pane.rect.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
            QString::number(static_cast<int>(mark)));
        painter.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
    }
}

} // namespace

ChartPlot::ChartPlot(const ChartModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("ChartPlot"));
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = QRectF(rect()).adjusted(40, 18, -10, -22);
    const Pane angles { QRectF(area.left(), area.top(), area.width(), area.height() * 0.62), -90, 90 };
    const Pane heading { QRectF(area.left(), angles.rect.bottom() + 10, area.width(),
                             area.bottom() - angles.rect.bottom() - 10),
        0, 360 };
    const std::int64_t spanMs = std::chrono::duration_cast<std::chrono::milliseconds>(m_span).count();
    const std::int64_t endMs = m_endMs.value_or(m_model.latestMs().value_or(0));
    const TimeAxis axis { endMs - spanMs, spanMs, area };
    painter.setClipRect(rect());

    // Gaps, then events, under the lines.
    for (std::size_t i = 0; i < m_model.gaps().size(); ++i) {
        const LinkGap& gap = m_model.gaps()[i];
        const std::int64_t to = gap.toMs.value_or(endMs);
        if (to < axis.startMs || gap.fromMs > endMs)
            continue;
        const QRectF band(QPointF(std::max(axis.x(gap.fromMs), area.left()), area.top()),
            QPointF(std::min(axis.x(to), area.right()), area.bottom()));
        painter.fillRect(band, QBrush(QColor(0xB0, 0xB0, 0xB0), Qt::BDiagPattern));
        painter.setPen(Qt::darkGray);
        painter.drawText(band, Qt::AlignCenter, QStringLiteral("link down"));
    }
    for (std::size_t i = 0; i < m_model.events().size(); ++i) {
        const EventSpan& span = m_model.events()[i];
        const std::int64_t to = span.endMs.value_or(endMs);
        if (to < axis.startMs || span.startMs > endMs)
            continue;
        const double left = std::max(axis.x(span.startMs), area.left());
        const double right = std::max(std::min(axis.x(to), area.right()), left + 1);
        painter.fillRect(
            QRectF(QPointF(left, area.top()), QPointF(right, area.bottom())), QColor(0xFF, 0xE8, 0xA0));
        painter.setPen(QColor(0x80, 0x60, 0x00));
        // Inside the band's top, clear of the legend above the plot.
        painter.drawText(QRectF(left + 2, area.top() + 1, std::max(right - left, 30.0), 16),
            Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(common::wholeNumberText(span.number, 3)));
    }

    drawGrid(painter, angles, { -90, -55, 0, 55, 90 });
    drawGrid(painter, heading, { 0, 180, 360 });
    painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
    painter.drawLine(QPointF(area.left(), angles.y(record::kOverRangeTilt)),
        QPointF(area.right(), angles.y(record::kOverRangeTilt)));
    painter.setPen(Qt::gray);
    painter.drawRect(angles.rect);
    painter.drawRect(heading.rect);

    // Time labels at the edges and the middle.
    painter.setPen(Qt::darkGray);
    for (const double share : { 0.0, 0.5, 1.0 }) {
        const std::int64_t ms = axis.startMs + static_cast<std::int64_t>(share * static_cast<double>(spanMs));
        const double x = axis.x(ms);
        const Qt::Alignment align = share == 0.0 ? Qt::AlignLeft
            : share == 1.0                       ? Qt::AlignRight
                                                 : Qt::AlignHCenter;
        painter.drawText(QRectF(x
                                 - (share == 0.0        ? 0
                                         : share == 1.0 ? 80
                                                        : 40),
                             area.bottom() + 2, 80, 18),
            align | Qt::AlignTop, clockText(ms));
    }

    painter.setClipRect(area.adjusted(0, -1, 0, 1));
    const auto paneOf = [&](std::size_t series) -> const Pane& {
        return series == static_cast<std::size_t>(Series::Heading) ? heading : angles;
    };
    // One by one where a second is wide on screen; second by second over the longer spans.
    if (spanMs <= 2 * 60'000) {
        const auto& points = m_model.points();
        const auto timeOf = [](const ChartPoint& point) { return point.ms; };
        const std::size_t first = firstFrom(points, axis.startMs, timeOf);
        for (std::size_t series = 0; series < kSeriesCount; ++series)
            drawSeries(painter, m_model, points, first, axis, paneOf(series), series, timeOf,
                [series](const ChartPoint& point) { return point.values[series]; });
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::red);
        for (std::size_t i = first; i < points.size(); ++i) {
            if (points[i].over)
                painter.drawEllipse(QPointF(axis.x(points[i].ms), angles.y(points[i].values[0])), 2.5, 2.5);
        }
    } else {
        const auto& seconds = m_model.seconds();
        const auto timeOf = [](const ChartSecond& second) { return second.second * 1000 + 500; };
        const std::size_t first = firstFrom(seconds, axis.startMs, timeOf);
        for (std::size_t series = 0; series < kSeriesCount; ++series) {
            const Pane& pane = paneOf(series);
            painter.setPen(QPen(kSeriesColours[series].lighter(150), 1));
            for (std::size_t i = first; i < seconds.size(); ++i) {
                const double x = axis.x(timeOf(seconds[i]));
                painter.drawLine(
                    QPointF(x, pane.y(seconds[i].low[series])), QPointF(x, pane.y(seconds[i].high[series])));
            }
            drawSeries(painter, m_model, seconds, first, axis, pane, series, timeOf,
                [series](const ChartSecond& second) { return second.last[series]; });
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::red);
        for (std::size_t i = first; i < seconds.size(); ++i) {
            if (seconds[i].over)
                painter.drawRect(QRectF(axis.x(timeOf(seconds[i])) - 1, angles.rect.top(), 3, 5));
        }
    }

    // The legend, over the lines at the top right.
    painter.setClipping(false);
    double x = area.right();
    for (std::size_t series = kSeriesCount; series-- > 0;) {
        const QString name = QString::fromLatin1(kSeriesNames[series]);
        const double width = painter.fontMetrics().horizontalAdvance(name) + 18;
        x -= width;
        painter.fillRect(QRectF(x, 5, 10, 3), kSeriesColours[series]);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 13, 0, width, area.top()), Qt::AlignLeft | Qt::AlignVCenter, name);
    }
}

ChartWindow::ChartWindow(const ChartModel& model, platform::SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
    , m_settings(settings)
    , m_placement(*this)
    , m_plot(new ChartPlot(model, this))
    , m_spanBox(new QComboBox(this))
    , m_pauseButton(new QPushButton(QStringLiteral("&Pause"), this))
{
    setObjectName(QStringLiteral("ChartWindow"));
    setWindowTitle(QStringLiteral("Marlume Tilt Monitor - Chart"));
    resize(720, 420);
    m_spanBox->setObjectName(QStringLiteral("SpanBox"));
    for (const int minutes : kSpanMinutes)
        m_spanBox->addItem(minutes == 1 ? QStringLiteral("1 minute")
                                        : QString::number(minutes) + QStringLiteral(" minutes"));
    m_spanBox->setCurrentIndex(kDefaultSpanIndex);
    m_plot->setSpan(std::chrono::minutes(kSpanMinutes[kDefaultSpanIndex]));
    m_pauseButton->setObjectName(QStringLiteral("PauseButton"));
    m_pauseButton->setCheckable(true);

    auto* spanLabel = new QLabel(QStringLiteral("&Span:"), this);
    spanLabel->setBuddy(m_spanBox);
    auto* controls = new QHBoxLayout;
    controls->addWidget(spanLabel);
    controls->addWidget(m_spanBox);
    controls->addStretch();
    controls->addWidget(m_pauseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_plot, 1);

    connect(m_spanBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_plot->setSpan(std::chrono::minutes(kSpanMinutes[static_cast<std::size_t>(index)]));
        m_plot->update();
    });
    connect(m_pauseButton, &QPushButton::toggled, this, [this](bool paused) {
        m_pauseButton->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
        // Paused, the right edge stays where it is; the model goes on collecting.
        m_plot->setEnd(paused ? m_model.latestMs() : std::nullopt);
        m_plot->update();
    });
    m_refresh.setInterval(kRefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &ChartWindow::refresh);
}

void ChartWindow::showChart()
{
    if (!m_placed) {
        m_placed = true;
        placement::RestoreWindowPlacement(m_placement, m_settings, kPlacementSection);
    }
    show();
    raise();
    activateWindow();
}

void ChartWindow::savePlacement()
{
    if (m_placed)
        placement::SaveWindowPlacement(m_placement, m_settings, kPlacementSection);
}

void ChartWindow::refresh()
{
    // Nothing new, or paused: no drawing at all.
    if (m_model.revision() == m_drawnRevision || m_pauseButton->isChecked())
        return;
    m_drawnRevision = m_model.revision();
    m_plot->update();
}

void ChartWindow::closeEvent(QCloseEvent* event)
{
    savePlacement();
    QWidget::closeEvent(event);
}

void ChartWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_drawnRevision = 0;
    m_refresh.start();
}

void ChartWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_refresh.stop();
}

} // namespace marlume::chart
