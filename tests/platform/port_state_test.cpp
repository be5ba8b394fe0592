#include "platform/port_state.h"

#include "platform/device_lock.h"
#include "support/case_name.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

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

TEST(PortState, ADeviceAnotherInstanceHoldsNamesItsProcess)
{
    Pty pty;
    std::optional<DeviceLock> lock = DeviceLock::take(pty.far());
    ASSERT_TRUE(lock);
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
