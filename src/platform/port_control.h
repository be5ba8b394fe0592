#pragma once

#include "platform/clock.h"
#include "platform/port_map.h"
#include "platform/replay_sensor.h"
#include "platform/serial_control.h"
#include "platform/serial_device.h"
#include "platform/silent_sensor.h"
#include "platform/simulated_sensor.h"

#include <functional>
#include <memory>

namespace marlume::platform {

// The serial control over a port map: port n opens the device of the map's n-th entry. The map is
// built afresh whenever port 1 is selected, as every search round starts there, so a device plugged in
// or renamed since is found.
class PortControl final : public SerialControl {
public:
    using ScanPorts = std::function<PortMap()>;
    // Makes the device of a Device, Rfc2217 or Tcp entry.
    using MakeDevice = std::function<std::unique_ptr<SerialDevice>(const PortEntry& entry)>;
    PortControl(ScanPorts scanPorts, MakeDevice makeDevice, const Clock& clock);

    [[nodiscard]] std::int16_t CommPort() const override { return m_commPort; }
    [[nodiscard]] bool setCommPort(std::int16_t port) override;
    [[nodiscard]] bool setSettings(std::string_view settings) override;
    [[nodiscard]] bool PortOpen() const override { return m_device != nullptr; }
    [[nodiscard]] bool setPortOpen(bool open) override;
    [[nodiscard]] std::uint32_t openCount() const override { return m_openCount; }
    [[nodiscard]] bool setInputMode(std::int32_t mode) override;
    [[nodiscard]] bool setInputLen(std::int16_t length) override;
    [[nodiscard]] std::optional<std::int16_t> InBufferCount() override;
    [[nodiscard]] std::optional<std::string> Input() override;
    [[nodiscard]] bool CTSHolding() const override { return m_cts; }
    [[nodiscard]] std::optional<RecordedMoment> recorded() const override
    {
        return m_device ? m_device->recorded() : std::nullopt;
    }
    [[nodiscard]] std::string deviceName() const override;
    [[nodiscard]] std::optional<PlaybackProgress> playback() const override
    {
        return m_device ? m_device->playback() : std::nullopt;
    }

    // A closed port has nothing to tell; an open one wakes its owner when its device can.
    [[nodiscard]] bool wakesOnActivity() const override { return m_device == nullptr || m_deviceWakes; }

    // Raises OnComm with kCommEventCts for each change of the open device's CTS line since the last poll,
    // in order; without a driver count, only a level that differs from the last one is seen.
    void poll() override;

private:
    [[nodiscard]] SerialDevice* deviceFor(std::int16_t port);
    void raiseCountedChanges(std::uint32_t count);
    // Tells why the open device went, where it can say, as why its port cannot be opened: a server on the
    // network refuses or is unreachable only after the opening.
    void tellFailure();
    // The same message for the same port is told once in a row.
    void tellNotice(std::int16_t port, PortNotice::Kind kind, const std::string& message);
    // Why a device could not be opened, at every failed opening: whoever shows it tells it once a search.
    void tellUnavailable(std::int16_t port, const PortEntry& entry);

    ScanPorts m_scanPorts;
    MakeDevice m_makeDevice;
    const Clock& m_clock;
    std::array<std::string, kPortCount> m_lastNotices; // per port, so that a search round repeats none
    ReplaySensor::Refusals m_refusedReplays; // replay files refused, not read again until they change
    SimulatedSensor m_simulated;
    SilentSensor m_silent;
    std::unique_ptr<SerialDevice> m_pathDevice;
    std::optional<PortMap> m_map;
    SerialDevice* m_device = nullptr; // the open device, if any
    std::int16_t m_commPort = 1;
    std::uint32_t m_openCount = 0;
    LineSettings m_settings;
    std::int16_t m_inputLen = 0;
    bool m_cts = false;
    bool m_deviceWakes = false; // the open device tells when there is news
    std::optional<std::uint32_t> m_ctsCounted; // the driver's count the changes raised so far come to
};

} // namespace marlume::platform
