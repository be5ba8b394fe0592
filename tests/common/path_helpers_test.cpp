#include "common/path_helpers.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>

namespace marlume::common {
namespace {

using namespace std::string_literals;

// Inputs and results are written with "\"; each case runs again with "/".
struct PathCase {
    std::string name;
    std::function<std::string(const std::string& path, char separator)> call;
    std::string path;
    std::string expected;
};

std::string withSeparator(std::string text, char separator)
{
    std::replace(text.begin(), text.end(), '\\', separator);
    return text;
}

auto directoryPart = [](const std::string& path, char separator) { return DirectoryPart(path, separator); };
auto fileNamePart = [](const std::string& path, char separator) { return FileNamePart(path, separator); };
auto fileExtension = [](const std::string& path, char separator) { return FileExtension(path, separator); };
auto baseName = [](const std::string& path, char separator) { return BaseName(path, separator); };
auto changeExtensionTo(std::string extension)
{
    return [extension](const std::string& path, char separator) {
        return ChangeExtension(path, extension, separator);
    };
}
auto displayPathWithBlank
    = [](const std::string& path, char separator) { return DisplayPath(path, separator, " "); };

const std::vector<PathCase> kPathCases {
    { "DirectoryPartOfFullPath", directoryPart, R"(C:\data\run1.csv)", R"(C:\data\)" },
    { "DirectoryPartWithoutSeparator", directoryPart, "run1.csv", "" },
    { "DirectoryPartOfEmpty", directoryPart, "", "" },
    { "FileNamePartOfFullPath", fileNamePart, R"(C:\data\run1.csv)", "run1.csv" },
    { "FileNamePartAfterTrailingSeparator", fileNamePart, R"(C:\data\)", "" },
    { "FileNamePartWithoutSeparator", fileNamePart, "run1.csv", "run1.csv" },
    { "FileNamePartOfEmpty", fileNamePart, "", "" },
    { "FileExtensionOfFullPath", fileExtension, R"(C:\data\run1.csv)", "csv" },
    { "FileExtensionOfNameEndingInDot", fileExtension, R"(C:\data\run1.)", "" },
    { "FileExtensionIgnoresDotInDirectory", fileExtension, R"(C:\cast.3\run1)", "" },
    { "FileExtensionOfBareExtension", fileExtension, ".csv", "csv" },
    { "FileExtensionOfEmpty", fileExtension, "", "" },
    { "BaseNameOfFullPath", baseName, R"(C:\data\run1.csv)", "run1" },
    { "BaseNameWithoutExtension", baseName, R"(C:\data\run1)", "run1" },
    { "BaseNameDropsOnlyLastExtension", baseName, R"(C:\data\a.b.csv)", "a.b" },
    { "BaseNameIgnoresDotInDirectory", baseName, R"(C:\cast.3\run1)", "run1" },
    { "BaseNameOfBareExtension", baseName, ".csv", "" },
    { "BaseNameOfBareExtensionInDirectory", baseName, R"(C:\data\.csv)", "" },
    { "ChangeExtensionAddsOne", changeExtensionTo("csv"), R"(C:\data\run1)", R"(C:\data\run1.csv)" },
    { "ChangeExtensionReplacesOne", changeExtensionTo("csv"), R"(C:\data\run1.txt)", R"(C:\data\run1.csv)" },
    { "ChangeExtensionAfterTrailingDot", changeExtensionTo("txt"), R"(C:\data\run1.)",
        R"(C:\data\run1.txt)" },
    { "ChangeExtensionToEmptyLeavesDot", changeExtensionTo(""), R"(C:\data\run1)", R"(C:\data\run1.)" },
    { "ChangeExtensionKeepsDottedDirectory", changeExtensionTo("csv"), R"(C:\cast.3\run1)",
        R"(C:\cast.3\run1.csv)" },
    { "DisplayPathBreaksFromPositionSix", displayPathWithBlank, R"(C:\data\run1.csv)",
        R"(C:\data\ run1.csv)" },
    { "DisplayPathSeparatorAtPositionFive", displayPathWithBlank, R"(C:\a\b)", R"(C:\a\b)" },
    { "DisplayPathSeparatorAtPositionSix", displayPathWithBlank, R"(C:\ab\c)", R"(C:\ab\ c)" },
    { "DisplayPathNetworkPath", displayPathWithBlank, R"(\\server\share\run1.csv)",
        R"(\\server\ share\ run1.csv)" },
};

class PathHelperTest : public ::testing::TestWithParam<std::tuple<PathCase, char>> { };

TEST_P(PathHelperTest, GivesExpectedText)
{
    const auto& [testCase, separator] = GetParam();
    const std::string path = withSeparator(testCase.path, separator);
    EXPECT_EQ(testCase.call(path, separator), withSeparator(testCase.expected, separator))
        << "path: " << path;
}

INSTANTIATE_TEST_SUITE_P(BothSeparators, PathHelperTest,
    ::testing::Combine(::testing::ValuesIn(kPathCases), ::testing::Values('\\', '/')), [](const auto& row) {
        return std::get<0>(row.param).name + (std::get<1>(row.param) == '/' ? "_Slash" : "_Backslash");
    });

TEST(DisplayPathTest, BreaksWithZeroWidthSpaceByDefault)
{
    EXPECT_EQ(DisplayPath("/home/user/run.csv", '/'), "/home/\u200Buser/\u200Brun.csv");
}

struct BufferCase {
    std::string name;
    std::string actual;
    std::string expected;
};

const std::vector<BufferCase> kBufferCases {
    { "PadEmptyToThousand", PadWithNulls("", 1000), std::string(1000, '\0') },
    { "PadToOwnLength", PadWithNulls("abc", 3), "abc" },
    { "PadTextToFive", PadWithNulls("abc", 5), "abc\0\0"s },
    { "TrimThousandNulls", TrimAtNull(std::string(1000, '\0')), "" },
    { "TrimPathFollowedByNulls", TrimAtNull("/data/run1.csv\0\0\0"s), "/data/run1.csv" },
    { "TrimAtFirstNull", TrimAtNull("ab\0cd\0"s), "ab" },
    { "TrimWithoutNull", TrimAtNull("abc"), "abc" },
    { "TerminateText", NullTerminate("abc"), "abc\0"s },
    { "TerminateEmpty", NullTerminate(""), "\0"s },
};

class BufferTest : public ::testing::TestWithParam<BufferCase> { };

TEST_P(BufferTest, GivesExpectedBuffer)
{
    EXPECT_EQ(GetParam().actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, BufferTest, ::testing::ValuesIn(kBufferCases), marlume::testing::CaseName());

struct PadErrorCase {
    std::string name;
    std::string text;
    std::int32_t length;
};

class PadWithNullsErrorTest : public ::testing::TestWithParam<PadErrorCase> { };

TEST_P(PadWithNullsErrorTest, RefusesLengthBelowText)
{
    EXPECT_THROW(static_cast<void>(PadWithNulls(GetParam().text, GetParam().length)), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Errors, PadWithNullsErrorTest,
    ::testing::Values(PadErrorCase { "OneShort", "abc", 2 }, PadErrorCase { "Negative", "", -1 },
        PadErrorCase { "Zero", "a", 0 }),
    marlume::testing::CaseName());

// Real files in a folder of the test's own.
class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path()
            / ("marlume_file_exists_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "sub.dir");
        for (const char* name : { "run1.csv", ".hidden", "read_only.txt", "star*name", "sub.dir/inner.csv" })
            std::ofstream(m_dir / name) << "x";
        std::filesystem::permissions(m_dir / "read_only.txt", std::filesystem::perms::owner_read);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    [[nodiscard]] std::string path(const std::string& relative) const { return (m_dir / relative).string(); }

private:
    std::filesystem::path m_dir;
};

TEST_F(FileExistsTest, FindsExistingFiles)
{
    EXPECT_TRUE(FileExists(path("run1.csv")));
    EXPECT_TRUE(FileExists(path(".hidden")));
    EXPECT_TRUE(FileExists(path("read_only.txt")));
    EXPECT_TRUE(FileExists(path("sub.dir/inner.csv")));
}

TEST_F(FileExistsTest, RefusesWhatIsNoExistingFile)
{
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(path("missing.csv")));
    EXPECT_FALSE(FileExists(path("sub.dir")));
    EXPECT_FALSE(FileExists(path("sub.dir/")));
    EXPECT_FALSE(FileExists(path("run1.csv/")));
    EXPECT_FALSE(FileExists(path("star*name")));
    EXPECT_FALSE(FileExists(path("run?.csv")));
    EXPECT_FALSE(FileExists(path("run1.csv") + "\0junk"s));
}

struct LookupCase {
    std::string name;
    std::optional<std::string> found;
    bool expected;
};

class FileExistsLookupTest : public ::testing::TestWithParam<LookupCase> { };

TEST_P(FileExistsLookupTest, AcceptsOnlyTheNameAskedFor)
{
    const LookupCase& testCase = GetParam();
    EXPECT_EQ(
        FileExists("/data/Run1.csv", [&](const std::string&) { return testCase.found; }), testCase.expected);
}

INSTANTIATE_TEST_SUITE_P(Lookups, FileExistsLookupTest,
    ::testing::Values(LookupCase { "SameName", "Run1.csv", true },
        LookupCase { "OtherCase", "RUN1.CSV", true }, LookupCase { "OtherFile", "first.csv", false },
        LookupCase { "NothingFound", std::nullopt, false }, LookupCase { "EmptyName", "", false }),
    marlume::testing::CaseName());

TEST(FileExistsErrorTest, FailingLookupGivesFalse)
{
    EXPECT_FALSE(FileExists("/data/run1.csv",
        [](const std::string&) -> std::optional<std::string> { throw std::runtime_error("device gone"); }));
}

} // namespace
} // namespace marlume::common
