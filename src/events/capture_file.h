#pragma once

#include "files/label_text.h"
#include "files/output_file_session.h"
#include "record/data_record_class.h"

#include <string>

namespace marlume::events {

// What shows the capture file's state: the button that creates and closes it and the label that says
// where the data go.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    [[nodiscard]] virtual std::string captureButtonCaption() const = 0;
    virtual void setCaptureButtonCaption(const std::string& caption) = 0;
    virtual void showCaptureFile(const files::OutputFileStatus& status) = 0;
};

// The capture label for a status: "Saving to "run.csv"" (with the records not saved, if any),
// "Data not being saved" once closed, or the failure and its reason.
[[nodiscard]] files::LabelText captureLabel(const files::OutputFileStatus& status, char pathSeparator = '/');

// The capture file: one button creates it (asking for its name) and closes it again; while it is open
// every event end appends one record. A file that cannot be created or written is told on the label,
// with the count of records lost until the file is closed; the program and the event table go on
// regardless.
class CaptureFile final {
public:
    // files must be the capture file's own: its session takes their outcome handler.
    CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
        files::AskForPath askForPath);

    void CaptureButton_Click();
    // Appends the record of the current or last event while a file is open.
    void writeAvgToFile();

    [[nodiscard]] platform::FileNumber captureFile() const { return m_session.file(); }
    [[nodiscard]] const files::OutputFileStatus& status() const { return m_session.status(); }

private:
    void statusChanged(const files::OutputFileStatus& status);

    record::DataRecordClass& m_dataRecord;
    CaptureView& m_view;
    std::string m_savedCaptureCaption;
    bool m_showingClose = false; // the button reads "Close File"
    files::OutputFileSession m_session; // last: it reports into the members above
};

} // namespace marlume::events
