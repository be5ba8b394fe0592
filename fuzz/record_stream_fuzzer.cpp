#include "fuzz_check.h"
#include "support/fake_clock.h"
#include "support/fake_file_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace platform = marlume::platform;
namespace record = marlume::record;
namespace fuzz = marlume::fuzz;

namespace {

constexpr platform::FileNumber kFile = 1;

// Every line of the capture file ends with CR LF and is the header or a record of
// nine fields made of digits, separators, signs and exponents only (no inf, no nan).
void requireSoundCaptureFile(const std::string& contents)
{
    std::size_t start = 0;
    while (start < contents.size()) {
        const std::size_t end = contents.find("\r\n", start);
        fuzz::require(end != std::string::npos, "capture line without CR LF");
        const std::string_view line(contents.data() + start, end - start);
        fuzz::require(std::count(line.begin(), line.end(), ',') == 8, "capture line without nine fields");
        fuzz::require(
            line.starts_with("Number,Date,") || line.find_first_not_of("0123456789,/:.-+E ") == line.npos,
            "capture record with a foreign character: " + std::string(line));
        start = end + 2;
    }
}

} // namespace

// A byte stream through the record as a receiver would feed it: each line, up to its line
// feed, through parseString; a few byte values start and end events, write to the capture
// file, reset the numbering and move the clock.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    marlume::testing::FakeClock clock;
    record::DataRecordClass record(clock);
    marlume::testing::FakeFileWriter output;
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        switch (data[i]) {
        case 0x01:
            record.startAvg();
            break;
        case 0x02:
            record.endAvg();
            break;
        case 0x03:
            fuzz::require(record.writeAvgToFile(output, kFile), "record write reported failure");
            break;
        case 0x04:
            fuzz::require(record.writeHeadingToFile(output, kFile), "header write reported failure");
            break;
        case 0x05:
            record.ResetSequenceNumber();
            break;
        case 0x06:
            clock.advanceMilliseconds(1500);
            break;
        case '\n':
            static_cast<void>(record.parseString(std::exchange(line, {})));
            break;
        default:
            line += static_cast<char>(data[i]);
        }
        fuzz::requireSoundRecord(record);
    }
    requireSoundCaptureFile(output.contents[kFile]);
    return 0;
}
