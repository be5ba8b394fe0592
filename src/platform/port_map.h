#pragma once

#include "platform/serial_control.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace marlume::platform {

// What a port number leads to.
struct PortEntry {
    enum class Kind { None, Device, Simulated, Silent };
    Kind kind = Kind::None;
    std::string path; // for Kind::Device

    friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

// Entry n - 1 is port n.
using PortMap = std::array<PortEntry, kPortCount>;

// Reads the MARLUME_TILT_PORTS list: comma-separated, the n-th entry is port n, blanks around entries
// ignored, an empty entry is no device, "sim" and "silent" name the built-in devices, anything else is a
// device path; entries past the 16th are ignored.
[[nodiscard]] PortMap parsePortMap(std::string_view list);

// A serial device the system reports.
struct PresentPort {
    std::string portName; // e.g. "ttyUSB0"
    std::string systemLocation; // e.g. "/dev/ttyUSB0"
    bool hasHardwareInfo = false; // a manufacturer, vendor id or description is known
};

// The Linux default: USB adapters (ttyUSB*, ttyACM*) first, then other named devices, then legacy ttyS*
// ports that report hardware; each group in natural name order so the numbering is stable.
[[nodiscard]] PortMap defaultPortMap(std::vector<PresentPort> present);

} // namespace marlume::platform
