#include "monitor/monitor.h"

#include "platform/raw_log_reader.h"

#include <algorithm>
#include <utility>

namespace marlume::monitor {

Monitor::Monitor(const MonitorServices& services, const MonitorViews& views, common::Separators separators)
    : m_linkState(services.linkState)
    , m_comPort(services.comPort)
    , m_clock(services.clock)
    , m_stamps(services.clock, services.comPort)
    , m_pump(services.pump)
    , m_ticker(services.ticker)
    , m_dataRecord(m_stamps)
    , m_display(views.link, m_linkState, separators)
    , m_receiveLoop(m_comPort, m_dataRecord, m_stamps, m_display, views.link, m_linkState,
          { [this] { StartEvent(); }, [this] { EndEvent(); }, [this] { return m_events.runningEvent(); } },
          { [this](const record::AcceptedReading& reading) { readingAccepted(reading); },
              [this] { lineRejected(); } })
    , m_search(m_comPort, m_dataRecord, m_display, services.clock, m_pump)
    , m_capture(m_dataRecord, services.captureFiles, views.capture, views.askForCapturePath)
    , m_rawLog(services.rawLogFiles, services.rawLogFlush, views.rawLog, views.askForRawLogPath,
          [this] {
              return common::RawLogMark { m_stamps.now(), m_events.runningEvent(),
                  m_dataRecord.LastHeading() };
          })
    , m_statisticsFile(services.statisticsFiles, views.statistics, views.askForStatisticsPath)
    , m_events(
          m_dataRecord, m_stamps, views.table, m_capture,
          [this](std::string_view status) { m_display.SetStatus(status); }, separators.time)
{
    m_comPort.setOnComm([this] { m_receiveLoop.ComPort_OnComm(); });
    m_comPort.setOnNotice(
        [this](const platform::PortNotice& notice) { notify(&MonitorListener::portNotice, notice); });
    m_ticker.setOnTick([this] { wake(); });
}

// The serial control outlives the monitor: it must not call back into one that has gone.
Monitor::~Monitor()
{
    m_ticker.stop();
    m_comPort.setOnComm({});
    m_comPort.setOnNotice({});
    m_comPort.setOnActivity({});
}

void Monitor::start()
{
    // The port's news is taken in the event loop, never inside whatever opened or read the port.
    m_comPort.setOnActivity([this] {
        if (!m_ended)
            m_ticker.wakeIn(std::chrono::milliseconds(0));
    });
    m_lastTickAt = m_clock.monotonicMilliseconds();
    scheduleNextTick();
}

void Monitor::run()
{
    link::runMainLoop(m_linkState, m_pump, m_search, [this] {
        notify(&MonitorListener::sensorFound,
            FoundSensor { m_stamps.now(), m_comPort.CommPort(), m_comPort.deviceName() });
    });
}

void Monitor::shutDown()
{
    m_rawLog.close(); // what was gathered goes to disk
    if (m_comPort.PortOpen())
        static_cast<void>(m_comPort.setPortOpen(false));
    m_ended = true;
    m_ticker.stop();
    m_pump.requestEnd();
}

void Monitor::wake()
{
    if (m_ended)
        return;
    const bool wasAlive = m_linkState.linkAlive;
    const std::int64_t due = (m_clock.monotonicMilliseconds() - m_lastTickAt) / kTickInterval.count();
    m_comPort.poll();
    if (due > 0) {
        m_lastTickAt += due * kTickInterval.count();
        m_receiveLoop.passQuietTicks(due - 1);
        m_receiveLoop.Timer1_Timer();
    } else {
        m_receiveLoop.drain(); // more within the tick that has already counted
    }
    tellIfLinkLost(wasAlive);
    scheduleNextTick();
}

std::optional<Monitor::Playback> Monitor::playback() const
{
    std::optional<platform::PlaybackProgress> progress = m_comPort.playback();
    if (!progress)
        return std::nullopt;
    const std::optional<platform::RecordedMoment> recorded = m_comPort.recorded();
    return Playback { std::move(*progress), recorded ? std::optional(recorded->time) : std::nullopt };
}

std::optional<std::string> Monitor::reprocess(const std::string& path)
{
    // The window's events and the output files' outcomes are taken between pieces, so that a
    // termination signal ends a long log as it ends any run.
    constexpr std::int64_t kLinesBetweenEvents = 8192;
    platform::RawLogReader log;
    if (std::optional<std::string> problem = log.open(path))
        return problem;
    std::int32_t recordedEvent = 0;
    std::optional<float> shown;
    std::string problem;
    for (std::int64_t lines = 1; !m_ended; ++lines) {
        const common::RawLogEntry* const entry = log.next(problem);
        if (!entry)
            break;
        m_stamps.hold(entry->time);
        if (entry->eventNumber != recordedEvent) {
            if (std::exchange(recordedEvent, entry->eventNumber) != 0)
                EndEvent();
            if (recordedEvent != 0)
                StartEvent();
        }
        if (!entry->isMark()) {
            if (shown)
                m_dataRecord.resumeHeading(*shown);
            if (m_dataRecord.parseString(entry->sentence))
                readingAccepted(record::acceptedReading(m_dataRecord, entry->time, m_events.runningEvent()));
            else
                lineRejected();
        }
        shown = entry->shown;
        if (lines % kLinesBetweenEvents == 0 && !m_pump.processEvents())
            break;
    }
    if (recordedEvent != 0 && problem.empty() && !m_ended)
        EndEvent();
    m_stamps.hold(std::nullopt);
    m_rawLog.flush();
    if (!problem.empty())
        return problem;
    return std::nullopt;
}

void Monitor::scheduleNextTick()
{
    // A port that tells of its news needs a tick only when a watchdog comes due; any other is looked at
    // every tick.
    const std::optional<std::int32_t> ticks
        = m_comPort.wakesOnActivity() ? m_receiveLoop.ticksUntilWatchdog() : std::optional<std::int32_t>(1);
    if (!ticks) {
        m_ticker.stop();
        return;
    }
    const std::int64_t wakeAt = m_lastTickAt + *ticks * kTickInterval.count();
    m_ticker.wakeIn(
        std::chrono::milliseconds(std::max<std::int64_t>(0, wakeAt - m_clock.monotonicMilliseconds())));
}

void Monitor::tellIfLinkLost(bool wasAlive)
{
    if (!wasAlive || m_linkState.linkAlive)
        return;
    m_rawLog.flush();
    m_overRange = false; // the first reading over range once found again starts an excursion of its own
    notify(&MonitorListener::linkLost, m_stamps.now());
}

void Monitor::StartEvent()
{
    m_events.StartEvent();
    const common::LocalDateTime start = m_dataRecord.startTime().value_or(m_stamps.now());
    m_statistics.start(m_lastReading, start);
    m_rawLog.eventChanged({ start, m_events.runningEvent(), m_dataRecord.LastHeading() });
    notify(&MonitorListener::eventStarted, m_dataRecord.SequenceNumber(), start);
}

void Monitor::EndEvent()
{
    m_events.EndEvent();
    const common::LocalDateTime end = m_dataRecord.endTime().value_or(m_stamps.now());
    m_rawLog.eventChanged({ end, 0, m_dataRecord.LastHeading() });
    m_rawLog.flush();
    const common::LocalDateTime start = m_dataRecord.startTime().value_or(end);
    const events::EventStatistics statistics = m_statistics.result(m_dataRecord.SequenceNumber(), start, end);
    m_statisticsFile.eventEnded(statistics);
    notify(&MonitorListener::eventEnded,
        EndedEvent { m_dataRecord.SequenceNumber(), start, end, m_dataRecord.avgTilt(),
            m_dataRecord.avgHeading(), m_dataRecord.avgPitch(), m_dataRecord.avgRoll(), m_dataRecord.avgN(),
            statistics });
}

void Monitor::readingAccepted(const record::AcceptedReading& reading)
{
    // The statistics take what the averages take. A collection begun just before this reading (an event's
    // start, or the search's, which the first event end may end) counts the reading current then and this
    // one.
    if (m_dataRecord.averaging()) {
        if (m_dataRecord.avgN() == 2)
            m_statistics.start(m_lastReading, m_dataRecord.startTime().value_or(reading.time));
        m_statistics.add(reading);
    }
    m_lastReading = reading;
    m_rawLog.readingAccepted(reading);
    notify(&MonitorListener::readingAccepted, reading);
    if (reading.overRange != m_overRange) {
        m_overRange = reading.overRange;
        notify(&MonitorListener::overRangeChanged, reading);
    }
}

void Monitor::lineRejected()
{
    m_rawLog.lineRejected();
    notify(&MonitorListener::lineRejected);
}

} // namespace marlume::monitor
