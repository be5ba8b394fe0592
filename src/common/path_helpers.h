#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::common {

inline constexpr char kPathSeparator = '/';

// What DisplayPath puts after a separator so that a word-wrapping label may break
// there: a zero-width space (UTF-8), since a visible blank would read as part of the path.
inline constexpr std::string_view kPathBreak = "\u200B";

// The path up to and including its last separator; empty if it has none.
[[nodiscard]] std::string DirectoryPart(std::string_view path, char separator = kPathSeparator);
// The text after the last separator; the whole path if it has none.
[[nodiscard]] std::string FileNamePart(std::string_view path, char separator = kPathSeparator);
// The file name's text after its last "."; empty if the file name has none. A dot in a
// directory name is no extension.
[[nodiscard]] std::string FileExtension(std::string_view path, char separator = kPathSeparator);
// The file name without its last "." and what follows.
[[nodiscard]] std::string BaseName(std::string_view path, char separator = kPathSeparator);
// A file's name as a label shows it: BaseName, a full stop, FileExtension ("run.csv", "run." for "run").
[[nodiscard]] std::string labelFileName(std::string_view path, char separator = kPathSeparator);
// DirectoryPart + BaseName + "." + extension.
[[nodiscard]] std::string ChangeExtension(
    std::string_view path, std::string_view extension, char separator = kPathSeparator);
// The path with breakText after every separator from position 6 on (1-based), so that a
// drive prefix or the two separators opening a network path stay unbroken.
[[nodiscard]] std::string DisplayPath(
    std::string_view path, char separator = kPathSeparator, std::string_view breakText = kPathBreak);

// Looks one name up in the file system; the file-name part of the regular file found, or
// nothing (no such file, a directory, any error).
using FileLookup = std::function<std::optional<std::string>(const std::string& path)>;

[[nodiscard]] std::optional<std::string> findRegularFile(const std::string& path);

// True if the path names an existing regular file. Never throws: any error gives false.
[[nodiscard]] bool FileExists(std::string_view path, const FileLookup& lookup = findRegularFile);

// The text followed by NULs up to exactly length characters. Throws
// std::invalid_argument when length is below the text's length.
[[nodiscard]] std::string PadWithNulls(std::string_view text, std::int32_t length);
// The text followed by one NUL.
[[nodiscard]] std::string NullTerminate(std::string_view text);
// The text before its first NUL; the whole text if it has none.
[[nodiscard]] std::string TrimAtNull(std::string_view text);

} // namespace marlume::common
