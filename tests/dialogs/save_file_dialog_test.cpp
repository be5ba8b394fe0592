#include "dialogs/save_file_dialog.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace marlume::dialogs {
namespace {

using namespace std::string_literals;

// One pass of the file dialog: what the user confirms, or nothing for cancel.
using Pass = std::optional<SaveFileChoice>;

struct SaveCase {
    std::string name;
    std::string initialPath;
    std::int16_t filterIndexIn;
    std::vector<Pass> passes;
    std::set<std::string, std::less<>> existing;
    std::vector<int> answers;
    bool expectedResult;
    std::string expectedFileName;
    std::int16_t expectedFilterIndex;
    // The type each pass opened with.
    std::vector<int> expectedOpenTypes;
    std::vector<std::string> expectedQuestions;
};

const std::string kLongName = "/data/" + std::string(990, 'x') + ".csv"; // 1000 characters

const std::vector<SaveCase> kCases {
    { "FirstUseAddsTxt", "", 0, { SaveFileChoice { "/data/run1", 1 } }, {}, {}, true, "/data/run1.txt", 1,
        { 0 }, {} },
    { "TypeZeroCountsAsFirst", "", 0, { SaveFileChoice { "/data/run1", 0 } }, {}, {}, true, "/data/run1.txt",
        1, { 0 }, {} },
    { "CsvTypeAddsCsv", "", 1, { SaveFileChoice { "/data/run1", 2 } }, {}, {}, true, "/data/run1.csv", 2,
        { 1 }, {} },
    { "AllFilesAddsNothing", "", 3, { SaveFileChoice { "/data/run1", 3 } }, {}, {}, true, "/data/run1", 3,
        { 3 }, {} },
    { "TrailingDotGetsCsvWithoutSecondDot", "", 2, { SaveFileChoice { "/data/run1.", 2 } }, {}, {}, true,
        "/data/run1.csv", 2, { 2 }, {} },
    { "OtherExtensionKept", "", 1, { SaveFileChoice { "/data/run1.dat", 1 } }, {}, {}, true, "/data/run1.dat",
        1, { 1 }, {} },
    { "DottedDirectoryStillGetsExtension", "", 2, { SaveFileChoice { "/home/first.last/run", 2 } }, {}, {},
        true, "/home/first.last/run.csv", 2, { 2 }, {} },
    { "ExistingFileReplaced", "", 2, { SaveFileChoice { "/data/run1.csv", 2 } }, { "/data/run1.csv" }, { 1 },
        true, "/data/run1.csv", 2, { 2 }, { "/data/\u200Brun1.csv already exists.  Replace it?" } },
    { "ExistingFileRefusedThenCancelled", "", 0, { SaveFileChoice { "/data/run1.csv", 2 }, std::nullopt },
        { "/data/run1.csv" }, { 0 }, false, "/data/run1.csv", 2, { 0, 2 },
        { "/data/\u200Brun1.csv already exists.  Replace it?" } },
    { "QuestionClosedThenNewName", "", 1,
        { SaveFileChoice { "/data/run1.txt", 1 }, SaveFileChoice { "/data/run2", 3 } }, { "/data/run1.txt" },
        { -1 }, true, "/data/run2", 3, { 1, 1 }, { "/data/\u200Brun1.txt already exists.  Replace it?" } },
    { "CompletedNameExists", "", 1, { SaveFileChoice { "/data/run1", 1 } }, { "/data/run1.txt" }, { 1 }, true,
        "/data/run1.txt", 1, { 1 }, { "/data/\u200Brun1.txt already exists.  Replace it?" } },
    { "TypedNameExistsButCompletedDoesNot", "", 2, { SaveFileChoice { "/data/run1", 2 } }, { "/data/run1" },
        {}, true, "/data/run1.csv", 2, { 2 }, {} },
    { "CancelKeepsFileNameAndType", "", 0, { std::nullopt }, {}, {}, false, "earlier", 0, { 0 }, {} },
    { "NameTooLongFails", "", 1, { SaveFileChoice { kLongName, 2 } }, {}, {}, false, "earlier", 1, { 1 },
        {} },
    { "LongestNameAccepted", "", 1, { SaveFileChoice { kLongName.substr(1), 2 } }, {}, {}, true,
        kLongName.substr(1), 2, { 1 }, {} },
    { "NameEndsAtNul", "", 1, { SaveFileChoice { "/data/run1\0junk"s, 1 } }, {}, {}, true, "/data/run1.txt",
        1, { 1 }, {} },
};

class SaveFileDialogTest : public ::testing::TestWithParam<SaveCase> { };

TEST_P(SaveFileDialogTest, FollowsUserThroughPasses)
{
    const SaveCase& testCase = GetParam();
    std::deque<Pass> passes(testCase.passes.begin(), testCase.passes.end());
    std::deque<int> answers(testCase.answers.begin(), testCase.answers.end());
    std::vector<SaveFileRequest> requests;
    std::vector<QuestionRequest> questions;

    SaveFileSteps steps;
    steps.showDialog = [&](const SaveFileRequest& request) {
        requests.push_back(request);
        if (passes.empty()) {
            ADD_FAILURE() << "dialog shown once too often";
            return Pass();
        }
        Pass pass = passes.front();
        passes.pop_front();
        return pass;
    };
    steps.ask = [&](const QuestionRequest& question) {
        questions.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "question asked once too often";
            return -1;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    };
    steps.fileExists = [&](std::string_view path) { return testCase.existing.contains(path); };

    std::string fileName = "earlier";
    std::int16_t filterIndex = testCase.filterIndexIn;
    EXPECT_EQ(
        chooseFileToCreate(steps, testCase.initialPath, fileName, filterIndex), testCase.expectedResult);

    EXPECT_EQ(fileName, testCase.expectedFileName);
    EXPECT_EQ(filterIndex, testCase.expectedFilterIndex);
    EXPECT_TRUE(passes.empty()) << "passes left over";
    EXPECT_TRUE(answers.empty()) << "answers left over";
    std::vector<int> openTypes;
    for (const SaveFileRequest& request : requests)
        openTypes.push_back(request.selectedType);
    EXPECT_EQ(openTypes, testCase.expectedOpenTypes);
    std::vector<std::string> messages;
    for (const QuestionRequest& question : questions) {
        messages.push_back(question.message);
        EXPECT_EQ(question.title, "Save As");
        EXPECT_EQ(question.yesText, "Yes");
        EXPECT_EQ(question.noText, "No");
        EXPECT_EQ(question.cancelText, "");
        EXPECT_EQ(question.defaultButton, 0);
    }
    EXPECT_EQ(messages, testCase.expectedQuestions);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, SaveFileDialogTest, ::testing::ValuesIn(kCases), marlume::testing::CaseName());

struct InitialPathCase {
    std::string name;
    std::string initialPath;
    std::string expectedDirectory;
    std::string expectedName;
};

class SaveFileDialogRequestTest : public ::testing::TestWithParam<InitialPathCase> { };

// Every pass opens from the initial path, never from a refused name.
TEST_P(SaveFileDialogRequestTest, OpensEveryPassFromInitialPath)
{
    const InitialPathCase& testCase = GetParam();
    std::vector<SaveFileRequest> requests;
    SaveFileSteps steps;
    steps.showDialog = [&](const SaveFileRequest& request) -> Pass {
        requests.push_back(request);
        if (requests.size() == 1)
            return SaveFileChoice { "/data/taken.csv", 2 };
        return std::nullopt;
    };
    steps.ask = [](const QuestionRequest&) { return 0; };
    steps.fileExists = [](std::string_view) { return true; };

    std::string fileName;
    std::int16_t filterIndex = 0;
    EXPECT_FALSE(chooseFileToCreate(steps, testCase.initialPath, fileName, filterIndex));

    ASSERT_EQ(requests.size(), 2u);
    for (const SaveFileRequest& request : requests) {
        EXPECT_EQ(request.title, "Save As");
        EXPECT_EQ(request.initialDirectory, testCase.expectedDirectory);
        EXPECT_EQ(request.initialName, testCase.expectedName);
        ASSERT_EQ(request.types.size(), 3u);
        EXPECT_EQ(request.types[0].description, "Text File (*.txt)");
        EXPECT_EQ(request.types[1].description, "CSV File (*.csv)");
        EXPECT_EQ(request.types[2].description, "All Files (*.*)");
        EXPECT_EQ(request.types[2].pattern, "*.*");
    }
}

INSTANTIATE_TEST_SUITE_P(InitialPaths, SaveFileDialogRequestTest,
    ::testing::Values(InitialPathCase { "Empty", "", "", "" },
        InitialPathCase { "DirectoryAndName", "/data/old/run.csv", "/data/old/", "run.csv" },
        InitialPathCase { "DirectoryOnly", "/data/old/", "/data/old/", "" },
        InitialPathCase { "NameOnly", "run.csv", "", "run.csv" }),
    marlume::testing::CaseName());

} // namespace
} // namespace marlume::dialogs
