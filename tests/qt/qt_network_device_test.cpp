#include "platform/rfc2217_client.h"
#include "qt/qt_serial_control.h"
#include "support/qt_com_port_server.h"

#include "support/case_name.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace marlume::qt {
namespace {

using namespace platform::telnet;

std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (const int value : values)
        text += static_cast<char>(value);
    return text;
}

std::string modemState(int state)
{
    return bytes({ kIac, kSb, kComPort, kNotifyModemState + kServerOffset, state, kIac, kSe });
}

// Port 1 of a port map with one network entry, opened for the sensor.
class NetworkPortTest : public ::testing::Test {
protected:
    void open(const std::string& scheme)
    {
        control.emplace(scheme + "://127.0.0.1:" + std::to_string(server.port()));
        comPort().setOnComm([this] { seen += comPort().CTSHolding() ? "<1>" : "<0>"; });
        comPort().setOnNotice(
            [this](const platform::PortNotice& notice) { notices.push_back(notice.message); });
        ASSERT_TRUE(comPort().setSettings("19200,N,8,1"));
        ASSERT_TRUE(comPort().setPortOpen(true)) << "opening never waits for the server";
    }
    platform::SerialControl& comPort() { return control->control(); }
    // Waits until this much has been seen, looking at the port as the receive loop does: its lines, then
    // all it hands over.
    std::string input(std::size_t atLeast)
    {
        static_cast<void>(QTest::qWaitFor(
            [&] {
                comPort().poll();
                while (comPort().InBufferCount().value_or(0) > 0)
                    seen += comPort().Input().value_or("");
                return seen.size() >= atLeast;
            },
            5000));
        return seen;
    }
    bool waitUntilGone()
    {
        return QTest::qWaitFor([&] { return !comPort().InBufferCount(); }, 5000);
    }

    testing::QtComPortServer server;
    std::optional<QtSerialControl> control;
    std::string seen; // the bytes handed over, and the CTS changes among them
    std::vector<std::string> notices;
};

TEST_F(NetworkPortTest, Rfc2217SetsTheLineTakesTheDataAndTellsCtsAsNotified)
{
    open("rfc2217");
    ASSERT_TRUE(comPort().setPortOpen(false));
    ASSERT_TRUE(comPort().setPortOpen(true));
    ASSERT_TRUE(server.accept());
    const std::string greeting
        = platform::Rfc2217Client().greeting(*platform::parseLineSettings("19200,N,8,1"));
    EXPECT_EQ(server.received(greeting.size()), greeting) << "the line set as the program wants it";
    EXPECT_EQ(server.connections(), 1) << "an opening closed at once connects nowhere";

    const std::string event = "90,1," + bytes({ kIac, kIac }) + "\r\n" + modemState(0x11) + "91,2\r\n"
        + modemState(0x01) + "92,3\r\n";
    server.send(bytes({ kIac, kWill, 1 }) + event);
    const std::string inOrder = "90,1," + bytes({ 0xFF }) + "\r\n<1>91,2\r\n<0>92,3\r\n";
    EXPECT_EQ(input(inOrder.size()), inOrder) << "in one segment, as sent; the escaped 255 comes once";
    EXPECT_EQ(server.received(greeting.size() + 3), greeting + bytes({ kIac, kDont, 1 })) << "echo refused";
}

TEST_F(NetworkPortTest, TcpHandsOverTheRawBytesWithoutCts)
{
    open("tcp");
    ASSERT_TRUE(server.accept());
    const std::string first = "90,1," + bytes({ 0xFF, kIac, kSb }) + "\r\n";
    server.send(first);
    EXPECT_EQ(input(first.size()), first);
    // Whatever the port answered to the first line has come back by the time the second has reached it.
    server.send("91,2\r\n");
    EXPECT_EQ(input(first.size() + 6), first + "91,2\r\n") << "no CTS";
    EXPECT_EQ(server.received(0), "") << "nothing is ever sent";
}

struct LostServerCase {
    std::string name;
    std::function<void(testing::QtComPortServer&)> server; // what it does to the connected port
    bool reopen; // the port is closed and opened again afterwards
    std::string reason;
};

class LostNetworkServerTest : public NetworkPortTest,
                              public ::testing::WithParamInterface<LostServerCase> { };

TEST_P(LostNetworkServerTest, ASilentServerKeepsThePortOpenTheseEndItAndAreToldOnce)
{
    const LostServerCase& c = GetParam();
    open("rfc2217");
    ASSERT_TRUE(server.accept());
    const std::string greeting
        = platform::Rfc2217Client().greeting(*platform::parseLineSettings("19200,N,8,1"));
    ASSERT_EQ(server.received(greeting.size()), greeting);
    EXPECT_EQ(comPort().InBufferCount(), 0) << "connected, nothing sent: a silent sensor";

    const std::string entry = "rfc2217://127.0.0.1:" + std::to_string(server.port());
    c.server(server);
    if (c.reopen) {
        ASSERT_TRUE(comPort().setPortOpen(false));
        ASSERT_TRUE(comPort().setPortOpen(true));
    }
    EXPECT_TRUE(waitUntilGone());
    EXPECT_EQ(notices, std::vector<std::string> { entry + ": " + c.reason });
}

INSTANTIATE_TEST_SUITE_P(Servers, LostNetworkServerTest,
    ::testing::ValuesIn(std::vector<LostServerCase> {
        { "Refusing",
            [](testing::QtComPortServer& server) {
                server.drop();
                server.stopListening();
            },
            true, "Connection refused" },
        { "Dropping", [](testing::QtComPortServer& server) { server.drop(); }, false,
            "The remote host closed the connection" },
        { "NeverEndingASubnegotiation",
            [](testing::QtComPortServer& server) {
                server.send(bytes({ kIac, kSb, kComPort, kNotifyModemState + kServerOffset }));
                for (int piece = 0; piece < 4; ++piece)
                    server.send(std::string(100, '\x11'));
            },
            false, "The server sent a telnet subnegotiation longer than 256 bytes" },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::qt
