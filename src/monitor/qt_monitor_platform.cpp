#include "monitor/qt_monitor_platform.h"

#include "platform/port_map.h"

#include <string>
#include <vector>

namespace marlume::monitor {

QtMonitorPlatform::QtMonitorPlatform(std::optional<std::string> portMap, std::vector<std::string> inputs)
    : m_comPort(std::move(portMap))
    , m_captureFiles(qt::postToEventLoop)
    , m_rawLogFiles(qt::postToEventLoop)
    , m_statisticsFiles(qt::postToEventLoop)
{
    for (const platform::PortEntry& entry : m_comPort.currentPortMap()) {
        if (entry.kind == platform::PortEntry::Kind::Replay)
            inputs.push_back(entry.path);
    }
    m_captureFiles.refuseInputs(inputs);
    m_statisticsFiles.refuseInputs(inputs);
    m_rawLogFiles.refuseInputs(std::move(inputs));
}

MonitorServices QtMonitorPlatform::services()
{
    return { m_linkState, m_comPort.control(), m_clock, m_pump, m_ticker, m_captureFiles, m_rawLogFiles,
        m_rawLogFlush, m_statisticsFiles };
}

} // namespace marlume::monitor
