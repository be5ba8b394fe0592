#pragma once

#include "platform/output_files.h"
#include "record/data_record_class.h"

#include <cstdint>
#include <functional>
#include <string>

namespace marlume::events {

// The capture label's text in three parts, so that a view short of room can shorten the
// file's name in the middle and never the rest.
struct CaptureLabelText {
    std::string before; // up to and with the opening quote
    std::string name; // the file's name, without quotes; empty for a text without one
    std::string after; // from the closing quote on

    [[nodiscard]] std::string text() const { return before + name + after; }
};

// What shows the capture file's state: the button that creates and closes it and
// the label that says where the data go.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    [[nodiscard]] virtual std::string captureButtonCaption() const = 0;
    virtual void setCaptureButtonCaption(const std::string& caption) = 0;
    virtual void setCaptureLabel(const CaptureLabelText& label) = 0;
};

// The capture file: one button creates it (asking for its name) and closes it again;
// while it is open every event end appends one record. A file that cannot be created
// or written is told on the label, with the count of records lost until the file is
// closed; the program and the event table go on regardless.
class CaptureFile final {
public:
    // Asks for the file's path; false when the operator cancelled. filterIndex is the
    // file type chosen last, read and updated.
    using AskForPath = std::function<bool(std::string& fileName, std::int16_t& filterIndex)>;

    CaptureFile(record::DataRecordClass& dataRecord, platform::OutputFiles& files, CaptureView& view,
        AskForPath askForPath, char pathSeparator = '/');

    void CaptureButton_Click();
    // Appends the record of the current or last event while a file is open.
    void writeAvgToFile();

    [[nodiscard]] platform::FileNumber captureFile() const { return m_captureFile; }

private:
    void openFile();
    void closeFile();
    void takeOutcome(platform::FileNumber file, const platform::WriteOutcome& outcome);
    void showSaving();
    void showTrouble(std::string_view what, const std::string& reason);

    record::DataRecordClass& m_dataRecord;
    platform::OutputFiles& m_files;
    CaptureView& m_view;
    AskForPath m_askForPath;
    char m_pathSeparator;
    platform::FileNumber m_captureFile = 0;
    std::string m_savedCaptureCaption;
    std::int16_t m_saveFilterIndex = 0;
    std::string m_path; // where the open file stands now
    bool m_headerPending = false; // the next outcome is the header's
    bool m_troubleShown = false;
    std::int32_t m_unsavedRecords = 0;
};

} // namespace marlume::events
