#pragma once

#include "platform/built_in_sensor.h"

#include <optional>
#include <random>
#include <string>

namespace marlume::platform {

// A built-in tilt sensor for trying the program without hardware. It sends 10 to 20 sentences a second,
// its characters becoming available as at 19200 baud; heading, pitch and roll drift smoothly and now and
// then swing past the tilt alarm; now and then it sends a status line that is no reading; and its CTS
// line goes high for a few seconds at regular intervals, as the instrument does while it integrates.
// Time comes from the monotonic clock, so the sensor runs on while the port is closed, like a real one.
class SimulatedSensor final : public BuiltInSensor {
public:
    explicit SimulatedSensor(const Clock& clock);

    bool open(const LineSettings& settings) override;
    void close() override;
    std::optional<bool> cts() override;

private:
    struct Attitude {
        double heading = 0; // 0 to 360, as a sensor sends it
        double pitch = 0;
        double roll = 0;
    };

    static constexpr double kCharacterSeconds = 10.0 / 19200.0; // start, 8 data and stop bit
    static constexpr double kCtsPeriodSeconds = 13.0;
    static constexpr double kCtsHighFromSeconds = 9.0; // within each period
    static constexpr double kCtsHighSeconds = 3.0;
    static constexpr double kAlarmPeriodSeconds = 47.0;
    static constexpr std::size_t kReceiveBufferSize = 4096;

    // The sensor's attitude and CTS level at a time in seconds since it was made.
    [[nodiscard]] static Attitude attitudeAt(double seconds);
    [[nodiscard]] static bool ctsAt(double seconds);

    void advance() override;
    void startSentence();

    double m_elapsed = 0;
    double m_nextSentenceAt = 0;
    std::string m_sending;
    double m_sendingSince = 0;
    std::size_t m_sent = 0;
    bool m_open = false;
    std::minstd_rand m_random;
};

} // namespace marlume::platform
