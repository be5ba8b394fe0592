#include "files/output_file_session.h"

#include "files/label_text.h"
#include "support/case_name.h"
#include "support/fake_output_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::files {
namespace {

using State = OutputFileStatus::State;

constexpr std::string_view kFull = "No space left on device";

// Steps: o open (a header line), w a batch of 3 items, x the next dialog is cancelled, e the next
// opening fails, f every sync fails from now on, k syncs succeed again, m the file is renamed, c close.
struct SessionCase {
    std::string name;
    std::string steps;
    OutputFileStatus expected;
    int told; // status changes told
    std::string label; // as the troubles read
};

class OutputFileSessionTest : public ::testing::TestWithParam<SessionCase> { };

TEST_P(OutputFileSessionTest, EndsInTheStatusItTold)
{
    testing::FakeOutputFiles files;
    bool cancel = false;
    std::vector<OutputFileStatus> told;
    OutputFileSession session(
        files,
        [&cancel](std::string& path, std::int16_t&) {
            path = "/data/run.csv";
            return !std::exchange(cancel, false);
        },
        [&told](const OutputFileStatus& status) { told.push_back(status); });
    const auto writeLine = [](std::string text) {
        return [text](platform::FileWriter& output, platform::FileNumber file) {
            static_cast<void>(output.write(file, text));
            static_cast<void>(output.sync(file));
        };
    };
    for (const char step : GetParam().steps) {
        switch (step) {
        case 'o':
            static_cast<void>(session.open(writeLine("header\r\n")));
            break;
        case 'w':
            session.write(3, writeLine("a\r\nb\r\nc\r\n"));
            break;
        case 'x':
            cancel = true;
            break;
        case 'e':
            files.openError = "Permission denied";
            break;
        case 'f':
            files.failure = kFull;
            break;
        case 'k':
            files.failure.clear();
            files.openError.clear();
            break;
        case 'm':
            files.movedTo = "/data/moved.csv";
            break;
        case 'c':
            session.close();
            break;
        default:
            FAIL() << "unknown step " << step;
        }
    }
    EXPECT_EQ(session.status(), GetParam().expected);
    EXPECT_EQ(static_cast<int>(told.size()), GetParam().told);
    if (!told.empty()) {
        EXPECT_EQ(told.back(), session.status()) << "the last told is the status";
    }
    EXPECT_EQ(session.isOpen(), GetParam().expected.open);
    if (GetParam().expected.failure()) {
        EXPECT_EQ(troubleLabel(session.status()).text(), GetParam().label);
    }
}

const std::string kRun = "/data/run.csv";

INSTANTIATE_TEST_SUITE_P(Sessions, OutputFileSessionTest,
    ::testing::ValuesIn(std::vector<SessionCase> {
        { "Opened", "o", { State::Open, true, kRun, "", 0 }, 1, "" },
        { "SavedBatchesTellNothingNew", "oww", { State::Open, true, kRun, "", 0 }, 1, "" },
        { "Cancelled", "xo", {}, 0, "" },
        { "NothingIsWrittenWhileClosed", "w", {}, 0, "" },
        { "CannotCreate", "eo", { State::CannotCreate, false, kRun, "Permission denied", 0 }, 1,
            "Cannot create \"run.csv\": Permission denied" },
        { "HeaderNotWrittenClosesIt", "fo", { State::CannotWrite, false, kRun, std::string(kFull), 0 }, 2,
            "Cannot write to \"run.csv\": No space left on device" },
        { "FailedBatchIsCountedAndTheFileStaysOpen", "ofw",
            { State::CannotWrite, true, kRun, std::string(kFull), 3 }, 2,
            "Cannot write to \"run.csv\": No space left on device" },
        { "EveryFailureIsTold", "ofww", { State::CannotWrite, true, kRun, std::string(kFull), 6 }, 3,
            "Cannot write to \"run.csv\": No space left on device" },
        { "RecoveredKeepsTheCount", "ofwkw", { State::Open, true, kRun, "", 3 }, 3, "" },
        { "RenamedFileIsFollowed", "omw", { State::Open, true, "/data/moved.csv", "", 0 }, 2, "" },
        { "ClosedKeepsPathAndCount", "ofwkc", { State::Closed, false, kRun, "", 3 }, 3, "" },
        { "ReopenedStartsAfresh", "ofwkco", { State::Open, true, kRun, "", 0 }, 4, "" },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::files
