#include "link/receive_loop.h"

#include "common/saturating.h"

#include <algorithm>
#include <utility>

namespace marlume::link {

namespace {

constexpr char kLineFeed = '\n';
constexpr unsigned char kLowestKeptCode = 32;

} // namespace

ReceiveLoop::ReceiveLoop(platform::SerialControl& port, record::DataRecordClass& record,
    const platform::Clock& clock, LinkObserver& observer, LinkState& state, EventProcedures events,
    SentenceListeners sentenceListeners)
    : m_port(port)
    , m_record(record)
    , m_clock(clock)
    , m_observer(observer)
    , m_state(state)
    , m_events(std::move(events))
    , m_sentenceListeners(std::move(sentenceListeners))
    , m_openCount(port.openCount())
{
}

void ReceiveLoop::Timer1_Timer()
{
    forgetEarlierOpening();
    m_state.ticksSinceSentence = common::saturatingIncrement(m_state.ticksSinceSentence);
    if (m_state.ticksSinceSentence > kNoDataTicks)
        setDataIndicator(false);
    drain();
}

void ReceiveLoop::passQuietTicks(std::int64_t count)
{
    if (count <= 0)
        return;
    m_state.ticksSinceSentence = common::saturatingAdd(m_state.ticksSinceSentence, count);
    if (m_state.ticksSinceSentence > kNoDataTicks)
        setDataIndicator(false);
    // A port that failed at the last tick failed at these too: nothing has come from it since.
    if (m_state.readErrorCount > 0) {
        m_state.readErrorCount = common::saturatingAdd(m_state.readErrorCount, count);
        if (m_state.readErrorCount >= kErrorTicks)
            m_state.linkAlive = false;
    }
}

std::optional<std::int32_t> ReceiveLoop::ticksUntilWatchdog() const
{
    std::optional<std::int32_t> due;
    const auto sooner = [&due](std::int32_t ticks) { due = due ? std::min(*due, ticks) : ticks; };
    if (m_state.dataIndicatorGreen && m_state.ticksSinceSentence <= kNoDataTicks)
        sooner(kNoDataTicks + 1 - m_state.ticksSinceSentence);
    if (m_state.linkAlive && m_state.readErrorCount > 0 && m_state.readErrorCount < kErrorTicks)
        sooner(kErrorTicks - m_state.readErrorCount);
    return due;
}

void ReceiveLoop::drain()
{
    forgetEarlierOpening();
    for (;;) {
        const auto waiting = m_port.InBufferCount();
        if (!waiting) {
            failTick();
            return;
        }
        if (*waiting <= 0)
            return;
        const auto input = m_port.Input();
        // A control that reports characters and then hands over none has failed.
        if (!input || input->empty()) {
            failTick();
            return;
        }
        for (const char character : *input) {
            takeCharacter(character);
            m_state.readErrorCount = 0;
            m_state.linkAlive = true;
        }
    }
}

void ReceiveLoop::ComPort_OnComm()
{
    if (m_state.searchActive || m_port.CommEvent() != platform::kCommEventCts)
        return;
    const auto& procedure = m_port.CTSHolding() ? m_events.StartEvent : m_events.EndEvent;
    if (procedure)
        procedure();
}

void ReceiveLoop::forgetEarlierOpening()
{
    // Characters are taken only here, so whatever the buffer holds when the port has been opened since came
    // from before: a sentence cut off there must not be glued to the first one of this opening.
    const std::uint32_t openings = m_port.openCount();
    if (openings == m_openCount)
        return;
    m_openCount = openings;
    m_state.sentenceBuffer.clear();
    m_state.skippingToLineEnd = false;
}

void ReceiveLoop::takeCharacter(char character)
{
    if (character == kLineFeed) {
        if (!std::exchange(m_state.skippingToLineEnd, false)) {
            const std::optional<platform::RecordedMoment> recorded = m_port.recorded();
            takeSentence(m_state.sentenceBuffer, recorded ? recorded->shownBefore : std::nullopt);
        } else if (m_sentenceListeners.rejected)
            m_sentenceListeners.rejected();
        m_state.sentenceBuffer.clear();
        return;
    }
    if (static_cast<unsigned char>(character) < kLowestKeptCode || m_state.skippingToLineEnd)
        return;
    if (m_state.sentenceBuffer.size() >= kSentenceBufferLimit) {
        m_state.sentenceBuffer.clear();
        m_state.skippingToLineEnd = true;
        return;
    }
    m_state.sentenceBuffer += character;
}

void ReceiveLoop::takeSentence(std::string_view sentence, std::optional<float> shownBefore)
{
    if (shownBefore)
        m_record.resumeHeading(*shownBefore);
    if (!m_record.parseString(sentence)) {
        if (m_sentenceListeners.rejected)
            m_sentenceListeners.rejected();
        return;
    }
    m_state.ticksSinceSentence = 0;
    // Stamped once: every listener shows the same time.
    const record::AcceptedReading reading = record::acceptedReading(
        m_record, m_clock.now(), m_events.runningEvent ? m_events.runningEvent() : 0);
    setDataIndicator(!m_state.dataIndicatorGreen);
    if (m_sentenceListeners.accepted)
        m_sentenceListeners.accepted(reading);
}

void ReceiveLoop::failTick()
{
    m_state.readErrorCount = common::saturatingIncrement(m_state.readErrorCount);
    if (m_state.readErrorCount >= kErrorTicks)
        m_state.linkAlive = false;
}

void ReceiveLoop::setDataIndicator(bool green)
{
    if (green == m_state.dataIndicatorGreen)
        return;
    m_state.dataIndicatorGreen = green;
    m_observer.dataIndicatorChanged(green);
}

} // namespace marlume::link
