#include "platform/port_state.h"

#include "platform/device_lock.h"
#include "support/case_name.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {
namespace {

// A pseudo-terminal's far end: a serial device as far as the search can tell.
class Pty {
public:
    Pty()
    {
        std::array<char, 256> name {};
        if (openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) == 0)
            path = name.data();
    }
    ~Pty()
    {
        ::close(m_master);
        ::close(m_slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    [[nodiscard]] int far() const { return m_slave; }
    std::string path;

private:
    int m_master = -1;
    int m_slave = -1;
};

struct StateCase {
    std::string name;
    PortEntry::Kind kind;
    std::string path; // "pty" for a pseudo-terminal, "fifo" and "file" for one in the test's folder
    std::string text;
};

class PortStateTest : public ::testing::TestWithParam<StateCase> { };

TEST_P(PortStateTest, SaysWhyAPortCanOrCannotBeOpened)
{
    testing::TemporaryFolder folder;
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    std::string path = GetParam().path;
    if (path == "pty") {
        path = pty.path;
    } else if (path == "fifo") {
        path = folder.pathOf("fifo");
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (path == "file") {
        path = folder.pathOf("file");
        ASSERT_TRUE(testing::writeFile(path, "x"));
    }
    EXPECT_EQ(portStateText(portState({ GetParam().kind, path }), GetParam().kind), GetParam().text);
}

using Kind = PortEntry::Kind;

INSTANTIATE_TEST_SUITE_P(Ports, PortStateTest,
    ::testing::ValuesIn(std::vector<StateCase> {
        { "NoDevice", Kind::None, "", "no device" },
        { "Simulated", Kind::Simulated, "", "built in" },
        { "Missing", Kind::Device, "/dev/ttyUSB-none", "missing" },
        { "AFolder", Kind::Device, "/tmp", "not a serial device" },
        { "DevNull", Kind::Device, "/dev/null", "not a serial device" },
        { "ARegularFile", Kind::Device, "file", "not a serial device" },
        { "APseudoTerminal", Kind::Device, "pty", "free" },
        { "AReplayToRead", Kind::Replay, "file", "readable" },
        { "AReplayOfAFifo", Kind::Replay, "fifo", "not a regular file" },
        { "AMissingReplay", Kind::Replay, "/data/none.txt", "missing" },
    }),
    testing::CaseName());

// Blocks on a file's lock until its holder lets go: the system lists such a waiter among the locks.
class LockWaiter final {
public:
    explicit LockWaiter(const std::string& path)
        : m_held(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600))
        , m_waiting(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        static_cast<void>(::flock(m_held, LOCK_EX));
        m_waiter = std::thread([this] { static_cast<void>(::flock(m_waiting, LOCK_EX)); });
        for (int look = 0; look < 500 && !listed(); ++look)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LockWaiter()
    {
        ::close(m_held); // lets the waiter have it
        m_waiter.join();
        ::close(m_waiting);
    }
    LockWaiter(const LockWaiter&) = delete;
    LockWaiter& operator=(const LockWaiter&) = delete;

    // "2: -> FLOCK  ADVISORY  WRITE 4711 fe:00:123 0 EOF" for this process.
    [[nodiscard]] static bool listed()
    {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);) {
            std::istringstream fields(line);
            std::string number;
            std::string arrow;
            std::string kind;
            std::string advisory;
            std::string access;
            long process = 0;
            if (fields >> number >> arrow >> kind >> advisory >> access >> process && arrow == "->"
                && process == ::getpid())
                return true;
        }
        return false;
    }

private:
    int m_held;
    int m_waiting;
    std::thread m_waiter;
};

TEST(PortState, ADeviceAnotherInstanceHoldsNamesItsProcess)
{
    Pty pty;
    std::optional<DeviceLock> lock = DeviceLock::take(pty.far());
    ASSERT_TRUE(lock);
    testing::TemporaryFolder folder;
    const LockWaiter waiter(folder.pathOf("busy.lock")); // listed, and waited for, before the device's lock
    ASSERT_TRUE(waiter.listed());
    EXPECT_EQ(portStateText(portState({ Kind::Device, pty.path })),
        "held by another instance (process " + std::to_string(::getpid()) + ")");
    lock.reset();
    EXPECT_EQ(portStateText(portState({ Kind::Device, pty.path })), "free");
}

TEST(PortState, ThePermissionHintNamesTheDialoutGroup)
{
    PortState denied;
    denied.kind = PortState::Kind::PermissionDenied;
    EXPECT_EQ(portStateText(denied), "permission denied (add yourself to the dialout group)");
}

TEST(PortState, TheListLinesEachEntryUpWithItsState)
{
    const std::string listed = formatPortStates(parsePortMap("sim,,/dev/ttyUSB-none"));
    EXPECT_TRUE(listed.starts_with("port  1: sim               (built in)\n"
                                   "port  2:                   (no device)\n"
                                   "port  3: /dev/ttyUSB-none  (missing)\n"))
        << listed;
}

} // namespace
} // namespace marlume::platform
