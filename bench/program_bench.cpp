// Runs the whole program under the offscreen platform and measures its CPU use and wake-ups with a live
// sensor on a pseudo-terminal and with that port silent, side by side with a reference (a minimal Qt
// program doing the same visible work, woken by the port's descriptor), over several runs; then after
// the sensor's line has gone, while it searches with no port at all, its time from start to the shown
// window, its peak resident memory, and the cost of the live chart and of the attitude view.
//   program_bench <path to marlume-tilt-monitor> <path to bench_reference>
#include "common/number_text.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ranges>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr auto kMeasured = 10s;
constexpr int kRuns = 3;
// A window's cost is a small difference between two noisy figures: more runs steady their medians.
constexpr int kWindowRuns = 5;
constexpr auto kSettle = 2s; // lets the search finish and the window settle before a measurement
constexpr auto kLineInterval
    = std::chrono::duration_cast<SteadyClock::duration>(1s) / 96; // 19200 baud, 20-character lines
constexpr auto kStartTimeout = 10s;
constexpr auto kStopTimeout = 3s;
constexpr int kExtraStarts = 3;
constexpr std::string_view kShownLine = "marlume: window shown\n";
constexpr std::size_t kKeptErrorText = 2048;

class BenchFailure final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& what)
{
    throw BenchFailure(what + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
}

std::optional<unsigned long long> leadingNumber(std::string_view text)
{
    unsigned long long value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

std::string rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return marlume::common::numberText(static_cast<float>(std::round(value * scale) / scale));
}

// Sensor lines of about 20 characters, each different so the display changes on every one.
std::vector<std::string> sensorLines()
{
    std::vector<std::string> lines;
    for (int n = 0; n < 96; ++n) {
        const auto heading = static_cast<float>(n * 37 % 3600) / 10.0F + 0.1F;
        const auto pitch = static_cast<float>(n % 21 - 10) * 1.25F + 0.03F;
        const auto roll = static_cast<float>(n % 13 - 6) * -2.5F + 0.07F;
        lines.push_back(marlume::common::numberText(heading) + "," + marlume::common::numberText(pitch) + ","
            + marlume::common::numberText(roll) + "\r\n");
    }
    return lines;
}

// A pseudo-terminal in raw mode. The benchmark keeps the slave open too, so lines written before the
// program opens it wait in its input queue.
class Pty final {
public:
    Pty()
    {
        termios raw {};
        cfmakeraw(&raw);
        cfsetspeed(&raw, B19200);
        std::array<char, 128> name {};
        if (openpty(&m_master, &m_slave, name.data(), &raw, nullptr) != 0)
            fail("cannot open a pseudo-terminal");
        m_slavePath = name.data();
        fcntl(m_master, F_SETFD, FD_CLOEXEC);
        fcntl(m_slave, F_SETFD, FD_CLOEXEC);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        hangUp();
        close(m_slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] const std::string& slavePath() const { return m_slavePath; }

    // The sensor's end of the line goes away: reading the slave then fails.
    void hangUp()
    {
        if (m_master >= 0)
            close(std::exchange(m_master, -1));
    }

    // False when the input queue is full: nobody reads the slave.
    bool writeLine(const std::string& line)
    {
        return write(m_master, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

// A temporary settings folder, removed with everything in it.
class TemporaryFolder final {
public:
    TemporaryFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "marlume-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            fail("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    [[nodiscard]] const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

struct CpuSample {
    double cpuSeconds = 0;
    double wakeUps = 0; // voluntary context switches of all its threads: each is a sleep it woke from
    SteadyClock::time_point at;
};

double cpuPercent(const CpuSample& from, const CpuSample& to)
{
    const std::chrono::duration<double> wall = to.at - from.at;
    return (to.cpuSeconds - from.cpuSeconds) / wall.count() * 100.0;
}

double wakeUpsPerSecond(const CpuSample& from, const CpuSample& to)
{
    const std::chrono::duration<double> wall = to.at - from.at;
    return (to.wakeUps - from.wakeUps) / wall.count();
}

// What one measured stretch cost.
struct Cost {
    double cpuPercent = 0;
    double wakeUpsPerSecond = 0;
};

Cost costBetween(const CpuSample& from, const CpuSample& to)
{
    return { cpuPercent(from, to), wakeUpsPerSecond(from, to) };
}

// One run of the program with its own port map and settings folder; stopped and reaped on destruction.
class Program final {
public:
    Program(const std::string& path, const std::string& ports, const std::vector<std::string>& arguments = {})
    {
        std::map<std::string, std::string> variables { { "QT_QPA_PLATFORM", "offscreen" },
            { "XDG_CONFIG_HOME", m_config.path().string() }, { "MARLUME_TILT_PORTS", ports },
            { "MARLUME_STARTUP_PROBE", "1" } };
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string_view text(*entry);
            if (!variables.contains(std::string(text.substr(0, text.find('=')))))
                environment.emplace_back(text);
        }
        for (const auto& [name, value] : variables)
            environment.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> words { path };
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        std::array<int, 2> errorPipe {};
        if (pipe2(errorPipe.data(), O_CLOEXEC) != 0)
            fail("cannot create a pipe");
        m_started = SteadyClock::now();
        m_pid = fork();
        if (m_pid == 0) {
            // The program must not outlive the benchmark, whatever ends it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int nothing = open("/dev/null", O_RDWR);
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
            dup2(errorPipe[1], STDERR_FILENO);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(errorPipe[1]);
        m_stderr = errorPipe[0];
        if (m_pid < 0) {
            close(m_stderr);
            fail("cannot start the program");
        }
        fcntl(m_stderr, F_SETFL, fcntl(m_stderr, F_GETFL) | O_NONBLOCK);
    }

    ~Program()
    {
        stop();
        close(m_stderr);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Time from the start to the window-shown line.
    SteadyClock::duration waitUntilShown()
    {
        const auto deadline = m_started + kStartTimeout;
        while (!m_shown) {
            if (SteadyClock::now() >= deadline)
                throw BenchFailure("the program never reported its window shown (MARLUME_STARTUP_PROBE)");
            serviceUntil(deadline);
        }
        return m_shownAt - m_started;
    }

    // Keeps its stderr drained until the time given or until it writes, whichever comes first.
    void serviceUntil(SteadyClock::time_point until)
    {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - SteadyClock::now());
        pollfd errors { m_stderr, POLLIN, 0 };
        poll(&errors, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        std::array<char, 4096> buffer {};
        ssize_t count = 0;
        while ((count = read(m_stderr, buffer.data(), buffer.size())) > 0)
            m_errorText.append(buffer.data(), static_cast<std::size_t>(count));
        if (!m_shown && m_errorText.find(kShownLine) != std::string::npos) {
            m_shown = true;
            m_shownAt = SteadyClock::now();
        }
        // Only the tail is kept: enough to find the line and to tell why the program ended.
        if (m_errorText.size() > kKeptErrorText)
            m_errorText.erase(0, m_errorText.size() - kKeptErrorText);
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            throw BenchFailure("the program ended by itself; its last output:\n" + m_errorText);
        }
        if (count == 0)
            throw BenchFailure("the program closed its stderr; its last output:\n" + m_errorText);
    }

    [[nodiscard]] bool hasOpen(const std::string& device) const
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(procPath() / "fd", error)) {
            std::error_code unreadable;
            if (fs::read_symlink(entry.path(), unreadable) == device)
                return true;
        }
        return false;
    }

    [[nodiscard]] CpuSample cpu() const
    {
        const std::string stat = procText("stat");
        // The fields after the parenthesised name start with the third; utime and stime are the 14th and
        // 15th.
        std::vector<std::string_view> fields;
        const std::size_t name = stat.rfind(')');
        for (const auto field : std::views::split(std::string_view(stat).substr(name + 2), ' '))
            fields.emplace_back(field.begin(), field.end());
        const auto user
            = name == std::string::npos || fields.size() < 13 ? std::nullopt : leadingNumber(fields[11]);
        const auto system = user ? leadingNumber(fields[12]) : std::nullopt;
        if (!system)
            throw BenchFailure("cannot read the program's CPU time");
        return { static_cast<double>(*user + *system) / static_cast<double>(sysconf(_SC_CLK_TCK)), wakeUps(),
            SteadyClock::now() };
    }

    // The peak resident set, in KiB.
    [[nodiscard]] double peakResidentKiB() const
    {
        const std::string status = procText("status");
        const std::size_t label = status.find("VmHWM:");
        const auto kib = label == std::string::npos
            ? std::nullopt
            : leadingNumber(std::string_view(status).substr(status.find_first_not_of(" \t", label + 6)));
        if (!kib)
            throw BenchFailure("cannot read the program's peak memory");
        return static_cast<double>(*kib);
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        for (const auto deadline = SteadyClock::now() + kStopTimeout; SteadyClock::now() < deadline;) {
            if (waitpid(m_pid, nullptr, WNOHANG) != 0) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    [[nodiscard]] fs::path procPath() const { return fs::path("/proc") / std::to_string(m_pid); }

    [[nodiscard]] double wakeUps() const
    {
        double total = 0;
        std::error_code error;
        for (const auto& task : fs::directory_iterator(procPath() / "task", error)) {
            std::ifstream file(task.path() / "status");
            const std::string status { std::istreambuf_iterator<char>(file),
                std::istreambuf_iterator<char>() };
            constexpr std::string_view kLabel = "\nvoluntary_ctxt_switches:";
            const std::size_t label = status.find(kLabel);
            if (label == std::string::npos)
                continue;
            const std::size_t digits = status.find_first_not_of(" \t", label + kLabel.size());
            if (const auto count = leadingNumber(std::string_view(status).substr(digits)))
                total += static_cast<double>(*count);
        }
        return total;
    }

    [[nodiscard]] std::string procText(const char* name) const
    {
        std::ifstream file(procPath() / name);
        return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    }

    TemporaryFolder m_config;
    pid_t m_pid = -1;
    int m_stderr = -1;
    SteadyClock::time_point m_started;
    SteadyClock::time_point m_shownAt;
    bool m_shown = false;
    std::string m_errorText;
};

// Writes sensor lines at the line rate while it keeps the program serviced.
class Sensor final {
public:
    explicit Sensor(Pty& pty)
        : m_pty(pty)
        , m_lines(sensorLines())
    {
    }

    void feed(Program& program, SteadyClock::time_point until)
    {
        for (auto now = SteadyClock::now(); now < until; now = SteadyClock::now()) {
            if (now >= m_nextLine) {
                m_dropped += m_pty.writeLine(m_lines[m_written++ % m_lines.size()]) ? 0 : 1;
                // After a pause the rate resumes instead of the missed lines coming in one burst.
                m_nextLine = std::max(m_nextLine + kLineInterval, now - kLineInterval);
                continue;
            }
            program.serviceUntil(std::min(m_nextLine, until));
        }
    }

    // Lines the pseudo-terminal refused since the last call because nobody read them.
    std::size_t takeDropped() { return std::exchange(m_dropped, 0); }

private:
    Pty& m_pty;
    std::vector<std::string> m_lines;
    std::size_t m_written = 0;
    std::size_t m_dropped = 0;
    SteadyClock::time_point m_nextLine = SteadyClock::now();
};

void idle(Program& program, SteadyClock::time_point until)
{
    while (SteadyClock::now() < until)
        program.serviceUntil(until);
}

void printFigure(const std::string& what, const std::string& value, const std::string& goal)
{
    std::fputs((what + ": " + value + " (goal " + goal + ")\n").c_str(), stdout);
    std::fflush(stdout);
}

void printCpu(const std::string& what, double percent, const std::string& goal)
{
    printFigure("program CPU, " + what, rounded(percent, 2) + " % of a core", goal);
}

// Median, lowest and highest of a few runs' figures.
struct Spread {
    double median = 0;
    double lowest = 0;
    double highest = 0;
};

Spread spreadOf(std::vector<double> values)
{
    std::ranges::sort(values);
    return { values[values.size() / 2], values.front(), values.back() };
}

std::string spreadText(const Spread& spread, int decimals, const std::string& unit)
{
    return rounded(spread.median, decimals) + unit + " (min " + rounded(spread.lowest, decimals) + ", max "
        + rounded(spread.highest, decimals) + ")";
}

// A fresh program on a fresh pseudo-terminal, fed at the line rate and then left silent.
struct LiveAndSilent {
    Cost live;
    Cost silent;
    SteadyClock::duration start {};
    double peakKiB = 0;
};

LiveAndSilent measureOnAPort(const std::function<std::unique_ptr<Program>(const std::string& device)>& start)
{
    Pty pty;
    Sensor sensor(pty);
    const std::unique_ptr<Program> program = start(pty.slavePath());
    LiveAndSilent result;
    result.start = program->waitUntilShown();
    const auto openDeadline = SteadyClock::now() + kStartTimeout;
    while (!program->hasOpen(pty.slavePath())) {
        if (SteadyClock::now() >= openDeadline)
            throw BenchFailure("the program never opened " + pty.slavePath());
        sensor.feed(*program, SteadyClock::now() + 50ms);
    }
    sensor.feed(*program, SteadyClock::now() + kSettle);
    sensor.takeDropped();

    const CpuSample liveFrom = program->cpu();
    sensor.feed(*program, liveFrom.at + kMeasured);
    result.live = costBetween(liveFrom, program->cpu());
    if (const std::size_t dropped = sensor.takeDropped(); dropped != 0)
        std::fputs(("warning: the program did not keep reading the sensor (" + std::to_string(dropped)
                       + " lines refused)\n")
                       .c_str(),
            stdout);

    idle(*program, SteadyClock::now() + kSettle);
    const CpuSample silentFrom = program->cpu();
    idle(*program, silentFrom.at + kMeasured);
    result.silent = costBetween(silentFrom, program->cpu());
    result.peakKiB = program->peakResidentKiB();
    return result;
}

void run(const std::string& programPath, const std::string& referencePath)
{
    std::vector<SteadyClock::duration> starts;
    double peakKiB = 0;
    std::vector<double> liveCpu, liveWakes, silentCpu, silentWakes;
    std::vector<double> referenceLiveCpu, referenceLiveWakes, referenceSilentCpu, referenceSilentWakes;
    for (int run = 0; run < kRuns; ++run) {
        const LiveAndSilent program = measureOnAPort(
            [&](const std::string& device) { return std::make_unique<Program>(programPath, device); });
        const LiveAndSilent reference = measureOnAPort([&](const std::string& device) {
            return std::make_unique<Program>(referencePath, "", std::vector<std::string> { device });
        });
        starts.push_back(program.start);
        peakKiB = std::max(peakKiB, program.peakKiB);
        liveCpu.push_back(program.live.cpuPercent);
        liveWakes.push_back(program.live.wakeUpsPerSecond);
        silentCpu.push_back(program.silent.cpuPercent);
        silentWakes.push_back(program.silent.wakeUpsPerSecond);
        referenceLiveCpu.push_back(reference.live.cpuPercent);
        referenceLiveWakes.push_back(reference.live.wakeUpsPerSecond);
        referenceSilentCpu.push_back(reference.silent.cpuPercent);
        referenceSilentWakes.push_back(reference.silent.wakeUpsPerSecond);
    }
    const Spread live = spreadOf(liveCpu);
    const Spread referenceLive = spreadOf(referenceLiveCpu);
    printFigure("live sensor at 96 lines/s, CPU of a core over " + std::to_string(kRuns) + " runs",
        "program " + spreadText(live, 2, " %") + ", reference " + spreadText(referenceLive, 2, " %"),
        "program within 1.1x of the reference");
    printFigure("live sensor, program CPU over the reference's",
        rounded(live.median / referenceLive.median, 2) + "x", "<= 1.1x");
    printFigure("live sensor, wake-ups per second",
        "program " + spreadText(spreadOf(liveWakes), 0, "") + ", reference "
            + spreadText(spreadOf(referenceLiveWakes), 0, ""),
        "about one per line");
    printFigure("port open and silent, CPU of a core",
        "program " + spreadText(spreadOf(silentCpu), 3, " %") + ", reference "
            + spreadText(spreadOf(referenceSilentCpu), 3, " %"),
        "program < 0.1 %");
    printFigure("port open and silent, wake-ups per second",
        "program " + spreadText(spreadOf(silentWakes), 1, "") + ", reference "
            + spreadText(spreadOf(referenceSilentWakes), 1, ""),
        "program < 5");

    {
        // The line goes: the link dies and the search starts again, with nothing left spinning on the gone
        // device.
        Pty pty;
        Sensor sensor(pty);
        Program program(programPath, pty.slavePath());
        program.waitUntilShown();
        sensor.feed(program, SteadyClock::now() + kSettle);
        pty.hangUp();
        idle(program, SteadyClock::now() + kSettle);
        const CpuSample goneFrom = program.cpu();
        idle(program, goneFrom.at + kMeasured);
        printCpu("after the sensor's line has gone", cpuPercent(goneFrom, program.cpu()), "<= 2 %");
    }
    {
        Program program(programPath, "");
        starts.push_back(program.waitUntilShown());
        idle(program, SteadyClock::now() + kSettle);
        const CpuSample from = program.cpu();
        idle(program, from.at + kMeasured);
        const CpuSample to = program.cpu();
        printFigure("program searching with no port",
            rounded(cpuPercent(from, to), 2) + " % of a core, " + rounded(wakeUpsPerSecond(from, to), 0)
                + " wake-ups per second",
            "< 0.5 %");
        peakKiB = std::max(peakKiB, program.peakResidentKiB());
    }

    for (int n = 0; n < kExtraStarts; ++n)
        starts.push_back(Program(programPath, "").waitUntilShown());
    std::ranges::sort(starts);
    const auto milliseconds = [](SteadyClock::duration time) {
        return rounded(std::chrono::duration<double, std::milli>(time).count(), 0) + " ms";
    };
    printFigure("program start to shown window",
        milliseconds(starts[starts.size() / 2]) + ", median of " + std::to_string(starts.size())
            + ", slowest " + milliseconds(starts.back()),
        "< 150 ms");
    printFigure("program peak resident memory", rounded(peakKiB / 1024.0, 1) + " MiB", "< 40 MiB");

    // The cost of each window beside the main one: the live sensor once without any, then once with each open
    // (MARLUME_OPEN_CHART or MARLUME_OPEN_ATTITUDE, which the program reads at start), one right after the
    // other.
    const auto liveSensorCpu = [&programPath](const char* openWindow) {
        for (const char* variable : { "MARLUME_OPEN_CHART", "MARLUME_OPEN_ATTITUDE" })
            unsetenv(variable);
        if (openWindow != nullptr)
            setenv(openWindow, "1", 1);
        Pty pty;
        Sensor sensor(pty);
        Program program(programPath, pty.slavePath());
        program.waitUntilShown();
        for (const auto deadline = SteadyClock::now() + kStartTimeout; !program.hasOpen(pty.slavePath());) {
            if (SteadyClock::now() >= deadline)
                throw BenchFailure("the program never opened " + pty.slavePath());
            sensor.feed(program, SteadyClock::now() + 50ms);
        }
        sensor.feed(program, SteadyClock::now() + kSettle);
        const CpuSample from = program.cpu();
        sensor.feed(program, from.at + kMeasured);
        if (openWindow != nullptr)
            unsetenv(openWindow);
        return cpuPercent(from, program.cpu());
    };
    // Runs of each kind take turns, so that a slower spell of the machine weighs on all of them.
    constexpr std::array<const char*, 3> kOpenWindow { nullptr, "MARLUME_OPEN_CHART",
        "MARLUME_OPEN_ATTITUDE" };
    std::array<std::vector<double>, kOpenWindow.size()> runs;
    for (int run = 0; run < kWindowRuns; ++run) {
        for (std::size_t window = 0; window < kOpenWindow.size(); ++window)
            runs[window].push_back(liveSensorCpu(kOpenWindow[window]));
    }
    const Spread without = spreadOf(runs[0]);
    const Spread withChart = spreadOf(runs[1]);
    const Spread withAttitude = spreadOf(runs[2]);
    printFigure("live sensor at 96 lines/s, medians of " + std::to_string(kWindowRuns) + " runs",
        "no window beside the main one " + spreadText(without, 2, " %") + ", chart open "
            + spreadText(withChart, 2, " %") + ", attitude view open " + spreadText(withAttitude, 2, " %"),
        "shown");
    printFigure("chart's cost at 96 lines/s", rounded(withChart.median - without.median, 2) + " % of a core",
        "<= 1 %");
    printFigure("attitude view's cost at 96 lines/s",
        rounded(withAttitude.median - without.median, 2) + " % of a core", "< 0.5 %");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: program_bench <path to marlume-tilt-monitor> <path to bench_reference>\n", stderr);
        return 2;
    }
    for (const char* path : { argv[1], argv[2] }) {
        if (access(path, X_OK) != 0) {
            std::fputs(("program_bench: no program at " + std::string(path) + "\n").c_str(), stderr);
            return 1;
        }
    }
    try {
        run(argv[1], argv[2]);
    } catch (const std::exception& failure) {
        std::fputs(("program_bench: " + std::string(failure.what()) + "\n").c_str(), stderr);
        return 1;
    }
    return 0;
}
