#include "app/qt_main_form.h"

#include "app/qt_capture_label.h"
#include "app/version_caption.h"
#include "common/number_text.h"
#include "common/twips.h"
#include "common/version.h"
#include "dialogs/qt_save_file_dialog.h"
#include "placement/window_placement.h"
#include "qt/qt_design_font.h"
#include "qt/qt_locale_separators.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace marlume::app {

namespace {

constexpr std::string_view kPlacementSection = "Velmora";

} // namespace

MainForm::MainForm(const monitor::MonitorServices& services, platform::SettingsStore& settings)
    : m_menuBar(new QMenuBar(this))
    , m_client(new QWidget(this))
    , m_controls(buildMainFormWidgets(m_client))
    , m_settings(settings)
    , m_placement(*this)
    , m_chartWindow(new chart::ChartWindow(m_chartModel, services.clock, settings, this))
    , m_attitudeWindow(new attitude::AttitudeWindow(m_attitudeModel, services.clock, settings, this))
    , m_live(m_controls, *this, qt::localeSeparators())
    , m_monitor(services, { *this, *this, *this, askForPath(), askForPath(), askForPath() })
    , m_statusBar(new MainStatusBar(m_monitor, this))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kDesignCaption));
    setWindowIcon(QIcon(QStringLiteral(":/marlume-tilt-monitor.svg")));
    setFont(qt::designFont(QStringLiteral("Verdana"), 9.75));
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->installEventFilter(this);
    buildMenuBar();
    m_monitor.addListener(m_live);
    m_monitor.addListener(m_chartModel);
    m_monitor.addListener(m_attitudeModel);
    m_monitor.addListener(*m_statusBar);
    m_monitor.addListener(m_alarmMenu->alarm());
    // The designed client area between the menu bar and the status bar; the stored placement is the whole
    // window's.
    resize(common::twipsToPixels(kDesignClientWidth),
        common::twipsToPixels(kDesignClientHeight) + m_menuBar->sizeHint().height()
            + m_statusBar->sizeHint().height());

    // Press and release of any mouse button hold an event open; the keyboard never triggers.
    m_controls.TriggerButton->installEventFilter(this);
    connect(
        m_controls.ResetSeqButton, &QPushButton::clicked, this, [this] { m_monitor.ResetSeqButton_Click(); });
    connect(
        m_controls.CaptureButton, &QPushButton::clicked, this, [this] { m_monitor.CaptureButton_Click(); });
    connect(m_controls.ExitButton, &QPushButton::clicked, this, &QWidget::close);

    Form_Load();
    m_controls.ExitButton->setFocus();
    m_monitor.start();
}

void MainForm::Form_Load()
{
    setWindowTitle(QString::fromUtf8(versionCaption(
        windowTitle().toStdString(), common::kVersionMajor, common::kVersionMinor, common::kVersionPatch)));
    placement::RestoreWindowPlacement(m_placement, m_settings, kPlacementSection);
}

// Form_Unload: the window always closes, and the program ends with it.
void MainForm::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
}

files::AskForPath MainForm::askForPath()
{
    return [this](std::string& fileName, std::int16_t& filterIndex) {
        return dialogs::SaveFileDialog(this, "", fileName, filterIndex);
    };
}

