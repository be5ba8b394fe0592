#pragma once

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <string>
#include <string_view>

namespace marlume::testing {

// A server on loopback standing in for a serial device server: its client is the newest connection (a
// port search connects again after a lost link), it keeps what that client sent and sends what the test
// gives it, at once.
class QtComPortServer {
public:
    QtComPortServer() { m_server.listen(QHostAddress::LocalHost); }

    [[nodiscard]] std::uint16_t port() const { return m_server.serverPort(); }

    // Waits for a client to connect; true when one has.
    bool accept()
    {
        return QTest::qWaitFor(
            [&] {
                takeNewest();
                return m_client != nullptr;
            },
            5000);
    }
    // Waits until the client has sent at least this much; what it has sent so far.
    std::string received(std::size_t atLeast)
    {
        static_cast<void>(QTest::qWaitFor(
            [&] {
                takeNewest();
                if (m_client)
                    m_received += m_client->readAll().toStdString();
                return m_received.size() >= atLeast;
            },
            5000));
        return m_received;
    }
    // Sends to the newest client, if any.
    void send(std::string_view bytes)
    {
        QCoreApplication::processEvents();
        takeNewest();
        if (!m_client)
            return;
        m_client->write(bytes.data(), static_cast<qint64>(bytes.size()));
        m_client->flush();
    }
    void drop()
    {
        m_client->abort();
        m_client = nullptr;
    }
    void stopListening() { m_server.close(); }
    // Connections accepted so far.
    [[nodiscard]] int connections()
    {
        takeNewest();
        return m_connections;
    }

private:
    void takeNewest()
    {
        while (m_server.hasPendingConnections()) {
            m_client = m_server.nextPendingConnection(); // the one before stays the server's child
            m_received.clear();
            ++m_connections;
        }
    }

    QTcpServer m_server;
    QTcpSocket* m_client = nullptr; // owned by the server
    std::string m_received;
    int m_connections = 0;
};

} // namespace marlume::testing
