#include "qt/qt_serial_control.h"

#include "platform/default_port_map.h"
#include "qt/qt_network_device.h"
#include "qt/qt_serial_device.h"

#include <QSerialPortInfo>

#include <utility>

#include <dirent.h>
#include <unistd.h>

namespace marlume::qt {

namespace {

constexpr char kPortsVariable[] = "MARLUME_TILT_PORTS";

std::unique_ptr<platform::SerialDevice> makeDevice(const platform::PortEntry& entry)
{
    if (entry.kind == platform::PortEntry::Kind::Device)
        return std::make_unique<QtSerialDevice>(QString::fromStdString(entry.path));
    return std::make_unique<QtNetworkDevice>(entry.server,
        entry.kind == platform::PortEntry::Kind::Rfc2217 ? QtNetworkDevice::Protocol::Rfc2217
                                                         : QtNetworkDevice::Protocol::Raw);
}

// The tty nodes that a device stands behind (serial ports, not consoles), read straight from sysfs:
// a few dozen cheap calls, where QSerialPortInfo reads every attribute of every tty.
std::vector<std::string> serialNodeNames()
{
    std::vector<std::string> names;
    DIR* ttys = opendir("/sys/class/tty");
    if (ttys == nullptr)
        return names;
    while (const dirent* entry = readdir(ttys)) {
        const std::string device = std::string(entry->d_name) + "/device";
        if (entry->d_name[0] != '.' && faccessat(dirfd(ttys), device.c_str(), F_OK, 0) == 0)
            names.emplace_back(entry->d_name);
    }
    closedir(ttys);
    return names;
}

platform::PortMap scanPresentPorts()
{
    std::vector<platform::PresentPort> present;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const bool hasHardwareInfo
            = info.hasVendorIdentifier() || !info.manufacturer().isEmpty() || !info.description().isEmpty();
        present.push_back(
            { info.portName().toStdString(), info.systemLocation().toStdString(), hasHardwareInfo });
    }
    return platform::defaultPortMap(std::move(present));
}

} // namespace

QtSerialControl::QtSerialControl(std::optional<std::string> portList)
    : m_portList(std::move(portList))
    , m_control([this] { return currentPortMap(); }, &makeDevice, m_clock)
{
}

platform::PortMap QtSerialControl::currentPortMap()
{
    if (m_portList)
        return platform::parsePortMap(*m_portList);
    if (qEnvironmentVariableIsSet(kPortsVariable))
        return platform::parsePortMap(qEnvironmentVariable(kPortsVariable).toStdString());
    // Every search round asks afresh, so an adapter plugged in or renamed is found; the full scan runs
    // only when the set of serial nodes has changed, since a round with nothing present comes ten times
    // a second.
    std::vector<std::string> nodes = serialNodeNames();
    if (!m_scannedMap || nodes != m_scannedNodes) {
        m_scannedMap = scanPresentPorts();
        m_scannedNodes = std::move(nodes);
    }
    return *m_scannedMap;
}

} // namespace marlume::qt
