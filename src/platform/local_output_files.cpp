#include "platform/local_output_files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {

namespace {

constexpr FileNumber kLastFileNumber = 255;
constexpr std::string_view kNotARegularFile = "not a regular file";
constexpr std::string_view kHeldByAnother = "another instance is saving to it";
constexpr std::string_view kReplayed = "this run replays it";
constexpr std::string_view kGivenTwice = "it is given twice: this run saves another of its outputs to it";

std::string systemMessage(int error)
{
    return std::system_category().message(error);
}

std::optional<off_t> sizeOf(int descriptor)
{
    struct stat status { };
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return status.st_size;
}

// Where the open file stands now, or why it is no longer anywhere.
WriteOutcome whereabouts(int descriptor, const std::string& openedAs)
{
    struct stat own { };
    if (::fstat(descriptor, &own) != 0)
        return { false, systemMessage(errno), openedAs };
    // On Linux writes to a deleted file still succeed, and are lost when it is closed.
    if (own.st_nlink == 0)
        return { false, "the file was deleted", openedAs };
    // A renamed file still takes every record: the descriptor knows its present name.
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    std::array<char, PATH_MAX> target {};
    const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
        return { true, {}, openedAs };
    return { true, {}, std::string(target.data(), static_cast<std::size_t>(length)) };
}

// The files this program holds the lock of, whichever of its outputs took them, so that a file given for
// two outputs is told as such and not as another instance's.
class HeldFiles final {
public:
    static HeldFiles& ofThisProgram()
    {
        static HeldFiles held;
        return held;
    }
    void hold(const struct stat& file)
    {
        const std::lock_guard lock(m_mutex);
        m_files.insert({ file.st_dev, file.st_ino });
    }
    void release(const struct stat& file)
    {
        const std::lock_guard lock(m_mutex);
        m_files.erase({ file.st_dev, file.st_ino });
    }
    [[nodiscard]] bool holds(const struct stat& file)
    {
        const std::lock_guard lock(m_mutex);
        return m_files.contains({ file.st_dev, file.st_ino });
    }

private:
    std::mutex m_mutex;
    std::set<std::pair<dev_t, ino_t>> m_files;
};

} // namespace

