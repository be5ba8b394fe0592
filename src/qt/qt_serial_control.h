#pragma once

#include "platform/port_control.h"
#include "platform/system_clock.h"

#include <optional>
#include <string>
#include <vector>

namespace marlume::qt {

// The serial control of the program: ports 1 to 16 lead through the port map to real devices (QSerialPort),
// the simulated sensor or the silent one. The map comes from the list given, else from MARLUME_TILT_PORTS
// when that is set, even empty; otherwise from the serial devices present.
class QtSerialControl final {
public:
    explicit QtSerialControl(std::optional<std::string> portList = std::nullopt);

    [[nodiscard]] platform::SerialControl& control() { return m_control; }

    // The map a search round uses now.
    [[nodiscard]] platform::PortMap currentPortMap();

private:
    std::optional<std::string> m_portList;
    platform::SystemClock m_clock;
    std::vector<std::string> m_scannedNodes; // the serial nodes present at the last full scan
    std::optional<platform::PortMap> m_scannedMap;
    platform::PortControl m_control;
};

} // namespace marlume::qt
