#pragma once

#include "platform/port_control.h"
#include "platform/qt_clock.h"

#include <QObject>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

namespace marlume::platform {

// The serial control of the program: ports 1 to 16 lead through the port map to real devices (QSerialPort),
// the simulated sensor or the silent one. The map comes from MARLUME_TILT_PORTS when that is set, even
// empty; otherwise from the serial devices present. CTS changes are looked for every 10 ms and reported
// through OnComm on this thread.
class QtSerialControl final : public QObject {
public:
    static constexpr int kPollMilliseconds = 10;

    explicit QtSerialControl(QObject* parent = nullptr);

    [[nodiscard]] SerialControl& control() { return m_control; }

    // The map a search round uses now.
    [[nodiscard]] PortMap currentPortMap();

private:
    QtClock m_clock;
    PortControl m_control;
    QTimer m_pollTimer;
    std::vector<std::string> m_scannedNodes; // the serial nodes present at the last full scan
    std::optional<PortMap> m_scannedMap;
};

} // namespace marlume::platform
