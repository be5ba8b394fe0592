// Reprocessing speed: the logger takes in an hour of readings at 96 a second (345,600 lines, an event
// every ten seconds) with --reprocess, without an output file, writing the capture file, and the raw log as
// well, beside the time cat needs to read the same file. Each run must end by itself with one record per
// event.
//   reprocess_bench <logger program> <folder to write in>
#include "common/raw_log_format.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kReadingsPerSecond = 96;
constexpr int kReadings = kReadingsPerSecond * 3600;
constexpr int kEventEvery = kReadingsPerSecond * 10;
constexpr int kEventLength = kReadingsPerSecond * 3;
constexpr int kEvents = kReadings / kEventEvery;
constexpr double kGoal = 1'000'000; // readings a second: a day at 96 a second in under 10 s

void writeHour(const std::filesystem::path& path)
{
    using marlume::common::LocalDateTime;
    const auto at = [](int reading) {
        return marlume::common::localDateTime(marlume::common::localMilliseconds({ 2008, 8, 18, 14, 0, 0, 0 })
            + static_cast<std::int64_t>(reading) * 1000 / kReadingsPerSecond);
    };
    std::ofstream file(path, std::ios::binary);
    file << marlume::common::kRawLogHeader << marlume::common::rawLogMarkText({ at(0), 0, 0 });
    std::int32_t event = 0;
    for (int reading = 0; reading < kReadings; ++reading) {
        const float heading = static_cast<float>(reading % 3600) / 10;
        const float shown = std::nearbyint(heading) == 360 ? 0 : std::nearbyint(heading);
        if (reading % kEventEvery == 100)
            file << marlume::common::rawLogMarkText(
                { at(reading), event = reading / kEventEvery + 1, shown });
        if (reading % kEventEvery == 100 + kEventLength)
            file << marlume::common::rawLogMarkText({ at(reading), event = 0, shown });
        file << marlume::common::rawLogLineText(
            { at(reading), heading, 1.5F + static_cast<float>(reading % 7) / 10, -2.5F, 3.1F, event, shown });
    }
}

std::int64_t linesOf(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::int64_t lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    return lines;
}

// Seconds the command took; a negative value when it failed.
double secondsOf(const std::string& command)
{
    const auto start = SteadyClock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: reprocess_bench <logger program> <folder>\n", stderr);
        return 2;
    }
    const std::string logger = argv[1];
    const std::filesystem::path folder = argv[2];
    const std::filesystem::path log = folder / "reprocess-bench-raw.txt";
    writeHour(log);
    const double cat = secondsOf("cat '" + log.string() + "' > /dev/null");
    std::printf("cat of the hour's log (%.1f MB): %.3f s\n",
        static_cast<double>(std::filesystem::file_size(log)) / 1e6, cat);
    const std::filesystem::path capture = folder / "reprocess-bench.csv";
    for (const std::string_view outputs : { "", "--capture", "--capture --raw" }) {
        // A run that never ends is a failure of its own, not a slow one.
        std::string command = "timeout 120 " + logger + " --quiet --reprocess '" + log.string() + "'";
        if (outputs.starts_with("--capture"))
            command += " --capture '" + capture.string() + "'";
        if (outputs.ends_with("--raw"))
            command += " --raw '" + (folder / "reprocess-bench-again.txt").string() + "'";
        std::filesystem::remove(capture);
        const double seconds = secondsOf(command);
        if (seconds < 0) {
            std::fprintf(stderr, "reprocess_bench: %s failed or did not end within 120 s\n", command.c_str());
            return 1;
        }
        if (!outputs.empty() && linesOf(capture) != kEvents + 1) {
            std::fprintf(stderr, "reprocess_bench: %s wrote %lld records, not %d\n", command.c_str(),
                static_cast<long long>(linesOf(capture) - 1), kEvents);
            return 1;
        }
        std::printf(
            "reprocessing with %s: %.0f readings/s, %.2f s for the hour, a day in %.1f s (goal at least "
            "%.0f readings/s)\n",
            outputs.empty() ? "no output file" : std::string(outputs).c_str(), kReadings / seconds, seconds,
            seconds * 24, kGoal);
    }
    std::filesystem::remove(log);
    return 0;
}
