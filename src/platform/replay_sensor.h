#pragma once

#include "common/raw_log_format.h"
#include "platform/built_in_sensor.h"

#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace marlume::platform {

// A raw readings log played back as a sensor: each reading's sentence becomes available at its
// recorded pace (speed times faster), from the first reading on at every opening, and CTS is high
// over the recorded events, so that a monitor on it starts and ends them where the live one did. A
// CTS change waits until the lines before it have been read and the change itself has been seen, so
// that no reading lands on the wrong side of an event's edge. The file is read as it plays, so a log
// of days costs no memory. A file that is no raw log is told through the notice handler and the
// opening fails; a bad line later ends the replay there, and so does the end of the file: the sensor
// then stays silent, as a sensor that has stopped sending.
class ReplaySensor final : public BuiltInSensor {
public:
    // A message for the operator; problem is false for one that tells no fault (the end of the log).
    using Notice = std::function<void(const std::string& message, bool problem)>;

    ReplaySensor(std::string path, double speed, const Clock& clock, Notice notice);

    bool open(const LineSettings& settings) override;
    void close() override;
    std::optional<bool> cts() override;
    std::optional<std::uint32_t> ctsChangeCount() override;

private:
    void advance() override;
    // Reads the line after the last into m_next; the reason when it is no reading line.
    [[nodiscard]] std::optional<std::string> readNext();
    void playNext();
    void tell(const std::string& message, bool problem) const;
    [[nodiscard]] std::string quotedPath() const { return '"' + m_path + '"'; }

    std::string m_path;
    double m_speed;
    Notice m_notice;
    std::ifstream m_file;
    bool m_open = false;
    std::int64_t m_lineNumber = 0;
    std::int64_t m_played = 0;
    std::optional<common::RawLogEntry> m_next; // the reading to send next; none once the replay ends
    std::int64_t m_origin = 0; // recorded milliseconds of the first reading
    std::int64_t m_elapsedMs = 0; // since the opening, on the clock
    std::int32_t m_sentEvent = 0; // the event of the reading sent last
    bool m_cts = false;
    std::uint32_t m_ctsChanges = 0;
    bool m_changeMade = false; // CTS has changed for m_next
    bool m_changeSeen = true; // the last change has been looked at
};

} // namespace marlume::platform
