#include "record/data_record_class.h"

#include "common/number_text.h"
#include "common/saturating.h"
#include "common/time_text.h"
#include "record/lenient_number.h"
#include "record/tilt.h"

#include <cmath>
#include <limits>
#include <string>

namespace marlume::record {

namespace {

constexpr std::string_view kCaptureHeader
    = "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n";

// Half a step above the largest single: every double below it rounds to a finite single
// (3.4028235e38 to the largest), from it on to infinity.
constexpr double kSingleOverflow = 0x1.ffffffp+127;

// A field value as a single; nullopt when it overflows single precision.
std::optional<float> readField(std::string_view field)
{
    const std::optional<double> value = readLenientNumber(field);
    if (!value || std::abs(*value) >= kSingleOverflow)
        return std::nullopt;
    return static_cast<float>(*value);
}

// Whole degrees, an exact half to the even number, reduced modulo 360 with the sign
// kept (365 -> 5, -5 -> -5, 359.6 -> 0).
float wholeDegrees(float degrees)
{
    // Adding +0 turns the -0 of small negative values into 0.
    return std::fmod(std::nearbyint(degrees), 360.0F) + 0.0F;
}

// An exact half of the true quotient goes to the even tenth: a sum of 7 over 20 gives 0.4, though no double
// is 0.35.
double roundToTenth(double value)
{
    return std::nearbyint(value * 10) / 10;
}

float tenthAverage(float sum, std::int32_t count)
{
    return static_cast<float>(roundToTenth(static_cast<double>(sum) / count));
}

void appendField(std::string& record, std::string_view field)
{
    record += field;
    record += ',';
}

} // namespace

DataRecordClass::DataRecordClass(const platform::Clock& clock)
    : m_clock(clock)
{
}

float DataRecordClass::LastTilt() const
{
    return static_cast<float>(roundToTenth(m_tilt));
}

float DataRecordClass::avgHeading() const
{
    if (m_sampleCount <= 0)
        return 0;
    return wholeDegrees(static_cast<float>(static_cast<double>(m_sumHeading) / m_sampleCount));
}

float DataRecordClass::avgPitch() const
{
    return m_sampleCount > 0 ? tenthAverage(m_sumPitch, m_sampleCount) : 0;
}

float DataRecordClass::avgRoll() const
{
    return m_sampleCount > 0 ? tenthAverage(m_sumRoll, m_sampleCount) : 0;
}

float DataRecordClass::avgTilt() const
{
    return m_sampleCount > 0 ? tenthAverage(m_sumTilt, m_sampleCount) : 0;
}

void DataRecordClass::startAvg()
{
    m_sequenceNumber = common::saturatingIncrement(m_sequenceNumber);
    m_startTime = m_clock.now();
    m_sampleCount = 1;
    // The reading current at the start is the first sample, in its displayed form.
    m_sumHeading = LastHeading();
    m_sumPitch = LastPitch();
    m_sumRoll = LastRoll();
    m_sumTilt = LastTilt();
    m_averaging = true;
    if (m_onAverageStarted)
        m_onAverageStarted();
}

void DataRecordClass::endAvg()
{
    m_averaging = false;
    m_endTime = m_clock.now();
}

bool DataRecordClass::parseString(std::string_view line)
{
    const std::size_t firstComma = line.find(',');
    if (firstComma == std::string_view::npos || firstComma == 0)
        return false;
    const std::size_t secondComma = line.find(',', firstComma + 1);
    if (secondComma == std::string_view::npos)
        return false;
    const auto newHeading = readField(line.substr(0, firstComma));
    const auto newPitch = readField(line.substr(firstComma + 1, secondComma - firstComma - 1));
    const auto newRoll = readField(line.substr(secondComma + 1));
    if (!newHeading || !newPitch || !newRoll)
        return false;
    storeReading(*newHeading, *newPitch, *newRoll);
    return true;
}

void DataRecordClass::storeReading(float newHeading, float newPitch, float newRoll)
{
    m_sentHeading = newHeading;
    // Keep the heading continuous across north for the event sums: 350 then 5 sums as 365.
    const float turnUp = newHeading - m_heading;
    const float turnDown = m_heading - newHeading;
    if (turnUp > 180)
        newHeading -= 360;
    else if (turnDown > 180)
        newHeading += 360;

    m_heading = wholeDegrees(newHeading);
    m_pitch = newPitch;
    m_roll = newRoll;
    m_tilt = TiltFromPitchRoll(m_pitch, m_roll);

    if (!m_averaging)
        return;
    m_sumHeading = common::saturatingSum(m_sumHeading, newHeading);
    m_sumPitch = common::saturatingSum(m_sumPitch, newPitch);
    m_sumRoll = common::saturatingSum(m_sumRoll, newRoll);
    m_sumTilt = common::saturatingSum(m_sumTilt, m_tilt);
    m_sampleCount = common::saturatingIncrement(m_sampleCount);
}

bool DataRecordClass::writeHeadingToFile(platform::FileWriter& output, platform::FileNumber file) const
{
    if (file == 0)
        return true;
    const bool written = output.write(file, kCaptureHeader);
    return output.sync(file) && written;
}

bool DataRecordClass::writeAvgToFile(platform::FileWriter& output, platform::FileNumber file) const
{
    if (file == 0)
        return true;
    // The capture file keeps ".", "/" and ":" whatever the locale, so that it reads
    // the same on every machine. An event without a start or end time leaves the
    // field empty rather than inventing a date.
    std::string record = common::wholeNumberText(m_sequenceNumber);
    record += ',';
    appendField(record, m_startTime ? common::dateText(*m_startTime, '/') : std::string());
    appendField(record, m_startTime ? common::timeText(*m_startTime, ':') : std::string());
    appendField(record, m_endTime ? common::timeText(*m_endTime, ':') : std::string());
    appendField(record, common::numberText(avgTilt()));
    appendField(record, common::numberText(avgHeading()));
    appendField(record, common::numberText(avgPitch()));
    appendField(record, common::numberText(avgRoll()));
    // The count takes a blank in place of its sign and one after it.
    record += ' ';
    record += common::wholeNumberText(m_sampleCount);
    record += " \r\n";
    const bool written = output.write(file, record);
    return output.sync(file) && written;
}

} // namespace marlume::record
