// The program's own delay on a CTS edge behind a telnet com-port server (RFC 2217) that notifies at once:
// from the server's modem-state notice on loopback to the port's CTS event, which starts or ends a
// trigger event as any port's does. The server and the port share one event loop, as a busy program would.
//   network_cts_bench
#include "platform/rfc2217_client.h"
#include "qt/qt_serial_control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace marlume::platform::telnet;

constexpr int kEdges = 200;

std::string milliseconds(SteadyClock::duration time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", std::chrono::duration<double, std::milli>(time).count());
    return text;
}

// Runs the event loop until done says so or the time is up; whether done said so.
template <typename Done> bool serviceUntil(Done done, int patienceMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > patienceMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) {
        std::fputs("network_cts_bench: cannot listen on loopback\n", stderr);
        return 1;
    }
    marlume::qt::QtSerialControl control("rfc2217://127.0.0.1:" + std::to_string(server.serverPort()));
    marlume::platform::SerialControl& port = control.control();
    SteadyClock::time_point sent;
    std::vector<SteadyClock::duration> delays;
    port.setOnComm([&] { delays.push_back(SteadyClock::now() - sent); });
    port.setOnActivity([&] { port.poll(); });
    if (!port.setSettings("19200,N,8,1") || !port.setPortOpen(true)
        || !serviceUntil([&] { return server.hasPendingConnections(); }, 5000)) {
        std::fputs("network_cts_bench: the port did not connect\n", stderr);
        return 1;
    }
    QTcpSocket* device = server.nextPendingConnection();
    for (int edge = 0; edge < kEdges; ++edge) {
        const char state = static_cast<char>(edge % 2 == 0 ? kModemCts | kModemDeltaCts : kModemDeltaCts);
        const std::string notice { static_cast<char>(kIac), static_cast<char>(kSb),
            static_cast<char>(kComPort), static_cast<char>(kNotifyModemState + kServerOffset), state,
            static_cast<char>(kIac), static_cast<char>(kSe) };
        sent = SteadyClock::now();
        device->write(notice.data(), static_cast<qint64>(notice.size()));
        device->flush();
        if (!serviceUntil([&] { return delays.size() > static_cast<std::size_t>(edge); }, 1000)) {
            std::fprintf(stderr, "network_cts_bench: edge %d never arrived\n", edge + 1);
            return 1;
        }
    }
    std::ranges::sort(delays);
    std::printf("RFC 2217 CTS edge, server notice to the port's CTS event: median %s, slowest %s of %d "
                "(goal under one tick, 10 ms)\n",
        milliseconds(delays[delays.size() / 2]).c_str(), milliseconds(delays.back()).c_str(), kEdges);
    return 0;
}
