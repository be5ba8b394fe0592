#include "events/capture_file.h"
#include "events/trigger_events.h"

#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/fake_event_views.h"
#include "support/fake_output_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::events {
namespace {

using testing::FakeCaptureView;
using testing::FakeClock;
using testing::FakeOutputFiles;

constexpr std::string_view kHeader
    = "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n";
constexpr std::string_view kRecordOfEventOne = "1,08/18/2008,14:02:11,14:02:11,2.2,100,1,2, 1 \r\n";

class CaptureFileTest : public ::testing::Test {
protected:
    CaptureFileTest() { dataRecord.parseString("100,1,2"); }

    // The save-as dialog: the operator picks `chosenPath` or cancels when it is empty.
    bool saveFileDialog(std::string& fileName, std::int16_t& filterIndex)
    {
        dialogFilterIndexes.push_back(filterIndex);
        if (chosenPath.empty())
            return false;
        fileName = chosenPath;
        filterIndex = 2;
        return true;
    }

    void oneEvent()
    {
        events.StartEvent();
        events.EndEvent();
    }

    [[nodiscard]] const std::string& written() { return files.output.contents[1]; }

    FakeClock clock;
    record::DataRecordClass dataRecord { clock };
    FakeOutputFiles files;
    FakeCaptureView view;
    std::string chosenPath = "/home/op/data/run.csv";
    std::vector<std::int16_t> dialogFilterIndexes;
    CaptureFile capture { dataRecord, files, view, [this](std::string& fileName, std::int16_t& filterIndex) {
                             return saveFileDialog(fileName, filterIndex);
                         } };
    TriggerEvents events { dataRecord, capture };
};

TEST_F(CaptureFileTest, CreatingOpensTheFileWithItsHeader)
{
    capture.CaptureButton_Click();
    EXPECT_EQ(capture.captureFile(), 1);
    EXPECT_EQ(files.paths.at(1), "/home/op/data/run.csv");
    EXPECT_EQ(written(), kHeader);
    EXPECT_EQ(view.caption, "Close File");
    EXPECT_EQ(view.label, "Saving to \"run.csv\"");
}

TEST_F(CaptureFileTest, CancellingTheDialogChangesNothing)
{
    chosenPath.clear();
    capture.CaptureButton_Click();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_TRUE(files.paths.empty());
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, "No file open");
}

TEST_F(CaptureFileTest, ClosingPutsTheCaptionBackAndSaysDataAreNotSaved)
{
    capture.CaptureButton_Click();
    oneEvent();
    capture.CaptureButton_Click();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_TRUE(files.paths.empty());
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, "Data not being saved");
    EXPECT_EQ(written(), std::string(kHeader) + std::string(kRecordOfEventOne));

    oneEvent();
    EXPECT_EQ(written(), std::string(kHeader) + std::string(kRecordOfEventOne));
}

TEST_F(CaptureFileTest, NextDialogOpensOnTheTypeChosenLast)
{
    capture.CaptureButton_Click();
    capture.CaptureButton_Click();
    capture.CaptureButton_Click();
    EXPECT_EQ(dialogFilterIndexes, (std::vector<std::int16_t> { 0, 2 }));
}

TEST_F(CaptureFileTest, AnEventRunningWhenTheFileOpensIsWrittenAtItsEnd)
{
    events.StartEvent();
    capture.CaptureButton_Click();
    events.EndEvent();
    EXPECT_EQ(written(), std::string(kHeader) + std::string(kRecordOfEventOne));
    EXPECT_EQ(files.output.synced[1], written()) << "each record is on disk when its event ends";
}

TEST_F(CaptureFileTest, EndAfterPortSearchWritesEventNumberZero)
{
    capture.CaptureButton_Click();
    dataRecord.startAvg();
    dataRecord.ResetSequenceNumber();
    events.EndEvent();
    EXPECT_EQ(written(), std::string(kHeader) + "0,08/18/2008,14:02:11,14:02:11,2.2,100,1,2, 1 \r\n");
}

