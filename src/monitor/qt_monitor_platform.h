#pragma once

#include "monitor/monitor.h"
#include "platform/local_output_files.h"
#include "platform/system_clock.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_serial_control.h"
#include "qt/qt_ticker.h"

#include <optional>
#include <string>
#include <vector>

namespace marlume::monitor {

// What both programs run their monitor on: the serial ports of the port map, the system clock, Qt's
// event loop and timers, and a file output of its own for each kind of output file, whose outcomes
// come back through the event loop. It outlives the face that owns the monitor.
class QtMonitorPlatform final {
public:
    // portMap as in MARLUME_TILT_PORTS; without one, that variable or the real serial ports. Neither
    // output file may be a recording the port map replays or one of inputs (a log reprocessed).
    explicit QtMonitorPlatform(
        std::optional<std::string> portMap = std::nullopt, std::vector<std::string> inputs = {});

    [[nodiscard]] MonitorServices services();
    [[nodiscard]] qt::QtSerialControl& serial() { return m_comPort; }

private:
    link::LinkState m_linkState; // linkAlive starts false: the search begins once the face is up
    qt::QtEventPump m_pump;
    platform::SystemClock m_clock;
    qt::QtSerialControl m_comPort;
    qt::QtTicker m_ticker;
    qt::QtTicker m_rawLogFlush;
    platform::LocalOutputFiles m_captureFiles;
    platform::LocalOutputFiles m_rawLogFiles;
    platform::LocalOutputFiles m_statisticsFiles;
};

} // namespace marlume::monitor
