#include "platform/port_control.h"

#include "platform/port_state.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace marlume::platform {

PortControl::PortControl(ScanPorts scanPorts, MakeDevice makeDevice, const Clock& clock)
    : m_scanPorts(std::move(scanPorts))
    , m_makeDevice(std::move(makeDevice))
    , m_clock(clock)
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
        m_ctsCounted.reset();
        return true;
    }
    if (PortOpen())
        return false;
    SerialDevice* device = deviceFor(m_commPort);
    if (!device || !device->open(m_settings)) {
        m_pathDevice.reset();
        if (device)
            tellUnavailable(m_commPort, (*m_map)[static_cast<std::size_t>(m_commPort - 1)]);
        return false;
    }
    m_device = device;
    ++m_openCount;
    // The level before the count: a change between the two is then counted but not yet raised, and the
    // first poll sees the level differ and raises it.
    m_cts = device->cts().value_or(false);
    m_ctsCounted = device->ctsChangeCount();
    m_deviceWakes = device->notifyActivity([this] { raiseActivity(); });
    raiseActivity(); // a device that cannot wake its owner has to be looked at from now on
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
    if (!count) {
        tellFailure();
        return std::nullopt;
    }
    return static_cast<std::int16_t>(
        std::min<std::size_t>(*count, static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())));
}

std::optional<std::string> PortControl::Input()
{
    if (!m_device)
        return std::nullopt;
    auto piece = m_device->read(
        m_inputLen == 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(m_inputLen));
    if (!piece)
        tellFailure();
    return piece;
}

void PortControl::tellFailure()
{
    if (const std::string failure = m_device->failure(); !failure.empty())
        tellNotice(m_commPort, PortNotice::Kind::Unavailable, deviceName() + ": " + failure);
}

std::string PortControl::deviceName() const
{
    return m_device && m_map ? portEntryText((*m_map)[static_cast<std::size_t>(m_commPort - 1)])
                             : std::string();
}

void PortControl::poll()
{
    if (!m_device)
        return;
    if (m_ctsCounted) {
        if (const auto count = m_device->ctsChangeCount()) {
            raiseCountedChanges(*count);
            return;
        }
        m_ctsCounted.reset(); // the count has gone for good: the level is watched from now on
    }
    const auto level = m_device->cts();
    if (!level || *level == m_cts)
        return;
    m_cts = *level;
    raiseOnComm(kCommEventCts);
}

void PortControl::raiseCountedChanges(std::uint32_t count)
{
    // Read after the count, the level is the newer of the two. When the count's parity disagrees with it,
    // one more change came (between the two reads, or merged by the driver): the count is trusted and
    // the level read last ends the series, one change more. A count that has not caught up with that
    // change by the next poll is taken for no new change.
    const auto level = m_device->cts();
    const auto counted = static_cast<std::int32_t>(count - *m_ctsCounted); // the counter may wrap
    std::uint32_t changes = counted > 0 ? static_cast<std::uint32_t>(counted) : 0;
    m_ctsCounted = count;
    const bool levelAfterCount = m_cts != (changes % 2 != 0);
    if (level && *level != levelAfterCount) {
        ++changes;
        ++*m_ctsCounted;
    }
    for (SerialDevice* const device = m_device; changes > 0 && m_device == device; --changes) {
        m_cts = !m_cts;
        raiseOnComm(kCommEventCts);
    }
}

void PortControl::tellNotice(std::int16_t port, PortNotice::Kind kind, const std::string& message)
{
    std::string& last = m_lastNotices[static_cast<std::size_t>(port - 1)];
    if (message == last)
        return;
    last = message;
    raiseNotice({ port, kind, message });
}

void PortControl::tellUnavailable(std::int16_t port, const PortEntry& entry)
{
    // A replay tells its own reasons, with the line where it has one.
    if (entry.kind != PortEntry::Kind::Device)
        return;
    const PortState state = portState(entry);
    tellNotice(port, PortNotice::Kind::Unavailable,
        entry.path + ": "
            + (state.kind == PortState::Kind::Free ? "cannot be opened" : portStateText(state)));
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
    case PortEntry::Kind::Rfc2217:
    case PortEntry::Kind::Tcp:
        m_pathDevice = m_makeDevice(entry);
        return m_pathDevice.get();
    case PortEntry::Kind::Replay:
        m_pathDevice = std::make_unique<ReplaySensor>(
            entry.path, entry.speed, m_clock,
            [this, port](const std::string& message, bool problem) {
                tellNotice(port, problem ? PortNotice::Kind::Fault : PortNotice::Kind::News, message);
            },
            &m_refusedReplays);
        return m_pathDevice.get();
    case PortEntry::Kind::Unusable:
        tellNotice(port, PortNotice::Kind::Fault, "Cannot use \"" + entry.path + "\": " + entry.problem);
        break;
    case PortEntry::Kind::None:
        break;
    }
    return nullptr;
}

} // namespace marlume::platform
