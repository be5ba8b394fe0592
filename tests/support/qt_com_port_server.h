#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <string>
#include <string_view>

namespace marlume::testing {

// A server on loopback standing in for a serial device server: it takes one connection at a time, keeps
// what the client sent and sends what the test gives it, at once.
class QtComPortServer {
public:
    QtComPortServer() { m_server.listen(QHostAddress::LocalHost); }

    [[nodiscard]] std::uint16_t port() const { return m_server.serverPort(); }

    // Waits for the client to connect; true when it has.
    bool accept()
    {
        if (!m_client && !m_server.waitForNewConnection(5000))
            return false;
        if (!m_client)
            m_client = m_server.nextPendingConnection();
        return m_client != nullptr;
    }
    // Waits until the client has sent at least this much; what it has sent so far.
    std::string received(std::size_t atLeast)
    {
        static_cast<void>(QTest::qWaitFor(
            [&] {
                m_received += m_client->readAll().toStdString();
                return m_received.size() >= atLeast;
            },
            5000));
        return m_received;
    }
    void send(std::string_view bytes)
    {
        m_client->write(bytes.data(), static_cast<qint64>(bytes.size()));
        m_client->flush();
    }
    void drop()
    {
        m_client->abort();
        m_client = nullptr;
    }
    void stopListening() { m_server.close(); }

private:
    QTcpServer m_server;
    QTcpSocket* m_client = nullptr; // owned by the server
    std::string m_received;
};

} // namespace marlume::testing
