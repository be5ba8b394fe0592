#include "chart/qt_chart_window.h"

#include "chart/chart_data.h"
#include "chart/chart_view.h"
#include "placement/window_placement.h"
#include "qt/qt_locale_separators.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace marlume::chart {

namespace {

constexpr std::array<int, 4> kSpanMinutes { 1, 5, 15, 60 };
constexpr int kDefaultSpanIndex = 1;
// A wheel notch shows this much more or less time.
constexpr double kZoomPerNotch = 1.25;
// The pointer finds a reading this many pixels away, at most.
constexpr double kReadoutReach = 8;

const std::array<QColor, kSeriesCount> kSeriesColours {
    QColor(0xC0, 0x20, 0x20), // tilt
    QColor(0x70, 0x30, 0xA0), // heading
    QColor(0x20, 0x50, 0xC0), // pitch
    QColor(0x20, 0x90, 0x40), // roll
};
const std::array<const char*, kSeriesCount> kSeriesNames { "&Tilt", "&Heading", "P&itch", "R&oll" };

const QBrush kGapBrush(QColor(0xB0, 0xB0, 0xB0), Qt::BDiagPattern);
const QBrush kSilenceBrush(QColor(0xC8, 0xC8, 0xC8), Qt::Dense6Pattern);
const QColor kEventColour(0xFF, 0xE8, 0xA0);

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

// A legend entry: a small swatch of the fill, then its name.
QWidget* legendEntry(const QBrush& fill, const QString& name, QWidget* parent)
{
    QPixmap swatch(16, 10);
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    painter.fillRect(swatch.rect(), fill);
    painter.setPen(Qt::gray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    auto* entry = new QWidget(parent);
    auto* layout = new QHBoxLayout(entry);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* picture = new QLabel(entry);
    picture->setPixmap(swatch);
    layout->addWidget(picture);
    layout->addWidget(new QLabel(name, entry));
    return entry;
}

} // namespace

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
        painter.fillRect(toQRect(gap.box), kGapBrush);
        drawLabel(painter, gap, Qt::AlignVCenter);
    }
    for (const Label& silence : scene.silences) {
        painter.fillRect(toQRect(silence.box), kSilenceBrush);
        drawLabel(painter, silence, Qt::AlignVCenter);
    }
    for (const Box& band : scene.eventBands)
        painter.fillRect(toQRect(band), kEventColour);
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
}

double ChartPlot::shareOf(double x) const
{
    const Box area = plotArea(width(), height());
    return std::clamp((x - area.left) / area.width, 0.0, 1.0);
}

