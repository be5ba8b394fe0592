#pragma once

#include "attitude/attitude_geometry.h"
#include "attitude/attitude_model.h"
#include "qt/qt_side_window.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <string_view>

namespace marlume::attitude {

// View > Attitude: a window beside the main one with a bubble level (pitch and roll as a dot in rings at
// 10, 30 and 55 degrees), a compass with the heading, and the tilt and heading figures; red while over
// range, grey when no reading has come for a second. It redraws at most ten times a second, only while
// shown and when something has changed.
class AttitudeWindow final : public qt::SideWindow {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRefreshInterval { 100 };
    static constexpr std::string_view kPlacementSection = "Attitude";

    AttitudeWindow(const AttitudeModel& model, platform::SettingsStore& settings, QWidget* parent);

    // Asks for a repaint when a reading has come or the look has changed since the last; true when it did.
    bool refresh();
    [[nodiscard]] Tone tone() const { return m_drawnTone; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const AttitudeModel& m_model;
    char m_decimalSeparator;
    QTimer m_refresh;
    QElapsedTimer m_sinceReading; // since the last new reading was seen
    std::uint64_t m_drawnRevision = 0;
    Tone m_drawnTone = Tone::Stale;
};

} // namespace marlume::attitude
