#include "platform/local_output_files.h"

#include "common/time_text.h"
#include "events/capture_file.h"
#include "events/event_table.h"
#include "events/trigger_events.h"

#include "support/case_name.h"
#include "support/child_process.h"
#include "support/fake_clock.h"
#include "support/fake_event_views.h"
#include "support/posted_tasks.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::platform {
namespace {

using testing::FakeCaptureView;
using testing::FakeClock;
using testing::FakeEventTableView;

const std::string kHeader
    = "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples\r\n";

// The reading 100,1,2 is current all through, so every event averages to it.
std::string recordOf(int number, const std::string& start, const std::string& end)
{
    return std::to_string(number) + ",08/18/2008," + start + "," + end + ",2.2,100,1,2, 1 \r\n";
}

std::string tableLineOf(const std::string& number, const std::string& start, const std::string& end)
{
    return number + " | " + start + " | " + end + " |  02 |  100 |  01 |  02 | 1\r\n";
}

using testing::fileContents;
using testing::TemporaryFolder;

// The capture file on disk, driven through the button and trigger events. The records go out on the
// writer thread; settle() waits for them and hands their outcomes to the label, as the event loop would.
class CaptureToDiskTest : public ::testing::Test {
protected:
    CaptureToDiskTest()
    {
        dataRecord.parseString("100,1,2");
        files.refuseInputs({ recording });
    }

    // Until nothing is left to do: an outcome may queue more work, as a failed header does.
    void settle()
    {
        do
            files.waitUntilWritten();
        while (uiThread.runAll() > 0);
    }

    [[nodiscard]] std::string pathOf(const char* name) const { return dir.pathOf(name); }

    // One event of 10 seconds, then 10 seconds of quiet in which its record reaches the disk.
    void oneEvent()
    {
        table.eventStarted(events.StartEvent());
        clock.advanceMilliseconds(10'000);
        table.eventEnded(events.EndEvent());
        clock.advanceMilliseconds(10'000);
        settle();
    }

    void clickCapture()
    {
        capture.CaptureButton_Click();
        settle();
    }

    TemporaryFolder dir;
    std::string chosenPath = pathOf("run.csv");
    std::string recording = pathOf("recording.txt"); // this run replays it, once a test makes it
    FakeClock clock;
    record::DataRecordClass dataRecord { clock };
    testing::PostedTasks uiThread;
    // While held, the disk takes its time over every sync (long enough to be noticed, short enough that
    // a broken writer fails instead of hanging) until it is let go.
    std::atomic<bool> diskHeld = false;
    std::promise<void> diskLetGo;
    std::shared_future<void> letGo = diskLetGo.get_future().share();
    std::atomic<int> syncsDone = 0;
    LocalOutputFiles files { uiThread.poster(), [this](int descriptor) {
                                if (diskHeld)
                                    letGo.wait_for(std::chrono::seconds(2));
                                ++syncsDone;
                                return ::fdatasync(descriptor);
                            } };
    FakeCaptureView view;
    events::CaptureFile capture { dataRecord, files, view, [this](std::string& fileName, std::int16_t&) {
                                     fileName = chosenPath;
                                     return true;
                                 } };
    events::TriggerEvents events { dataRecord, capture };
    FakeEventTableView tableView;
    events::EventTable table { tableView };
};

TEST_F(CaptureToDiskTest, HeaderAndOneRecordPerEventWithCrLf)
{
    clickCapture();
    oneEvent();
    oneEvent();
    clickCapture();
    EXPECT_EQ(fileContents(chosenPath),
        kHeader + recordOf(1, "14:02:11", "14:02:21") + recordOf(2, "14:02:31", "14:02:41"));
}

TEST_F(CaptureToDiskTest, CreatedAndClosedAtOnceHoldsTheHeaderOnly)
{
    clickCapture();
    clickCapture();
    EXPECT_EQ(fileContents(chosenPath), kHeader);
}

TEST_F(CaptureToDiskTest, ReplacingAFileStartsItAfresh)
{
    ASSERT_TRUE(testing::writeFile(chosenPath, std::string(5000, 'x')));

    clickCapture();
    oneEvent();
    clickCapture();
    EXPECT_EQ(fileContents(chosenPath), kHeader + recordOf(1, "14:02:11", "14:02:21"));
}

TEST_F(CaptureToDiskTest, NameWithoutADot)
{
    chosenPath = pathOf("run");
    clickCapture();
    EXPECT_EQ(view.label, "Saving to \"run.\"");
    EXPECT_EQ(fileContents(chosenPath), kHeader);
}

TEST_F(CaptureToDiskTest, EndingTheProgramLeavesTheFileClosedAndComplete)
{
    const auto descriptorsOnTheFile = [this] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            count += std::filesystem::read_symlink(entry.path(), error) == chosenPath ? 1 : 0;
        }
        return count;
    };
    {
        LocalOutputFiles output { uiThread.poster() };
        ASSERT_TRUE(output.open(output.freeFileNumber(), chosenPath));
        dataRecord.writeHeadingToFile(output, 1);
        EXPECT_EQ(descriptorsOnTheFile(), 1);
    }
    EXPECT_EQ(descriptorsOnTheFile(), 0);
    EXPECT_EQ(fileContents(chosenPath), kHeader);
}

// --- failures: the operator is told, the program and the table go on ---

struct CreateFailure {
    std::string name;
    std::function<std::string(const TemporaryFolder&)> path;
    std::string label;
};

class CreateFailureTest : public CaptureToDiskTest, public ::testing::WithParamInterface<CreateFailure> { };

TEST_P(CreateFailureTest, LeavesNoFileOpenAndSaysWhy)
{
    chosenPath = GetParam().path(dir);
    clickCapture();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, GetParam().label);
    if (std::filesystem::exists(recording)) {
        EXPECT_EQ(fileContents(recording), "a recording") << "emptied";
    }

