#include "qt/qt_network_device.h"

#include <utility>

namespace marlume::qt {

QtNetworkDevice::QtNetworkDevice(common::NetworkAddress address, Protocol protocol)
    : m_address(std::move(address))
    , m_protocol(protocol)
{
    m_socket.setReadBufferSize(kHeldBytes);
    m_connectSoon.setSingleShot(true);
    m_wakeSoon.setSingleShot(true);
    QObject::connect(&m_connectSoon, &QTimer::timeout, &m_socket,
        [this] { m_socket.connectToHost(QString::fromStdString(m_address.host), m_address.port); });
    QObject::connect(&m_wakeSoon, &QTimer::timeout, &m_socket, [this] { wakeOwner(); });
    QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, [this] {
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // A server that vanishes without closing is noticed by the system in the end.
        m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        send(m_greeting);
    });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
        takeIn();
        wakeOwner();
    });
    // Refused, unreachable, dropped: all the same to the link, which finds the server again when it is back.
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_socket, [this] {
        m_failure = m_socket.errorString().toStdString();
        m_gone = true;
        wakeOwner();
    });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] {
        m_gone = true;
        wakeOwner();
    });
}

bool QtNetworkDevice::open(const platform::LineSettings& settings)
{
    m_socket.abort();
    m_client = {};
    m_greeting = m_protocol == Protocol::Rfc2217 ? m_client.greeting(settings) : std::string();
    m_received = {};
    m_gone = false;
    m_failure.clear();
    m_open = true;
    m_connectSoon.start(0);
    return true;
}

void QtNetworkDevice::close()
{
    m_wake = {};
    m_open = false;
    m_connectSoon.stop();
    m_wakeSoon.stop();
    m_socket.abort();
}

bool QtNetworkDevice::notifyActivity(std::function<void()> wake)
{
    m_wake = std::move(wake);
    return true;
}

void QtNetworkDevice::wakeOwner() const
{
    if (m_wake && m_open)
        m_wake();
}

void QtNetworkDevice::wakeOwnerIfChangeShows()
{
    if (m_received.changeUnseen())
        m_wakeSoon.start(0);
}

void QtNetworkDevice::takeIn()
{
    // More once all held has been taken: at most kHeldBytes held, taken in a few large pieces.
    if (m_received.size() > 0 || !m_socket.isReadable())
        return;
    const QByteArray bytes = m_socket.read(kHeldBytes);
    const std::string_view received { bytes.constData(), static_cast<std::size_t>(bytes.size()) };
    if (m_protocol == Protocol::Raw) {
        m_received.append(received);
        return;
    }
    const platform::Rfc2217Client::Taken taken = m_client.take(received, m_received);
    send(taken.reply);
    if (taken.overlongSubnegotiation)
        fail("The server sent a telnet subnegotiation longer than "
            + std::to_string(platform::Rfc2217Client::kLongestSubnegotiation) + " bytes");
}

void QtNetworkDevice::send(const std::string& bytes)
{
    // A server that reads none of its answers gets no more once they fill the room.
    if (!bytes.empty() && m_socket.bytesToWrite() < kHeldBytes)
        m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtNetworkDevice::fail(std::string reason)
{
    m_socket.abort();
    m_failure = std::move(reason);
    m_gone = true;
}

bool QtNetworkDevice::present()
{
    if (!m_open || m_gone)
        return false;
    takeIn();
    return !m_gone;
}

std::optional<std::size_t> QtNetworkDevice::available()
{
    if (!present())
        return std::nullopt;
    const std::size_t count = m_received.available();
    wakeOwnerIfChangeShows();
    return count;
}

std::optional<std::string> QtNetworkDevice::read(std::size_t maxCount)
{
    if (!present())
        return std::nullopt;
    std::string piece = m_received.take(maxCount);
    wakeOwnerIfChangeShows();
    return piece;
}

std::optional<bool> QtNetworkDevice::cts()
{
    if (m_protocol == Protocol::Raw || !m_open || m_gone)
        return std::nullopt;
    return m_received.cts();
}

std::optional<std::uint32_t> QtNetworkDevice::ctsChangeCount()
{
    if (m_protocol == Protocol::Raw || !m_open || m_gone)
        return std::nullopt;
    return m_received.ctsChanges();
}

} // namespace marlume::qt
