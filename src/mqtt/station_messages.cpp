#include "mqtt/station_messages.h"

#include "common/number_text.h"
#include "common/time_text.h"

#include <cmath>

namespace marlume::mqtt {

namespace {

// A number as the capture file writes it; JSON has no word for a value that could not be computed.
std::string jsonNumber(float value)
{
    return std::isfinite(value) ? common::numberText(value, '.') : "null";
}

void appendField(std::string& json, std::string_view name, const std::string& value)
{
    json += json.empty() ? "{\"" : ",\"";
    json += name;
    json += "\":";
    json += value;
}

std::string quoted(const std::string& text)
{
    return '"' + text + '"';
}

} // namespace

std::string eventMessage(const monitor::EndedEvent& event)
{
    std::string json;
    appendField(json, "number", common::wholeNumberText(event.number));
    appendField(json, "start", quoted(common::isoDateTimeText(event.start, true)));
    appendField(json, "end", quoted(common::isoDateTimeText(event.end, true)));
    appendField(json, "tilt", jsonNumber(event.avgTilt));
    appendField(json, "heading", jsonNumber(event.avgHeading));
    appendField(json, "pitch", jsonNumber(event.avgPitch));
    appendField(json, "roll", jsonNumber(event.avgRoll));
    appendField(json, "samples", common::wholeNumberText(event.samples));
    return json + '}';
}

std::string readingMessage(const record::AcceptedReading& reading)
{
    std::string json;
    appendField(json, "time", quoted(common::isoDateTimeText(reading.time, true)));
    appendField(json, "tilt", jsonNumber(reading.tilt));
    appendField(json, "heading", jsonNumber(reading.heading));
    appendField(json, "pitch", jsonNumber(reading.pitch));
    appendField(json, "roll", jsonNumber(reading.roll));
    appendField(json, "over", reading.overRange ? "true" : "false");
    return json + '}';
}

} // namespace marlume::mqtt
