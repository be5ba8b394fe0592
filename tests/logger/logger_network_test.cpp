#include "platform/rfc2217_client.h"
#include "support/case_name.h"
#include "support/child_process.h"
#include "support/pty_sensor.h"
#include "support/qt_com_port_server.h"
#include "support/ser2net_server.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <termios.h>

namespace marlume::logger {
namespace {

using namespace std::chrono_literals;
using namespace platform::telnet;

testing::ChildProcess runLogger(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), MARLUME_LOGGER_EXECUTABLE);
    return testing::ChildProcess(arguments, { { "MARLUME_TILT_PORTS", std::nullopt } });
}

struct Ser2netCase {
    std::string name;
    bool rfc2217;
    speed_t lineSpeed; // the sensor's line while the logger reads it
};

class LoggerThroughSer2netTest : public ::testing::TestWithParam<Ser2netCase> { };

TEST_P(LoggerThroughSer2netTest, ReadsTheSensorBehindTheServer)
{
    const Ser2netCase& c = GetParam();
    const testing::PtySensor sensor;
    testing::Ser2netServer ser2net(sensor.path);
    ASSERT_TRUE(ser2net.ready()) << ser2net.err();
    const std::string entry = c.rfc2217 ? "rfc2217://127.0.0.1:" + std::to_string(ser2net.rfc2217Port())
                                        : "tcp://127.0.0.1:" + std::to_string(ser2net.rawPort());

    testing::ChildProcess logger = runLogger({ "--ports", entry });
    EXPECT_TRUE(
        logger.waitForOutput("Ready on port 1 (" + entry + ")", 20s, [&] { sensor.send("12,1.5,2.5\r\n"); }))
        << logger.out() << logger.err() << ser2net.err();
    termios line {};
    ASSERT_EQ(::tcgetattr(sensor.slave, &line), 0);
    EXPECT_EQ(::cfgetispeed(&line), c.lineSpeed);

    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_EQ(logger.err(), "");
}

INSTANTIATE_TEST_SUITE_P(Servers, LoggerThroughSer2netTest,
    ::testing::ValuesIn(std::vector<Ser2netCase> {
        { "Rfc2217SetsTheLineItself", true, B19200 },
        { "RawTcpLeavesTheServersLine", false, B9600 },
    }),
    testing::CaseName());

std::string modemState(int state)
{
    return { static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(kComPort),
        static_cast<char>(kNotifyModemState + kServerOffset), static_cast<char>(state),
        static_cast<char>(kIac), static_cast<char>(kSe) };
}

// A device server that tells CTS changes at once: the instrument raises CTS for half a second.
TEST(LoggerNetworkTest, CapturesTheEventACtsPulseOverTheNetworkMarks)
{
    const testing::TemporaryFolder folder;
    const std::string capture = folder.pathOf("run.csv");
    testing::QtComPortServer server;
    testing::ChildProcess logger = runLogger(
        { "--ports", "rfc2217://127.0.0.1:" + std::to_string(server.port()), "--capture", capture });
    const auto sendReading = [&] {
        server.send("12,1.5,2.5\r\n");
        std::this_thread::sleep_for(10ms);
    };
    ASSERT_TRUE(logger.waitForOutput("Ready on port 1", 20s, sendReading)) << logger.out() << logger.err();

    server.send(modemState(0x11));
    for (const auto end = std::chrono::steady_clock::now() + 500ms; std::chrono::steady_clock::now() < end;)
        sendReading();
    server.send(modemState(0x01));
    const auto recorded = [&] { return testing::fileContents(capture).find("\r\n1,") != std::string::npos; };
    for (const auto end = std::chrono::steady_clock::now() + 10s;
         !recorded() && std::chrono::steady_clock::now() < end;)
        sendReading();
    EXPECT_TRUE(recorded()) << testing::fileContents(capture) << logger.out();

    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_NE(logger.out().find("Ended: 1 event,"), std::string::npos) << logger.out();
}

} // namespace
} // namespace marlume::logger
