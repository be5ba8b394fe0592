#pragma once

#include "events/ended_event.h"
#include "events/event_table_view.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace marlume::events {

// The event table: one fixed-column line per event, its first two columns written at the start and the
// rest at the end. A start and an end never check one another; each writes whenever it comes.
class EventTable final {
public:
    // The table holds at most this many characters after an append ...
    static constexpr std::size_t kMaxLogLength = 65'500;
    // ... and keeps this many of its last characters when an append would pass that.
    static constexpr std::size_t kKeptLogLength = 40'000;

    explicit EventTable(EventTableView& view, char timeSeparator = ':');

    void eventStarted(const StartedEvent& event);
    void eventEnded(const EndedEvent& event);

    // Appends to the table and returns its new length in characters.
    std::int32_t AppendToLog(std::string_view text);
    [[nodiscard]] const std::string& logText() const { return m_logText; }

private:
    EventTableView& m_view;
    char m_timeSeparator;
    std::string m_logText;
};

} // namespace marlume::events
