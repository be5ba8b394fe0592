#include "platform/cts_ordered_buffer.h"

#include <algorithm>

namespace marlume::platform {

void CtsOrderedBuffer::append(std::string_view bytes)
{
    m_bytes += bytes;
}

void CtsOrderedBuffer::appendCts(bool level, std::uint32_t changes)
{
    const std::optional<bool> latest = m_pending.empty() ? m_cts : m_pending.back().level;
    if (changes == 0 && latest == level)
        return; // the level again: nothing to place among the bytes
    if (!m_pending.empty() && m_pending.back().at == appended()) {
        m_pending.back().level = level; // no byte between the two: one change of the line's state
        m_pending.back().changes += changes;
        return;
    }
    m_pending.push_back({ appended(), level, changes });
}

void CtsOrderedBuffer::showDueChange()
{
    if (!m_seen || m_pending.empty() || m_pending.front().at != m_taken)
        return;
    m_cts = m_pending.front().level;
    m_ctsChanges += m_pending.front().changes;
    m_pending.pop_front();
    m_seen = false;
}

std::size_t CtsOrderedBuffer::available()
{
    showDueChange();
    if (!m_seen)
        return 0;
    return m_pending.empty() ? size() : static_cast<std::size_t>(m_pending.front().at - m_taken);
}

std::string CtsOrderedBuffer::take(std::size_t maxCount)
{
    const std::size_t count = std::min(maxCount, available());
    std::string taken = m_bytes.substr(m_front, count);
    m_front += count;
    m_taken += count;
    // Taken from the front one byte at a time: the room is given back once half of it has been read.
    if (m_front > m_bytes.size() / 2) {
        m_bytes.erase(0, m_front);
        m_front = 0;
    }
    return taken;
}

std::optional<bool> CtsOrderedBuffer::cts()
{
    showDueChange();
    m_seen = true;
    return m_cts;
}

std::uint32_t CtsOrderedBuffer::ctsChanges()
{
    showDueChange();
    m_seen = true;
    return m_ctsChanges;
}

} // namespace marlume::platform
