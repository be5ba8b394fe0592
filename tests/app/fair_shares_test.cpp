#include "app/fair_shares.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::app {
namespace {

struct ShareCase {
    std::string name;
    std::vector<int> wanted;
    int room;
    std::vector<int> widths;
};

class FairSharesTest : public ::testing::TestWithParam<ShareCase> { };

TEST_P(FairSharesTest, GivesTheModestWhatTheyWantAndTheRestEvenShares)
{
    EXPECT_EQ(fairShares(GetParam().wanted, GetParam().room), GetParam().widths);
}

INSTANTIATE_TEST_SUITE_P(Rooms, FairSharesTest,
    ::testing::ValuesIn(std::vector<ShareCase> {
        { "RoomForAll", { 348, 343, 319, 177 }, 1300, { 348, 343, 319, 177 } },
        { "ShortTextStaysWhole", { 348, 343, 319, 177 }, 780, { 201, 201, 201, 177 } },
        { "NoneFits", { 348, 343, 319, 177 }, 446, { 112, 112, 111, 111 } },
        { "NoRoom", { 40, 50 }, -6, { 0, 0 } },
        { "NoFields", {}, 100, {} },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::app
