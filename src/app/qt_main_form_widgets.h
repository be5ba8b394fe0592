#pragma once

#include "app/main_form_design.h"

#include <QColor>
#include <QString>

#include <array>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace marlume::app {

// The controls of the main window, built from the design table.
struct MainFormWidgets {
    std::array<QLabel*, 7> Label1 {};
    QLabel* StatusLabel = nullptr;
    QLabel* DataLabel = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* TiltLabel = nullptr;
    QLabel* HeadingLabel = nullptr;
    QLabel* PitchLabel = nullptr;
    QLabel* RollLabel = nullptr;
    QPushButton* CaptureButton = nullptr;
    QPushButton* TriggerButton = nullptr;
    QPushButton* ResetSeqButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QLabel* CaptureLabel = nullptr;
    QGroupBox* EventsFrame = nullptr;
    QLabel* TableLabel = nullptr;
    QPlainTextEdit* LogText = nullptr;
};

// The border of the value labels and the status line, whatever their colours.
inline const QColor kValueLabelBorder { 0x40, 0x40, 0x40 };

// Creates every control of the design as a child of form, in the design's fonts,
// positions and focus order.
MainFormWidgets buildMainFormWidgets(QWidget* form);

// Places a control at a design rectangle given in twips.
void placeInTwips(QWidget* control, const TwipsRect& rect);

} // namespace marlume::app
