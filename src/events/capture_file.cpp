#include "events/capture_file.h"

#include "common/number_text.h"
#include "common/path_helpers.h"

#include <utility>

namespace marlume::events {

namespace {

CaptureLabelText plainLabel(std::string text)
{
    return { std::move(text), {}, {} };
}

} // namespace

CaptureFile::CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
    AskForPath askForPath, char pathSeparator)
    : m_dataRecord(dataRecord)
    , m_files(files)
    , m_view(view)
    , m_askForPath(std::move(askForPath))
    , m_pathSeparator(pathSeparator)
{
    m_files.setOutcomeHandler([this](platform::FileNumber file, const platform::WriteOutcome& outcome) {
        takeOutcome(file, outcome);
    });
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
    m_view.setCaptureLabel(plainLabel("Data not being saved"));
}

void CaptureFile::openFile()
{
    std::string path;
    if (!m_askForPath(path, m_saveFilterIndex))
        return;
    const platform::FileNumber file = m_files.freeFileNumber();
    if (!m_files.open(file, path)) {
        m_path = path;
        showTrouble("Cannot create ", m_files.lastError());
        return;
    }
    m_captureFile = file;
    m_path = path;
    m_headerPending = true;
    m_troubleShown = false;
    m_unsavedRecords = 0;
    m_savedCaptureCaption = m_view.captureButtonCaption();
    m_view.setCaptureButtonCaption("Close File");
    showSaving();
    // Its outcome may come at once: a header that cannot be written undoes the opening.
    m_dataRecord.writeHeadingToFile(m_files, file);
}

void CaptureFile::writeAvgToFile()
{
    m_dataRecord.writeAvgToFile(m_files, m_captureFile);
}

void CaptureFile::takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome)
{
    if (file != m_captureFile)
        return;
    if (std::exchange(m_headerPending, false) && !outcome.saved) {
        // A file without its header is no capture file: it goes, and the button is as before.
        m_files.discard(file);
        m_captureFile = 0;
        m_view.setCaptureButtonCaption(m_savedCaptureCaption);
        showTrouble("Cannot write to ", outcome.reason);
        return;
    }
    const bool moved = outcome.path != m_path;
    m_path = outcome.path;
    if (!outcome.saved) {
        ++m_unsavedRecords;
        showTrouble("Cannot write to ", outcome.reason);
    } else if (std::exchange(m_troubleShown, false) || moved) {
        showSaving();
    }
}

void CaptureFile::showSaving()
{
    std::string after = "\"";
    if (m_unsavedRecords > 0)
        after += ", " + common::countText(m_unsavedRecords, "record not saved", "records not saved");
    m_view.setCaptureLabel({ "Saving to \"", common::labelFileName(m_path, m_pathSeparator), after });
}

void CaptureFile::showTrouble(std::string_view what, const std::string& reason)
{
    m_troubleShown = true;
    m_view.setCaptureLabel(
        { std::string(what) + '"', common::labelFileName(m_path, m_pathSeparator), "\": " + reason });
}

} // namespace marlume::events