    oneEvent();
    EXPECT_EQ(tableView.text, tableLineOf("001", "14:02:11", "14:02:21"));
    clickCapture();
    EXPECT_EQ(capture.captureFile(), 0) << "a second try fails the same way";
}

INSTANTIATE_TEST_SUITE_P(Failures, CreateFailureTest,
    ::testing::ValuesIn(std::vector<CreateFailure> {
        { "MissingFolder", [](const TemporaryFolder& d) { return d.pathOf("gone/run.csv"); },
            "Cannot create \"run.csv\": No such file or directory" },
        { "ADirectory",
            [](const TemporaryFolder& d) {
                std::filesystem::create_directory(d.path() / "run.csv");
                return d.pathOf("run.csv");
            },
            "Cannot create \"run.csv\": Is a directory" },
        // sysfs refuses new files to every user, root included.
        { "FolderWithoutWritePermission", [](const TemporaryFolder&) { return std::string("/sys/run.csv"); },
            "Cannot create \"run.csv\": Permission denied" },
        { "ADevice", [](const TemporaryFolder&) { return std::string("/dev/full"); },
            "Cannot create \"full.\": not a regular file" },
        { "AFifo",
            [](const TemporaryFolder& d) {
                const std::string path = d.pathOf("run.csv");
                mkfifo(path.c_str(), 0600);
                return path;
            },
            "Cannot create \"run.csv\": not a regular file" },
        { "TheRecordingThisRunReplays",
            [](const TemporaryFolder& d) {
                EXPECT_TRUE(testing::writeFile(d.pathOf("recording.txt"), "a recording"));
                return d.pathOf("recording.txt");
            },
            "Cannot create \"recording.txt\": this run replays it" },
        { "TheRecordingByAnotherName",
            [](const TemporaryFolder& d) {
                EXPECT_TRUE(testing::writeFile(d.pathOf("recording.txt"), "a recording"));
                std::filesystem::create_hard_link(d.path() / "recording.txt", d.path() / "copy.txt");
                return d.pathOf("copy.txt");
            },
            "Cannot create \"copy.txt\": this run replays it" },
    }),
    testing::CaseName());

