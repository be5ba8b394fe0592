#include "platform/capture_file_output.h"

#include <cerrno>
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
    const int descriptor
        = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return fail(errno);
    struct stat status { };
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0
        || ::fstat(descriptor, &status) != 0) {
        const int error = errno;
        closeDescriptor(descriptor);
        return fail(error);
    }
    m_files[file] = { descriptor, path, status.st_dev, status.st_ino, 0 };
    return true;
}

void CaptureFileOutput::close(FileNumber file)
{
    if (const auto* open = find(file)) {
        closeDescriptor(open->descriptor);
        m_files.erase(file);
    }
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
            return fail(error);
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    open->completeSize += static_cast<std::int64_t>(text.size());
    return true;
}

bool CaptureFileOutput::sync(FileNumber file)
{
    const auto* open = find(file);
    if (open == nullptr)
        return fail(EBADF);
    while (::fdatasync(open->descriptor) != 0) {
        if (errno == EINVAL)
            return true; // a device or pipe: nothing to put on disk
        if (errno != EINTR)
            return fail(errno);
    }
    return true;
}

bool CaptureFileOutput::stillInPlace(FileNumber file)
{
    const auto* open = find(file);
    if (open == nullptr)
        return fail(EBADF);
    struct stat own { };
    if (::fstat(open->descriptor, &own) != 0)
        return fail(errno);
    // On Linux writes to a deleted or renamed file still succeed, so ask where it is.
    if (own.st_nlink == 0)
        return fail("the file was deleted");
    struct stat named { };
    if (::stat(open->path.c_str(), &named) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return fail(errno);
        return fail("the file was moved or renamed");
    }
    if (named.st_dev != open->device || named.st_ino != open->inode)
        return fail("the file was moved or renamed");
    return true;
}

CaptureFileOutput::OpenFile* CaptureFileOutput::find(FileNumber file)
{
    const auto found = m_files.find(file);
    return found == m_files.end() ? nullptr : &found->second;
}

bool CaptureFileOutput::fail(int error)
{
    return fail(std::system_category().message(error));
}

bool CaptureFileOutput::fail(std::string reason)
{
    m_lastError = std::move(reason);
    return false;
}

} // namespace marlume::platform
