#include "common/path_helpers.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace marlume::common {

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIgnoringCase(std::string_view text, std::string_view part)
{
    const auto equal = [](char a, char b) { return asciiLower(a) == asciiLower(b); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), equal) != text.end();
}

// The file-name part with its last "." and what follows split off; dot is npos when it has none.
struct NameSplit {
    std::string_view name;
    std::size_t dot;
};

NameSplit splitFileName(std::string_view path, char separator)
{
    const std::size_t slash = path.rfind(separator);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return { name, name.rfind('.') };
}

} // namespace

std::string DirectoryPart(std::string_view path, char separator)
{
    const std::size_t slash = path.rfind(separator);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FileNamePart(std::string_view path, char separator)
{
    return std::string(splitFileName(path, separator).name);
}

std::string FileExtension(std::string_view path, char separator)
{
    const auto [name, dot] = splitFileName(path, separator);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string BaseName(std::string_view path, char separator)
{
    const auto [name, dot] = splitFileName(path, separator);
    return std::string(name.substr(0, dot));
}

std::string ChangeExtension(std::string_view path, std::string_view extension, char separator)
{
    std::string result = DirectoryPart(path, separator);
    result += BaseName(path, separator);
    result += '.';
    result += extension;
    return result;
}

std::string DisplayPath(std::string_view path, char separator, std::string_view breakText)
{
    // A separator at position 6 or later (1-based) gets the break.
    constexpr std::size_t firstBreakIndex = 5;
    std::string result;
    for (std::size_t i = 0; i < path.size(); ++i) {
        result += path[i];
        if (path[i] == separator && i >= firstBreakIndex)
            result += breakText;
    }
    return result;
}

std::optional<std::string> findRegularFile(const std::string& path)
{
    const std::filesystem::path fsPath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(fsPath, error) || error)
        return std::nullopt;
    return fsPath.filename().string();
}

bool FileExists(std::string_view path, const FileLookup& lookup)
{
    // A NUL would end the name early in the system's calls and test another file.
    if (path.empty() || path.find_first_of(std::string_view("?*\0", 3)) != std::string_view::npos)
        return false;
    try {
        const std::optional<std::string> found = lookup(std::string(path));
        // The name found must be part of the path asked for, else the lookup found some other entry.
        return found && !found->empty() && containsIgnoringCase(path, *found);
    } catch (const std::exception&) {
        return false;
    }
}

std::string PadWithNulls(std::string_view text, std::int32_t length)
{
    if (length < 0 || static_cast<std::size_t>(length) < text.size())
        throw std::invalid_argument("PadWithNulls: length below the text's length");
    std::string result(text);
    result.resize(static_cast<std::size_t>(length), '\0');
    return result;
}

std::string NullTerminate(std::string_view text)
{
    std::string result(text);
    result += '\0';
    return result;
}

std::string TrimAtNull(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

std::string labelFileName(std::string_view path, char separator)
{
    return BaseName(path, separator) + '.' + FileExtension(path, separator);
}

} // namespace marlume::common
