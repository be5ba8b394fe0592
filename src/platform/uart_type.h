#pragma once

#include <optional>
#include <string>

namespace marlume::platform {

// Where Linux lists its tty devices, one folder per tty.
inline constexpr char kSysfsTtyRoot[] = "/sys/class/tty";

// The UART type the kernel reports for a serial port (0: a placeholder without a UART), read from the
// port's sysfs `type` attribute; nothing when that cannot be read or is not a number.
[[nodiscard]] std::optional<int> sysfsUartType(const std::string& sysfsRoot, const std::string& portName);

// The same type asked of the device itself (TIOCGSERIAL); nothing when the device cannot be opened or
// does not answer.
[[nodiscard]] std::optional<int> ioctlUartType(const std::string& devicePath);

} // namespace marlume::platform
