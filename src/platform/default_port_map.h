#pragma once

#include "platform/port_map.h"
#include "platform/uart_type.h"

#include <string>
#include <vector>

namespace marlume::platform {

// A serial device the system reports.
struct PresentPort {
    std::string portName; // e.g. "ttyUSB0"
    std::string systemLocation; // e.g. "/dev/ttyUSB0"
    bool hasHardwareInfo = false; // a manufacturer, vendor id or description is known
};

// The Linux default: USB adapters (ttyUSB*, ttyACM*) first, then other named devices, then the ttyS* ports
// with a UART behind them; each group in natural name order so the numbering is stable. Most ttyS* nodes
// are placeholders the kernel makes whether or not a UART exists: the UART type under sysfsRoot tells them
// apart, else TIOCGSERIAL on the device, else whether the port reports hardware details.
[[nodiscard]] PortMap defaultPortMap(
    std::vector<PresentPort> present, const std::string& sysfsRoot = kSysfsTtyRoot);

} // namespace marlume::platform
