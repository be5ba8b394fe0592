#pragma once

#include "platform/port_map.h"

#include <optional>
#include <string>

#include <sys/types.h>

namespace marlume::platform {

// Whether a port of the map can be opened, and why not, looked at without taking it.
struct PortState {
    enum class Kind {
        NoDevice, // an empty entry
        BuiltIn, // the simulated or the silent sensor
        Network, // a server on the network, not tried until the search opens it
        Free, // can be opened
        Missing,
        NotSerial, // not a serial device (a device path), not a regular file (a replay)
        PermissionDenied,
        Held, // by another instance of the monitor or logger
        Fault, // anything else, in the system's words
    };
    Kind kind = Kind::NoDevice;
    std::optional<pid_t> holder; // for Held, where the system tells it
    std::string reason; // for Fault

    friend bool operator==(const PortState&, const PortState&) = default;
};

[[nodiscard]] PortState portState(const PortEntry& entry);

// "free", "missing", "not a serial device", "permission denied (add yourself to the dialout group)",
// "held by another instance (process 1234)", ...; a replay's path is no device: "not a regular file".
[[nodiscard]] std::string portStateText(
    const PortState& state, PortEntry::Kind entry = PortEntry::Kind::Device);

// The map with each port's state, as --list-ports prints it: "port  1: /dev/ttyUSB0  (free)".
[[nodiscard]] std::string formatPortStates(const PortMap& map);

} // namespace marlume::platform
