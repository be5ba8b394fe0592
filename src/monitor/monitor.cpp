#include "monitor/monitor.h"

#include <algorithm>

namespace marlume::monitor {

Monitor::Monitor(const MonitorServices& services, const MonitorViews& views, Separators separators)
    : m_linkState(services.linkState)
    , m_comPort(services.comPort)
    , m_clock(services.clock)
    , m_pump(services.pump)
    , m_ticker(services.ticker)
    , m_dataRecord(services.clock)
    , m_display(views.link, m_linkState, services.clock, separators.decimal, separators.time)
    , m_receiveLoop(m_comPort, m_dataRecord, m_display, views.link, m_linkState,
          { [this] { StartEvent(); }, [this] { EndEvent(); } },
          { [this] { readingAccepted(); }, [this] { notify(&MonitorListener::lineRejected); } })
    , m_search(m_comPort, m_dataRecord, m_display, services.clock, m_pump)
    , m_capture(m_dataRecord, services.files, views.capture, views.askForPath)
    , m_events(
          m_dataRecord, services.clock, views.table, m_capture,
          [this](std::string_view status) { m_display.SetStatus(status); }, separators.time)
{
    m_comPort.setOnComm([this] { m_receiveLoop.ComPort_OnComm(); });
    m_ticker.setOnTick([this] { wake(); });
}

// The serial control outlives the monitor: it must not call back into one that has gone.
Monitor::~Monitor()
{
    m_ticker.stop();
    m_comPort.setOnComm({});
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
        const platform::LocalDateTime now = m_clock.now();
        for (MonitorListener* listener : m_listeners)
            listener->sensorFound(now);
    });
}

void Monitor::notify(void (MonitorListener::*told)())
{
    for (MonitorListener* listener : m_listeners)
        (listener->*told)();
}

void Monitor::end()
{
    m_ended = true;
    m_ticker.stop();
    m_pump.requestEnd();
}

void Monitor::closePort()
{
    if (m_comPort.PortOpen())
        static_cast<void>(m_comPort.setPortOpen(false));
}

void Monitor::Timer1_Timer()
{
    const bool wasAlive = m_linkState.linkAlive;
    m_comPort.poll();
    m_receiveLoop.Timer1_Timer();
    tellIfLinkLost(wasAlive);
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
    m_ticker.wakeIn(std::chrono::milliseconds(std::max<std::int64_t>(0, wakeAt - m_clock.monotonicMilliseconds())));
}

void Monitor::tellIfLinkLost(bool wasAlive)
{
    if (!wasAlive || m_linkState.linkAlive)
        return;
    const platform::LocalDateTime now = m_clock.now();
    for (MonitorListener* listener : m_listeners)
        listener->linkLost(now);
}

void Monitor::StartEvent()
{
    m_events.StartEvent();
    m_eventRunning = true;
    const auto start = m_dataRecord.startTime().value_or(m_clock.now());
    for (MonitorListener* listener : m_listeners)
        listener->eventStarted(m_dataRecord.SequenceNumber(), start);
}

void Monitor::EndEvent()
{
    m_events.EndEvent();
    m_eventRunning = false;
    const platform::LocalDateTime end = m_dataRecord.endTime().value_or(m_clock.now());
    const EndedEvent ended { m_dataRecord.SequenceNumber(), m_dataRecord.startTime().value_or(end), end,
        m_dataRecord.avgTilt(), m_dataRecord.avgHeading(), m_dataRecord.avgPitch(), m_dataRecord.avgRoll(),
        m_dataRecord.avgN() };
    for (MonitorListener* listener : m_listeners)
        listener->eventEnded(ended);
}

void Monitor::readingAccepted()
{
    const AcceptedReading reading { m_clock.now(), m_dataRecord.LastHeading(), m_dataRecord.LastPitch(),
        m_dataRecord.LastRoll(), m_dataRecord.LastTilt(), m_eventRunning,
        m_eventRunning ? m_dataRecord.SequenceNumber() : 0, m_dataRecord.SentHeading() };
    for (MonitorListener* listener : m_listeners)
        listener->readingAccepted(reading);
}

} // namespace marlume::monitor
