#include "qt/qt_serial_device.h"

#include <QMetaObject>

#include <algorithm>
#include <cstdint>
#include <limits>

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>

namespace marlume::qt {

namespace {

QSerialPort::Parity qtParity(platform::Parity parity)
{
    switch (parity) {
    case platform::Parity::Even:
        return QSerialPort::EvenParity;
    case platform::Parity::Odd:
        return QSerialPort::OddParity;
    case platform::Parity::Mark:
        return QSerialPort::MarkParity;
    case platform::Parity::Space:
        return QSerialPort::SpaceParity;
    case platform::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(platform::StopBits stopBits)
{
    switch (stopBits) {
    case platform::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case platform::StopBits::Two:
        return QSerialPort::TwoStop;
    case platform::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

// Whether the far end has hung up (a pulled adapter, a closed pseudo-terminal): its reads give nothing, for
// good, however often the descriptor says there is something to read.
bool hungUp(int descriptor)
{
    pollfd look { descriptor, POLLIN, 0 };
    return ::poll(&look, 1, 0) > 0 && (look.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

QtSerialDevice::QtSerialDevice(const QString& path)
{
    m_port.setPortName(path);
    QObject::connect(
        &m_port, &QSerialPort::errorOccurred, &m_port, [this](QSerialPort::SerialPortError error) {
            onError(error);
            wakeOwner(); // a read that stalled or failed is the next tick's business
        });
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { wakeOwner(); });
}

bool QtSerialDevice::notifyActivity(std::function<void()> wake)
{
    m_wake = std::move(wake);
    // Only a device with modem lines has a CTS to wait for; the wait's news is taken on the port's thread.
    if (m_port.isOpen() && cts())
        m_ctsWatcher.emplace(m_port.handle(), [this] {
            QMetaObject::invokeMethod(
                &m_port, [this] { wakeOwner(); }, Qt::QueuedConnection);
        });
    return true;
}

void QtSerialDevice::wakeOwner() const
{
    if (m_wake && m_port.isOpen())
        m_wake();
}

bool QtSerialDevice::open(const platform::LineSettings& settings)
{
    m_port.setBaudRate(settings.baudRate);
    m_port.setParity(qtParity(settings.parity));
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    m_port.setStopBits(qtStopBits(settings.stopBits));
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_gone = false;
    m_hasModemLines = true;
    m_countsCtsChanges = true;
    m_readStalled = false;
    if (!m_port.open(QIODevice::ReadOnly)) {
        m_port.clearError();
        return false;
    }
    // QSerialPort locks by the path's name (and TIOCEXCL does not keep root out): lock by the device too.
    m_lock = platform::DeviceLock::take(m_port.handle());
    if (!m_lock)
        m_port.close();
    m_port.clearError();
    return m_lock.has_value();
}

void QtSerialDevice::close()
{
    m_ctsWatcher.reset(); // before the descriptor it waits on goes
    m_wake = {};
    m_port.close();
    m_port.clearError();
    m_lock.reset();
}

std::optional<std::size_t> QtSerialDevice::available()
{
    if (m_gone || !m_port.isOpen())
        return std::nullopt;
    resumeStalledReads();
    return static_cast<std::size_t>(m_port.bytesAvailable());
}

void QtSerialDevice::resumeStalledReads()
{
    // Qt may have switched its read notifier off; a read from the empty buffer switches it on.
    if (!m_readStalled || !m_port.isOpen() || m_port.bytesAvailable() > 0)
        return;
    m_readStalled = false;
    char unused = 0;
    m_port.read(&unused, 1);
}

std::optional<std::string> QtSerialDevice::read(std::size_t maxCount)
{
    if (m_gone || !m_port.isOpen())
        return std::nullopt;
    const QByteArray data = m_port.read(
        static_cast<qint64>(std::min<std::size_t>(maxCount, std::numeric_limits<std::int32_t>::max())));
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

std::optional<bool> QtSerialDevice::cts()
{
    if (!m_hasModemLines || m_gone || !m_port.isOpen())
        return std::nullopt;
    m_queryingModemLines = true;
    const QSerialPort::PinoutSignals lines = m_port.pinoutSignals();
    m_queryingModemLines = false;
    if (m_port.error() != QSerialPort::NoError) {
        // A pseudo-terminal has no modem lines; stop asking rather than fail every 10 ms.
        m_hasModemLines = false;
        m_port.clearError();
        return std::nullopt;
    }
    return lines.testFlag(QSerialPort::ClearToSendSignal);
}

std::optional<std::uint32_t> QtSerialDevice::ctsChangeCount()
{
    if (!m_countsCtsChanges || m_gone || !m_port.isOpen())
        return std::nullopt;
    serial_icounter_struct counts {};
    if (::ioctl(m_port.handle(), TIOCGICOUNT, &counts) != 0) {
        // Pseudo-terminals and some adapters keep no count: their CTS level is watched instead.
        m_countsCtsChanges = false;
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(counts.cts);
}

void QtSerialDevice::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || m_queryingModemLines)
        return;
    const bool readFailed = error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
    // Qt reports every read that gave nothing with whatever errno last held, and a line in raw mode
    // reads nothing both when nothing waits and once the far end has hung up: the descriptor tells which.
    if (readFailed && !hungUp(m_port.handle())) {
        // Still present. Resumed at once, not at the next tick, which a silent port may never have, so
        // that neither data nor a hang-up goes unnoticed.
        m_readStalled = true;
        QMetaObject::invokeMethod(
            &m_port, [this] { resumeStalledReads(); }, Qt::QueuedConnection);
    } else if (readFailed && !m_gone) {
        // The device has gone. Qt keeps the port open and would report the error again and again
        // from its read notifier, so close it, once control is back in the event loop.
        m_gone = true;
        QMetaObject::invokeMethod(
            &m_port,
            [this] {
                m_ctsWatcher.reset();
                m_port.close();
                m_lock.reset(); // its device number may come back with the next device plugged in
            },
            Qt::QueuedConnection);
    }
    m_port.clearError();
}

} // namespace marlume::qt
