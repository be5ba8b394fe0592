#include "platform/port_control.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace marlume::platform {

PortControl::PortControl(ScanPorts scanPorts, MakeDevice makeDevice, const Clock& clock)
    : m_scanPorts(std::move(scanPorts))
    , m_makeDevice(std::move(makeDevice))
    , m_simulated(clock)
{
}

bool PortControl::setCommPort(std::int16_t port)
{
    if (PortOpen() || port < 1 || port > kPortCount)
        return false;
    m_commPort = port;
    if (port == 1)
        m_map.reset();
    return true;
}

bool PortControl::setSettings(std::string_view settings)
{
    const auto parsed = parseLineSettings(settings);
    if (!parsed)
        return false;
    m_settings = *parsed; // taken by the next opening
    return true;
}

bool PortControl::setPortOpen(bool open)
{
    if (!open) {
        if (m_device)
            std::exchange(m_device, nullptr)->close();
        m_pathDevice.reset();
        m_cts = false;
        return true;
    }
    if (PortOpen())
        return false;
    SerialDevice* device = deviceFor(m_commPort);
    if (!device || !device->open(m_settings)) {
        m_pathDevice.reset();
        return false;
    }
    m_device = device;
    m_cts = device->cts().value_or(false);
    return true;
}

bool PortControl::setInputMode(std::int32_t mode)
{
    // Text and binary both hand over the bytes as they came.
    return mode == kInputModeText || mode == kInputModeBinary;
}

bool PortControl::setInputLen(std::int16_t length)
{
    if (length < 0)
        return false;
    m_inputLen = length;
    return true;
}

std::optional<std::int16_t> PortControl::InBufferCount()
{
    if (!m_device)
        return std::nullopt;
    const auto count = m_device->available();
    if (!count)
        return std::nullopt;
    return static_cast<std::int16_t>(
        std::min<std::size_t>(*count, static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())));
}

std::optional<std::string> PortControl::Input()
{
    if (!m_device)
        return std::nullopt;
    return m_device->read(
        m_inputLen == 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(m_inputLen));
}

void PortControl::poll()
{
    if (!m_device)
        return;
    const auto level = m_device->cts();
    if (!level || *level == m_cts)
        return;
    m_cts = *level;
    raiseOnComm(kCommEventCts);
}

SerialDevice* PortControl::deviceFor(std::int16_t port)
{
    if (!m_map)
        m_map = m_scanPorts();
    const PortEntry& entry = (*m_map)[static_cast<std::size_t>(port - 1)];
    switch (entry.kind) {
    case PortEntry::Kind::Simulated:
        return &m_simulated;
    case PortEntry::Kind::Silent:
        return &m_silent;
    case PortEntry::Kind::Device:
        m_pathDevice = m_makeDevice(entry.path);
        return m_pathDevice.get();
    case PortEntry::Kind::None:
        break;
    }
    return nullptr;
}

} // namespace marlume::platform
