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
    EXPECT_EQ(logger.err(), "") << logger.out() << ser2net.err();
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

struct CtsEventCase {
    std::string name;
    bool oneSegment; // the notices and the readings between them sent at once, else 10 ms apart
};

class LoggerNetworkTest : public ::testing::TestWithParam<CtsEventCase> { };

// A device server that tells CTS changes at once: the instrument raises CTS over 20 readings.
TEST_P(LoggerNetworkTest, CapturesTheEventACtsPulseOverTheNetworkMarks)
{
    const CtsEventCase& c = GetParam();
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

    const std::vector<std::string> event = [] {
        std::vector<std::string> pieces { modemState(0x11) };
        pieces.insert(pieces.end(), 20, "12,22.5,2.5\r\n");
        pieces.push_back(modemState(0x01));
        return pieces;
    }();
    std::string whole;
    for (const std::string& piece : event) {
        if (c.oneSegment) {
            whole += piece;
            continue;
        }
        server.send(piece);
        std::this_thread::sleep_for(10ms);
    }
    server.send(whole);
    const auto recorded = [&] { return testing::fileContents(capture).find("\r\n1,") != std::string::npos; };
    for (const auto end = std::chrono::steady_clock::now() + 10s;
         !recorded() && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(10ms);
    // The reading before the event starts its averages; each one while CTS is high adds to them.
    const std::string contents = testing::fileContents(capture);
    EXPECT_NE(contents.find(",12,21.5,2.5, 21 \r\n"), std::string::npos) << contents << logger.out();

    logger.signal(SIGTERM);
    EXPECT_EQ(logger.waitForExit(10s), 0);
    EXPECT_NE(logger.out().find("Ended: 1 event,"), std::string::npos) << logger.out();
}

INSTANTIATE_TEST_SUITE_P(Notices, LoggerNetworkTest,
    ::testing::ValuesIn(std::vector<CtsEventCase> {
        { "SpreadOverAFifthOfASecond", false },
        { "WholeEventInOneSegment", true },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::logger
