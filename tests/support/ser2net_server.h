#pragma once

#include "support/child_process.h"
#include "support/free_loopback_ports.h"
#include "support/temporary_folder.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace marlume::testing {

// Debian's ser2net in the foreground with a configuration of the test's own, serving one serial device
// on loopback twice: as a telnet com-port server (RFC 2217) and as a raw TCP server. It opens the
// device at 9600 baud, so that a client that sets the line shows.
class Ser2netServer {
public:
    explicit Ser2netServer(const std::string& device)
    {
        const std::string configuration = m_folder.pathOf("ser2net.yaml");
        static_cast<void>(writeFile(configuration,
            "%YAML 1.1\n---\n"
            "connection: &rfc2217\n"
            "  accepter: telnet(rfc2217),tcp,127.0.0.1,"
                + std::to_string(rfc2217Port()) + "\n  connector: serialdev," + device
                + ",9600n81,local\n  options:\n    kickolduser: true\n"
                  "connection: &raw\n"
                  "  accepter: tcp,127.0.0.1,"
                + std::to_string(rawPort()) + "\n  connector: serialdev," + device
                + ",9600n81,local\n  options:\n    kickolduser: true\n"));
        m_process.emplace(std::vector<std::string> { "/usr/sbin/ser2net", "-n", "-d", "-c", configuration,
                              "-P", m_folder.pathOf("ser2net.pid") },
            ChildProcess::EnvironmentChanges {});
    }

    // Waits until both servers listen; true when they do. It never connects to find out: a connection opens
    // the device both serve, and ser2net lets it go only a moment after the connection has closed, closing
    // at once a client that comes to the other server meanwhile.
    [[nodiscard]] bool ready()
    {
        for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            if (listensOn(rfc2217Port()) && listensOn(rawPort()))
                return true;
        }
        return false;
    }
    [[nodiscard]] std::string err() const { return m_process ? m_process->err() : std::string(); }

    [[nodiscard]] std::uint16_t rfc2217Port() const { return m_ports[0]; }
    [[nodiscard]] std::uint16_t rawPort() const { return m_ports[1]; }

private:
    std::array<std::uint16_t, 2> m_ports = freeLoopbackPorts<2>();
    TemporaryFolder m_folder;
    std::optional<ChildProcess> m_process;
};

} // namespace marlume::testing
