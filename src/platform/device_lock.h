#pragma once

#include <optional>

#include <sys/types.h>

namespace marlume::platform {

// An advisory lock on one device by its device number, not its path, so that two paths to one adapter (a
// /dev/serial/by-id link and its ttyUSB name) lead to one holder, root or not. It is held until destroyed;
// the system lets go of it when the holder ends in any way, so no stale lock outlives a crash.
class DeviceLock final {
public:
    // Locks the character device open on the descriptor; nullopt when another holder has it. Where no lock
    // file can be made at all, or the descriptor is no device, the lock guards nothing.
    [[nodiscard]] static std::optional<DeviceLock> take(int descriptor);

    // Another holder of a device, as the system tells it: its process, where it can be read.
    struct Holder {
        std::optional<pid_t> process;
    };
    // Who holds the lock on a device, by its device number, without taking it; nullopt while none does.
    [[nodiscard]] static std::optional<Holder> holderOf(dev_t device);

    DeviceLock(DeviceLock&& other) noexcept;
    DeviceLock& operator=(DeviceLock&& other) noexcept;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    ~DeviceLock();

private:
    explicit DeviceLock(int file)
        : m_file(file)
    {
    }

    int m_file = -1; // the locked lock file; -1 for a lock that guards nothing
};

} // namespace marlume::platform
