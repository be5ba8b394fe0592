#include "common/raw_log_format.h"
#include "common/time_text.h"
#include "fuzz_require.h"
#include "platform/raw_log_reader.h"
#include "support/temporary_folder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common = marlume::common;
namespace platform = marlume::platform;
namespace fuzz = marlume::fuzz;

namespace {

// A DEL in the input stands for this many digits, so that short inputs make lines past the reader's limit.
constexpr char kStretch = '\x7f';
constexpr std::size_t kStretchLength = 1024;

std::string stretched(std::string_view input)
{
    std::string text;
    for (const char c : input) {
        if (c == kStretch)
            text.append(kStretchLength, '0');
        else
            text += c;
    }
    return text;
}

std::string_view withoutCr(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The lines as a reader finds them: cut at each LF, one CR before it dropped; after the last LF, a line only
// where more than a CR is left.
std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = withoutCr(text.substr(0, end));
        if (end != std::string_view::npos || !line.empty())
            lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

bool sameEntry(const common::RawLogEntry& a, const common::RawLogEntry& b)
{
    return a.time == b.time && a.sentence == b.sentence && a.eventNumber == b.eventNumber
        && a.shown == b.shown;
}

// What a line read with a layout must be, whatever its bytes: read alike into a fresh entry and into one used
// before, with or without a CR at its end; when taken, its time written back is its first field, a reading
// has three fields, and only the newer layout has marks and the heading shown. A line an older log takes is
// taken by the newer one with a heading shown after it.
void requireSoundLine(std::string_view line, common::RawLogLayout layout, common::RawLogEntry& used)
{
    std::string problem;
    const std::optional<common::RawLogEntry> entry = common::parseRawLogLine(line, layout, problem);
    fuzz::require(entry || !problem.empty(), "line refused without a reason");
    const bool again = common::parseRawLogLine(line, layout, used, problem);
    fuzz::require(
        again == entry.has_value() && (!again || sameEntry(*entry, used)), "used entry reads otherwise");
    if (!line.ends_with('\r')) {
        const auto withCr = common::parseRawLogLine(std::string(line) + '\r', layout, problem);
        fuzz::require(withCr.has_value() == entry.has_value() && (!entry || sameEntry(*entry, *withCr)),
            "a CR at the end changes the line");
    }
    if (!entry)
        return;
    const bool newer = layout == common::RawLogLayout::WithMarks;
    fuzz::require(common::isoDateTimeText(entry->time, true) == line.substr(0, 23), "time not as written");
    fuzz::require(
        entry->shown.has_value() == newer && (newer || !entry->isMark()), "mark or shown out of place");
    fuzz::require(entry->eventNumber >= 0, "negative event number");
    fuzz::require(entry->isMark() || std::count(entry->sentence.begin(), entry->sentence.end(), ',') == 2,
        "sentence without three fields");
    if (!newer) {
        const auto withShown = common::parseRawLogLine(
            std::string(withoutCr(line)) + ",0", common::RawLogLayout::WithMarks, problem);
        fuzz::require(withShown && withShown->time == entry->time && withShown->sentence == entry->sentence
                && withShown->eventNumber == entry->eventNumber && withShown->shown == 0.0F,
            "older line not taken with a heading shown: " + problem);
    }
}

// The reader gives every line as the line parser reads it, in order and numbered from the header's 1, stops
// at the first bad or overlong line and says which, skips a last line without its line end and says so,
// and has read all of a sound file at its end.
void requireReadAsParsed(const std::string& path, std::string_view text)
{
    const std::vector<std::string_view> lines = linesOf(text);
    const std::optional<common::RawLogLayout> layout
        = lines.empty() ? std::nullopt : common::rawLogLayout(lines.front());
    platform::RawLogReader reader;
    const std::optional<std::string> refused = reader.open(path);
    fuzz::require(
        refused.has_value() == !layout, "header " + std::string(refused ? "refused" : "taken") + " wrongly");
    if (!layout)
        return;
    // What a power cut leaves: a last line without its line end. A lone CR after the last LF is no line.
    const std::size_t lastLineFeed = text.rfind('\n');
    const bool lastLineCutOff
        = !withoutCr(text.substr(lastLineFeed == std::string_view::npos ? 0 : lastLineFeed + 1)).empty();
    std::string problem;
    double fraction = reader.fractionRead();
    for (std::size_t at = 1; at < lines.size(); ++at) {
        const std::string lineName = "line " + std::to_string(at + 1) + " ";
        const common::RawLogEntry* const entry = reader.next(problem);
        fuzz::require(
            reader.fractionRead() >= fraction && reader.fractionRead() <= 1, "fraction read goes back");
        fraction = reader.fractionRead();
        if (lines[at].size() > platform::RawLogReader::kLongestLine) {
            fuzz::require(
                !entry && problem == lineName + "is longer than 4096 characters", "long line: " + problem);
            return;
        }
        if (at + 1 == lines.size() && lastLineCutOff) {
            // Skipped and told.
            fuzz::require(!entry && problem.empty()
                    && reader.cutOffLine() == lineName + "ends without a line end: skipped",
                "cut-off last line: " + problem);
            return;
        }
        std::string expectedProblem;
        const auto expected = common::parseRawLogLine(lines[at], *layout, expectedProblem);
        if (!expected) {
            fuzz::require(!entry && problem == lineName + expectedProblem, "bad line: " + problem);
            return;
        }
        fuzz::require(
            entry && sameEntry(*entry, *expected) && reader.lineNumber() == static_cast<std::int64_t>(at + 1),
            "line read otherwise: " + problem);
    }
    fuzz::require(!reader.next(problem) && problem.empty(), "more read than the file holds: " + problem);
    fuzz::require(reader.fractionRead() == 1, "the end read short of the whole file");
}

} // namespace

// The input, DELs stretched, is a raw readings log: each of its lines read with both layouts, and the whole
// written to a file and read back through the reader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const marlume::testing::TemporaryFolder folder;
    static const std::string path = folder.pathOf("raw.txt");
    const std::string text = stretched(std::string_view(reinterpret_cast<const char*>(data), size));

    common::RawLogEntry used;
    for (const std::string_view line : linesOf(text)) {
        requireSoundLine(line, common::RawLogLayout::ReadingsOnly, used);
        requireSoundLine(line, common::RawLogLayout::WithMarks, used);
    }
    fuzz::require(marlume::testing::writeFile(path, text), "cannot write " + path);
    requireReadAsParsed(path, text);
    return 0;
}
