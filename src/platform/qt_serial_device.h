#pragma once

#include "platform/serial_device.h"

#include <QSerialPort>
#include <QString>

namespace marlume::platform {

// A real serial device through QSerialPort, opened read-only (nothing is ever sent), without flow
// control: CTS is an input that the program watches.
class QtSerialDevice final : public SerialDevice {
public:
    explicit QtSerialDevice(const QString& path);

    bool open(const LineSettings& settings) override;
    void close() override;
    std::optional<std::size_t> available() override;
    std::optional<std::string> read(std::size_t maxCount) override;
    std::optional<bool> cts() override;

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_gone = false;
    bool m_hasModemLines = true;
    bool m_queryingModemLines = false;
    bool m_readStalled = false;
};

} // namespace marlume::platform
