#include "logger/logger.h"

namespace marlume::logger {

Logger::Logger(const LoggerServices& services, const LoggerOptions& options)
    : m_output(services.out, services.err, services.clock, options.quiet)
    , m_monitor(
          { m_linkState, services.comPort, services.clock, services.pump, services.ticker, services.files },
          { m_output, m_output, m_output,
              [path = options.capturePath.value_or(std::string())](std::string& fileName, std::int16_t&) {
                  fileName = path;
                  return true;
              } })
    , m_options(options)
{
    m_monitor.addListener(m_output);
    m_output.setOnCaptureLost([this] {
        m_exitStatus = 2;
        stop();
    });
}

int Logger::run()
{
    if (m_options.capturePath)
        m_monitor.CaptureButton_Click();
    if (m_exitStatus != 0)
        return m_exitStatus;
    m_monitor.start();
    m_monitor.run();
    return m_exitStatus;
}

void Logger::stop()
{
    m_monitor.closePort();
    m_monitor.end();
}

} // namespace marlume::logger
