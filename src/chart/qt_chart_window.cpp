#include "chart/qt_chart_window.h"

#include "chart/chart_data.h"
#include "common/local_date_time.h"
#include "qt/qt_locale_separators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace marlume::chart {

namespace {

constexpr std::array<int, 4> kSpanMinutes { 1, 5, 15, 60 };
constexpr int kDefaultSpanIndex = 1;
const std::array<const char*, kSeriesCount> kSeriesNames { "&Tilt", "&Heading", "P&itch", "R&oll" };

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

ChartWindow::ChartWindow(
    const ChartModel& model, const platform::Clock& clock, platform::SettingsStore& settings, QWidget* parent)
    : SideWindow(settings, kPlacementSection, parent)
    , m_model(model)
    , m_clock(clock)
    , m_plot(new ChartPlot(model, qt::localeSeparators().time, this))
    , m_spanBox(new QComboBox(this))
    , m_pauseButton(new QPushButton(QStringLiteral("&Pause"), this))
    , m_readout(new QLabel(this))
    , m_newsAtMs(clock.monotonicMilliseconds())
{
    setObjectName(QStringLiteral("ChartWindow"));
    setWindowTitle(QStringLiteral("Marlume Tilt Monitor - Chart"));
    setMinimumSize(560, 360);
    resize(760, 460);
    setUpSpanBox();
    setUpPauseButton();
    setUpReadout();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controlsRow());
    layout->addWidget(m_plot, 1);
    layout->addLayout(legendRow());
    m_refresh.setInterval(kRefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &ChartWindow::refresh);
}

void ChartWindow::setUpSpanBox()
{
    m_spanBox->setObjectName(QStringLiteral("SpanBox"));
    for (const int minutes : kSpanMinutes)
        m_spanBox->addItem(minutes == 1 ? QStringLiteral("1 minute")
                                        : QString::number(minutes) + QStringLiteral(" minutes"));
    m_spanBox->setCurrentIndex(kDefaultSpanIndex);
    m_plot->setSpan(chosenSpan());
    connect(m_spanBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_plot->setSpan(chosenSpan());
        m_plot->update();
    });
}

void ChartWindow::setUpPauseButton()
{
    m_pauseButton->setObjectName(QStringLiteral("PauseButton"));
    m_pauseButton->setCheckable(true);
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
}

void ChartWindow::setUpReadout()
{
    m_readout->setObjectName(QStringLiteral("Readout"));
    m_readout->setTextFormat(Qt::PlainText);
    m_plot->setOnReadout(
        [this](const std::string& text) { m_readout->setText(QString::fromStdString(text)); });
}

QHBoxLayout* ChartWindow::controlsRow()
{
    auto* spanLabel = new QLabel(QStringLiteral("&Span:"), this);
    spanLabel->setBuddy(m_spanBox);
    auto* row = new QHBoxLayout;
    row->addWidget(spanLabel);
    row->addWidget(m_spanBox);
    row->addSpacing(8);
    addSeriesBoxes(*row);
    row->addStretch();
    auto* savePicture = new QPushButton(QStringLiteral("Save P&NG..."), this);
    auto* saveCsv = new QPushButton(QStringLiteral("Save &CSV..."), this);
    connect(savePicture, &QPushButton::clicked, this, [this] {
        askAndSave(QStringLiteral("Save Chart as PNG"), QStringLiteral("png"), &ChartWindow::savePicture);
    });
    connect(saveCsv, &QPushButton::clicked, this, [this] {
        askAndSave(QStringLiteral("Save Chart as CSV"), QStringLiteral("csv"), &ChartWindow::saveCsv);
    });
    row->addWidget(savePicture);
    row->addWidget(saveCsv);
    row->addWidget(m_pauseButton);
    return row;
}

// The series' legend, each a box that shows or hides its line.
void ChartWindow::addSeriesBoxes(QHBoxLayout& row)
{
    for (std::size_t series = 0; series < kSeriesCount; ++series) {
        auto* box = new QCheckBox(QString::fromLatin1(kSeriesNames[series]), this);
        box->setObjectName(
            QString::fromLatin1(kSeriesNames[series]).remove(QLatin1Char('&')) + QStringLiteral("Box"));
        box->setChecked(true);
        box->setStyleSheet(
            QStringLiteral("QCheckBox { color: %1; font-weight: bold; }").arg(seriesColour(series).name()));
        connect(box, &QCheckBox::toggled, this, [this, series](bool shown) {
            m_plot->setShown(series, shown);
            m_plot->update();
        });
        m_seriesBoxes[series] = box;
        row.addWidget(box);
    }
}

QHBoxLayout* ChartWindow::legendRow()
{
    auto* row = new QHBoxLayout;
    row->addWidget(m_readout, 1);
    row->addWidget(legendEntry(eventColour(), QStringLiteral("event"), this));
    row->addWidget(legendEntry(QBrush(Qt::red), QStringLiteral("over range"), this));
    row->addWidget(legendEntry(gapBrush(), QStringLiteral("link down"), this));
    row->addWidget(legendEntry(silenceBrush(), QStringLiteral("no data"), this));
    return row;
}

std::chrono::milliseconds ChartWindow::chosenSpan() const
{
    return std::chrono::minutes(
        kSpanMinutes[static_cast<std::size_t>(std::max(m_spanBox->currentIndex(), 0))]);
}

void ChartWindow::refresh()
{
    const std::int64_t now = m_clock.monotonicMilliseconds();
    if (m_model.revision() != m_drawnRevision) {
        m_drawnRevision = m_model.revision();
        m_newestMs = m_model.latestMs().value_or(0);
        m_newsAtMs = now;
    } else if (m_model.latestMs() && now - m_newsAtMs <= kNoDataMs) {
        return; // nothing new, and no silence to show growing
    }
    // While nothing comes, the live end moves on with the clock, so that a silence shows; before the first
    // reading it is the time of day.
    m_plot->setLiveEnd(
        m_model.latestMs() ? m_newestMs + (now - m_newsAtMs) : common::localMilliseconds(m_clock.now()));
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
