#include "app/form_resize.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::app {
namespace {

// The sizes the rules set, in the order of the rules, and LogText's Left.
struct Sizes {
    double frameWidth;
    double frameHeight;
    double tableLabelWidth;
    double logTextWidth;
    double logTextLeft;
    double logTextHeight;
};

Sizes sizesOf(const EventsLayout& layout)
{
    return { layout.eventsFrame.width, layout.eventsFrame.height, layout.tableLabel.width,
        layout.logText.width, layout.logText.left, layout.logText.height };
}

EventsLayout withSizes(const Sizes& s)
{
    EventsLayout layout = kDesignEventsLayout;
    layout.eventsFrame.width = s.frameWidth;
    layout.eventsFrame.height = s.frameHeight;
    layout.tableLabel.width = s.tableLabelWidth;
    layout.logText.width = s.logTextWidth;
    layout.logText.left = s.logTextLeft;
    layout.logText.height = s.logTextHeight;
    return layout;
}

// The result of a 10000 x 8000 client area, the starting point of the failing cases.
constexpr Sizes kLarge { 9760, 6200, 9400, 9520, 120, 5360 };

struct ResizeCase {
    std::string name;
    Sizes before;
    double scaleWidth;
    double scaleHeight;
    Sizes expected;
};

class FormResizeTest : public ::testing::TestWithParam<ResizeCase> { };

TEST_P(FormResizeTest, FollowsTheClientArea)
{
    const auto& c = GetParam();
    const EventsLayout before = withSizes(c.before);
    const EventsLayout after = resizeEventsLayout(before, c.scaleWidth, c.scaleHeight);
    const Sizes got = sizesOf(after);
    EXPECT_EQ(got.frameWidth, c.expected.frameWidth) << "EventsFrame.Width";
    EXPECT_EQ(got.frameHeight, c.expected.frameHeight) << "EventsFrame.Height";
    EXPECT_EQ(got.tableLabelWidth, c.expected.tableLabelWidth) << "TableLabel.Width";
    EXPECT_EQ(got.logTextWidth, c.expected.logTextWidth) << "LogText.Width";
    EXPECT_EQ(got.logTextLeft, c.expected.logTextLeft) << "LogText.Left";
    EXPECT_EQ(got.logTextHeight, c.expected.logTextHeight) << "LogText.Height";
    EXPECT_EQ(after.eventsFrame.left, 120);
    EXPECT_EQ(after.eventsFrame.top, 1680);
    EXPECT_EQ(after.tableLabel.left, 180);
    EXPECT_EQ(after.tableLabel.top, 360);
    EXPECT_EQ(after.tableLabel.height, 255);
    EXPECT_EQ(after.logText.top, 600);
}

constexpr Sizes kDesign { 6975, 4575, 7455, 6375, 120, 3855 };

INSTANTIATE_TEST_SUITE_P(Cases, FormResizeTest,
    ::testing::ValuesIn(std::vector<ResizeCase> {
        { "DesignSize", kDesign, 7230, 6750, { 6990, 4950, 6630, 6750, 120, 4110 } },
        { "Large", kDesign, 10000, 8000, kLarge },
        { "MinimisedChangesNothing", kLarge, 0, 0, kLarge },
        { "RestoredAfterMinimising", kLarge, 7230, 6750, { 6990, 4950, 6630, 6750, 120, 4110 } },
        { "Width500StopsAtTheTableLabel", kLarge, 500, 6750, { 260, 4950, 9400, 9520, 120, 5360 } },
        { "Height1700StopsAtTheFrameHeight", kLarge, 7230, 1700, { 6990, 6200, 9400, 9520, 120, 5360 } },
        { "Height2000StopsAtTheLogTextHeight", kLarge, 7230, 2000, { 6990, 200, 6630, 6750, 120, 5360 } },
        { "FrameWidthExactlyZeroIsAccepted", kLarge, 240, 6750, { 0, 4950, 9400, 9520, 120, 5360 } },
        { "LogTextHeightExactlyZeroIsAccepted", kLarge, 7230, 2640, { 6990, 840, 6630, 6750, 120, 0 } },
        { "LogTextWidthUsesTheLeftBeforeItIsReset", { 6975, 4575, 7455, 6375, 200, 3855 }, 7230, 6750,
            { 6990, 4950, 6630, 6590, 120, 4110 } },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::app
