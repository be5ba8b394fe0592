#include "chart/chart_model.h"

#include "common/local_date_time.h"

#include <algorithm>
#include <cmath>

namespace marlume::chart {

ChartModel::ChartModel(std::size_t pointCapacity, std::size_t secondCapacity, std::size_t spanCapacity)
    : m_points(pointCapacity)
    , m_seconds(secondCapacity)
    , m_events(spanCapacity)
    , m_gaps(spanCapacity)
{
}

void ChartModel::readingAccepted(const record::AcceptedReading& reading)
{
    const std::int64_t ms = common::localMilliseconds(reading.time);
    closeGap(ms);
    const ChartPoint point { ms, { reading.tilt, reading.heading, reading.pitch, reading.roll },
        reading.overRange };
    m_points.push(point);

    // Seconds are floor-divided, so that times before 1970 still fall into the right second.
    const std::int64_t second = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    if (m_seconds.empty() || m_seconds.back().second != second) {
        m_seconds.push({ second, point.values, point.values, point.values, point.over, 1, ms, ms,
            point.values[static_cast<std::size_t>(Series::Heading)] });
    } else {
        ChartSecond& bucket = m_seconds.back();
        constexpr auto kHeading = static_cast<std::size_t>(Series::Heading);
        std::array<float, kSeriesCount> along = point.values;
        // The heading's nearest turn to the last one: the change is never more than half a turn.
        along[kHeading]
            = bucket.lastAlong + std::remainder(point.values[kHeading] - bucket.last[kHeading], 360.0F);
        bucket.lastAlong = along[kHeading];
        for (std::size_t i = 0; i < kSeriesCount; ++i) {
            bucket.low[i] = std::min(bucket.low[i], along[i]);
            bucket.high[i] = std::max(bucket.high[i], along[i]);
            bucket.last[i] = point.values[i];
        }
        bucket.over = bucket.over || point.over;
        ++bucket.count;
        bucket.lastMs = ms;
    }
    touch(ms);
}

void ChartModel::eventStarted(std::int32_t number, const common::LocalDateTime& start)
{
    const std::int64_t ms = common::localMilliseconds(start);
    m_events.push({ number, ms, std::nullopt });
    touch(ms);
}

void ChartModel::eventEnded(const monitor::EndedEvent& event)
{
    const std::int64_t ms = common::localMilliseconds(event.end);
    if (!m_events.empty() && m_events.back().number == event.number && !m_events.back().endMs) {
        m_events.back().endMs = ms;
        m_events.back().statistics = event.statistics;
    } else { // begun before the chart listened
        m_events.push({ event.number, common::localMilliseconds(event.start), ms, event.statistics });
    }
    touch(ms);
}

void ChartModel::linkLost(const common::LocalDateTime& time)
{
    const std::int64_t ms = common::localMilliseconds(time);
    if (m_gaps.empty() || m_gaps.back().toMs)
        m_gaps.push({ ms, std::nullopt });
    touch(ms);
}

void ChartModel::sensorFound(const monitor::FoundSensor& found)
{
    const std::int64_t ms = common::localMilliseconds(found.time);
    closeGap(ms);
    touch(ms);
}

void ChartModel::closeGap(std::int64_t ms)
{
    if (!m_gaps.empty() && !m_gaps.back().toMs)
        m_gaps.back().toMs = ms;
}

void ChartModel::touch(std::int64_t ms)
{
    m_latestMs = std::max(m_latestMs.value_or(ms), ms);
    ++m_revision;
}

} // namespace marlume::chart
