#include "monitor/monitor.h"

#include "platform/raw_log_reader.h"

#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace marlume::monitor {

Monitor::Monitor(const MonitorServices& services, const MonitorViews& views)
    : m_linkState(services.linkState)
    , m_comPort(services.comPort)
    , m_clock(services.clock)
    , m_stamps(services.clock, services.comPort)
    , m_pump(services.pump)
    , m_ticker(services.ticker)
    , m_dataRecord(m_stamps)
    , m_status(*this, m_linkState)
    , m_receiveLoop(m_comPort, m_dataRecord, m_stamps, *this, m_linkState,
          { [this] { trigger(m_triggerSources.ctsChanged(true)); },
              [this] { trigger(m_triggerSources.ctsChanged(false)); },
              [this] { return m_events.runningEvent(); } },
          { [this](const record::AcceptedReading& reading) { readingAccepted(reading); },
              [this] { lineRejected(); } })
    , m_search(m_comPort, m_dataRecord, m_status, services.clock, m_pump)
    , m_capture(m_dataRecord, services.captureFiles, views.capture, views.askForCapturePath)
    , m_rawLog(services.rawLogFiles, services.rawLogFlush, views.rawLog, views.askForRawLogPath,
          [this] {
              return common::RawLogMark { m_stamps.now(), m_events.runningEvent(),
                  m_dataRecord.LastHeading() };
          })
    , m_statisticsFile(services.statisticsFiles, views.statistics, views.askForStatisticsPath)
    , m_events(m_dataRecord, m_capture)
{
    // The statistics take what the averages take, from the reading current at their start.
    m_dataRecord.setOnAverageStarted(
        [this] { m_statistics.start(m_lastReading, *m_dataRecord.startTime()); });
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
        m_heardAt = m_clock.monotonicMilliseconds();
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
    tellIfSilent();
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

Monitor::ReprocessOutcome Monitor::reprocess(const std::string& path, const ReprocessNote& note)
{
    constexpr std::int64_t kLinesBetweenEvents = 8192;
    const auto tell = [&note](const std::optional<std::string>& text) {
        if (text && note)
            note(*text);
    };
    platform::RawLogReader log;
    if (std::optional<std::string> problem = log.open(path))
        return { ReprocessOutcome::End::Failed, 0, 0, std::move(*problem) };
    std::int32_t recordedEvent = 0;
    std::int64_t eventsBeforeReadings = 0;
    std::optional<float> shown;
    std::string problem;
    bool logEnded = false;
    for (std::int64_t lines = 1; !m_ended; ++lines) {
        const common::RawLogEntry* const entry = log.next(problem);
        if (!entry) {
            logEnded = true;
            break;
        }
        tell(log.timeGoneBack());
        m_stamps.hold(entry->time);
        const common::EventEdges edges = common::eventEdges(recordedEvent, entry->eventNumber);
        recordedEvent = entry->eventNumber;
        if (!m_lastReading) {
            eventsBeforeReadings += edges.starts ? 1 : 0;
        } else {
            if (edges.ends)
                trigger(m_triggerSources.ctsChanged(false));
            if (edges.starts)
                trigger(m_triggerSources.ctsChanged(true));
        }
        if (!entry->isMark())
            m_receiveLoop.takeSentence(entry->sentence, shown);
        shown = entry->shown;
        if (lines % kLinesBetweenEvents == 0 && !m_pump.processWaitingEvents())
            break;
    }
    ReprocessOutcome outcome { ReprocessOutcome::End::LogEnd, log.lineNumber(), log.lineNumber(), problem };
    if (!problem.empty()) {
        outcome.end = ReprocessOutcome::End::Failed;
    } else if (!logEnded) {
        outcome.end = ReprocessOutcome::End::Stopped;
        const double fraction = log.fractionRead();
        outcome.aboutLines = fraction > 0 ? std::llround(static_cast<double>(outcome.line) / fraction) : 0;
    } else {
        tell(log.cutOffLine());
        if (recordedEvent != 0 && m_lastReading)
            trigger(m_triggerSources.ctsChanged(false));
    }
    if (eventsBeforeReadings > 0)
        tell(common::countText(eventsBeforeReadings, "event", "events")
            + " before the log's first reading left out: no reading to average");
    m_stamps.hold(std::nullopt);
    m_rawLog.flush();
    return outcome;
}

void Monitor::scheduleNextTick()
{
    // A port that tells of its news needs a tick only when a watchdog comes due; any other is looked at
    // every tick.
    const std::optional<std::int32_t> ticks
        = m_comPort.wakesOnActivity() ? m_receiveLoop.ticksUntilWatchdog() : std::optional<std::int32_t>(1);
    std::optional<std::int64_t> wakeAt;
    if (ticks)
        wakeAt = m_lastTickAt + *ticks * kTickInterval.count();
    // A silence is told when it passes the limit, not at a tick of its own.
    if (m_heardAt && !m_silent && m_linkState.linkAlive) {
        const std::int64_t silentAt = *m_heardAt + m_silenceLimit.count() + 1;
        wakeAt = wakeAt ? std::min(*wakeAt, silentAt) : silentAt;
    }
    if (!wakeAt) {
        m_ticker.stop();
        return;
    }
    m_ticker.wakeIn(
        std::chrono::milliseconds(std::max<std::int64_t>(0, *wakeAt - m_clock.monotonicMilliseconds())));
}

void Monitor::tellIfLinkLost(bool wasAlive)
{
    if (!wasAlive || m_linkState.linkAlive)
        return;
    m_rawLog.flush();
    m_triggerSources.forgetCts();
    m_heardAt.reset();
    m_silent = false;
    m_overRange = false; // the first reading over range once found again starts an excursion of its own
    notify(&MonitorListener::linkLost, m_stamps.now());
}

void Monitor::tellIfSilent()
{
    if (m_silent || !m_heardAt || !m_linkState.linkAlive
        || m_clock.monotonicMilliseconds() - *m_heardAt <= m_silenceLimit.count())
        return;
    m_silent = true;
    notify(&MonitorListener::sensorSilent, Silence { m_comPort.CommPort(), m_silenceLimit });
}

void Monitor::ResetSeqButton_Click()
{
    if (m_events.runningEvent() != 0)
        m_resetPending = true;
    else
        m_events.ResetSeqButton_Click();
}

void Monitor::trigger(events::TriggerSources::Edge edge)
{
    switch (edge) {
    case events::TriggerSources::Edge::None:
        break;
    case events::TriggerSources::Edge::Start:
        StartEvent();
        break;
    case events::TriggerSources::Edge::End:
        // Nothing collects: the last averages are never written again.
        if (m_dataRecord.averaging())
            EndEvent();
        break;
    }
}

void Monitor::linkStatusChanged(const link::LinkStatus& status)
{
    notify(&MonitorListener::linkStatusChanged, status);
}

void Monitor::dataIndicatorChanged(bool receiving)
{
    notify(&MonitorListener::dataIndicatorChanged, receiving);
}

// Every time of an event is the record's own, read once: the table, the capture file, the raw log and
// every report show the same.
void Monitor::StartEvent()
{
    const events::StartedEvent started = m_events.StartEvent();
    m_status.set({ link::LinkStatus::Kind::Integrating, m_comPort.CommPort(), started.number });
    m_rawLog.eventChanged({ started.start, started.number, m_dataRecord.LastHeading() });
    notify(&MonitorListener::eventStarted, started.number, started.start);
}

void Monitor::EndEvent()
{
    EndedEvent ended = m_events.EndEvent();
    m_status.set({ link::LinkStatus::Kind::Ready, m_comPort.CommPort() });
    m_rawLog.eventChanged({ ended.end, 0, m_dataRecord.LastHeading() });
    m_rawLog.flush();
    ended.statistics = m_statistics.result(ended.number, ended.start, ended.end);
    m_statisticsFile.eventEnded(ended.statistics);
    notify(&MonitorListener::eventEnded, ended);
    if (std::exchange(m_resetPending, false))
        m_events.ResetSeqButton_Click();
}

void Monitor::readingAccepted(const record::AcceptedReading& reading)
{
    if (m_dataRecord.averaging())
        m_statistics.add(reading);
    m_lastReading = reading;
    if (m_heardAt) {
        const std::int64_t now = m_clock.monotonicMilliseconds();
        if (std::exchange(m_silent, false))
            notify(&MonitorListener::dataAgain,
                Silence { m_comPort.CommPort(), std::chrono::milliseconds(now - *m_heardAt) });
        m_heardAt = now;
    }
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
