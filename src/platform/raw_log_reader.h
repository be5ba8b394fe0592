#pragma once

#include "common/raw_log_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::platform {

// A raw readings log read line by line in bounded pieces that never wait: only a regular file is read
// (a FIFO or a device is refused), and a line longer than kLongestLine is a fault, so that no file can
// make a reader wait or fill its memory.
class RawLogReader final {
public:
    static constexpr std::size_t kLongestLine = 4096;

    RawLogReader() = default;
    ~RawLogReader();
    RawLogReader(const RawLogReader&) = delete;
    RawLogReader& operator=(const RawLogReader&) = delete;

    // Opens the file and reads its header; the reason when it cannot be read or is no raw readings log.
    [[nodiscard]] std::optional<std::string> open(const std::string& path);
    void close();
    // The file's descriptor while open, -1 otherwise.
    [[nodiscard]] int descriptor() const { return m_fd; }

    // The next line, valid until the next call; nullptr at the end of the file, or with problem set
    // ("line 5 has 3 fields, not 7") when the line is bad or cannot be read. A last line without its line
    // end, as a write cut off by a power cut leaves it, is no line: the file ends before it.
    [[nodiscard]] const common::RawLogEntry* next(std::string& problem);
    // Once the end is reached, what was skipped of a last line without line end ("line 9 ends without
    // a line end: skipped"); nullopt when the file ended with a whole line.
    [[nodiscard]] std::optional<std::string> cutOffLine() const;
    // "line 12 goes back in time, from 2026-10-25 02:59:59.990 to 2026-10-25 02:00:00.000" when the line
    // returned last is earlier than the one before it, as at the end of summer time; nullopt otherwise.
    [[nodiscard]] std::optional<std::string> timeGoneBack() const;
    // The number of the line returned last, the header being line 1.
    [[nodiscard]] std::int64_t lineNumber() const { return m_lineNumber; }
    // How much of the file the lines returned so far take, 0 to 1.
    [[nodiscard]] double fractionRead() const;

private:
    // The next line without its line end; nullopt at the end of the file, or with problem set.
    [[nodiscard]] std::optional<std::string_view> readLine(std::string& problem);
    [[nodiscard]] bool fill(std::string& problem);

    int m_fd = -1;
    bool m_atEnd = false;
    std::string m_buffer;
    std::size_t m_start = 0; // where the unread part of m_buffer begins
    std::int64_t m_size = 0; // of the file when it was opened
    std::int64_t m_readBefore = 0; // bytes of the file before those in m_buffer
    common::RawLogLayout m_layout = common::RawLogLayout::WithMarks;
    std::int64_t m_lineNumber = 0;
    std::int64_t m_cutOffLine = 0; // the number of a last line without line end; 0 for none
    common::RawLogEntry m_entry;
    std::optional<std::int64_t> m_timeBefore; // local milliseconds of the line before m_entry
    std::optional<common::LocalDateTime> m_wentBackFrom;
};

} // namespace marlume::platform
