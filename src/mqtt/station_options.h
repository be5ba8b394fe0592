#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::mqtt {

// What the command line asks of a station's reports: the same options for the logger and the window.
struct StationOptions {
    std::optional<std::string> broker; // mqtt://HOST[:PORT]/PREFIX or mqtts://...
    std::optional<std::string> credentialsFile;
    std::optional<std::string> caFile;
    std::int64_t readingIntervalMs = 1000;
};

// --mqtt URL, --mqtt-credentials FILE, --mqtt-ca FILE, --mqtt-reading-interval SECONDS: each takes a value.
[[nodiscard]] bool isStationOption(std::string_view name);
// Takes the option's value; what is wrong with it, if anything.
[[nodiscard]] std::optional<std::string> takeStationOption(
    StationOptions& options, std::string_view name, std::string_view value);
// Once every option is in: what does not go together, if anything.
[[nodiscard]] std::optional<std::string> checkStationOptions(const StationOptions& options);
// The options' lines for --help.
[[nodiscard]] std::string stationUsage();

} // namespace marlume::mqtt
