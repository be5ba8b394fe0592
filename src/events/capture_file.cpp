#include "events/capture_file.h"

#include "dialogs/path_helpers.h"

#include <utility>

namespace marlume::events {

namespace {

std::string troubleText(const std::string& name, const std::string& reason)
{
    return "Cannot write to " + name + ": " + reason;
}

} // namespace

CaptureFile::CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
    SaveFileDialog saveFileDialog, char pathSeparator)
    : m_dataRecord(dataRecord)
    , m_files(files)
    , m_view(view)
    , m_saveFileDialog(std::move(saveFileDialog))
    , m_pathSeparator(pathSeparator)
{
}

void CaptureFile::CaptureButton_Click()
{
    if (m_captureFile != 0)
        closeFile();
    else
        openFile();
}

void CaptureFile::closeFile()
{
    m_files.close(m_captureFile);
    m_captureFile = 0;
    m_view.setCaptureButtonCaption(m_savedCaptureCaption);
    m_view.setCaptureLabel("Data not being saved");
}

void CaptureFile::openFile()
{
    std::string path;
    if (!m_saveFileDialog(path, m_saveFilterIndex))
        return;
    const platform::FileNumber file = m_files.freeFileNumber();
    const std::string name = quotedName(path);
    // Until the header is in, the file is not open for the program: the button keeps its caption.
    if (!m_files.open(file, path)) {
        m_view.setCaptureLabel("Cannot create " + name + ": " + m_files.lastError());
        return;
    }
    if (!m_dataRecord.writeHeadingToFile(m_files, file)) {
        const std::string reason = m_files.lastError();
        m_files.close(file);
        m_view.setCaptureLabel(troubleText(name, reason));
        return;
    }
    m_captureFile = file;
    m_fileName = name;
    m_troubleShown = false;
    m_savedCaptureCaption = m_view.captureButtonCaption();
    m_view.setCaptureButtonCaption("Close File");
    m_view.setCaptureLabel("Saving to " + name);
}

void CaptureFile::writeAvgToFile()
{
    const bool written = m_dataRecord.writeAvgToFile(m_files, m_captureFile);
    if (m_captureFile == 0)
        return;
    // The file stays open after a failure, so the next event can be written again.
    if (!written || !m_files.stillInPlace(m_captureFile)) {
        m_troubleShown = true;
        m_view.setCaptureLabel(troubleText(m_fileName, m_files.lastError()));
    } else if (m_troubleShown) {
        m_troubleShown = false;
        m_view.setCaptureLabel("Saving to " + m_fileName);
    }
}

std::string CaptureFile::quotedName(const std::string& path) const
{
    std::string name = "\"";
    name += dialogs::BaseName(path, m_pathSeparator);
    name += '.';
    name += dialogs::FileExtension(path, m_pathSeparator);
    name += '"';
    return name;
}

} // namespace marlume::events
