#include "qt/qt_network_device.h"

#include <algorithm>
#include <utility>

namespace marlume::qt {

QtNetworkDevice::QtNetworkDevice(platform::NetworkAddress address, Protocol protocol)
    : m_address(std::move(address))
    , m_protocol(protocol)
{
    QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, [this] {
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // A server that vanishes without closing is noticed by the system in the end.
        m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        m_socket.write(m_greeting.data(), static_cast<qint64>(m_greeting.size()));
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
    m_data.clear();
    m_gone = false;
    m_failure.clear();
    m_open = true;
    m_socket.connectToHost(QString::fromStdString(m_address.host), m_address.port);
    return true;
}

void QtNetworkDevice::close()
{
    m_wake = {};
    m_open = false;
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

void QtNetworkDevice::takeIn()
{
    const QByteArray received = m_socket.readAll();
    if (m_protocol == Protocol::Raw) {
        m_data.append(received.constData(), static_cast<std::size_t>(received.size()));
        return;
    }
    const platform::Rfc2217Client::Taken taken
        = m_client.take({ received.constData(), static_cast<std::size_t>(received.size()) });
    m_data += taken.data;
    if (!taken.reply.empty())
        m_socket.write(taken.reply.data(), static_cast<qint64>(taken.reply.size()));
}

std::optional<std::size_t> QtNetworkDevice::available()
{
    if (!m_open || m_gone)
        return std::nullopt;
    takeIn();
    return m_data.size();
}

std::optional<std::string> QtNetworkDevice::read(std::size_t maxCount)
{
    if (!m_open || m_gone)
        return std::nullopt;
    takeIn();
    const std::size_t count = std::min(maxCount, m_data.size());
    std::string piece = m_data.substr(0, count);
    m_data.erase(0, count);
    return piece;
}

std::optional<bool> QtNetworkDevice::cts()
{
    if (m_protocol == Protocol::Raw || !m_open || m_gone)
        return std::nullopt;
    return m_client.cts();
}

std::optional<std::uint32_t> QtNetworkDevice::ctsChangeCount()
{
    if (m_protocol == Protocol::Raw || !m_open || m_gone)
        return std::nullopt;
    return m_client.ctsChanges();
}

} // namespace marlume::qt
