#pragma once

#include "common/raw_log_format.h"
#include "platform/built_in_sensor.h"
#include "platform/raw_log_reader.h"

#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <sys/types.h>

namespace marlume::platform {

// A raw readings log played back as a sensor: each reading's sentence becomes available at its
// recorded pace (speed times faster; a time going back, as at the end of summer time, is no pause),
// from the first line on at every opening, and CTS is high over the recorded events, so that a
// monitor on it starts and ends them where the live one did. A CTS change waits until the lines
// before it have been read and the change itself has been seen, so that no reading lands on the
// wrong side of an event's edge. Each line read and each change made carries its recorded time and
// the heading the live record showed before it (recorded()), so that a monitor stamps and sums as the
// live one did. The file is read as it plays, so a log
// of days costs no memory, and read in bounded pieces that never wait: only a regular file is
// played, and a line longer than RawLogReader::kLongestLine ends the replay. A file that is no raw log is
// told through the notice handler and the opening fails; a bad line later ends the replay there, and so does
// the end of the file: an event still collecting then ends at its last reading, and the sensor stays
// silent, as a sensor that has stopped sending.
class ReplaySensor final : public BuiltInSensor {
public:
    // A message for the operator; problem is false for one that tells no fault (the end of the log).
    using Notice = std::function<void(const std::string& message, bool problem)>;

    // A file as it stood: a refused file is not read again until it has changed.
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified {};
        friend bool operator==(const FileStamp& a, const FileStamp& b)
        {
            return a.device == b.device && a.inode == b.inode && a.size == b.size
                && a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
        }
    };
    // Files refused, by path; kept by whoever makes the sensors anew for every search round.
    using Refusals = std::map<std::string, FileStamp>;

    ReplaySensor(
        std::string path, double speed, const Clock& clock, Notice notice, Refusals* refusals = nullptr);
    ~ReplaySensor() override;
    ReplaySensor(const ReplaySensor&) = delete;
    ReplaySensor& operator=(const ReplaySensor&) = delete;

    bool open(const LineSettings& settings) override;
    void close() override;
    std::optional<bool> cts() override;
    std::optional<std::uint32_t> ctsChangeCount() override;
    [[nodiscard]] std::optional<RecordedMoment> recorded() const override;
    [[nodiscard]] std::optional<PlaybackProgress> playback() const override;

private:
    // A line handed to the reader, and the moment it stands for once it has been read to its end.
    struct PlayedLine {
        std::size_t unread = 0;
        RecordedMoment moment;
    };

    void advance() override;
    std::size_t take(std::size_t count) override;
    // Takes the mark or reading in m_next, once it is due.
    void play(const common::RawLogEntry& entry);
    // Reads the line after the last into m_next; the reason when it is no line of the log.
    [[nodiscard]] std::optional<std::string> readNext();
    bool refuse(const std::string& reason);
    void playNext();
    void tell(const std::string& message, bool problem) const;
    [[nodiscard]] std::string quotedPath() const { return '"' + m_path + '"'; }

    std::string m_path;
    double m_speed;
    Notice m_notice;
    Refusals* m_refusals;
    RawLogReader m_log;
    bool m_open = false;
    std::int64_t m_played = 0;
    std::optional<common::RawLogEntry> m_next; // the reading to send next; none once the replay ends
    std::int64_t m_lastLineMs = 0; // recorded milliseconds of the line played last
    std::int64_t m_dueMs = 0; // when m_next is due, in recorded milliseconds since the first line
    std::int64_t m_elapsedMs = 0; // since the opening, on the clock
    std::optional<float> m_shown; // the heading the record showed after the line played last
    std::deque<PlayedLine> m_handedOver; // lines in m_received
    std::optional<RecordedMoment> m_recorded;
    std::int32_t m_sentEvent = 0; // the event of the reading sent last
    bool m_cts = false;
    std::uint32_t m_ctsChanges = 0;
    bool m_changeMade = false; // CTS has changed for m_next
    bool m_changeSeen = true; // the last change has been looked at
};

} // namespace marlume::platform
