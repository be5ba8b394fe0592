#pragma once

#include "attitude/attitude_geometry.h"
#include "attitude/attitude_model.h"
#include "platform/clock.h"
#include "qt/qt_side_window.h"

#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace marlume::attitude {

// View > Attitude: a window beside the main one with a bubble level (pitch and roll as a dot in rings at
// 10, 30 and 55 degrees), a compass with the heading, and the tilt and heading figures; red while over
// range, grey when no reading has come for a second. It redraws at most ten times a second, only while
// shown, only when the picture has changed and only where: the rings and the compass come from a pixmap
// drawn once per size and ink. A new reading is drawn as it comes when the last redraw is a tenth of a
// second old, else with a later one or a little after, so that a fast sensor adds no wake-ups of its own.
class AttitudeWindow final : public qt::SideWindow {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRefreshInterval { 100 };
    // A reading that came too soon after a redraw is drawn by this time after it at the latest.
    static constexpr std::chrono::milliseconds kLatestRefresh { 150 };
    static constexpr std::string_view kPlacementSection = "Attitude";

    AttitudeWindow(AttitudeModel& model, const platform::Clock& clock, platform::SettingsStore& settings,
        QWidget* parent);

    // Asks for a repaint of what differs from the picture drawn last; true when anything does.
    bool refresh();
    [[nodiscard]] Tone tone() const { return m_drawn.tone; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the view shows of the latest reading, in the view's pixels.
    struct Picture {
        Tone tone = Tone::Stale;
        std::optional<common::Point> dot; // none before the first reading
        float heading = 0;
        QString tiltFigure;
        QString headingFigure;
        friend bool operator==(const Picture&, const Picture&) = default;
    };

    void readingCame();
    // Wakes the view this long from now, unless asked again.
    void refreshIn(std::int64_t delayMs);
    [[nodiscard]] std::int64_t msSinceReading() const;
    [[nodiscard]] AttitudeLayout layout() const;
    [[nodiscard]] Picture picture() const;
    [[nodiscard]] QRegion marksRegion(const Picture& picture) const;
    [[nodiscard]] const QPixmap& background();

    const AttitudeModel& m_model;
    const platform::Clock& m_clock;
    char m_decimalSeparator;
    QTimer m_pending; // a reading not drawn yet, or the moment the view turns grey
    std::int64_t m_pendingAtMs = 0; // when it is due, on the clock
    std::optional<std::int64_t> m_readingAtMs; // the clock's when the latest reading came
    std::optional<std::int64_t> m_refreshedAtMs;
    Picture m_drawn;
    QPixmap m_background;
    bool m_backgroundStale = false; // drawn grey
};

} // namespace marlume::attitude
