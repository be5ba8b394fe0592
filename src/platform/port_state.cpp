#include "platform/port_state.h"

#include "platform/device_lock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {

namespace {

PortState only(PortState::Kind kind)
{
    PortState state;
    state.kind = kind;
    return state;
}

PortState failure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return only(PortState::Kind::Missing);
    case EACCES:
    case EPERM:
        return only(PortState::Kind::PermissionDenied);
    default:
        return { PortState::Kind::Fault, std::nullopt, std::strerror(error) };
    }
}

PortState deviceState(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return failure(errno);
    if (!S_ISCHR(status.st_mode))
        return only(PortState::Kind::NotSerial);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return failure(errno);
    const bool terminal = ::isatty(descriptor) != 0;
    ::close(descriptor);
    if (!terminal)
        return only(PortState::Kind::NotSerial);
    if (const std::optional<DeviceLock::Holder> holder = DeviceLock::holderOf(status.st_rdev))
        return { PortState::Kind::Held, holder->process, {} };
    return only(PortState::Kind::Free);
}

PortState replayState(const std::string& path)
{
    // Never waiting: a FIFO without a writer opens at once.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return failure(errno);
    struct stat status { };
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    return only(regular ? PortState::Kind::Free : PortState::Kind::NotSerial);
}

} // namespace

PortState portState(const PortEntry& entry)
{
    switch (entry.kind) {
    case PortEntry::Kind::None:
        break;
    case PortEntry::Kind::Simulated:
    case PortEntry::Kind::Silent:
        return only(PortState::Kind::BuiltIn);
    case PortEntry::Kind::Rfc2217:
    case PortEntry::Kind::Tcp:
        return only(PortState::Kind::Network);
    case PortEntry::Kind::Device:
        return deviceState(entry.path);
    case PortEntry::Kind::Replay:
        return replayState(entry.path);
    case PortEntry::Kind::Unusable:
        return { PortState::Kind::Fault, std::nullopt, entry.problem };
    }
    return {};
}

std::string portStateText(const PortState& state, PortEntry::Kind entry)
{
    switch (state.kind) {
    case PortState::Kind::NoDevice:
        return "no device";
    case PortState::Kind::BuiltIn:
        return "built in";
    case PortState::Kind::Network:
        return entry == PortEntry::Kind::Tcp ? "on the network, no CTS: events by Force Trigger only"
                                             : "on the network";
    case PortState::Kind::Free:
        return entry == PortEntry::Kind::Replay ? "readable" : "free";
    case PortState::Kind::Missing:
        return "missing";
    case PortState::Kind::NotSerial:
        return entry == PortEntry::Kind::Replay ? "not a regular file" : "not a serial device";
    case PortState::Kind::PermissionDenied:
        return entry == PortEntry::Kind::Replay ? "permission denied"
                                                : "permission denied (add yourself to the dialout group)";
    case PortState::Kind::Held:
        return "held by another instance"
            + (state.holder ? " (process " + std::to_string(*state.holder) + ")" : std::string());
    case PortState::Kind::Fault:
        break;
    }
    return state.reason;
}

std::string formatPortStates(const PortMap& map)
{
    std::size_t widest = 0;
    for (const PortEntry& entry : map)
        widest = std::max(widest, portEntryText(entry).size());
    std::string text;
    for (std::size_t i = 0; i < map.size(); ++i) {
        const std::string entry = portEntryText(map[i]);
        text += portLabel(i) + ' ' + entry + std::string(widest - entry.size() + 2, ' ') + '(';
        text += portStateText(portState(map[i]), map[i].kind);
        text += ")\n";
    }
    return text;
}

} // namespace marlume::platform
