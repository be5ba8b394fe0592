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
    if (options.rawPath && services.rawFiles && services.rawFlushTicker) {
        m_rawLog.emplace(*services.rawFiles, *services.rawFlushTicker, m_output,
            [path = *options.rawPath](std::string& fileName, std::int16_t&) {
                fileName = path;
                return true;
            });
        m_monitor.addListener(*m_rawLog);
        m_output.setOnRawLogLost([this] {
            m_exitStatus = 2;
            stop();
        });
    }
}

int Logger::run()
{
    if (m_options.capturePath)
        m_monitor.CaptureButton_Click();
    if (m_rawLog && m_exitStatus == 0)
        m_rawLog->RawLogMenu_Click();
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
    if (m_rawLog)
        m_rawLog->flush(); // every reading taken is on its way to disk before the program ends
}

} // namespace marlume::logger
