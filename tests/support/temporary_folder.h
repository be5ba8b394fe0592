#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace marlume::testing {

// A folder of the test's own, removed with everything in it.
class TemporaryFolder final {
public:
    TemporaryFolder()
    {
        std::string folderTemplate
            = (std::filesystem::temp_directory_path() / "marlume-test-XXXXXX").string();
        if (mkdtemp(folderTemplate.data()) != nullptr)
            m_path = folderTemplate;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    [[nodiscard]] std::string pathOf(std::string_view name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The whole of a file, or a note that it cannot be read.
[[nodiscard]] inline std::string fileContents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "(cannot read " + path.string() + ")";
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// Writes the text as the file's whole contents; false when it cannot.
[[nodiscard]] inline bool writeFile(const std::filesystem::path& path, std::string_view text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}

} // namespace marlume::testing
