#include "support/case_name.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace marlume::app {
namespace {

struct Outcome {
    int status = -1; // the exit status; -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream file(path);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// Runs the built monitor without a display (and without an offscreen platform to fall back on), so that
// opening a window would fail it.
Outcome runMonitor(const std::vector<std::string>& arguments, const std::string& portsVariable)
{
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "marlume-cli-XXXXXX").string();
    const char* folder = mkdtemp(folderTemplate.data());
    if (folder == nullptr)
        return {};
    const std::filesystem::path outPath = std::filesystem::path(folder) / "out";
    const std::filesystem::path errPath = std::filesystem::path(folder) / "err";

    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM"
            && name != "MARLUME_TILT_PORTS")
            environment.push_back(entry);
    }
    environment.push_back("MARLUME_TILT_PORTS=" + portsVariable);
    std::vector<std::string> argvStrings { MARLUME_MONITOR_EXECUTABLE };
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        for (std::string& s : strings)
            result.push_back(s.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argv = pointers(argvStrings);
    std::vector<char*> envp = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(
        &actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);

    Outcome outcome;
    if (spawned == 0) {
        // Should the program hang, it is stopped long after any normal run would have ended.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int waitStatus = 0;
        while (waitpid(pid, &waitStatus, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &waitStatus, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (WIFEXITED(waitStatus))
            outcome.status = WEXITSTATUS(waitStatus);
        outcome.out = contentsOf(outPath);
        outcome.err = contentsOf(errPath);
    }
    std::filesystem::remove_all(folder);
    return outcome;
}

struct RunCase {
    std::string name;
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::vector<std::string> errMentions; // each must appear in the one line on stderr; none: no check
};

class MonitorCommandLineTest : public ::testing::TestWithParam<RunCase> { };

TEST_P(MonitorCommandLineTest, Runs)
{
    const Outcome outcome = runMonitor(GetParam().arguments, ",silent,sim,/dev/ttyUSB7");
    EXPECT_EQ(outcome.status, GetParam().status) << outcome.err;
    EXPECT_EQ(outcome.out, GetParam().out);
    if (!GetParam().errMentions.empty()) {
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        for (const std::string& mention : GetParam().errMentions)
            EXPECT_NE(outcome.err.find(mention), std::string::npos) << outcome.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, MonitorCommandLineTest,
    ::testing::Values(
        RunCase { "list_ports_prints_the_variable_map_without_a_display", { "--list-ports" }, 0,
            "port  1:\nport  2: silent\nport  3: sim\nport  4: /dev/ttyUSB7\nport  5:\nport  6:\n"
            "port  7:\nport  8:\nport  9:\nport 10:\nport 11:\nport 12:\nport 13:\nport 14:\n"
            "port 15:\nport 16:\n",
            {} },
        RunCase { "unknown_option_refused_with_status_2", { "--frobnicate" }, 2, "",
            { "'--frobnicate'", "--list-ports" } },
        RunCase { "unknown_option_refused_before_listing", { "--list-ports", "-x" }, 2, "",
            { "'-x'", "--list-ports" } }),
    testing::CaseName {});

} // namespace
} // namespace marlume::app