// A file-size limit makes the disk run full in the middle of a record.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
    void (*m_savedHandler)(int) = nullptr;
};

TEST_F(CaptureToDiskTest, DiskFullCutsTheHalfRecordAndKeepsTheFileOpen)
{
    clickCapture();
    oneEvent();
    const std::string complete = kHeader + recordOf(1, "14:02:11", "14:02:21");
    {
        const FileSizeLimit limit(complete.size() + 10);
        oneEvent();
    }
    EXPECT_EQ(fileContents(chosenPath), complete) << "no half record";
    EXPECT_EQ(view.label, "Cannot write to \"run.csv\": File too large");
    EXPECT_EQ(view.caption, "Close File");
    EXPECT_EQ(tableView.text,
        tableLineOf("001", "14:02:11", "14:02:21") + tableLineOf("002", "14:02:31", "14:02:41"));

    oneEvent();
    EXPECT_EQ(view.label, "Saving to \"run.csv\", 1 record not saved") << "the loss stays on the label";
    EXPECT_EQ(fileContents(chosenPath), complete + recordOf(3, "14:02:51", "14:03:01"));
    oneEvent();
    EXPECT_EQ(view.label, "Saving to \"run.csv\", 1 record not saved");

    clickCapture();
    EXPECT_EQ(view.label, "Data not being saved");
    clickCapture();
    oneEvent();
    EXPECT_EQ(view.label, "Saving to \"run.csv\"") << "a new file starts without losses";
}

// A write cut short is cut back to where the file really ended before it, not to an end the program
// remembers: someone may have emptied the file, or appended to it, meanwhile.
struct ChangedBehind {
    std::string name;
    std::function<std::string(const std::string& path)> change; // what else the file then holds
};

class ChangedBehindTest : public CaptureToDiskTest, public ::testing::WithParamInterface<ChangedBehind> { };

TEST_P(ChangedBehindTest, FailedWriteCutsBackToTheRealEnd)
{
    clickCapture();
    oneEvent();
    const std::string before = GetParam().change(chosenPath);
    {
        const FileSizeLimit limit(before.size() + 10);
        oneEvent();
    }
    const std::string contents = fileContents(chosenPath);
    EXPECT_EQ(contents.find('\0'), std::string::npos) << "no NUL padding";
    EXPECT_EQ(contents, before);
    EXPECT_EQ(view.label, "Cannot write to \"run.csv\": File too large");
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedBehindTest,
    ::testing::ValuesIn(std::vector<ChangedBehind> {
        { "Emptied",
            [](const std::string& path) {
                std::filesystem::resize_file(path, 0);
                return std::string();
            } },
        { "AppendedToByAnotherWriter",
            [](const std::string& path) {
                const std::string other = recordOf(9, "15:00:00", "15:00:30");
                std::ofstream(path, std::ios::binary | std::ios::app) << other;
                return kHeader + recordOf(1, "14:02:11", "14:02:21") + other;
            } },
    }),
    testing::CaseName());

struct HeldFileCase {
    std::string name;
    bool byAnotherProcess; // else by another output of this one
    std::string label;
};

class HeldFileTest : public CaptureToDiskTest, public ::testing::WithParamInterface<HeldFileCase> { };

