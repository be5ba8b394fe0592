#include "link/port_search.h"

#include <algorithm>

namespace marlume::link {

namespace {

constexpr std::string_view kLineSettings = "19200,N,8,1";

} // namespace

PortSearch::PortSearch(platform::SerialControl& port, record::DataRecordClass& record, StatusLine& status,
    const platform::Clock& clock, platform::EventPump& pump)
    : m_port(port)
    , m_record(record)
    , m_status(status)
    , m_clock(clock)
    , m_pump(pump)
{
}

SearchResult PortSearch::FindPort()
{
    // A failing step does not stop the search: it leaves a failure pending, which passes over the next
    // port number.
    bool failurePending = false;
    const auto note = [&failurePending](bool succeeded) { failurePending = failurePending || !succeeded; };

    m_status.set({ LinkStatus::Kind::Searching });
    note(m_port.setSettings(kLineSettings));
    note(m_port.setPortOpen(true));
    note(m_port.setInputMode(platform::kInputModeText));
    note(m_port.setInputLen(1));

    const auto found = [this] { return m_record.avgN() > kFoundSamples; };
    for (;;) {
        bool anyOpened = false;
        for (std::int16_t n = 1; n <= platform::kPortCount; ++n) {
            m_status.set({ LinkStatus::Kind::Searching, n });
            if (m_port.PortOpen())
                note(m_port.setPortOpen(false));
            note(m_port.setCommPort(n));
            if (failurePending) {
                failurePending = false;
                continue;
            }
            note(m_port.setPortOpen(true));
            if (!failurePending) {
                anyOpened = true;
                m_record.startAvg();
                switch (wait(kWait, found)) {
                case WaitResult::Done:
                    m_status.set({ LinkStatus::Kind::Ready, n });
                    m_record.ResetSequenceNumber();
                    return SearchResult::Found;
                case WaitResult::Ending:
                    return SearchResult::Ending;
                case WaitResult::Elapsed:
                    break;
                }
            }
            failurePending = false;
        }
        if (!anyOpened && wait(kIdleRoundPause, [] { return false; }) == WaitResult::Ending)
            return SearchResult::Ending;
    }
}

PortSearch::WaitResult PortSearch::wait(std::chrono::milliseconds wait, const std::function<bool()>& done)
{
    const std::int64_t until = m_clock.monotonicMilliseconds() + wait.count();
    for (std::int64_t now = m_clock.monotonicMilliseconds(); now < until;
         now = m_clock.monotonicMilliseconds()) {
        // Asleep until an event comes, at the latest when the wait is over.
        if (!m_pump.processEventsFor(std::chrono::milliseconds(until - now)))
            return WaitResult::Ending;
        if (done())
            return WaitResult::Done;
    }
    return WaitResult::Elapsed;
}

void runMainLoop(const LinkState& state, platform::EventPump& pump, PortSearch& search,
    const std::function<void()>& onFound)
{
    while (pump.processEvents()) {
        if (state.linkAlive)
            continue;
        if (search.FindPort() == SearchResult::Ending)
            return;
        if (onFound)
            onFound();
    }
}

} // namespace marlume::link