TEST_F(CaptureFileTest, WithoutAFileNothingIsWritten)
{
    oneEvent();
    EXPECT_EQ(files.output.writes, 0);
}

struct NameCase {
    std::string name;
    std::string path;
    std::string label;
};

class CaptureLabelTest : public CaptureFileTest, public ::testing::WithParamInterface<NameCase> { };

TEST_P(CaptureLabelTest, NamesTheFileBetweenQuotes)
{
    chosenPath = GetParam().path;
    capture.CaptureButton_Click();
    EXPECT_EQ(view.label, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Names, CaptureLabelTest,
    ::testing::ValuesIn(std::vector<NameCase> {
        { "Csv", "/home/op/data/run.csv", "Saving to \"run.csv\"" },
        { "NoDotEndsInADot", "/home/op/data/run", "Saving to \"run.\"" },
        { "TwoDots", "/home/op/a.b.csv", "Saving to \"a.b.csv\"" },
        { "NoFolder", "run.txt", "Saving to \"run.txt\"" },
    }),
    testing::CaseName());

// Each step ends one event whose record has the given fate; the label after each step.
struct FateStep {
    std::string failure; // empty: the record is saved
    std::string movedTo; // the file has been renamed to this by then
    std::string label;
};

struct FateCase {
    std::string name;
    std::vector<FateStep> steps;
};

class CaptureLabelFateTest : public CaptureFileTest, public ::testing::WithParamInterface<FateCase> { };

TEST_P(CaptureLabelFateTest, TellsWhatBecameOfTheRecords)
{
    capture.CaptureButton_Click();
    for (const FateStep& step : GetParam().steps) {
        files.failure = step.failure;
        files.movedTo = step.movedTo;
        oneEvent();
        EXPECT_EQ(view.label, step.label);
    }
    capture.CaptureButton_Click();
    EXPECT_EQ(view.label, "Data not being saved");
}

const std::string kFull = "No space left on device";

INSTANTIATE_TEST_SUITE_P(Fates, CaptureLabelFateTest,
    ::testing::ValuesIn(std::vector<FateCase> {
        { "AllSaved", { { "", "", "Saving to \"run.csv\"" }, { "", "", "Saving to \"run.csv\"" } } },
        { "DiskFullSpellLeavesTheCount",
            { { kFull, "", "Cannot write to \"run.csv\": " + kFull },
                { kFull, "", "Cannot write to \"run.csv\": " + kFull },
                { "", "", "Saving to \"run.csv\", 2 records not saved" },
                { kFull, "", "Cannot write to \"run.csv\": " + kFull },
                { "", "", "Saving to \"run.csv\", 3 records not saved" } } },
        { "OneLostRecord",
            { { kFull, "", "Cannot write to \"run.csv\": " + kFull },
                { "", "", "Saving to \"run.csv\", 1 record not saved" } } },
        { "RenamedFileIsStillSavedTo",
            { { "", "/home/op/data/cast 7.csv", "Saving to \"cast 7.csv\"" },
                { "", "/home/op/data/cast 7.csv", "Saving to \"cast 7.csv\"" } } },
    }),
    testing::CaseName());

TEST_F(CaptureFileTest, FileNotCreatedSaysWhy)
{
    files.openError = "Permission denied";
    capture.CaptureButton_Click();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, "Cannot create \"run.csv\": Permission denied");
}

TEST_F(CaptureFileTest, HeaderThatCannotBeWrittenDiscardsTheFile)
{
    files.failure = "File too large";
    capture.CaptureButton_Click();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_EQ(files.discarded, std::vector<std::string> { "/home/op/data/run.csv" });
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, "Cannot write to \"run.csv\": File too large");
    oneEvent();
    EXPECT_EQ(files.output.writes, 1) << "no record goes to the discarded file";
}

} // namespace
} // namespace marlume::events
