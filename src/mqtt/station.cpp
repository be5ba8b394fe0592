#include "mqtt/station.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace marlume::mqtt {

namespace {

std::optional<std::string> environmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

Station::Station(const StationOptions& options, const platform::Clock& clock, MosquittoLink::Post post,
    MosquittoLink::Tell tell)
{
    const MqttAddressResult address = parseMqttAddress(options.broker.value_or(std::string()));
    if (!address.address) {
        m_problem = "--mqtt: " + address.problem;
        return;
    }
    MosquittoSettings settings { *address.address, std::nullopt, options.caFile.value_or(std::string()) };
    CredentialsResult credentials = options.credentialsFile
        ? readCredentialsFile(*options.credentialsFile)
        : credentialsFromEnvironment(&environmentVariable);
    if (!credentials.problem.empty()) {
        m_problem = std::move(credentials.problem);
        return;
    }
    settings.credentials = std::move(credentials.credentials);
    const std::string prefix = settings.address.prefix;
    m_link.emplace(std::move(settings), clock, std::move(post), std::move(tell));
    m_problem = m_link->problem();
    m_publisher.emplace(*m_link, prefix, options.readingIntervalMs, clock);
}

bool startStation(std::optional<Station>& station, const StationOptions& options,
    const platform::Clock& clock, MosquittoLink::Post post, MosquittoLink::Tell tell,
    std::string_view program)
{
    if (!options.broker)
        return true;
    station.emplace(options, clock, std::move(post), std::move(tell));
    if (station->problem().empty())
        return true;
    std::fprintf(
        stderr, "%.*s: %s\n", static_cast<int>(program.size()), program.data(), station->problem().c_str());
    return false;
}

} // namespace marlume::mqtt
