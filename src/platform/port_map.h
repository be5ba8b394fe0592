#pragma once

#include "common/network_address.h"
#include "platform/serial_control.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace marlume::platform {

// What a port number leads to.
struct PortEntry {
    // Rfc2217: a serial port behind a telnet com-port server; Tcp: a server's raw bytes, without CTS.
    enum class Kind { None, Device, Simulated, Silent, Replay, Rfc2217, Tcp, Unusable };
    Kind kind = Kind::None;
    // The device path; the raw readings log for Replay; "HOST:PORT" as given for Rfc2217 and Tcp; the entry
    // as given for Unusable.
    std::string path;
    double speed = 1.0; // for Kind::Replay: times the recorded pace
    std::string problem {}; // for Kind::Unusable: why no device can be made of it
    common::NetworkAddress server {}; // for Rfc2217 and Tcp: the path taken apart, to connect to

    friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

// Entry n - 1 is port n.
using PortMap = std::array<PortEntry, kPortCount>;

// Reads the MARLUME_TILT_PORTS list: comma-separated, the n-th entry is port n, blanks around entries
// ignored, an empty entry is no device, "sim" and "silent" name the built-in devices, anything else is a
// device path; "replay:PATH" plays a raw readings log back as a sensor, "replay:PATH@10x" ten times
// faster (a path that names an existing file is taken whole); double quotes keep a comma in a path
// ("replay:\"a,b.txt\""); "rfc2217://HOST:PORT" and "tcp://HOST:PORT" name a serial port on the network
// (an IPv6 address in brackets); entries past the 16th are ignored. A speed that is no number above 0, a
// network port without a host or a port number from 1 to 65535, or a quote left open, makes the entry
// Unusable with the reason.
[[nodiscard]] PortMap parsePortMap(std::string_view list);

// An entry in the words MARLUME_TILT_PORTS takes ("/dev/ttyUSB0", "sim", "replay:raw.txt@10x",
// "rfc2217://deck:2001"); empty for no device.
[[nodiscard]] std::string portEntryText(const PortEntry& entry);
// "port  1:", "port 16:"
[[nodiscard]] std::string portLabel(std::size_t index);

// The map as the user reads it: one line per port, "port  n: " and what it leads to (a device path, "sim",
// "silent", or nothing), in the words MARLUME_TILT_PORTS takes.
[[nodiscard]] std::string formatPortMap(const PortMap& map);

} // namespace marlume::platform
