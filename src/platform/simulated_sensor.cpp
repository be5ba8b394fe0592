#include "platform/simulated_sensor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace marlume::platform {

namespace {

// Sentences older than this are not made when the sensor is next looked at.
constexpr double kLongestBacklogSeconds = 1.0;
constexpr double kShortestSentenceGap = 0.05;
constexpr double kLongestSentenceGap = 0.1;
constexpr int kOneLineInStatus = 40; // about one line in this many is a status line
constexpr double kAlarmFromSeconds = 36.0; // within each alarm period
constexpr double kAlarmSeconds = 10.0;
constexpr double kAlarmPitch = 64.0;
constexpr double kNoise = 0.05;

double wave(double seconds, double period, double phase = 0.0)
{
    return std::sin(2.0 * std::numbers::pi * seconds / period + phase);
}

void appendFixed(std::string& text, double value)
{
    std::array<char, 32> digits {};
    const auto result
        = std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, 1);
    text.append(digits.data(), result.ptr);
}

} // namespace

SimulatedSensor::SimulatedSensor(const Clock& clock)
    : BuiltInSensor(clock)
{
}

bool SimulatedSensor::open(const LineSettings&)
{
    if (m_open)
        return false;
    advance(); // what was sent while closed is lost
    m_received.clear();
    m_open = true;
    return true;
}

void SimulatedSensor::close()
{
    advance();
    m_open = false;
    m_received.clear();
}

std::optional<bool> SimulatedSensor::cts()
{
    advance();
    return ctsAt(m_elapsed);
}

SimulatedSensor::Attitude SimulatedSensor::attitudeAt(double seconds)
{
    double heading = std::fmod(20.0 + 3.0 * seconds + 25.0 * wave(seconds, 17.0), 360.0);
    if (heading < 0)
        heading += 360.0;
    const double basePitch = 10.0 * wave(seconds, 23.0) + 3.0 * wave(seconds, 7.1);
    const double roll = 9.0 * wave(seconds, 31.0, 1.3) + 3.0 * wave(seconds, 5.3, 0.4);
    // Now and then the instrument swings far over in pitch, past the alarm, and back.
    const double intoAlarm = std::fmod(seconds, kAlarmPeriodSeconds) - kAlarmFromSeconds;
    double swing = 0.0;
    if (intoAlarm > 0.0 && intoAlarm < kAlarmSeconds)
        swing = (1.0 - std::cos(2.0 * std::numbers::pi * intoAlarm / kAlarmSeconds)) / 2.0;
    return { heading, basePitch * (1.0 - swing) + kAlarmPitch * swing, roll };
}

bool SimulatedSensor::ctsAt(double seconds)
{
    const double intoPeriod = std::fmod(seconds, kCtsPeriodSeconds);
    return intoPeriod >= kCtsHighFromSeconds && intoPeriod < kCtsHighFromSeconds + kCtsHighSeconds;
}

void SimulatedSensor::advance()
{
    const double until = m_elapsed + static_cast<double>(millisecondsSinceLastStep()) / 1000.0;
    if (m_nextSentenceAt < until - kLongestBacklogSeconds) {
        // Closed, or not read for long: what would have been sent by now is lost anyway.
        m_sending.clear();
        m_sent = 0;
        m_nextSentenceAt = until - kLongestBacklogSeconds;
    }

    for (;;) {
        while (m_sent < m_sending.size() && m_sendingSince + (m_sent + 1) * kCharacterSeconds <= until) {
            if (m_open && m_received.size() < kReceiveBufferSize)
                m_received += m_sending[m_sent];
            ++m_sent;
        }
        if (m_sent < m_sending.size() || m_nextSentenceAt > until)
            break;
        startSentence();
    }
    m_elapsed = until;
}

void SimulatedSensor::startSentence()
{
    m_sending.clear();
    m_sent = 0;
    m_sendingSince = m_nextSentenceAt;
    std::uniform_real_distribution<double> noise(-kNoise, kNoise);
    if (std::uniform_int_distribution<int>(1, kOneLineInStatus)(m_random) == 1) {
        m_sending = "#STATUS OK";
    } else {
        const Attitude attitude = attitudeAt(m_sendingSince);
        appendFixed(m_sending, attitude.heading);
        m_sending += ',';
        appendFixed(m_sending, attitude.pitch + noise(m_random));
        m_sending += ',';
        appendFixed(m_sending, attitude.roll + noise(m_random));
    }
    m_sending += "\r\n";
    m_nextSentenceAt
        += std::uniform_real_distribution<double>(kShortestSentenceGap, kLongestSentenceGap)(m_random);
}

} // namespace marlume::platform
