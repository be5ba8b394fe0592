#include "link/port_search.h"

#include "common/status_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

namespace marlume::link {

namespace {

constexpr float kDaySeconds = 86400.0F;
constexpr std::string_view kLineSettings = "19200,N,8,1";

} // namespace

PortSearch::PortSearch(platform::SerialControl& port, record::DataRecordClass& record, LiveDisplay& display,
    const platform::Clock& clock, platform::EventPump& pump)
    : m_port(port)
    , m_record(record)
    , m_display(display)
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

    m_display.SetStatus(common::kSearchingStatus);
    note(m_port.setSettings(kLineSettings));
    note(m_port.setPortOpen(true));
    note(m_port.setInputMode(platform::kInputModeText));
    note(m_port.setInputLen(1));

    const auto found = [this] { return m_record.avgN() > kFoundSamples; };
    for (;;) {
        bool anyOpened = false;
        for (std::int16_t n = 1; n <= platform::kPortCount; ++n) {
            m_display.SetStatus(
                std::string(common::kSearchingStatus) + std::string(static_cast<std::size_t>(n), '.'));
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
                const float t0 = timeOfDay();
                m_record.startAvg();
                switch (waitFrom(t0, kWaitSeconds, found)) {
                case WaitResult::Done:
                    m_display.SetStatus(common::kReadyStatus);
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
        if (!anyOpened
            && waitFrom(timeOfDay(), kIdleRoundPauseSeconds, [] { return false; }) == WaitResult::Ending)
            return SearchResult::Ending;
    }
}

PortSearch::WaitResult PortSearch::waitFrom(float t0, float seconds, const std::function<bool()>& done)
{
    while (timeOfDay() < t0 + seconds) {
        if (timeOfDay() < t0)
            t0 -= kDaySeconds; // midnight has passed
        // Asleep until an event comes, at the latest when the wait is over.
        const auto left
            = std::chrono::milliseconds(std::max(1L, std::lround((t0 + seconds - timeOfDay()) * 1000.0F)));
        if (!m_pump.processEventsFor(left))
            return WaitResult::Ending;
        if (done())
            return WaitResult::Done;
    }
    return WaitResult::Elapsed;
}

float PortSearch::timeOfDay() const
{
    return static_cast<float>(m_clock.now().secondsSinceMidnight());
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
