#include "platform/capture_file_output.h"

#include <array>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {

namespace {

constexpr FileNumber kLastFileNumber = 255;

void closeDescriptor(int descriptor)
{
    // Records are synced as they are written, so a late close error loses nothing; Linux
    // releases the descriptor even then, and a retry could close a file opened meanwhile.
    ::close(descriptor);
}

} // namespace

CaptureFileOutput::~CaptureFileOutput()
{
    for (const auto& [number, file] : m_files)
        closeDescriptor(file.descriptor);
}

FileNumber CaptureFileOutput::freeFileNumber() const
{
    for (FileNumber number = 1; number <= kLastFileNumber; ++number) {
        if (!m_files.contains(number))
            return number;
    }
    return 0;
}

bool CaptureFileOutput::open(FileNumber file, const std::string& path)
{
    if (file <= 0 || m_files.contains(file))
        return fail(EBADF);
    // Non-blocking only while opening, so a FIFO without a reader fails instead of hanging.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    // First as a new file, to know whether a failure later may delete it again.
    bool created = true;
    int descriptor = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0 && errno == EEXIST) {
        created = false;
        descriptor = ::open(path.c_str(), kFlags | O_TRUNC);
    }
    if (descriptor < 0)
        return fail(errno);
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        closeDescriptor(descriptor);
        return fail(error);
    }
    m_files[file] = { descriptor, path, created, 0, {} };
    return true;
}

void CaptureFileOutput::close(FileNumber file)
{
    if (const auto* open = find(file)) {
        closeDescriptor(open->descriptor);
        m_files.erase(file);
    }
}

void CaptureFileOutput::discard(FileNumber file)
{
    const auto* open = find(file);
    if (open == nullptr)
        return;
    // Only the file this opening made, and only while its name still leads to it.
    struct stat own { };
    struct stat named { };
    if (open->created && ::fstat(open->descriptor, &own) == 0 && ::stat(open->path.c_str(), &named) == 0
        && own.st_dev == named.st_dev && own.st_ino == named.st_ino)
        ::unlink(open->path.c_str());
    close(file);
}

bool CaptureFileOutput::write(FileNumber file, std::string_view text)
{
    auto* open = find(file);
    if (open == nullptr)
        return fail(EBADF);
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t written = ::write(open->descriptor, rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            const int error = errno;
            // Drop the part of the record that did get in; a device such as /dev/full has none.
            while (::ftruncate(open->descriptor, open->completeSize) != 0 && errno == EINTR) { }
            open->failure = std::system_category().message(error);
            return fail(error);
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    open->completeSize += static_cast<std::int64_t>(text.size());
    return true;
}

bool CaptureFileOutput::sync(FileNumber file)
{
    auto* open = find(file);
    if (open == nullptr)
        return fail(EBADF);
    int synced = 0;
    do
        synced = ::fdatasync(open->descriptor);
    while (synced != 0 && errno == EINTR);
    // EINVAL: a device or pipe, with nothing to put on disk.
    const int syncError = synced != 0 && errno != EINVAL ? errno : 0;
    WriteOutcome outcome = whereabouts(*open);
    if (open->failure.empty() && syncError != 0)
        open->failure = std::system_category().message(syncError);
    if (!open->failure.empty()) {
        outcome.saved = false;
        outcome.reason = std::exchange(open->failure, {});
    }
    reportOutcome(file, outcome);
    return outcome.saved;
}

WriteOutcome CaptureFileOutput::whereabouts(const OpenFile& open)
{
    struct stat own { };
    if (::fstat(open.descriptor, &own) != 0)
        return { false, std::system_category().message(errno), open.path };
    // On Linux writes to a deleted file still succeed, and are lost when it is closed.
    if (own.st_nlink == 0)
        return { false, "the file was deleted", open.path };
    // A renamed file still takes every record: the descriptor knows its present name.
    const std::string link = "/proc/self/fd/" + std::to_string(open.descriptor);
    std::array<char, PATH_MAX> target {};
    const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
        return { true, {}, open.path };
    return { true, {}, std::string(target.data(), static_cast<std::size_t>(length)) };
}

CaptureFileOutput::OpenFile* CaptureFileOutput::find(FileNumber file)
{
    const auto found = m_files.find(file);
    return found == m_files.end() ? nullptr : &found->second;
}

bool CaptureFileOutput::fail(int error)
{
    m_lastError = std::system_category().message(error);
    return false;
}

} // namespace marlume::platform