TEST_P(HeldFileTest, IsRefusedWithWhoHoldsItAndLeftAlone)
{
    std::optional<testing::ChildProcess> otherInstance;
    testing::PostedTasks otherUiThread;
    LocalOutputFiles otherOutput { otherUiThread.poster() };
    if (GetParam().byAnotherProcess) {
        ASSERT_TRUE(testing::writeFile(chosenPath, kHeader));
        // The shell takes the lock on a descriptor of its own and becomes the sleep that keeps it.
        otherInstance.emplace(
            std::vector<std::string> { "/bin/sh", "-c",
                "exec 9>>\"$0\" && /usr/bin/flock -n 9 && echo held && exec sleep 60", chosenPath },
            testing::ChildProcess::EnvironmentChanges {});
        ASSERT_TRUE(otherInstance->waitForOutput("held", std::chrono::seconds(10))) << otherInstance->err();
    } else {
        ASSERT_TRUE(otherOutput.open(1, chosenPath));
        ASSERT_TRUE(otherOutput.write(1, kHeader));
        ASSERT_TRUE(otherOutput.sync(1));
        otherOutput.waitUntilWritten();
    }

    clickCapture();
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_EQ(view.label, GetParam().label);
    EXPECT_EQ(fileContents(chosenPath), kHeader) << "not emptied";

    otherInstance.reset(); // killed: its lock goes with it
    otherOutput.close(1);
    otherOutput.waitUntilWritten();
    clickCapture();
    EXPECT_EQ(capture.captureFile(), 1) << "free once the other has closed it";
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldFileTest,
    ::testing::ValuesIn(std::vector<HeldFileCase> {
        { "AnotherInstance", true, "Cannot create \"run.csv\": another instance is saving to it" },
        { "AnotherOutputOfThisRun", false,
            "Cannot create \"run.csv\": it is given twice: this run saves another of its outputs to it" },
    }),
    testing::CaseName());

TEST_F(CaptureToDiskTest, ClosingAndCreatingTheSameFileAgainIsNotRefused)
{
    clickCapture();
    oneEvent();
    capture.CaptureButton_Click(); // closed while nothing has settled yet
    capture.CaptureButton_Click();
    settle();
    EXPECT_EQ(view.label, "Saving to \"run.csv\"");
    EXPECT_EQ(fileContents(chosenPath), kHeader);
}

TEST_F(CaptureToDiskTest, CreatingAgainAFileStillBeingClosedNeverWaitsForTheDisk)
{
    clickCapture();
    diskHeld = true;
    events.StartEvent();
    events.EndEvent();
    capture.CaptureButton_Click(); // closed while its record waits for the disk
    capture.CaptureButton_Click();
    EXPECT_EQ(syncsDone, 1) << "the opening waited for the record's sync";
    EXPECT_NE(capture.captureFile(), 0) << "not refused";
    diskLetGo.set_value();
    settle();
    EXPECT_EQ(view.label, "Saving to \"run.csv\"");
    EXPECT_EQ(fileContents(chosenPath), kHeader) << "the earlier record went before it was emptied";
}

// A disk whose every sync takes a while: the events and their table never wait for it, and what waits
// for the disk goes out as one write and one sync, so that the lag never grows.
TEST(LocalOutputFilesOnASlowDisk, EventsGoOnWhileRecordsWaitForTheDiskAndLandInOrderInOneGo)
{
    std::promise<void> diskCatchesUp;
    const std::shared_future<void> caughtUp = diskCatchesUp.get_future().share();
    std::atomic<int> syncsDone = 0;
    testing::PostedTasks uiThread;
    LocalOutputFiles files(uiThread.poster(), [&](int descriptor) {
        // Long enough to be noticed, short enough that a broken writer fails instead of hanging.
        caughtUp.wait_for(std::chrono::seconds(2));
        ++syncsDone;
        return ::fdatasync(descriptor);
    });
    TemporaryFolder dir;
    const std::string path = dir.pathOf("slow.csv");
    FakeClock clock;
    record::DataRecordClass dataRecord { clock };
    dataRecord.parseString("100,1,2");
    FakeCaptureView view;
    events::CaptureFile capture { dataRecord, files, view, [&](std::string& fileName, std::int16_t&) {
                                     fileName = path;
                                     return true;
                                 } };
    events::TriggerEvents events { dataRecord, capture };
    FakeEventTableView tableView;
    events::EventTable table { tableView };

    capture.CaptureButton_Click();
    std::string expected = kHeader;
    for (int event = 1; event <= 12; ++event) {
        table.eventStarted(events.StartEvent());
        clock.advanceMilliseconds(1000);
        table.eventEnded(events.EndEvent());
        expected += std::to_string(event) + ",08/18/2008,"
            + marlume::common::timeText(*dataRecord.startTime()) + ","
            + marlume::common::timeText(*dataRecord.endTime()) + ",2.2,100,1,2, 1 \r\n";
    }
    EXPECT_EQ(syncsDone, 0) << "an event waited for the disk";
    EXPECT_EQ(std::count(tableView.text.begin(), tableView.text.end(), '\n'), 12);

    diskCatchesUp.set_value();
    files.waitUntilWritten();
    uiThread.runAll();
    EXPECT_LE(syncsDone, 2) << "the header's, then at most one for the twelve records that waited for it";
    EXPECT_GE(syncsDone, 1);
    EXPECT_EQ(fileContents(path), expected);
    EXPECT_EQ(view.label, "Saving to \"slow.csv\"");
}

