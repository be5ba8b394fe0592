#include "events/capture_file.h"

#include "common/number_text.h"

namespace marlume::events {

namespace {

constexpr std::string_view kCloseCaption = "Close File";

} // namespace

files::LabelText captureLabel(const files::OutputFileStatus& status, char pathSeparator)
{
    using State = files::OutputFileStatus::State;
    switch (status.state) {
    case State::Closed:
        return { "Data not being saved", {}, {} };
    case State::Open:
        return files::fileLabel("Saving to ", status,
            status.unsaved > 0
                ? ", " + common::countText(status.unsaved, "record not saved", "records not saved")
                : std::string(),
            pathSeparator);
    case State::CannotCreate:
    case State::CannotWrite:
        break;
    }
    return files::troubleLabel(status, pathSeparator);
}

CaptureFile::CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
    files::AskForPath askForPath)
    : m_dataRecord(dataRecord)
    , m_view(view)
    , m_session(files, std::move(askForPath),
          [this](const files::OutputFileStatus& status) { statusChanged(status); })
{
}

void CaptureFile::CaptureButton_Click()
{
    if (m_session.isOpen())
        m_session.close();
    else
        static_cast<void>(m_session.open([this](platform::FileWriter& output, platform::FileNumber file) {
            m_dataRecord.writeHeadingToFile(output, file);
        }));
}

void CaptureFile::writeAvgToFile()
{
    m_session.write(1, [this](platform::FileWriter& output, platform::FileNumber file) {
        m_dataRecord.writeAvgToFile(output, file);
    });
}

void CaptureFile::statusChanged(const files::OutputFileStatus& status)
{
    // The button closes what is open; a file that closed by itself (its header failed) gives it back.
    if (status.open && !m_showingClose) {
        m_savedCaptureCaption = m_view.captureButtonCaption();
        m_view.setCaptureButtonCaption(std::string(kCloseCaption));
    } else if (!status.open && m_showingClose) {
        m_view.setCaptureButtonCaption(m_savedCaptureCaption);
    }
    m_showingClose = status.open;
    m_view.showCaptureFile(status);
}

} // namespace marlume::events
