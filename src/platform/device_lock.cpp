#include "platform/device_lock.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace marlume::platform {

namespace {

// /run/lock is the system's folder for device locks: every user shares it (a lock in a per-user folder would
// not keep out another user's instance), and it is emptied at boot but never aged like /tmp, which serves
// only where /run/lock takes no file.
constexpr std::array<const char*, 2> kLockFolders { "/run/lock", "/tmp" };

// Readable by all, so that another user's instance can open the file and find it locked.
constexpr mode_t kLockFileMode = 0644;

std::string lockFileName(dev_t device)
{
    return "marlume-tilt-monitor.dev-" + std::to_string(major(device)) + "-" + std::to_string(minor(device))
        + ".lock";
}

// The process that holds a flock on the file, from /proc/locks ("1: FLOCK  ADVISORY  WRITE 1234
// fe:00:10952769 0 EOF"); nullopt where it cannot be told.
std::optional<pid_t> flockHolder(const struct stat& file)
{
    std::ifstream locks("/proc/locks");
    std::array<char, 32> id {};
    std::snprintf(id.data(), id.size(), "%02x:%02x:%llu", major(file.st_dev), minor(file.st_dev),
        static_cast<unsigned long long>(file.st_ino));
    // "1: FLOCK  ADVISORY  WRITE 4711 fe:00:123 0 EOF"; a process waiting for the lock has a line of its own
    // with "->" after the number, which is skipped.
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number;
        std::string kind;
        std::string advisory;
        std::string access;
        long process = 0;
        std::string where;
        if (fields >> number >> kind >> advisory >> access >> process >> where && kind == "FLOCK"
            && where == id.data())
            return static_cast<pid_t>(process);
    }
    return std::nullopt;
}

} // namespace

std::optional<DeviceLock::Holder> DeviceLock::holderOf(dev_t device)
{
    const std::string name = lockFileName(device);
    for (const char* folder : kLockFolders) {
        const int file
            = ::open((std::string(folder) + "/" + name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (file < 0)
            continue;
        int locked = 0;
        do
            locked = ::flock(file, LOCK_SH | LOCK_NB);
        while (locked != 0 && errno == EINTR);
        const bool held = locked != 0 && errno == EWOULDBLOCK;
        struct stat status { };
        const bool known = ::fstat(file, &status) == 0;
        ::close(file); // lets go of the shared lock, if it was taken
        if (held)
            return Holder { known ? flockHolder(status) : std::nullopt };
    }
    return std::nullopt;
}

std::optional<DeviceLock> DeviceLock::take(int descriptor)
{
    struct stat status { };
    if (::fstat(descriptor, &status) != 0 || !S_ISCHR(status.st_mode))
        return DeviceLock(-1);
    const std::string name = lockFileName(status.st_rdev);
    for (const char* folder : kLockFolders) {
        // flock needs no write access. The file is never removed: one unlinked while another instance opens
        // it would let two hold the device.
        const int file = ::open((std::string(folder) + "/" + name).c_str(),
            O_RDONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, kLockFileMode);
        if (file < 0)
            continue;
        ::fchmod(file, kLockFileMode); // against a strict umask; fails harmlessly on another user's file
        int locked = 0;
        do
            locked = ::flock(file, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
        if (locked == 0)
            return DeviceLock(file);
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(file);
        if (heldElsewhere)
            return std::nullopt;
    }
    return DeviceLock(-1);
}

DeviceLock::DeviceLock(DeviceLock&& other) noexcept
    : m_file(std::exchange(other.m_file, -1))
{
}

DeviceLock& DeviceLock::operator=(DeviceLock&& other) noexcept
{
    if (this != &other) {
        if (m_file >= 0)
            ::close(m_file);
        m_file = std::exchange(other.m_file, -1);
    }
    return *this;
}

DeviceLock::~DeviceLock()
{
    if (m_file >= 0)
        ::close(m_file); // the only descriptor of its open file: closing it releases the lock
}

} // namespace marlume::platform