void ChartPlot::readOut(double x)
{
    if (!m_readout)
        return;
    const ChartFrame now = frame();
    const double share = shareOf(x);
    const auto ms = now.endMs - static_cast<std::int64_t>((1 - share) * static_cast<double>(now.spanMs));
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

ChartWindow::ChartWindow(const ChartModel& model, platform::SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
    , m_settings(settings)
    , m_placement(*this)
    , m_plot(new ChartPlot(model, qt::localeSeparators().time, this))
    , m_spanBox(new QComboBox(this))
    , m_pauseButton(new QPushButton(QStringLiteral("&Pause"), this))
    , m_readout(new QLabel(this))
{
    setObjectName(QStringLiteral("ChartWindow"));
    setWindowTitle(QStringLiteral("Marlume Tilt Monitor - Chart"));
    setMinimumSize(560, 360);
    resize(760, 460);
    m_spanBox->setObjectName(QStringLiteral("SpanBox"));
    for (const int minutes : kSpanMinutes)
        m_spanBox->addItem(minutes == 1 ? QStringLiteral("1 minute")
                                        : QString::number(minutes) + QStringLiteral(" minutes"));
    m_spanBox->setCurrentIndex(kDefaultSpanIndex);
    m_plot->setSpan(chosenSpan());
    m_pauseButton->setObjectName(QStringLiteral("PauseButton"));
    m_pauseButton->setCheckable(true);
    m_readout->setObjectName(QStringLiteral("Readout"));
    m_readout->setTextFormat(Qt::PlainText);
    m_plot->setOnReadout(
        [this](const std::string& text) { m_readout->setText(QString::fromStdString(text)); });

    auto* spanLabel = new QLabel(QStringLiteral("&Span:"), this);
    spanLabel->setBuddy(m_spanBox);
    auto* controls = new QHBoxLayout;
    controls->addWidget(spanLabel);
    controls->addWidget(m_spanBox);
    controls->addSpacing(8);
    // The series' legend, each a box that shows or hides its line.
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        auto* box = new QCheckBox(QString::fromLatin1(kSeriesNames[series]), this);
        box->setObjectName(
            QString::fromLatin1(kSeriesNames[series]).remove(QLatin1Char('&')) + QStringLiteral("Box"));
        box->setChecked(true);
        box->setStyleSheet(
            QStringLiteral("QCheckBox { color: %1; font-weight: bold; }").arg(kSeriesColours[series].name()));
        connect(box, &QCheckBox::toggled, this, [this, series](bool shown) {
            m_plot->setShown(series, shown);
            m_plot->update();
        });
        m_seriesBoxes[series] = box;
        controls->addWidget(box);
    }
    controls->addStretch();
    auto* savePicture = new QPushButton(QStringLiteral("Save P&NG..."), this);
    auto* saveCsv = new QPushButton(QStringLiteral("Save &CSV..."), this);
    controls->addWidget(savePicture);
    controls->addWidget(saveCsv);
    controls->addWidget(m_pauseButton);

    auto* legend = new QHBoxLayout;
    legend->addWidget(m_readout, 1);
    legend->addWidget(legendEntry(kEventColour, QStringLiteral("event"), this));
    legend->addWidget(legendEntry(QBrush(Qt::red), QStringLiteral("over range"), this));
    legend->addWidget(legendEntry(kGapBrush, QStringLiteral("link down"), this));
    legend->addWidget(legendEntry(kSilenceBrush, QStringLiteral("no data"), this));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_plot, 1);
    layout->addLayout(legend);

    connect(m_spanBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_plot->setSpan(chosenSpan());
        m_plot->update();
    });
    connect(m_pauseButton, &QPushButton::toggled, this, [this](bool paused) {
        m_pauseButton->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
        m_pauseButton->setToolTip(
            paused ? QStringLiteral("Wheel: zoom in time; drag: move back and forth") : QString());
        // Paused, the right edge stays where it is; the model goes on collecting.
        m_plot->setEnd(paused ? std::optional(m_plot->frame().endMs) : std::nullopt);
        if (!paused)
            m_plot->setSpan(chosenSpan());
        m_plot->update();
    });
    connect(savePicture, &QPushButton::clicked, this, [this] {
        askAndSave(QStringLiteral("Save Chart as PNG"), QStringLiteral("png"), &ChartWindow::savePicture);
    });
    connect(saveCsv, &QPushButton::clicked, this, [this] {
        askAndSave(QStringLiteral("Save Chart as CSV"), QStringLiteral("csv"), &ChartWindow::saveCsv);
    });
    for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) })
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    m_refresh.setInterval(kRefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &ChartWindow::refresh);
    m_sinceNews.start();
}

std::chrono::milliseconds ChartWindow::chosenSpan() const
{
    return std::chrono::minutes(
        kSpanMinutes[static_cast<std::size_t>(std::max(m_spanBox->currentIndex(), 0))]);
}

void ChartWindow::showChart()
{
    if (!m_placed) {
        m_placed = true;
        placement::RestoreWindowPlacement(m_placement, m_settings, kPlacementSection);
        placement::FitWindowOnScreen(m_placement);
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
    if (m_model.revision() != m_drawnRevision) {
        m_drawnRevision = m_model.revision();
        m_newestMs = m_model.latestMs().value_or(0);
        m_sinceNews.restart();
    } else if (m_sinceNews.elapsed() <= kNoDataMs) {
        return; // nothing new, and no silence to show growing
    }
    // While nothing comes, the live end moves on with the clock, so that a silence shows.
    m_plot->setLiveEnd(m_newestMs + m_sinceNews.elapsed());
    if (!m_pauseButton->isChecked())
        m_plot->update();
}

std::optional<QString> ChartWindow::savePicture(const QString& path)
{
    if (!m_plot->grab().save(path, "PNG"))
        return QStringLiteral("the picture could not be written");
    return std::nullopt;
}

std::optional<QString> ChartWindow::saveCsv(const QString& path)
{
    const ChartFrame frame = m_plot->frame();
    const std::string csv
        = chartCsv(m_model, frame.endMs - frame.spanMs, frame.endMs, frame.spanMs > kLongestReadingSpanMs);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.data(), static_cast<qint64>(csv.size())) < 0
        || !file.commit())
        return file.errorString();
    return std::nullopt;
}

void ChartWindow::askAndSave(
    const QString& title, const QString& suffix, std::optional<QString> (ChartWindow::*save)(const QString&))
{
    QFileDialog dialog(this, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.setNameFilter(suffix.toUpper() + QStringLiteral(" files (*.") + suffix + QLatin1Char(')'));
    dialog.selectFile(QStringLiteral("chart.") + suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().front();
    if (const std::optional<QString> reason = (this->*save)(path))
        QMessageBox::warning(this, title, QStringLiteral("Cannot save \"%1\": %2").arg(path, *reason));
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
    refresh();
    m_refresh.start();
}

void ChartWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_refresh.stop();
}

} // namespace marlume::chart
