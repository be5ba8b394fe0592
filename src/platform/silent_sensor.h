#pragma once

#include "platform/serial_device.h"

#include <utility>

namespace marlume::platform {

// An adapter with its sensor cable off: it opens and never sends; CTS stays low.
class SilentSensor final : public SerialDevice {
public:
    bool open(const LineSettings&) override { return !std::exchange(m_open, true); }
    void close() override { m_open = false; }
    std::optional<std::size_t> available() override { return 0; }
    std::optional<std::string> read(std::size_t) override { return std::string(); }
    std::optional<bool> cts() override { return false; }

private:
    bool m_open = false;
};

} // namespace marlume::platform
