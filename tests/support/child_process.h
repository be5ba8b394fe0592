#pragma once

#include "support/temporary_folder.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace marlume::testing {

// A program a test runs, with standard input from /dev/null and its output in files of a folder
// of its own. The program is killed, should it still run, when the object goes.
class ChildProcess final {
public:
    // Environment variables to set, or with nullopt to remove, on top of the test's own.
    using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

    ChildProcess(const std::vector<std::string>& arguments, const EnvironmentChanges& changes);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool started() const { return m_pid > 0; }

    void signal(int number) const;
    // True once the text has appeared on its standard error, or output; false when the program
    // ended or the time ran out first. `meanwhile` runs between the looks, every 10 ms.
    [[nodiscard]] bool waitForError(std::string_view text, std::chrono::milliseconds patience);
    [[nodiscard]] bool waitForOutput(std::string_view text, std::chrono::milliseconds patience,
        const std::function<void()>& meanwhile = {});
    // Its exit status, minus the signal's number when a signal ended it; nullopt when it still
    // ran when the time ran out.
    [[nodiscard]] std::optional<int> waitForExit(std::chrono::milliseconds patience);
    [[nodiscard]] bool running();

    [[nodiscard]] std::string out() const;
    [[nodiscard]] std::string err() const;

private:
    bool reap(bool block);
    bool waitFor(const std::function<std::string()>& stream, std::string_view text,
        std::chrono::milliseconds patience, const std::function<void()>& meanwhile);

    TemporaryFolder m_folder; // holds the output
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace marlume::testing
