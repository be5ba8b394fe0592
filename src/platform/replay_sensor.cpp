#include "platform/replay_sensor.h"

#include <algorithm>
#include <utility>

#include <sys/stat.h>

namespace marlume::platform {

namespace {

ReplaySensor::FileStamp stampOf(const struct stat& status)
{
    return { status.st_dev, status.st_ino, status.st_size, status.st_mtim };
}

} // namespace

ReplaySensor::ReplaySensor(
    std::string path, double speed, const Clock& clock, Notice notice, Refusals* refusals)
    : BuiltInSensor(clock)
    , m_path(std::move(path))
    , m_speed(speed > 0 ? speed : 1.0)
    , m_notice(std::move(notice))
    , m_refusals(refusals)
{
}

ReplaySensor::~ReplaySensor() = default;

bool ReplaySensor::open(const LineSettings&)
{
    if (m_open)
        return false;
    struct stat named { };
    if (m_refusals && ::stat(m_path.c_str(), &named) == 0) {
        const auto refused = m_refusals->find(m_path);
        if (refused != m_refusals->end() && refused->second == stampOf(named))
            return false; // told already, and nothing has changed since
    }
    if (const std::optional<std::string> problem = m_log.open(m_path))
        return refuse(*problem);
    m_played = 0;
    if (const std::optional<std::string> reason = readNext(); !m_next)
        return refuse(reason.value_or("it holds no readings"));
    if (m_refusals)
        m_refusals->erase(m_path);
    m_lastLineMs = common::localMilliseconds(m_next->time);
    m_dueMs = 0;
    restartSteps();
    m_elapsedMs = 0;
    m_received.clear();
    m_handedOver.clear();
    m_recorded.reset();
    m_shown.reset();
    m_sentEvent = 0;
    m_cts = false;
    m_changeMade = false;
    m_changeSeen = true;
    m_open = true;
    return true;
}

void ReplaySensor::close()
{
    m_open = false;
    m_log.close();
    m_next.reset();
    m_received.clear();
    m_handedOver.clear();
    m_recorded.reset();
}

bool ReplaySensor::refuse(const std::string& reason)
{
    struct stat own { };
    if (m_refusals && m_log.descriptor() >= 0 && ::fstat(m_log.descriptor(), &own) == 0)
        (*m_refusals)[m_path] = stampOf(own);
    else if (m_refusals && ::stat(m_path.c_str(), &own) == 0)
        (*m_refusals)[m_path] = stampOf(own);
    m_log.close();
    tell("Cannot replay " + quotedPath() + ": " + reason, true);
    return false;
}

std::optional<bool> ReplaySensor::cts()
{
    advance();
    m_changeSeen = true;
    return m_cts;
}

std::optional<std::uint32_t> ReplaySensor::ctsChangeCount()
{
    advance();
    m_changeSeen = true;
    return m_ctsChanges;
}

std::optional<RecordedMoment> ReplaySensor::recorded() const
{
    return m_open ? m_recorded : std::nullopt;
}

std::optional<PlaybackProgress> ReplaySensor::playback() const
{
    if (!m_open)
        return std::nullopt;
    return PlaybackProgress { m_path, m_next ? m_log.fractionRead() : 1.0 };
}

void ReplaySensor::advance()
{
    if (!m_open)
        return;
    m_elapsedMs += millisecondsSinceLastStep();
    const double playedTo = static_cast<double>(m_elapsedMs) * m_speed;

    while (m_next && static_cast<double>(m_dueMs) <= playedTo) {
        if (m_next->eventNumber != m_sentEvent) {
            if (!m_changeMade) {
                if (!m_received.empty() || !m_changeSeen)
                    return;
                // An event straight after another: its line falls and rises again.
                const common::EventEdges edges = common::eventEdges(m_sentEvent, m_next->eventNumber);
                m_ctsChanges += (edges.ends ? 1U : 0U) + (edges.starts ? 1U : 0U);
                m_cts = edges.starts;
                m_changeMade = true;
                m_changeSeen = false;
                m_recorded = RecordedMoment { m_next->time, m_shown };
                return;
            }
            if (!m_changeSeen)
                return;
        }
        play(*m_next);
        playNext();
    }
    // A log that ends inside an event: the event ends at its last reading, once that has been read.
    if (!m_next && m_sentEvent != 0 && m_received.empty() && m_changeSeen) {
        ++m_ctsChanges;
        m_cts = false;
        m_sentEvent = 0;
        m_changeSeen = false;
    }
}

void ReplaySensor::play(const common::RawLogEntry& entry)
{
    if (!entry.isMark()) {
        m_received += entry.sentence;
        m_received += "\r\n";
        m_handedOver.push_back({ entry.sentence.size() + 2, { entry.time, m_shown } });
    }
    if (entry.shown)
        m_shown = entry.shown;
    m_sentEvent = entry.eventNumber;
    m_changeMade = false;
}

std::size_t ReplaySensor::take(std::size_t count)
{
    if (m_handedOver.empty())
        return count;
    // A read ends at a line's end, so that the line's moment holds while it is parsed.
    PlayedLine& line = m_handedOver.front();
    count = std::min(count, line.unread);
    line.unread -= count;
    if (line.unread == 0) {
        m_recorded = line.moment;
        m_handedOver.pop_front();
    }
    return count;
}

std::optional<std::string> ReplaySensor::readNext()
{
    m_next.reset();
    std::string problem;
    if (const common::RawLogEntry* entry = m_log.next(problem))
        m_next = *entry;
    if (!problem.empty())
        return problem;
    return std::nullopt;
}

void ReplaySensor::playNext()
{
    if (!m_next->isMark())
        ++m_played;
    if (const std::optional<std::string> problem = readNext()) {
        tell("Replay of " + quotedPath() + " stopped: " + *problem, true);
    } else if (!m_next) {
        const std::optional<std::string> cutOff = m_log.cutOffLine();
        tell("Replay of " + quotedPath() + " finished: " + std::to_string(m_played) + " readings"
                + (cutOff ? "; " + *cutOff : std::string()),
            false);
    } else {
        const std::int64_t nextMs = common::localMilliseconds(m_next->time);
        if (const std::optional<std::string> wentBack = m_log.timeGoneBack())
            tell("Replay of " + quotedPath() + ": " + *wentBack + "; played on without a pause", false);
        m_dueMs += std::max<std::int64_t>(0, nextMs - m_lastLineMs);
        m_lastLineMs = nextMs;
    }
}

void ReplaySensor::tell(const std::string& message, bool problem) const
{
    if (m_notice)
        m_notice(message, problem);
}

} // namespace marlume::platform
