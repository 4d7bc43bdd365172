// Layout and paging of the operate bar.
#include "console/OperateBarLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zox::mainwnd;

namespace {

struct BarCase {
    const char *name;
    int width;       // operate panel, arrows 45 each
    int count;       // visible buttons
    int pageIndex;
    int perPage, first, firstLeft;
    bool leftArrow, rightArrow;
};

const BarCase kCases[] = {
    // 400 wide: avail 310, three a page.
    {"w400_n14_p0", 400, 14, 0, 3, 0, 55, false, true},
    {"w400_n14_p5", 400, 14, 5, 3, 5, 55, true, true},
    {"w400_n14_p11", 400, 14, 11, 3, 11, 55, true, false},
    {"w400_n14_p13", 400, 14, 13, 3, 11, 55, true, false},   // past the end: the last page
    // After paging the 14 user actions to 11, a group shows its last three actions.
    {"w400_n10_p11", 400, 10, 11, 3, 7, 55, true, false},
    {"w400_n10_p10", 400, 10, 10, 3, 7, 55, true, false},
    {"w400_n10_p8", 400, 10, 8, 3, 7, 55, true, false},
    {"w400_n10_p7", 400, 10, 7, 3, 7, 55, true, false},
    {"w400_n10_p6", 400, 10, 6, 3, 6, 55, true, true},
    // Everything fits: both arrows off, the row centred in the free space.
    {"w1200_n10_p0", 1200, 10, 0, 10, 0, 105, false, false},
    {"w1200_n10_p4", 1200, 10, 4, 10, 0, 105, false, false},
    {"w400_n2_p0", 400, 2, 0, 2, 0, 105, false, false},
    {"w400_n0_p0", 400, 0, 0, 0, 0, 200, false, false},
    // Exactly one page of 14 (avail 1410 -> 14).
    {"w1500_n14_p0", 1500, 14, 0, 14, 0, 55, false, false},
    // A strip too narrow for any button.
    {"w150_n14_p0", 150, 14, 0, 0, 0, 80, false, true},
    {"w20_n14_p0", 20, 14, 0, 0, 0, 15, false, true},
};

void PrintTo(const BarCase &c, std::ostream *os) { *os << c.name; }

class BarTable : public ::testing::TestWithParam<BarCase> {};

TEST_P(BarTable, Layout)
{
    const BarCase &c = GetParam();
    const OperateBarLayout l = LayoutOperateBar(c.width, 45, 45, c.count, c.pageIndex);
    EXPECT_EQ(l.avail, c.width - 90);
    EXPECT_EQ(l.perPage, c.perPage);
    EXPECT_EQ(l.first, c.first);
    ASSERT_EQ(static_cast<int>(l.lefts.size()), c.perPage);
    for (int i = 0; i < c.perPage; ++i)
        EXPECT_EQ(l.lefts[i], c.firstLeft + 100 * i);
    EXPECT_EQ(l.leftArrowEnabled, c.leftArrow);
    EXPECT_EQ(l.rightArrowEnabled, c.rightArrow);
    for (int i = 0; i < c.count; ++i)
        EXPECT_EQ(l.IsShown(i), i >= c.first && i < c.first + c.perPage);
    if (c.perPage > 0) {
        // Shown buttons stay between the arrows.
        EXPECT_GE(l.lefts.front(), 45);
        EXPECT_LE(l.lefts.back() + kOperateButtonWidth, c.width - 45);
    }
}

INSTANTIATE_TEST_SUITE_P(OperateBar, BarTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BarCase> &i) { return std::string(i.param.name); });

TEST(OperateBar, ArrowClicksWalkThePageIndex)
{
    // Left lowers down to 0; right raises while index + 1 < count.
    std::vector<int> seen;
    int page = 11;
    for (int i = 0; i < 13; ++i) {
        page = SlideLeft(page);
        seen.push_back(page);
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0}));
    page = 12;
    page = SlideRight(page, 14);
    EXPECT_EQ(page, 13);
    EXPECT_EQ(SlideRight(page, 14), 13);
    EXPECT_EQ(SlideRight(0, 0), 0);
}

TEST(OperateBar, DispatchPanelWidth) { EXPECT_EQ(DispatchPanelWidth(64), 264); }

} // namespace
