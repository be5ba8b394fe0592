#include "support/child_process.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace marlume::testing {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const EnvironmentChanges& changes)
{
    if (m_folder.path().empty())
        return;

    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (!changes.contains(entry.substr(0, entry.find('='))))
            environment.push_back(entry);
    }
    for (const auto& [name, value] : changes) {
        if (value)
            environment.push_back(name + "=" + *value);
    }
    std::vector<std::string> argv = arguments;
    std::vector<char*> argvPointers = pointersTo(argv);
    std::vector<char*> environmentPointers = pointersTo(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, STDOUT_FILENO, (m_folder.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(
        &actions, STDERR_FILENO, (m_folder.path() / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    if (posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(), environmentPointers.data())
        == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    if (running()) {
        ::kill(m_pid, SIGKILL);
        reap(true);
    }
}

void ChildProcess::signal(int number) const
{
    if (m_pid > 0)
        ::kill(m_pid, number);
}

bool ChildProcess::waitForError(std::string_view text, std::chrono::milliseconds patience)
{
    return waitFor([this] { return err(); }, text, patience, {});
}

bool ChildProcess::waitForOutput(
    std::string_view text, std::chrono::milliseconds patience, const std::function<void()>& meanwhile)
{
    return waitFor([this] { return out(); }, text, patience, meanwhile);
}

bool ChildProcess::waitFor(const std::function<std::string()>& stream, std::string_view text,
    std::chrono::milliseconds patience, const std::function<void()>& meanwhile)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (stream().find(text) == std::string::npos) {
        if (!running() || std::chrono::steady_clock::now() >= deadline)
            return stream().find(text) != std::string::npos;
        if (meanwhile)
            meanwhile();
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
    return m_status;
}

bool ChildProcess::running()
{
    return m_pid > 0 && !m_status && !reap(false);
}

std::string ChildProcess::out() const
{
    return fileContents(m_folder.path() / "out");
}

std::string ChildProcess::err() const
{
    return fileContents(m_folder.path() / "err");
}

// True once the program has ended, with its status kept.
bool ChildProcess::reap(bool block)
{
    int waitStatus = 0;
    const pid_t reaped = ::waitpid(m_pid, &waitStatus, block ? 0 : WNOHANG);
    if (reaped != m_pid)
        return reaped < 0; // gone already (nothing to wait for) counts as ended
    m_status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
    return true;
}

} // namespace marlume::testing
