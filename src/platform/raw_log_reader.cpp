#include "platform/raw_log_reader.h"

#include "common/time_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {

namespace {

// Big enough that a day of readings takes a few thousand reads, small enough to stay in the cache.
constexpr std::size_t kPieceSize = 64 * 1024;

std::string_view withoutLineEnd(std::string_view line)
{
    line.remove_suffix(2); // CR LF
    return line;
}

// "2026-10-25 02:59:59.990"
std::string recordedTimeText(const common::LocalDateTime& time)
{
    std::string text = common::isoDateTimeText(time, true);
    text[10] = ' ';
    return text;
}

std::string tooLong()
{
    return "is longer than " + std::to_string(RawLogReader::kLongestLine) + " characters";
}

} // namespace

RawLogReader::~RawLogReader()
{
    close();
}

std::optional<std::string> RawLogReader::open(const std::string& path)
{
    close();
    // Never waiting: a FIFO without a writer opens at once, and is then refused.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return std::string(std::strerror(errno));
    struct stat own { };
    if (::fstat(m_fd, &own) != 0 || !S_ISREG(own.st_mode))
        return "not a regular file";
    m_size = own.st_size;
    std::string problem;
    const std::optional<std::string_view> header = readLine(problem);
    const std::optional<common::RawLogLayout> layout = header ? common::rawLogLayout(*header) : std::nullopt;
    if (!layout)
        return "it is no raw readings log (its first line is not \""
            + std::string(withoutLineEnd(common::kRawLogHeader)) + "\")";
    m_layout = *layout;
    m_lineNumber = 1;
    return std::nullopt;
}

void RawLogReader::close()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    m_atEnd = false;
    m_buffer.clear();
    m_start = 0;
    m_lineNumber = 0;
    m_cutOffLine = 0;
    m_timeBefore.reset();
    m_wentBackFrom.reset();
    m_size = 0;
    m_readBefore = 0;
}

double RawLogReader::fractionRead() const
{
    if (m_size <= 0)
        return 1;
    return std::min(1.0,
        static_cast<double>(m_readBefore + static_cast<std::int64_t>(m_start)) / static_cast<double>(m_size));
}

const common::RawLogEntry* RawLogReader::next(std::string& problem)
{
    const std::optional<std::string_view> line = readLine(problem);
    if (!line && problem.empty())
        return nullptr;
    ++m_lineNumber;
    if (line && m_atEnd && m_start == m_buffer.size() && !m_buffer.ends_with('\n')) {
        m_cutOffLine = m_lineNumber;
        return nullptr;
    }
    if (line && common::parseRawLogLine(*line, m_layout, m_entry, problem)) {
        const std::int64_t time = common::localMilliseconds(m_entry.time);
        m_wentBackFrom.reset();
        if (m_timeBefore && time < *m_timeBefore)
            m_wentBackFrom = common::localDateTime(*m_timeBefore);
        m_timeBefore = time;
        return &m_entry;
    }
    problem = "line " + std::to_string(m_lineNumber) + " " + problem;
    return nullptr;
}

std::optional<std::string> RawLogReader::cutOffLine() const
{
    if (m_cutOffLine == 0)
        return std::nullopt;
    return "line " + std::to_string(m_cutOffLine) + " ends without a line end: skipped";
}

std::optional<std::string> RawLogReader::timeGoneBack() const
{
    if (!m_wentBackFrom)
        return std::nullopt;
    return "line " + std::to_string(m_lineNumber) + " goes back in time, from "
        + recordedTimeText(*m_wentBackFrom) + " to " + recordedTimeText(m_entry.time);
}

std::optional<std::string_view> RawLogReader::readLine(std::string& problem)
{
    for (;;) {
        const std::size_t end = m_buffer.find('\n', m_start);
        if (end != std::string::npos || m_atEnd) {
            std::string_view line(m_buffer);
            line = line.substr(m_start, end == std::string::npos ? std::string::npos : end - m_start);
            m_start = end == std::string::npos ? m_buffer.size() : end + 1;
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (line.size() > kLongestLine) {
                problem = tooLong();
                return std::nullopt;
            }
            return end == std::string::npos && line.empty() ? std::nullopt : std::optional(line);
        }
        if (m_buffer.size() - m_start > kLongestLine + 1) {
            problem = tooLong();
            return std::nullopt;
        }
        if (!fill(problem))
            return std::nullopt;
    }
}

bool RawLogReader::fill(std::string& problem)
{
    if (m_fd < 0) {
        m_atEnd = true;
        return true;
    }
    m_buffer.erase(0, m_start); // what is left of a line cut off by the last piece
    m_readBefore += static_cast<std::int64_t>(m_start);
    m_start = 0;
    const std::size_t kept = m_buffer.size();
    m_buffer.resize(kept + kPieceSize);
    for (;;) {
        const ssize_t count = ::read(m_fd, m_buffer.data() + kept, kPieceSize);
        if (count < 0 && errno == EINTR)
            continue;
        m_buffer.resize(kept + static_cast<std::size_t>(count > 0 ? count : 0));
        if (count < 0) {
            problem = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        m_atEnd = count == 0;
        return true;
    }
}

} // namespace marlume::platform
