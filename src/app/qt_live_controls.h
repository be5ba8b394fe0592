#pragma once

#include "app/live_labels.h"
#include "app/qt_main_form_widgets.h"
#include "common/separators.h"
#include "events/event_table.h"
#include "events/event_table_view.h"
#include "monitor/monitor_listener.h"

#include <QColor>

class QLabel;
class QWidget;

namespace marlume::app {

// The main window's live controls, drawn from what the monitor tells: the value labels, the data
// indicator, the status line and the event table.
class LiveControls final : public monitor::MonitorListener, private events::EventTableView {
public:
    // The system colours are the window's own.
    LiveControls(const MainFormWidgets& controls, const QWidget& window, common::Separators separators);

    void linkStatusChanged(const link::LinkStatus& status) override;
    void dataIndicatorChanged(bool receiving) override;
    void readingAccepted(const record::AcceptedReading& reading) override;
    void eventStarted(std::int32_t number, const common::LocalDateTime& start) override;
    void eventEnded(const monitor::EndedEvent& event) override;

private:
    void appendText(std::string_view piece) override;
    void replaceText(std::string_view text) override;
    void moveToEnd() override;

    [[nodiscard]] QLabel* valueLabel(ValueLabel label) const;
    [[nodiscard]] QColor toQColor(const Colour& colour) const;

    const MainFormWidgets& m_controls;
    const QWidget& m_window;
    common::Separators m_separators;
    events::EventTable m_table;
};

} // namespace marlume::app
