#include "events/event_table.h"

#include "events/event_table_line.h"

#include <algorithm>

namespace marlume::events {

EventTable::EventTable(EventTableView& view, char timeSeparator)
    : m_view(view)
    , m_timeSeparator(timeSeparator)
{
}

void EventTable::eventStarted(const StartedEvent& event)
{
    AppendToLog(startPiece(event, m_timeSeparator));
    m_view.moveToEnd();
}

void EventTable::eventEnded(const EndedEvent& event)
{
    // Piece by piece, so the length rule sees each append as it comes.
    for (const std::string& piece : endPieces(event, m_timeSeparator))
        AppendToLog(piece);
    m_view.moveToEnd();
}

std::int32_t EventTable::AppendToLog(std::string_view text)
{
    if (m_logText.size() + text.size() > kMaxLogLength) {
        m_logText.erase(0, m_logText.size() - std::min(m_logText.size(), kKeptLogLength));
        m_view.replaceText(m_logText);
    }
    m_logText += text;
    m_view.appendText(text);
    return static_cast<std::int32_t>(m_logText.size());
}

} // namespace marlume::events
