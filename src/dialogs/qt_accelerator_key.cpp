#include "dialogs/qt_accelerator_key.h"

#include "dialogs/accelerator.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <string>
#include <vector>

namespace marlume::dialogs {

std::string_view controlKind(const QWidget& control)
{
    if (qobject_cast<const QPushButton*>(&control))
        return kCommandButton;
    if (qobject_cast<const QCheckBox*>(&control))
        return kCheckBox;
    if (qobject_cast<const QRadioButton*>(&control))
        return kOptionButton;
    return {};
}

int ProcessAcceleratorKey(QWidget& window, int key)
{
    // Only single UTF-16 characters can be marked in a caption.
    if (key < 0 || key > 0xFFFF)
        return key;
    const QWidget* focused = window.focusWidget();
    const std::string_view focusedKind = focused ? controlKind(*focused) : std::string_view();

    // Children are listed in creation order, which is the window's control order.
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    std::vector<std::u16string> captions;
    captions.reserve(static_cast<std::size_t>(widgets.size()));
    for (const QWidget* widget : widgets) {
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        captions.push_back(button ? button->text().toStdU16String() : std::u16string());
    }
    std::vector<AcceleratorControl> controls;
    controls.reserve(captions.size());
    for (qsizetype i = 0; i < widgets.size(); ++i)
        controls.push_back({ controlKind(*widgets[i]), captions[static_cast<std::size_t>(i)] });

    const auto pressed = findAcceleratorButton(focusedKind, controls, static_cast<char16_t>(key));
    if (!pressed)
        return key;
    qobject_cast<QAbstractButton*>(widgets[static_cast<qsizetype>(*pressed)])->click();
    return 0;
}

} // namespace marlume::dialogs
