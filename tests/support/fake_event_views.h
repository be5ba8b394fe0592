#pragma once

#include "events/capture_file.h"
#include "events/event_table_view.h"
#include "events/statistics_file.h"

#include <string>

namespace marlume::testing {

// Shows the event table as a plain string, as a text box would hold it.
class FakeEventTableView final : public events::EventTableView {
public:
    void appendText(std::string_view piece) override { text += piece; }
    void replaceText(std::string_view whole) override
    {
        text = whole;
        ++replacements;
    }
    void moveToEnd() override { ++movesToEnd; }

    std::string text;
    int replacements = 0;
    int movesToEnd = 0;
};

// The capture button's caption and the capture label.
class FakeCaptureView final : public events::CaptureView {
public:
    [[nodiscard]] std::string captureButtonCaption() const override { return caption; }
    void setCaptureButtonCaption(const std::string& text) override { caption = text; }
    void showCaptureFile(const files::OutputFileStatus& shown) override
    {
        status = shown;
        label = events::captureLabel(shown).text();
    }

    std::string caption = "Create Capture File...";
    std::string label = "No file open";
    files::OutputFileStatus status;
};

// Keeps the label of the event statistics file's last status.
class FakeStatisticsView final : public events::StatisticsView {
public:
    void showStatisticsFile(const files::OutputFileStatus& shown) override
    {
        label = events::statisticsLabel(shown).text();
    }

    std::string label;
};

} // namespace marlume::testing