TEST_F(CaptureToDiskTest, HeaderThatCannotBeWrittenLeavesNoFileBehind)
{
    {
        const FileSizeLimit limit(10);
        clickCapture();
    }
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_EQ(view.caption, "Create Capture File...");
    EXPECT_EQ(view.label, "Cannot write to \"run.csv\": File too large");
    EXPECT_FALSE(std::filesystem::exists(chosenPath));
}

TEST_F(CaptureToDiskTest, HeaderThatCannotBeWrittenKeepsAFileThatWasThereBefore)
{
    ASSERT_TRUE(testing::writeFile(chosenPath, ""));
    {
        const FileSizeLimit limit(10);
        clickCapture();
    }
    EXPECT_EQ(capture.captureFile(), 0);
    EXPECT_TRUE(std::filesystem::exists(chosenPath)) << "only a file this opening made is deleted";
}

// The file is moved or deleted behind the program's back while it is open.
struct LostFile {
    std::string name;
    std::function<void(const std::string& path)> loseIt;
    std::string label;
    std::string recordLandsIn; // beside the chosen file; empty when the record is lost
};

class LostFileTest : public CaptureToDiskTest, public ::testing::WithParamInterface<LostFile> { };

TEST_P(LostFileTest, IsReportedAfterTheNextRecord)
{
    clickCapture();
    GetParam().loseIt(chosenPath);
    oneEvent();
    EXPECT_EQ(view.label, GetParam().label);
    EXPECT_EQ(capture.captureFile(), 1);
    EXPECT_EQ(tableView.text, tableLineOf("001", "14:02:11", "14:02:21"));
    if (!GetParam().recordLandsIn.empty()) {
        EXPECT_EQ(fileContents(pathOf(GetParam().recordLandsIn.c_str())),
            kHeader + recordOf(1, "14:02:11", "14:02:21"));
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, LostFileTest,
    ::testing::ValuesIn(std::vector<LostFile> {
        { "Deleted", [](const std::string& path) { std::filesystem::remove(path); },
            "Cannot write to \"run.csv\": the file was deleted", "" },
        { "RenamedAway", [](const std::string& path) { std::filesystem::rename(path, path + ".old"); },
            "Saving to \"run.csv.old\"", "run.csv.old" },
        { "MovedToAnotherFolder",
            [](const std::string& path) {
                const std::filesystem::path moved = std::filesystem::path(path).parent_path() / "kept";
                std::filesystem::create_directory(moved);
                std::filesystem::rename(path, moved / "cast7.csv");
            },
            "Saving to \"cast7.csv\"", "kept/cast7.csv" },
        { "ReplacedByAnother",
            [](const std::string& path) {
                std::filesystem::rename(path, path + ".old");
                ASSERT_TRUE(testing::writeFile(path, ""));
            },
            "Saving to \"run.csv.old\"", "run.csv.old" },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::platform