struct LocalOutputFiles::Descriptor {
    Descriptor(std::uint64_t openingNumber, int openDescriptor, std::string openedAs, bool madeByThisOpening)
        : opening(openingNumber)
        , fd(openDescriptor)
        , path(std::move(openedAs))
        , created(madeByThisOpening)
    {
    }
    ~Descriptor() { closeNow(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    // Appends the text whole or, failing that, cuts the file back to where it ended before.
    void writeWhole(std::string_view text)
    {
        if (refused)
            return; // another instance's file: nothing of ours goes into it
        // The real end, not one remembered: someone may have emptied the file meanwhile.
        const std::optional<off_t> endBefore = sizeOf(fd);
        for (std::string_view rest = text; !rest.empty();) {
            const ssize_t written = ::write(fd, rest.data(), rest.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                const int error = errno;
                // Only ever shorter: growing the file back would fill it with NULs.
                const std::optional<off_t> endNow = sizeOf(fd);
                if (endBefore && endNow && *endNow > *endBefore) {
                    while (::ftruncate(fd, *endBefore) != 0 && errno == EINTR) { }
                }
                failure = systemMessage(error);
                return;
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    void closeNow()
    {
        // Records are synced as they are written, so a late close error loses nothing; Linux
        // releases the descriptor even then, and a retry could close a file opened meanwhile.
        if (fd >= 0)
            ::close(std::exchange(fd, -1));
        if (std::exchange(held, false))
            HeldFiles::ofThisProgram().release(file);
        closed = true;
    }

    void markHeld()
    {
        held = true;
        HeldFiles::ofThisProgram().hold(file);
    }

    // Takes the file for this opening, emptying one that was there before; a failure is told with the
    // next sync.
    void take()
    {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            refused = true;
            failure = errno == EWOULDBLOCK ? std::string(kHeldByAnother) : systemMessage(errno);
            return;
        }
        markHeld();
        if (!created && ::ftruncate(fd, 0) != 0) {
            refused = true;
            failure = systemMessage(errno);
        }
    }

    [[nodiscard]] bool sameFileAs(const struct stat& other) const
    {
        return file.st_dev == other.st_dev && file.st_ino == other.st_ino;
    }

    // Deletes the file when this opening made it and its name still leads to it.
    void unlinkIfCreated() const
    {
        struct stat own { };
        struct stat named { };
        if (created && ::fstat(fd, &own) == 0 && ::stat(path.c_str(), &named) == 0
            && own.st_dev == named.st_dev && own.st_ino == named.st_ino)
            ::unlink(path.c_str());
    }

    const std::uint64_t opening; // tells this opening from a later one under the same number
    int fd;
    const std::string path;
    const bool created;
    // Written on the user-interface thread, taken by the writer thread: text that waits for the writer
    // goes out with whatever else waits, as one write and one sync, however slow the disk.
    void queueWrite(std::string_view text)
    {
        const std::lock_guard lock(queueMutex);
        unsyncedText += text;
    }
    // True when the writer is to be asked to take the queue; otherwise a request is already waiting.
    bool queueSync()
    {
        const std::lock_guard lock(queueMutex);
        syncedText += std::exchange(unsyncedText, {});
        return ++syncsAsked == 1;
    }
    // The text up to the last sync asked for, and how many syncs it answers.
    std::pair<std::string, int> takeSynced()
    {
        const std::lock_guard lock(queueMutex);
        return { std::exchange(syncedText, {}), std::exchange(syncsAsked, 0) };
    }
    std::string takeUnsynced()
    {
        const std::lock_guard lock(queueMutex);
        return std::exchange(unsyncedText, {});
    }

    struct stat file { }; // as it was opened
    std::mutex queueMutex;
    std::string unsyncedText;
    std::string syncedText;
    int syncsAsked = 0;
    std::string failure; // why a write since the last sync failed, if one did
    bool refused = false; // the file could not be taken for this opening
    bool held = false; // its lock is this opening's
    std::atomic<bool> closed = false; // set by the writer thread once the file is closed
};

LocalOutputFiles::LocalOutputFiles(PostToUi postToUi, SyncFile syncFile)
    : m_postToUi(std::move(postToUi))
    , m_syncFile(syncFile ? std::move(syncFile) : SyncFile(&::fdatasync))
    , m_alive(std::make_shared<bool>(true))
{
}

LocalOutputFiles::~LocalOutputFiles()
{
    m_alive.reset();
    std::vector<FileNumber> open;
    for (const auto& [file, descriptor] : m_files)
        open.push_back(file);
    for (const FileNumber file : open)
        close(file);
}

FileNumber LocalOutputFiles::freeFileNumber() const
{
    for (FileNumber number = 1; number <= kLastFileNumber; ++number) {
        if (!m_files.contains(number))
            return number;
    }
    return 0;
}

bool LocalOutputFiles::open(FileNumber file, const std::string& path)
{
    const auto refuse = [this](std::string reason) {
        m_lastError = std::move(reason);
        return false;
    };
    if (file <= 0 || m_files.contains(file))
        return refuse(systemMessage(EBADF));
    // A FIFO or device would block the writer for good, or never keep a record.
    struct stat named { };
    const bool exists = ::stat(path.c_str(), &named) == 0;
    if (exists && !S_ISREG(named.st_mode))
        return refuse(S_ISDIR(named.st_mode) ? systemMessage(EISDIR) : std::string(kNotARegularFile));
    // Whatever the path: emptying a recording before it is played back would lose it.
    if (exists && isInput(named))
        return refuse(std::string(kReplayed));

    // Non-blocking, so that a FIFO put in its place meanwhile fails instead of hanging; a regular
    // file ignores it. First as a new file, to know whether a failure later may delete it again.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    bool created = true;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), kFlags); // emptied below, once it is known to be ours
    }
    if (fd < 0)
        return refuse(systemMessage(errno));
    auto descriptor = std::make_shared<Descriptor>(++m_openings, fd, path, created);

    if (::fstat(fd, &descriptor->file) != 0)
        return refuse(systemMessage(errno));
    if (!S_ISREG(descriptor->file.st_mode))
        return refuse(std::string(kNotARegularFile));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            return refuse(systemMessage(errno));
        if (!closingNow(descriptor->file))
            return refuse(std::string(
                HeldFiles::ofThisProgram().holds(descriptor->file) ? kGivenTwice : kHeldByAnother));
        // Still held by this program, closing it after the records queued before: the writer takes it
        // after them, so that the user-interface thread never waits for the disk.
        m_writer.post([descriptor] { descriptor->take(); });
    } else {
        descriptor->markHeld();
        if (!created && ::ftruncate(fd, 0) != 0)
            return refuse(systemMessage(errno));
    }
    m_files[file] = std::move(descriptor);
    return true;
}

void LocalOutputFiles::rememberClosing(const std::shared_ptr<Descriptor>& descriptor)
{
    std::erase_if(
        m_closing, [](const std::shared_ptr<Descriptor>& closing) { return closing->closed.load(); });
    m_closing.push_back(descriptor);
}

bool LocalOutputFiles::isInput(const struct stat& file) const
{
    return std::any_of(m_inputs.begin(), m_inputs.end(), [&file](const std::string& input) {
        struct stat read { };
        return ::stat(input.c_str(), &read) == 0 && read.st_dev == file.st_dev && read.st_ino == file.st_ino;
    });
}

bool LocalOutputFiles::closingNow(const struct stat& file) const
{
    return std::any_of(
        m_closing.begin(), m_closing.end(), [&file](const std::shared_ptr<Descriptor>& closing) {
            return !closing->closed && closing->sameFileAs(file);
        });
}

void LocalOutputFiles::close(FileNumber file)
{
    // The writer still holds the descriptor for the records queued before: it closes after them.
    if (auto descriptor = find(file)) {
        m_files.erase(file);
        rememberClosing(descriptor);
        m_writer.post([descriptor = std::move(descriptor)] {
            descriptor->writeWhole(descriptor->takeUnsynced());
            descriptor->closeNow();
        });
    }
}

void LocalOutputFiles::discard(FileNumber file)
{
    if (auto descriptor = find(file)) {
        m_files.erase(file);
        rememberClosing(descriptor);
        m_writer.post([descriptor = std::move(descriptor)] {
            descriptor->unlinkIfCreated();
            descriptor->closeNow();
        });
    }
}

bool LocalOutputFiles::write(FileNumber file, std::string_view text)
{
    const auto descriptor = find(file);
    if (!descriptor)
        return false;
    descriptor->queueWrite(text);
    return true;
}

bool LocalOutputFiles::sync(FileNumber file)
{
    auto descriptor = find(file);
    if (!descriptor)
        return false;
    if (descriptor->queueSync()) {
        m_writer.post([this, file, descriptor = std::move(descriptor)] {
            auto [text, syncs] = descriptor->takeSynced();
            descriptor->writeWhole(text);
            syncAndReport(file, descriptor, syncs);
        });
    }
    return true;
}

void LocalOutputFiles::waitUntilWritten()
{
    m_writer.waitUntilIdle();
}

std::shared_ptr<LocalOutputFiles::Descriptor> LocalOutputFiles::find(FileNumber file) const
{
    const auto found = m_files.find(file);
    return found == m_files.end() ? nullptr : found->second;
}

// On the writer thread.
void LocalOutputFiles::syncAndReport(
    FileNumber file, const std::shared_ptr<Descriptor>& descriptor, int syncs)
{
    int synced = 0;
    do
        synced = m_syncFile(descriptor->fd);
    while (synced != 0 && errno == EINTR);
    // EINVAL: a file system with nothing to put on disk.
    if (synced != 0 && errno != EINVAL && descriptor->failure.empty())
        descriptor->failure = systemMessage(errno);
    WriteOutcome outcome = whereabouts(descriptor->fd, descriptor->path);
    if (!descriptor->failure.empty()) {
        outcome.saved = false;
        outcome.reason = std::exchange(descriptor->failure, {});
    }
    // Only for the opening it belongs to: the file may have been closed, its number used again.
    m_postToUi([this, alive = std::weak_ptr(m_alive), file, opening = descriptor->opening, outcome, syncs] {
        if (!alive.lock())
            return;
        for (int sync = 0; sync < syncs; ++sync) {
            if (const auto current = find(file); current && current->opening == opening)
                reportOutcome(file, outcome); // a handler may close the file
        }
    });
}

} // namespace marlume::platform
