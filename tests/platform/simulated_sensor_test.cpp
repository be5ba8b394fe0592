#include "platform/simulated_sensor.h"

#include "record/data_record_class.h"

#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace marlume::platform {
namespace {

using testing::FakeClock;

// What the sensor delivered, read every 10 ms like the receive loop does.
struct Recording {
    std::vector<std::size_t> charactersPerTick;
    std::vector<std::string> lines; // without their line end
    std::vector<double> lineSeconds; // when each line was complete
    std::vector<std::pair<double, bool>> ctsChanges;
};

Recording record(SimulatedSensor& sensor, FakeClock& clock, int ticks, double firstSecond = 0.0)
{
    Recording recording;
    std::string line;
    bool cts = sensor.cts().value_or(false);
    for (int tick = 1; tick <= ticks; ++tick) {
        clock.advanceMilliseconds(10);
        const double seconds = firstSecond + tick / 100.0;
        const auto waiting = sensor.available();
        EXPECT_TRUE(waiting.has_value());
        const std::string characters = sensor.read(*waiting).value_or("");
        EXPECT_EQ(characters.size(), *waiting);
        recording.charactersPerTick.push_back(characters.size());
        for (const char character : characters) {
            if (character == '\n') {
                recording.lines.push_back(line);
                recording.lineSeconds.push_back(seconds);
                line.clear();
            } else if (character != '\r') {
                line += character;
            }
        }
        const bool level = sensor.cts().value_or(false);
        if (level != cts)
            recording.ctsChanges.emplace_back(seconds, level);
        cts = level;
    }
    return recording;
}

constexpr int kTicksPerSecond = 100;

class SimulatedSensorTest : public ::testing::Test {
protected:
    FakeClock clock;
    SimulatedSensor sensor { clock };
    LineSettings settings { 19200, Parity::None, 8, StopBits::One };
};

TEST_F(SimulatedSensorTest, SendsTenToTwentySentencesASecondAtLineSpeed)
{
    ASSERT_TRUE(sensor.open(settings));
    const Recording recording = record(sensor, clock, 60 * kTicksPerSecond);

    for (int second = 1; second < 60; ++second) {
        const auto lines = std::count_if(recording.lineSeconds.begin(), recording.lineSeconds.end(),
            [second](double at) { return at > second && at <= second + 1; });
        EXPECT_GE(lines, 10) << "second " << second;
        EXPECT_LE(lines, 20) << "second " << second;
    }
    // 19200 baud, 10 bits a character: at most 19.2 characters in 10 ms.
    EXPECT_LE(*std::max_element(recording.charactersPerTick.begin(), recording.charactersPerTick.end()), 20U);
}

TEST_F(SimulatedSensorTest, ReadingsDriftWithinLimitsAndNowAndThenPassTheAlarm)
{
    ASSERT_TRUE(sensor.open(settings));
    const Recording recording = record(sensor, clock, 150 * kTicksPerSecond);
    record::DataRecordClass reading(clock);

    int accepted = 0;
    int over = 0;
    int alarms = 0;
    bool wasOver = false;
    float previousPitch = 0;
    for (const auto& line : recording.lines) {
        if (!reading.parseString(line))
            continue;
        ++accepted;
        EXPECT_LE(std::abs(reading.LastPitch()), 65.0F);
        EXPECT_LE(std::abs(reading.LastRoll()), 13.0F);
        if (accepted > 1) {
            EXPECT_LT(std::abs(reading.LastPitch() - previousPitch), 5.0F) << "smooth drift: " << line;
        }
        previousPitch = reading.LastPitch();
        const bool isOver = reading.LastTilt() > 55.0F;
        over += isOver ? 1 : 0;
        alarms += isOver && !wasOver ? 1 : 0;
        wasOver = isOver;
    }
    EXPECT_EQ(alarms, 3) << "one swing past the alarm every 47 s";
    EXPECT_LT(over * 10, accepted) << "mostly within the alarm";

    const auto rejected = static_cast<int>(recording.lines.size()) - accepted;
    EXPECT_GT(rejected, 0);
    EXPECT_LT(rejected * 15, static_cast<int>(recording.lines.size()));
}

TEST_F(SimulatedSensorTest, CtsGoesHighForThreeSecondsEveryThirteen)
{
    ASSERT_TRUE(sensor.open(settings));
    const Recording recording = record(sensor, clock, 40 * kTicksPerSecond);

    const std::vector<std::pair<double, bool>> expected { { 9.0, true }, { 12.0, false }, { 22.0, true },
        { 25.0, false }, { 35.0, true }, { 38.0, false } };
    ASSERT_EQ(recording.ctsChanges.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(recording.ctsChanges[i].first, expected[i].first, 0.011);
        EXPECT_EQ(recording.ctsChanges[i].second, expected[i].second);
    }
}

TEST_F(SimulatedSensorTest, RunsOnWhileClosedAndLosesWhatItSentThen)
{
    ASSERT_TRUE(sensor.open(settings));
    EXPECT_FALSE(sensor.open(settings)) << "one opening at a time";
    record(sensor, clock, 5 * kTicksPerSecond);
    sensor.close();
    clock.advanceMilliseconds(5000);
    ASSERT_TRUE(sensor.open(settings));
    EXPECT_EQ(sensor.available(), 0U);
    // The CTS pulse of 9 to 12 s goes on by the sensor's own time.
    const Recording recording = record(sensor, clock, 3 * kTicksPerSecond, 10.0);
    ASSERT_FALSE(recording.ctsChanges.empty());
    EXPECT_NEAR(recording.ctsChanges.front().first, 12.0, 0.011);
    EXPECT_FALSE(recording.lines.empty());
}

TEST_F(SimulatedSensorTest, KeepsSendingAcrossMidnight)
{
    clock.setTimeOfDay(23, 59, 59, 0);
    ASSERT_TRUE(sensor.open(settings));
    const Recording recording = record(sensor, clock, 2 * kTicksPerSecond);
    EXPECT_GE(recording.lines.size(), 20U);
    EXPECT_EQ(clock.now().hour, 0);
}

} // namespace
} // namespace marlume::platform
