#include "files/output_file_session.h"

#include <utility>

namespace marlume::files {

OutputFileSession::OutputFileSession(
    platform::OutputFiles& files, AskForPath askForPath, StatusChanged statusChanged)
    : m_files(files)
    , m_askForPath(std::move(askForPath))
    , m_statusChanged(std::move(statusChanged))
{
    m_files.setOutcomeHandler([this](platform::FileNumber file, const platform::WriteOutcome& outcome) {
        takeOutcome(file, outcome);
    });
}

OutputFileSession::~OutputFileSession()
{
    m_files.setOutcomeHandler({});
    if (isOpen())
        m_files.close(m_file);
}

bool OutputFileSession::open(const Writer& writeHeader)
{
    std::string path;
    if (!m_askForPath(path, m_filterIndex))
        return false;
    const platform::FileNumber file = m_files.freeFileNumber();
    if (!m_files.open(file, path)) {
        tell(OutputFileStatus::State::CannotCreate, path, m_files.lastError());
        return false;
    }
    m_file = file;
    m_status.unsaved = 0;
    m_pendingItems = { 0 };
    m_headerPending = true;
    tell(OutputFileStatus::State::Open, path);
    // Its outcome may come at once: a header that cannot be written undoes the opening.
    writeHeader(m_files, file);
    return isOpen();
}

void OutputFileSession::close()
{
    if (!isOpen())
        return;
    m_files.close(m_file);
    m_file = 0;
    m_pendingItems.clear();
    tell(OutputFileStatus::State::Closed, m_status.path);
}

void OutputFileSession::write(std::int64_t items, const Writer& writer)
{
    if (!isOpen())
        return;
    m_pendingItems.push_back(items);
    writer(m_files, m_file);
}

void OutputFileSession::takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome)
{
    if (file != m_file || m_pendingItems.empty())
        return;
    const std::int64_t items = m_pendingItems.front();
    m_pendingItems.pop_front();
    if (std::exchange(m_headerPending, false) && !outcome.saved) {
        // A file without its header is no file of ours: it goes again.
        m_files.discard(file);
        m_file = 0;
        m_pendingItems.clear();
        tell(OutputFileStatus::State::CannotWrite, outcome.path, outcome.reason);
        return;
    }
    if (!outcome.saved) {
        m_status.unsaved += items;
        tell(OutputFileStatus::State::CannotWrite, outcome.path, outcome.reason);
        return;
    }
    tell(OutputFileStatus::State::Open, outcome.path);
}

void OutputFileSession::tell(OutputFileStatus::State state, std::string path, std::string reason)
{
    OutputFileStatus status = m_status;
    status.state = state;
    status.open = isOpen();
    status.path = std::move(path);
    status.reason = std::move(reason);
    // A failure is told every time; anything else when it changes (a moved file, the end of a failure).
    if (status == m_status && !status.failure())
        return;
    m_status = std::move(status);
    if (m_statusChanged)
        m_statusChanged(m_status);
}

} // namespace marlume::files
