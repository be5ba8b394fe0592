// How long a capture record waits, from its event's end to its sync on disk, on the disk of the build
// folder: the span in which a kill -9 could still lose it.
//   capture_bench <folder on the disk to measure>
#include "platform/local_output_files.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kRecords = 200;
const std::string kRecord = "7,08/18/2008,14:02:11,14:02:41,2.2,101,-1.4,0.6, 3 \r\n";

std::string milliseconds(SteadyClock::duration time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", std::chrono::duration<double, std::milli>(time).count());
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: capture_bench <folder>\n", stderr);
        return 2;
    }
    const std::filesystem::path path = std::filesystem::path(argv[1]) / "capture-bench.csv";
    std::mutex mutex;
    std::condition_variable synced;
    int outcomes = 0;
    // Outcomes are taken on the writer thread here: the time they come is what is measured.
    marlume::platform::LocalOutputFiles files([&](std::function<void()> task) {
        task();
        const std::scoped_lock lock(mutex);
        ++outcomes;
        synced.notify_all();
    });
    files.setOutcomeHandler([](marlume::platform::FileNumber, const marlume::platform::WriteOutcome&) {});
    if (!files.open(1, path.string())) {
        std::fprintf(
            stderr, "capture_bench: cannot create %s: %s\n", path.c_str(), files.lastError().c_str());
        return 1;
    }
    std::vector<SteadyClock::duration> waits;
    for (int record = 0; record < kRecords; ++record) {
        const auto ended = SteadyClock::now();
        files.write(1, kRecord);
        files.sync(1);
        std::unique_lock lock(mutex);
        synced.wait(lock, [&] { return outcomes > record; });
        waits.push_back(SteadyClock::now() - ended);
    }
    files.close(1);
    files.waitUntilWritten();
    std::filesystem::remove(path);
    std::ranges::sort(waits);
    std::printf("capture record, event end to synced on disk: median %s, slowest %s of %d (goal shown)\n",
        milliseconds(waits[waits.size() / 2]).c_str(), milliseconds(waits.back()).c_str(), kRecords);
    return 0;
}
