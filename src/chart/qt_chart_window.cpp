#include "chart/qt_chart_window.h"

#include "chart/chart_geometry.h"
#include "placement/window_placement.h"
#include "qt/qt_locale_separators.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace marlume::chart {

namespace {

constexpr std::array<int, 4> kSpanMinutes { 1, 5, 15, 60 };
constexpr int kDefaultSpanIndex = 1;

const std::array<QColor, kSeriesCount> kSeriesColours {
    QColor(0xC0, 0x20, 0x20), // tilt
    QColor(0x70, 0x30, 0xA0), // heading
    QColor(0x20, 0x50, 0xC0), // pitch
    QColor(0x20, 0x90, 0x40), // roll
};
const std::array<const char*, kSeriesCount> kSeriesNames { "Tilt", "Heading", "Pitch", "Roll" };

QRectF toQRect(const Box& box)
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

QPolygonF toPolygon(const std::vector<Spot>& points)
{
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const Spot& point : points)
        polygon.append(QPointF(point.x, point.y));
    return polygon;
}

} // namespace

ChartPlot::ChartPlot(const ChartModel& model, char timeSeparator, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_timeSeparator(timeSeparator)
{
    setObjectName(QStringLiteral("ChartPlot"));
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const std::int64_t spanMs = std::chrono::duration_cast<std::chrono::milliseconds>(m_span).count();
    const ChartScene scene = layoutChart(m_model,
        { static_cast<double>(width()), static_cast<double>(height()), spanMs,
            m_endMs.value_or(m_model.latestMs().value_or(0)), m_timeSeparator });
    const QRectF area = toQRect(scene.axis.box);

    // Gaps, then events, under the lines.
    painter.setPen(Qt::darkGray);
    for (const Label& gap : scene.gaps) {
        painter.fillRect(toQRect(gap.box), QBrush(QColor(0xB0, 0xB0, 0xB0), Qt::BDiagPattern));
        drawLabel(painter, gap, Qt::AlignVCenter);
    }
    for (const Box& band : scene.eventBands)
        painter.fillRect(toQRect(band), QColor(0xFF, 0xE8, 0xA0));
    painter.setPen(QColor(0x80, 0x60, 0x00));
    for (const Label& number : scene.eventNumbers)
        drawLabel(painter, number, Qt::AlignTop);

    painter.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
    for (const double y : scene.gridLines)
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    painter.setPen(Qt::darkGray);
    for (const Label& label : scene.valueLabels)
        drawLabel(painter, label, Qt::AlignVCenter);
    for (const Label& label : scene.timeLabels)
        drawLabel(painter, label, Qt::AlignTop);
    painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
    painter.drawLine(QPointF(area.left(), scene.alarmY), QPointF(area.right(), scene.alarmY));
    painter.setPen(Qt::gray);
    painter.drawRect(toQRect(scene.angles.box));
    painter.drawRect(toQRect(scene.heading.box));

    painter.setClipRect(area.adjusted(0, -1, 0, 1));
    for (const RangeBar& range : scene.ranges) {
        painter.setPen(QPen(kSeriesColours[range.series].lighter(150), 1));
        painter.drawLine(QPointF(range.from.x, range.from.y), QPointF(range.to.x, range.to.y));
    }
    for (const Line& line : scene.lines) {
        painter.setPen(QPen(kSeriesColours[line.series], 1.5));
        if (line.points.size() == 1)
            painter.drawPoint(QPointF(line.points.front().x, line.points.front().y));
        else
            painter.drawPolyline(toPolygon(line.points));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    for (const Spot& dot : scene.overDots)
        painter.drawEllipse(QPointF(dot.x, dot.y), 2.5, 2.5);
    for (const Box& mark : scene.overMarks)
        painter.drawRect(toQRect(mark));

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
    , m_plot(new ChartPlot(model, qt::localeSeparators().time, this))
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
