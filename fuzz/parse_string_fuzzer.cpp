#include "common/number_text.h"
#include "fuzz_check.h"
#include "record/lenient_number.h"
#include "support/fake_clock.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace common = marlume::common;
namespace record = marlume::record;
namespace fuzz = marlume::fuzz;

// One input is one line given to parseString while an event collects. A rejected line
// leaves the reading alone; any line leaves the record sound and its values printable.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const marlume::testing::FakeClock clock;
    record::DataRecordClass record(clock);
    if (!record.parseString("100,1,2"))
        fuzz::require(false, "typical sentence rejected");
    record.startAvg();

    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (!record.parseString(line)) {
        fuzz::require(record.LastHeading() == 100 && record.LastPitch() == 1 && record.LastRoll() == 2
                && record.avgN() == 1,
            "rejected line changed the record");
    }
    fuzz::requireSoundRecord(record);

    for (const float value :
        { record.LastHeading(), record.LastPitch(), record.LastRoll(), record.LastTilt() }) {
        const auto back = common::parseNumberText(common::numberText(value, ','), ',');
        fuzz::require(back.has_value(), "number text not readable: " + common::numberText(value));
    }

    // Where the standard reader takes the whole line as a finite number, the lenient
    // reader must find the same double.
    double standard = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), standard);
    if (error == std::errc() && end == line.data() + line.size() && std::isfinite(standard)) {
        const auto lenient = record::readLenientNumber(line);
        fuzz::require(lenient && (*lenient == standard || (*lenient == 0 && standard == 0)),
            "lenient reader differs on " + std::string(line));
    }
    return 0;
}