void MainForm::buildMenuBar()
{
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    QMenu* file = m_menuBar->addMenu(QStringLiteral("&File"));
    m_rawLogAction = file->addAction(QStringLiteral("&Raw Readings Log..."));
    m_rawLogAction->setObjectName(QStringLiteral("RawLogAction"));
    m_rawLogAction->setCheckable(true); // checked while the log runs: choosing it again stops it
    m_rawLogAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_rawLogAction, &QAction::triggered, this, [this] {
        m_monitor.RawLogMenu_Click();
        m_rawLogAction->setChecked(m_monitor.rawLog().isOpen());
    });
    m_statisticsAction = file->addAction(QStringLiteral("Event &Statistics..."));
    m_statisticsAction->setObjectName(QStringLiteral("StatisticsAction"));
    m_statisticsAction->setCheckable(true); // checked while the file is open: choosing it again closes it
    connect(m_statisticsAction, &QAction::triggered, this, [this] {
        m_monitor.StatisticsMenu_Click();
        m_statisticsAction->setChecked(m_monitor.statisticsFile().isOpen());
    });
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("ExitAction"));
    exit->setShortcut(QKeySequence::Quit);

    QMenu* view = m_menuBar->addMenu(QStringLiteral("&View"));
    QAction* chart = view->addAction(QStringLiteral("&Chart"), this, [this] { m_chartWindow->showWindow(); });
    chart->setObjectName(QStringLiteral("ChartAction"));
    chart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    QAction* attitude
        = view->addAction(QStringLiteral("&Attitude"), this, [this] { m_attitudeWindow->showWindow(); });
    attitude->setObjectName(QStringLiteral("AttitudeAction"));
    attitude->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    m_alarmMenu = new AlarmMenu(*m_menuBar->addMenu(QStringLiteral("&Alarm")), m_settings, *this,
        qt::localeSeparators(),
        [this](const QString& reason) { m_statusBar->tell(MainStatusBar::Source::Alarm, reason); });

    QMenu* help = m_menuBar->addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(QStringLiteral("&About"), this, &MainForm::showAbout);
    about->setObjectName(QStringLiteral("AboutAction"));
    about->setShortcut(QKeySequence::HelpContents);
}

void MainForm::showAbout()
{
    // The full version: the caption writes it as the design does, with the revision run on.
    QMessageBox::about(this, QStringLiteral("About Marlume Tilt Monitor"),
        QStringLiteral("Marlume Tilt Monitor %1")
                .arg(QString::fromUtf8(common::kVersion.data(), common::kVersion.size()))
            + QStringLiteral("\n\nWatches the Marlume tilt-and-heading sensor, averages its readings over "
                             "every trigger event and keeps them in capture files and raw readings logs."));
}

void MainForm::showRawLog(const rawlog::RawLogStatus& status)
{
    m_rawLogAction->setChecked(status.file.open);
    m_statusBar->showRawLog(status);
}

void MainForm::showStatisticsFile(const files::OutputFileStatus& status)
{
    m_statisticsAction->setChecked(status.open);
    m_statusBar->showStatisticsFile(status);
}

void MainForm::CloseDown()
{
    placement::SaveWindowPlacement(m_placement, m_settings, kPlacementSection);
    for (qt::SideWindow* window :
        std::initializer_list<qt::SideWindow*> { m_chartWindow, m_attitudeWindow }) {
        window->savePlacement();
        window->close();
    }
    m_monitor.shutDown();
}

void MainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Qt clears this on every show; without it the focus mark on Exit would wait for a Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void MainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The menu bar on top, the status bar below; the client area takes the rest, and its resize runs
    // Form_Resize.
    const int menuHeight = m_menuBar->heightForWidth(width()) > 0 ? m_menuBar->heightForWidth(width())
                                                                  : m_menuBar->sizeHint().height();
    const int statusHeight = m_statusBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    m_statusBar->setGeometry(0, std::max(menuHeight, height() - statusHeight), width(), statusHeight);
    m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight - statusHeight));
}

void MainForm::Form_Resize()
{
    m_eventsLayout = resizeEventsLayout(
        m_eventsLayout, common::pixelsToTwips(m_client->width()), common::pixelsToTwips(m_client->height()));
    placeInTwips(m_controls.EventsFrame, m_eventsLayout.eventsFrame);
    placeInTwips(m_controls.TableLabel, m_eventsLayout.tableLabel);
    placeInTwips(m_controls.LogText, m_eventsLayout.logText);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == m_controls.TriggerButton) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: // the second press of a double click
            m_monitor.TriggerButton_MouseDown();
            break;
        case QEvent::MouseButtonRelease:
            m_monitor.TriggerButton_MouseUp();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::string MainForm::captureButtonCaption() const
{
    return m_controls.CaptureButton->text().toStdString();
}

void MainForm::setCaptureButtonCaption(const std::string& caption)
{
    m_controls.CaptureButton->setText(QString::fromUtf8(caption));
}

void MainForm::showCaptureFile(const files::OutputFileStatus& status)
{
    const files::LabelText text = events::captureLabel(status);
    QLabel* label = m_controls.CaptureLabel;
    label->setText(fittedCaptureLabel(text, label->fontMetrics(), label->contentsRect().width()));
    label->setToolTip(QString::fromStdString(text.text()));
}

} // namespace marlume::app
