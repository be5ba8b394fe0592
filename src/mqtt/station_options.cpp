#include "mqtt/station_options.h"

#include "common/number_text.h"
#include "mqtt/mqtt_address.h"

#include <cmath>

namespace marlume::mqtt {

bool isStationOption(std::string_view name)
{
    return name == "--mqtt" || name == "--mqtt-credentials" || name == "--mqtt-ca"
        || name == "--mqtt-reading-interval";
}

std::optional<std::string> takeStationOption(
    StationOptions& options, std::string_view name, std::string_view value)
{
    if (name == "--mqtt") {
        if (const MqttAddressResult address = parseMqttAddress(value); !address.address)
            return "--mqtt: " + address.problem;
        options.broker = std::string(value);
    } else if (name == "--mqtt-reading-interval") {
        const auto seconds = common::parseNumberText(value);
        if (!seconds || !std::isfinite(*seconds) || *seconds < 0 || *seconds > 86400)
            return "--mqtt-reading-interval: give the seconds between readings, from 0 (every one) to 86400";
        options.readingIntervalMs = std::llround(*seconds * 1000);
    } else {
        if (value.empty())
            return "option '" + std::string(name) + "' needs a file name";
        (name == "--mqtt-ca" ? options.caFile : options.credentialsFile) = std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> checkStationOptions(const StationOptions& options)
{
    if (!options.broker && (options.credentialsFile || options.caFile))
        return "--mqtt-credentials and --mqtt-ca go with --mqtt";
    if (options.caFile && options.broker && !options.broker->starts_with("mqtts://"))
        return "--mqtt-ca is for a broker over TLS: mqtts://";
    return std::nullopt;
}

std::string stationUsage()
{
    return "  --mqtt URL      report to an MQTT broker, mqtt://HOST[:PORT]/PREFIX or\n"
           "                  mqtts://... for TLS: each ended event on PREFIX/event, the latest\n"
           "                  reading on PREFIX/reading, online or offline on PREFIX/status\n"
           "  --mqtt-credentials FILE  the broker's user name and password from FILE\n"
           "                  (username=NAME, password=SECRET; chmod 600), else from\n"
           "                  MARLUME_MQTT_USERNAME and MARLUME_MQTT_PASSWORD\n"
           "  --mqtt-ca FILE  the certificate authorities to trust for mqtts://\n"
           "  --mqtt-reading-interval SECONDS  seconds between reading reports (1)\n";
}

} // namespace marlume::mqtt
