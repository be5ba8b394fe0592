#include "monitor/qt_monitor_platform.h"

namespace marlume::monitor {

QtMonitorPlatform::QtMonitorPlatform(std::optional<std::string> portMap)
    : m_comPort(std::move(portMap))
    , m_captureFiles(qt::postToEventLoop)
    , m_rawLogFiles(qt::postToEventLoop)
{
}

MonitorServices QtMonitorPlatform::services()
{
    return { m_linkState, m_comPort.control(), m_clock, m_pump, m_ticker, m_captureFiles, m_rawLogFiles,
        m_rawLogFlush };
}

} // namespace marlume::monitor
