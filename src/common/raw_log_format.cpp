#include "common/raw_log_format.h"

#include "common/number_text.h"
#include "common/time_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace marlume::common {

namespace {

// A record's heading is a whole number of degrees in a float, which holds every whole number up to 2^24.
constexpr float kLargestShownHeading = 16'777'216;

constexpr std::size_t kMostFields = 7;

std::size_t fieldCount(RawLogLayout layout)
{
    return layout == RawLogLayout::WithMarks ? 7 : 6;
}

std::string_view withoutLineEnd(std::string_view line)
{
    line.remove_suffix(2); // CR LF
    return line;
}

std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (const char digit : text.substr(at, count)) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM:SS.mmm", exactly as isoDateTimeText writes it with milliseconds.
std::optional<common::LocalDateTime> parseIsoTime(std::string_view text)
{
    constexpr std::string_view kShape = "0000-00-00T00:00:00.000";
    if (text.size() != kShape.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] != '0' && text[i] != kShape[i])
            return std::nullopt;
    }
    const auto year = digitsAt(text, 0, 4);
    const auto month = digitsAt(text, 5, 2);
    const auto day = digitsAt(text, 8, 2);
    const auto hour = digitsAt(text, 11, 2);
    const auto minute = digitsAt(text, 14, 2);
    const auto second = digitsAt(text, 17, 2);
    const auto millisecond = digitsAt(text, 20, 3);
    if (!year || !month || !day || !hour || !minute || !second || !millisecond || *month < 1 || *month > 12
        || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return common::LocalDateTime { *year, *month, *day, *hour, *minute, *second, *millisecond };
}

std::optional<std::int32_t> parseEventNumber(std::string_view text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

void appendEventAndShown(std::string& line, std::int32_t eventNumber, float shown)
{
    line += ',';
    if (eventNumber != 0)
        line += wholeNumberText(eventNumber);
    line += ',';
    line += numberText(shown, '.');
    line += "\r\n";
}

} // namespace

std::optional<RawLogLayout> rawLogLayout(std::string_view header)
{
    if (header == withoutLineEnd(kRawLogHeader))
        return RawLogLayout::WithMarks;
    if (header == withoutLineEnd(kReadingsOnlyRawLogHeader))
        return RawLogLayout::ReadingsOnly;
    return std::nullopt;
}

std::string rawLogLineText(const RawLogReading& reading)
{
    std::string line;
    appendRawLogLine(line, reading);
    return line;
}

void appendRawLogLine(std::string& text, const RawLogReading& reading)
{
    appendIsoDateTime(text, reading.time, true);
    for (const float value : { reading.heading, reading.pitch, reading.roll, reading.tilt }) {
        text += ',';
        text += numberText(value, '.');
    }
    appendEventAndShown(text, reading.eventNumber, reading.shown);
}

std::string rawLogMarkText(const RawLogMark& mark)
{
    std::string line = isoDateTimeText(mark.time, true);
    line += ",,,,";
    appendEventAndShown(line, mark.eventNumber, mark.shown);
    return line;
}

std::optional<RawLogEntry> parseRawLogLine(std::string_view line, RawLogLayout layout, std::string& problem)
{
    RawLogEntry entry;
    if (!parseRawLogLine(line, layout, entry, problem))
        return std::nullopt;
    return entry;
}

bool parseRawLogLine(std::string_view line, RawLogLayout layout, RawLogEntry& entry, std::string& problem)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const std::size_t expected = fieldCount(layout);
    std::array<std::string_view, kMostFields> fields;
    std::size_t count = 0;
    for (std::string_view rest = line;; ++count) {
        const auto comma = rest.find(',');
        if (count < kMostFields)
            fields[count] = rest.substr(0, comma);
        if (comma == std::string_view::npos) {
            ++count;
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    if (count != expected) {
        problem = "has " + std::to_string(count) + (count == 1 ? " field" : " fields") + ", not "
            + std::to_string(expected);
        return false;
    }
    const auto time = parseIsoTime(fields[0]);
    if (!time) {
        problem = "has no time like 2008-08-18T14:02:11.250";
        return false;
    }
    const bool mark = layout == RawLogLayout::WithMarks && fields[1].empty() && fields[2].empty()
        && fields[3].empty() && fields[4].empty();
    constexpr std::array<std::string_view, 4> kNames { "heading", "pitch", "roll", "tilt" };
    for (std::size_t i = 0; i < kNames.size() && !mark; ++i) {
        if (!parseNumberText(fields[i + 1], '.')) {
            problem = "has no number for the " + std::string(kNames[i]);
            return false;
        }
    }
    std::optional<float> shown;
    if (layout == RawLogLayout::WithMarks) {
        shown = parseNumberText(fields[6], '.');
        if (!shown) {
            problem = "has no number for the heading shown";
            return false;
        }
        if (std::nearbyint(*shown) != *shown || std::fabs(*shown) > kLargestShownHeading) {
            problem = "has a heading shown that no record holds (whole degrees, at most "
                + wholeNumberText(static_cast<std::int64_t>(kLargestShownHeading)) + " either way)";
            return false;
        }
    }
    std::int32_t eventNumber = 0;
    if (!fields[5].empty()) {
        const auto number = parseEventNumber(fields[5]);
        if (!number) {
            problem = "has no event number of 1 or more";
            return false;
        }
        eventNumber = *number;
    }
    entry.time = *time;
    entry.sentence.clear();
    if (!mark) {
        entry.sentence += fields[1];
        entry.sentence += ',';
        entry.sentence += fields[2];
        entry.sentence += ',';
        entry.sentence += fields[3];
    }
    entry.eventNumber = eventNumber;
    entry.shown = shown;
    return true;
}

} // namespace marlume::common
