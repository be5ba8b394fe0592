#include "record/data_record_class.h"

#include "record_invariants.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace marlume::record {
namespace {

// Every stored fuzz seed, given to parseString as one line, keeps the record sound.
TEST(FuzzCorpusReplay, EverySeedKeepsTheRecordSound)
{
    const std::filesystem::path corpus = std::filesystem::path(MARLUME_FUZZ_CORPUS_DIR) / "parse_string";
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int seeds = 0;
    testing::FakeClock clock;
    DataRecordClass record(clock);
    record.startAvg();
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string seed { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
        static_cast<void>(record.parseString(seed));
        EXPECT_EQ(fuzz::brokenRecordInvariant(record), "") << entry.path();
        ++seeds;
    }
    EXPECT_GT(seeds, 10);
}

} // namespace
} // namespace marlume::record
