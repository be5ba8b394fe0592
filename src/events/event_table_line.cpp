#include "events/event_table_line.h"

#include "common/number_text.h"
#include "common/time_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace marlume::events {

namespace {

// The digits of a whole magnitude, with leading zeros up to the given places.
std::string paddedDigits(double magnitude, int places)
{
    std::array<char, 400> buffer {}; // room for the largest double written out in full
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, std::chars_format::fixed, 0);
    std::string digits(buffer.data(), result.ptr);
    if (std::ssize(digits) < places)
        digits.insert(0, static_cast<std::size_t>(places) - digits.size(), '0');
    return digits;
}

} // namespace

std::string sequencePiece(std::int32_t number)
{
    return common::wholeNumberText(number, 3) + " | ";
}

std::string startTimePiece(const common::LocalDateTime& time, char timeSeparator)
{
    return common::timeText(time, timeSeparator) + " |";
}

std::string endTimePiece(const common::LocalDateTime& time, char timeSeparator)
{
    std::string piece = " ";
    piece += common::timeText(time, timeSeparator);
    piece += " | ";
    return piece;
}

std::string averagePiece(float value, int digits)
{
    // Exact halves go away from zero; -0.3 becomes 0 and is shown as zero, without a minus.
    const double whole = std::round(static_cast<double>(value));
    std::string piece(1, whole < 0 ? '-' : ' ');
    piece += paddedDigits(std::abs(whole), digits);
    piece += " | ";
    return piece;
}

std::string countPiece(std::int32_t count)
{
    return common::wholeNumberText(count) + "\r\n";
}

std::string startPiece(const StartedEvent& event, char timeSeparator)
{
    return sequencePiece(event.number) + startTimePiece(event.start, timeSeparator);
}

std::array<std::string, 6> endPieces(const EndedEvent& event, char timeSeparator)
{
    return { endTimePiece(event.end, timeSeparator), averagePiece(event.avgTilt, 2),
        averagePiece(event.avgHeading, 3), averagePiece(event.avgPitch, 2), averagePiece(event.avgRoll, 2),
        countPiece(event.samples) };
}

} // namespace marlume::events
