#pragma once

#include "platform/output_files.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace marlume::files {

// Where an output file stands, in values: every face makes its own words from it.
struct OutputFileStatus {
    enum class State {
        Closed, // none open; path names the last one, if any
        Open, // taking what is written
        CannotCreate, // the file could not be created; none is open
        CannotWrite, // the last write failed; the file stays open unless its header failed
    };
    State state = State::Closed;
    bool open = false;
    std::string path; // where the file stands now: it may have been renamed since it was opened
    std::string reason; // why it failed, in the system's words
    std::int64_t unsaved = 0; // items written since the opening that did not reach the disk

    [[nodiscard]] bool failure() const { return state == State::CannotCreate || state == State::CannotWrite; }
    friend bool operator==(const OutputFileStatus&, const OutputFileStatus&) = default;
};

// Asks for a file's path; false when the operator cancelled. filterIndex is the file type chosen last,
// read and updated.
using AskForPath = std::function<bool(std::string& fileName, std::int16_t& filterIndex)>;

// One output file that the operator opens and closes, as the capture file and the raw log are: asks
// for the path, writes the header, hands each batch to the file output and follows the outcome of
// every sync. A file whose header cannot be written is deleted again; a failed batch is counted and
// the file stays open. Every change of the status is told.
class OutputFileSession final {
public:
    // Writes to the file and ends with one sync.
    using Writer = std::function<void(platform::FileWriter& output, platform::FileNumber file)>;
    using StatusChanged = std::function<void(const OutputFileStatus& status)>;

    // files must be this session's own: it takes their outcome handler.
    OutputFileSession(platform::OutputFiles& files, AskForPath askForPath, StatusChanged statusChanged);
    ~OutputFileSession();
    OutputFileSession(const OutputFileSession&) = delete;
    OutputFileSession& operator=(const OutputFileSession&) = delete;

    // Asks for a path, creates the file and writes its header; false when cancelled or refused.
    bool open(const Writer& writeHeader);
    void close();
    // A batch of items (records, readings) written as one sync; nothing while no file is open.
    void write(std::int64_t items, const Writer& writer);

    [[nodiscard]] bool isOpen() const { return m_file != 0; }
    // The open file's number; 0 while none is open.
    [[nodiscard]] platform::FileNumber file() const { return m_file; }
    [[nodiscard]] const OutputFileStatus& status() const { return m_status; }

private:
    void takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome);
    void tell(OutputFileStatus::State state, std::string path, std::string reason = {});

    platform::OutputFiles& m_files;
    AskForPath m_askForPath;
    StatusChanged m_statusChanged;
    platform::FileNumber m_file = 0;
    std::int16_t m_filterIndex = 0;
    std::deque<std::int64_t> m_pendingItems; // items in each sync whose outcome is still to come
    bool m_headerPending = false; // the first pending sync is the header's
    OutputFileStatus m_status;
};

} // namespace marlume::files
