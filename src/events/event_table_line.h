#pragma once

#include "events/ended_event.h"
#include "platform/clock.h"

#include <array>

#include <cstdint>
#include <string>

namespace marlume::events {

// The pieces of one event-table line, whose bars stand under the bars of the column
// heads "Seq#|Start Time| End Time |Tilt | Head |Pitch|Roll | N". Numbers are rounded
// to whole numbers, an exact half away from zero, and padded with leading zeros.

// "007 | ": the event number, at least three digits.
[[nodiscard]] std::string sequencePiece(std::int32_t number);
// "14:02:11 |": the start time, with the given time separator.
[[nodiscard]] std::string startTimePiece(const common::LocalDateTime& time, char timeSeparator = ':');
// " 14:02:41 | ": the end time.
[[nodiscard]] std::string endTimePiece(const common::LocalDateTime& time, char timeSeparator = ':');
// " 02 | " or "-01 | ": an average with at least the given digits; a minus takes the
// place of the leading blank, and a value that rounds to zero shows no minus.
[[nodiscard]] std::string averagePiece(float value, int digits);
// "3\r\n": the sample count, ending the line.
[[nodiscard]] std::string countPiece(std::int32_t count);

// "007 | 14:02:11 |": what an event's start writes.
[[nodiscard]] std::string startPiece(const StartedEvent& event, char timeSeparator = ':');
// What its end writes, piece by piece: the end time, the four averages and the sample count.
[[nodiscard]] std::array<std::string, 6> endPieces(const EndedEvent& event, char timeSeparator = ':');

} // namespace marlume::events
