#include "platform/replay_sensor.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <utility>

namespace marlume::platform {

namespace {

std::string_view headerLine()
{
    std::string_view header = common::kRawLogHeader;
    header.remove_suffix(2); // CR LF
    return header;
}

} // namespace

ReplaySensor::ReplaySensor(std::string path, double speed, const Clock& clock, Notice notice)
    : BuiltInSensor(clock)
    , m_path(std::move(path))
    , m_speed(speed > 0 ? speed : 1.0)
    , m_notice(std::move(notice))
{
}

bool ReplaySensor::open(const LineSettings&)
{
    if (m_open)
        return false;
    m_file = std::ifstream(m_path, std::ios::binary);
    if (!m_file) {
        tell("Cannot replay " + quotedPath() + ": " + std::strerror(errno), true);
        return false;
    }
    std::string header;
    std::getline(m_file, header);
    if (header.ends_with('\r'))
        header.pop_back();
    if (header != headerLine()) {
        tell("Cannot replay " + quotedPath() + ": it is no raw readings log (its first line is not \""
                + std::string(headerLine()) + "\")",
            true);
        return false;
    }
    m_lineNumber = 1;
    m_played = 0;
    const std::optional<std::string> problem = readNext();
    if (!m_next) {
        tell("Cannot replay " + quotedPath() + ": " + problem.value_or("it holds no readings"), true);
        return false;
    }
    m_origin = common::localMilliseconds(m_next->time);
    restartSteps();
    m_elapsedMs = 0;
    m_received.clear();
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
    m_file.close();
    m_next.reset();
    m_received.clear();
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

void ReplaySensor::advance()
{
    if (!m_open)
        return;
    m_elapsedMs += millisecondsSinceLastStep();
    const double playedTo = static_cast<double>(m_elapsedMs) * m_speed;

    while (m_next && static_cast<double>(common::localMilliseconds(m_next->time) - m_origin) <= playedTo) {
        if (m_next->eventNumber != m_sentEvent) {
            if (!m_changeMade) {
                if (!m_received.empty() || !m_changeSeen)
                    return;
                // An event straight after another: its line falls and rises again.
                m_ctsChanges += (m_sentEvent != 0 ? 1U : 0U) + (m_next->eventNumber != 0 ? 1U : 0U);
                m_cts = m_next->eventNumber != 0;
                m_changeMade = true;
                m_changeSeen = false;
                return;
            }
            if (!m_changeSeen)
                return;
        }
        m_received += m_next->sentence;
        m_received += "\r\n";
        m_sentEvent = m_next->eventNumber;
        m_changeMade = false;
        playNext();
    }
}

std::optional<std::string> ReplaySensor::readNext()
{
    m_next.reset();
    std::string line;
    if (!std::getline(m_file, line))
        return std::nullopt;
    ++m_lineNumber;
    std::string problem;
    m_next = common::parseRawLogLine(line, problem);
    if (!m_next)
        return "line " + std::to_string(m_lineNumber) + " " + problem;
    return std::nullopt;
}

void ReplaySensor::playNext()
{
    ++m_played;
    if (const std::optional<std::string> problem = readNext())
        tell("Replay of " + quotedPath() + " stopped: " + *problem, true);
    else if (!m_next)
        tell("Replay of " + quotedPath() + " finished: " + std::to_string(m_played) + " readings", false);
}

void ReplaySensor::tell(const std::string& message, bool problem) const
{
    if (m_notice)
        m_notice(message, problem);
}

} // namespace marlume::platform
