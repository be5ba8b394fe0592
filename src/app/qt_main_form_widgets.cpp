#include "app/qt_main_form_widgets.h"

#include "common/twips.h"
#include "qt/qt_design_font.h"
#include "qt/qt_twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace marlume::app {

using common::twipsToPixels;

namespace {

QFont fontFor(DesignFont font, const QWidget* form)
{
    switch (font) {
    case DesignFont::Verdana825:
        return qt::designFont(QStringLiteral("Verdana"), 8.25);
    case DesignFont::Verdana825Bold:
        return qt::designFont(QStringLiteral("Verdana"), 8.25, true);
    case DesignFont::CourierNew9:
        return qt::designFont(QStringLiteral("Courier New"), 9);
    case DesignFont::Form:
        break;
    }
    return form->font();
}

template <typename Control> Control* make(QWidget* parent, const ControlDesign& design, const QWidget* form)
{
    auto* control = new Control(QString::fromUtf8(design.caption), parent);
    control->setObjectName(QString::fromUtf8(design.name));
    control->setFont(fontFor(design.font, form));
    placeInTwips(control, design.rect);
    return control;
}

// A label with a one-pixel border of its own colour: a plain frame takes the text colour and
// would vanish in the white-on-red states.
class BorderedLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setPen(kValueLabelBorder);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// A bordered, centred label on a background of its own: the system colour given by
// background (the white of text fields, or button face), with the window text colour.
QLabel* makeValueLabel(QWidget* form, const ControlDesign& design, QPalette::ColorRole background)
{
    auto* label = make<BorderedLabel>(form, design, form);
    label->setTextFormat(Qt::PlainText); // values change with every reading: no rich-text sniffing
    label->setContentsMargins(1, 1, 1, 1); // inside the border
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, form->palette().color(background));
    palette.setColor(QPalette::WindowText, form->palette().color(QPalette::Text));
    label->setPalette(palette);
    return label;
}

} // namespace

void placeInTwips(QWidget* control, const TwipsRect& rect)
{
    control->setGeometry(qt::pixelRect(rect));
}

MainFormWidgets buildMainFormWidgets(QWidget* form)
{
    MainFormWidgets w;
    for (std::size_t index = 0; index < kLabel1Design.size(); ++index) {
        w.Label1[index] = make<QLabel>(form, kLabel1Design[index], form);
        w.Label1[index]->setAlignment(Qt::AlignCenter);
    }
    w.StatusLabel = makeValueLabel(form, kStatusLabel, QPalette::Button);
    w.DataLabel = makeValueLabel(form, kDataLabel, QPalette::Button);
    w.TimeLabel = makeValueLabel(form, kTimeLabel, QPalette::Base);
    w.TiltLabel = makeValueLabel(form, kTiltLabel, QPalette::Base);
    w.HeadingLabel = makeValueLabel(form, kHeadingLabel, QPalette::Base);
    w.PitchLabel = makeValueLabel(form, kPitchLabel, QPalette::Base);
    w.RollLabel = makeValueLabel(form, kRollLabel, QPalette::Base);

    w.CaptureButton = make<QPushButton>(form, kCaptureButton, form);
    w.TriggerButton = make<QPushButton>(form, kTriggerButton, form);
    w.ResetSeqButton = make<QPushButton>(form, kResetSeqButton, form);
    w.ExitButton = make<QPushButton>(form, kExitButton, form);
    for (QPushButton* button : { w.CaptureButton, w.TriggerButton, w.ResetSeqButton, w.ExitButton })
        button->setAutoDefault(false);

    w.CaptureLabel = make<QLabel>(form, kCaptureLabel, form);
    w.CaptureLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    w.CaptureLabel->setTextFormat(Qt::PlainText); // a file may be called "<b>run.csv"

    w.EventsFrame = make<QGroupBox>(form, kEventsFrame, form);
    w.TableLabel = make<QLabel>(w.EventsFrame, kTableLabel, form);
    w.TableLabel->setTextFormat(Qt::PlainText);

    w.LogText = new QPlainTextEdit(w.EventsFrame);
    w.LogText->setObjectName(QString::fromUtf8(kLogText.name));
    w.LogText->setFont(fontFor(kLogText.font, form));
    // A vertical scroll bar only: a line wider than the box wraps, as in a multi-line text box.
    w.LogText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    w.LogText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w.LogText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The table is the program's record of the events: the operator reads and copies it, never edits it.
    w.LogText->setReadOnly(true);
    w.LogText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    placeInTwips(w.LogText, kLogText.rect);

    // Labels never take the focus; the buttons and the table do, in this order.
    QWidget::setTabOrder(w.ExitButton, w.CaptureButton);
    QWidget::setTabOrder(w.CaptureButton, w.TriggerButton);
    QWidget::setTabOrder(w.TriggerButton, w.ResetSeqButton);
    QWidget::setTabOrder(w.ResetSeqButton, w.LogText);
    return w;
}

} // namespace marlume::app
