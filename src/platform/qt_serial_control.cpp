#include "platform/qt_serial_control.h"

#include "platform/qt_serial_device.h"

#include <QSerialPortInfo>

namespace marlume::platform {

namespace {

constexpr char kPortsVariable[] = "MARLUME_TILT_PORTS";

std::unique_ptr<SerialDevice> makeDevice(const std::string& path)
{
    return std::make_unique<QtSerialDevice>(QString::fromStdString(path));
}

} // namespace

QtSerialControl::QtSerialControl(QObject* parent)
    : QObject(parent)
    , m_control(&QtSerialControl::currentPortMap, &makeDevice, m_clock)
{
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { m_control.poll(); });
    m_pollTimer.start(kPollMilliseconds);
}

PortMap QtSerialControl::currentPortMap()
{
    if (qEnvironmentVariableIsSet(kPortsVariable))
        return parsePortMap(qEnvironmentVariable(kPortsVariable).toStdString());
#ifdef Q_OS_WIN
    PortMap map;
    for (int n = 1; n <= kPortCount; ++n)
        map[static_cast<std::size_t>(n - 1)] = { PortEntry::Kind::Device, "COM" + std::to_string(n) };
    return map;
#else
    std::vector<PresentPort> present;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const bool hasHardwareInfo
            = info.hasVendorIdentifier() || !info.manufacturer().isEmpty() || !info.description().isEmpty();
        present.push_back(
            { info.portName().toStdString(), info.systemLocation().toStdString(), hasHardwareInfo });
    }
    return defaultPortMap(std::move(present));
#endif
}

} // namespace marlume::platform
