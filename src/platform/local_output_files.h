#pragma once

#include "platform/ordered_task_thread.h"
#include "platform/output_files.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace marlume::platform {

// Output files (capture files, raw logs) on the local file system, written and synced on a thread
// of their own so that a slow disk never holds up the user-interface thread: writes go out in
// order and their outcomes come back to the user-interface thread. What is written while the disk
// is busy waits, and goes out as one write and one sync, so the lag never grows beyond one sync.
//
// Only regular files are taken, and only while no other instance holds them (an advisory
// lock); a file this program is still closing is taken by the writer after its queued records,
// so that creating it again never waits for the disk. A record is written whole or not at all:
// a write that fails cuts the file back to where it ended before that write, so a full disk
// never leaves half a line behind.
// Destruction waits for every queued record, then closes the files.
class LocalOutputFiles final : public OutputFiles {
public:
    // Hands a task to the user-interface thread; called on the writer thread.
    using PostToUi = std::function<void(std::function<void()> task)>;
    // Puts a file's data on disk, as fdatasync does.
    using SyncFile = std::function<int(int descriptor)>;

    explicit LocalOutputFiles(PostToUi postToUi, SyncFile syncFile = {});
    ~LocalOutputFiles() override;
    LocalOutputFiles(const LocalOutputFiles&) = delete;
    LocalOutputFiles& operator=(const LocalOutputFiles&) = delete;

    [[nodiscard]] FileNumber freeFileNumber() const override;
    [[nodiscard]] bool open(FileNumber file, const std::string& path) override;
    void close(FileNumber file) override;
    void discard(FileNumber file) override;
    // Queued: the text goes out with the next sync (or at closing), and its outcome with that sync.
    bool write(FileNumber file, std::string_view text) override;
    bool sync(FileNumber file) override;
    [[nodiscard]] std::string lastError() const override { return m_lastError; }

    // Files this run reads (the recordings it replays): an output that is one of them, by whatever
    // path, is refused before anything is emptied.
    void refuseInputs(std::vector<std::string> paths) { m_inputs = std::move(paths); }

    // Blocks until everything queued so far has been written and synced, or has failed.
    void waitUntilWritten();

private:
    struct Descriptor; // touched only by the writer thread once the file is open

    [[nodiscard]] std::shared_ptr<Descriptor> find(FileNumber file) const;
    // Whether the writer thread is still to close this file for an earlier opening.
    [[nodiscard]] bool closingNow(const struct stat& file) const;
    [[nodiscard]] bool isInput(const struct stat& file) const;
    void rememberClosing(const std::shared_ptr<Descriptor>& descriptor);
    // Syncs once for as many syncs as were asked for, and tells the outcome once for each.
    void syncAndReport(FileNumber file, const std::shared_ptr<Descriptor>& descriptor, int syncs);

    PostToUi m_postToUi;
    SyncFile m_syncFile;
    std::map<FileNumber, std::shared_ptr<Descriptor>> m_files;
    std::vector<std::shared_ptr<Descriptor>> m_closing; // closed here, not yet by the writer thread
    std::vector<std::string> m_inputs;
    std::string m_lastError;
    std::uint64_t m_openings = 0;
    std::shared_ptr<bool> m_alive; // outcomes posted after destruction find it gone
    OrderedTaskThread m_writer; // last: destroyed first, so queued records are done while the rest exists
};

} // namespace marlume::platform
