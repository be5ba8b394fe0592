#pragma once

#include "chart/ring_buffer.h"
#include "monitor/monitor_listener.h"

#include <array>
#include <cstdint>
#include <optional>

namespace marlume::chart {

// The four plotted values, in this order everywhere.
enum class Series { Tilt, Heading, Pitch, Roll };
inline constexpr std::size_t kSeriesCount = 4;

// One accepted reading on the chart's time axis (local milliseconds, see common::localMilliseconds).
struct ChartPoint {
    std::int64_t ms = 0;
    std::array<float, kSeriesCount> values {}; // heading in whole degrees, as shown
    bool over = false; // past the tilt alarm
};

// The readings of one second, for spans where a second is narrower than a few pixels. The heading's low
// and high are taken along its turn from the second's first reading, so that a second that passes north
// (359, then 0) spans 2 degrees and not 359.
struct ChartSecond {
    std::int64_t second = 0; // ms / 1000
    std::array<float, kSeriesCount> low {};
    std::array<float, kSeriesCount> high {};
    std::array<float, kSeriesCount> last {};
    bool over = false; // any reading of the second was
    std::int32_t count = 0;
    std::int64_t firstMs = 0; // its first and last reading
    std::int64_t lastMs = 0;
    float lastAlong = 0; // the last heading along the turn low and high are taken on
};

// A trigger event, numbered as in the event table; an open end while it collects.
struct EventSpan {
    std::int32_t number = 0;
    std::int64_t startMs = 0;
    std::optional<std::int64_t> endMs;
    std::optional<events::EventStatistics> statistics {}; // once it has ended
};

// A stretch without a link: from its loss until the sensor was found again (open while searching).
struct LinkGap {
    std::int64_t fromMs = 0;
    std::optional<std::int64_t> toMs;
};

// What the chart draws, kept without widgets: the latest readings one by one, the last hour second by
// second, the events and the gaps, each in a ring of fixed size.
class ChartModel final : public monitor::MonitorListener {
public:
    static constexpr std::int64_t kHourSeconds = 3600;
    // Readings kept one by one: two minutes at 96 a second, more than the shortest span shows.
    static constexpr std::size_t kPointCapacity = 96 * 120;
    static constexpr std::size_t kSpanCapacity = 1024;

    explicit ChartModel(std::size_t pointCapacity = kPointCapacity,
        std::size_t secondCapacity = static_cast<std::size_t>(kHourSeconds),
        std::size_t spanCapacity = kSpanCapacity);

    void readingAccepted(const record::AcceptedReading& reading) override;
    void eventStarted(std::int32_t number, const common::LocalDateTime& start) override;
    void eventEnded(const monitor::EndedEvent& event) override;
    void linkLost(const common::LocalDateTime& time) override;
    void sensorFound(const monitor::FoundSensor& found) override;

    [[nodiscard]] const RingBuffer<ChartPoint>& points() const { return m_points; }
    [[nodiscard]] const RingBuffer<ChartSecond>& seconds() const { return m_seconds; }
    [[nodiscard]] const RingBuffer<EventSpan>& events() const { return m_events; }
    [[nodiscard]] const RingBuffer<LinkGap>& gaps() const { return m_gaps; }
    // The latest time the model knows of: a reading, an event edge or a gap's edge.
    [[nodiscard]] std::optional<std::int64_t> latestMs() const { return m_latestMs; }
    // The oldest reading kept, second by second.
    [[nodiscard]] std::optional<std::int64_t> oldestMs() const
    {
        return m_seconds.empty() ? std::nullopt : std::optional(m_seconds[0].firstMs);
    }
    // Counts every change, so that a view redraws only when there is something new.
    [[nodiscard]] std::uint64_t revision() const { return m_revision; }

private:
    void touch(std::int64_t ms);
    void closeGap(std::int64_t ms);

    RingBuffer<ChartPoint> m_points;
    RingBuffer<ChartSecond> m_seconds;
    RingBuffer<EventSpan> m_events;
    RingBuffer<LinkGap> m_gaps;
    std::optional<std::int64_t> m_latestMs;
    std::uint64_t m_revision = 0;
};

} // namespace marlume::chart
