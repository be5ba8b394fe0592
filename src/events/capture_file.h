#pragma once

#include "platform/output_files.h"
#include "record/data_record_class.h"

#include <cstdint>
#include <functional>
#include <string>

namespace marlume::events {

// What shows the capture file's state: the button that creates and closes it and
// the label that says where the data go.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    [[nodiscard]] virtual std::string captureButtonCaption() const = 0;
    virtual void setCaptureButtonCaption(const std::string& caption) = 0;
    virtual void setCaptureLabel(const std::string& text) = 0;
};

// The capture file: one button creates it (asking for its name) and closes it again;
// while it is open every event end appends one record. A file that cannot be created
// or written is told on the label; the program and the event table go on regardless.
class CaptureFile final {
public:
    // Asks for the file's path; false when the operator cancelled. filterIndex is the
    // file type chosen last, read and updated.
    using SaveFileDialog = std::function<bool(std::string& fileName, std::int16_t& filterIndex)>;

    CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
        SaveFileDialog saveFileDialog, char pathSeparator = '/');

    void CaptureButton_Click();
    // Appends the record of the current or last event while a file is open.
    void writeAvgToFile();

    [[nodiscard]] platform::FileNumber captureFile() const { return m_captureFile; }

private:
    void openFile();
    void closeFile();
    [[nodiscard]] std::string quotedName(const std::string& path) const;

    record::DataRecordClass& m_dataRecord;
    platform::OutputFiles& m_files;
    CaptureView& m_view;
    SaveFileDialog m_saveFileDialog;
    char m_pathSeparator;
    platform::FileNumber m_captureFile = 0;
    std::string m_savedCaptureCaption;
    std::int16_t m_saveFilterIndex = 0;
    std::string m_fileName; // the open file's name as the label shows it
    bool m_troubleShown = false;
};

} // namespace marlume::events
