#pragma once

#include "link/link_state.h"
#include "link/link_status.h"
#include "platform/clock.h"
#include "platform/serial_control.h"
#include "record/accepted_reading.h"
#include "record/data_record_class.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace marlume::link {

// What a CTS change starts and ends, and the number of the event running (0 while none runs).
struct EventProcedures {
    std::function<void()> StartEvent;
    std::function<void()> EndEvent;
    std::function<std::int32_t()> runningEvent;
};

// Who is told of each complete line.
struct SentenceListeners {
    std::function<void(const record::AcceptedReading&)> accepted;
    std::function<void()> rejected; // not a reading, or longer than any sentence
};

// The receive loop: every 10 ms tick drains the serial control, hands each line to the record and keeps
// the two watchdogs; CTS changes start and end trigger events unless a search is on.
class ReceiveLoop final {
public:
    static constexpr std::int32_t kNoDataTicks = 10; // more than this turns the indicator neutral
    static constexpr std::int32_t kErrorTicks = 10; // this many failing ticks in a row end the link
    // A longer line is no sentence: it is dropped up to its line feed.
    static constexpr std::size_t kSentenceBufferLimit = 4096;

    ReceiveLoop(platform::SerialControl& port, record::DataRecordClass& record, const platform::Clock& clock,
        LinkObserver& observer, LinkState& state, EventProcedures events,
        SentenceListeners sentenceListeners = {});

    // One tick: it counts, then drains the port.
    void Timer1_Timer();
    void ComPort_OnComm();

    // Ticks that passed with nothing to wake the loop: they keep the watchdogs as their ticks would have.
    void passQuietTicks(std::int64_t count);
    // Takes what is waiting within the tick that has already counted.
    void drain();
    // One complete line, wherever it came from (the port, or a log reprocessed): the record parses it,
    // from the heading a recorded record showed before it when one is given, and an accepted reading is
    // told, stamped once with the clock's time.
    void takeSentence(std::string_view sentence, std::optional<float> shownBefore);
    // In how many ticks from the last a watchdog would act if nothing came meanwhile (the indicator
    // turning neutral, the link being declared dead); nullopt when none would.
    [[nodiscard]] std::optional<std::int32_t> ticksUntilWatchdog() const;

private:
    void forgetEarlierOpening();
    void takeCharacter(char character);
    void failTick();
    void setDataIndicator(bool green);

    platform::SerialControl& m_port;
    record::DataRecordClass& m_record;
    const platform::Clock& m_clock;
    LinkObserver& m_observer;
    LinkState& m_state;
    EventProcedures m_events;
    SentenceListeners m_sentenceListeners;
    std::uint32_t m_openCount; // the port's openings when the buffer was last emptied
};

} // namespace marlume::link
