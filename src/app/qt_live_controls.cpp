#include "app/qt_live_controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace marlume::app {

namespace {

// The table keeps CR LF; a text document takes a plain line feed as its line end.
QString tableText(std::string_view text)
{
    QString converted = QString::fromUtf8(text);
    converted.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return converted;
}

void setColourRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    if (palette.color(role) == colour)
        return;
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

LiveControls::LiveControls(
    const MainFormWidgets& controls, const QWidget& window, common::Separators separators)
    : m_controls(controls)
    , m_window(window)
    , m_separators(separators)
    , m_table(*this, separators.time)
{
}

void LiveControls::linkStatusChanged(const link::LinkStatus& status)
{
    const StatusDisplay display = statusDisplay(status);
    QLabel* label = m_controls.StatusLabel;
    label->setAlignment(Qt::AlignCenter);
    label->setText(QString::fromUtf8(display.text));
    setColourRole(label, QPalette::Window, toQColor(display.background));
    setColourRole(label, QPalette::WindowText, toQColor(display.foreground));
    if (display.bold != Bold::Unchanged) {
        QFont font = label->font();
        font.setBold(display.bold == Bold::On);
        label->setFont(font);
    }
}

void LiveControls::dataIndicatorChanged(bool receiving)
{
    setColourRole(m_controls.DataLabel, QPalette::Window, toQColor(dataIndicatorColour(receiving)));
}

void LiveControls::readingAccepted(const record::AcceptedReading& reading)
{
    const ReadingDisplay display = readingDisplay(reading, m_separators);
    for (const LabelText& text : display.texts)
        valueLabel(text.label)->setText(QString::fromUtf8(text.text));
    const QColor background = toQColor(display.background);
    const QColor foreground = toQColor(display.foreground);
    for (const ValueLabel label : kColouredLabels) {
        setColourRole(valueLabel(label), QPalette::Window, background);
        setColourRole(valueLabel(label), QPalette::WindowText, foreground);
    }
}

void LiveControls::eventStarted(std::int32_t number, const common::LocalDateTime& start)
{
    m_table.eventStarted({ number, start });
}

void LiveControls::eventEnded(const monitor::EndedEvent& event)
{
    m_table.eventEnded(event);
}

void LiveControls::appendText(std::string_view piece)
{
    // At the end of the document, wherever the operator has clicked in the table.
    QTextCursor end(m_controls.LogText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(tableText(piece));
}

void LiveControls::replaceText(std::string_view text)
{
    m_controls.LogText->setPlainText(tableText(text));
}

void LiveControls::moveToEnd()
{
    m_controls.LogText->moveCursor(QTextCursor::End);
    m_controls.LogText->ensureCursorVisible();
}

QLabel* LiveControls::valueLabel(ValueLabel label) const
{
    switch (label) {
    case ValueLabel::Time:
        return m_controls.TimeLabel;
    case ValueLabel::Tilt:
        return m_controls.TiltLabel;
    case ValueLabel::Heading:
        return m_controls.HeadingLabel;
    case ValueLabel::Pitch:
        return m_controls.PitchLabel;
    case ValueLabel::Roll:
        return m_controls.RollLabel;
    }
    return nullptr;
}

QColor LiveControls::toQColor(const Colour& colour) const
{
    if (const auto* rgb = std::get_if<Rgb>(&colour))
        return QColor::fromRgb(rgb->value);
    switch (std::get<SystemColour>(colour)) {
    case SystemColour::WindowBackground:
        return m_window.palette().color(QPalette::Base);
    case SystemColour::WindowText:
        return m_window.palette().color(QPalette::Text);
    case SystemColour::ButtonFace:
        break;
    }
    return m_window.palette().color(QPalette::Button);
}

} // namespace marlume::app
