#pragma once

#include "platform/cts_watcher.h"
#include "platform/device_lock.h"
#include "platform/serial_device.h"

#include <QSerialPort>
#include <QString>

namespace marlume::qt {

// A real serial device through QSerialPort, opened read-only (nothing is ever sent), without flow
// control: CTS is an input that the program watches. A device another instance holds, by whatever path,
// does not open.
class QtSerialDevice final : public platform::SerialDevice {
public:
    explicit QtSerialDevice(const QString& path);

    bool open(const platform::LineSettings& settings) override;
    void close() override;
    std::optional<std::size_t> available() override;
    std::optional<std::string> read(std::size_t maxCount) override;
    std::optional<bool> cts() override;
    std::optional<std::uint32_t> ctsChangeCount() override;
    // Bytes arriving, errors and CTS changes wake the owner: no look every tick is needed.
    bool notifyActivity(std::function<void()> wake) override;

private:
    void onError(QSerialPort::SerialPortError error);
    // Switches reading back on once a read that found nothing has been taken in and the buffer is empty.
    void resumeStalledReads();

    void wakeOwner() const;

    QSerialPort m_port;
    std::optional<platform::DeviceLock> m_lock;
    std::function<void()> m_wake;
    std::optional<platform::CtsWatcher> m_ctsWatcher; // while open, on a device with modem lines
    bool m_readStalled = false;
    bool m_gone = false;
    bool m_hasModemLines = true;
    bool m_countsCtsChanges = true;
    bool m_queryingModemLines = false;
};

} // namespace marlume::qt
