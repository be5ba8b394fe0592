#include "platform/uart_type.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <string_view>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace marlume::platform {

std::optional<int> sysfsUartType(const std::string& sysfsRoot, const std::string& portName)
{
    std::ifstream file(sysfsRoot + "/" + portName + "/type");
    if (!file)
        return std::nullopt;
    const std::string text { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    std::string_view digits = text;
    if (digits.ends_with('\n'))
        digits.remove_suffix(1);
    int type = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), type);
    if (digits.empty() || error != std::errc {} || end != digits.data() + digits.size() || type < 0)
        return std::nullopt;
    return type;
}

std::optional<int> ioctlUartType(const std::string& devicePath)
{
    // Non-blocking, so that a port without carrier does not hold the scan up. Asked only where sysfs cannot
    // tell, since opening a port raises its modem lines.
    const int fd = ::open(devicePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    serial_struct info {};
    const bool answered = ::ioctl(fd, TIOCGSERIAL, &info) == 0;
    ::close(fd);
    if (!answered)
        return std::nullopt;
    return info.type;
}

} // namespace marlume::platform
