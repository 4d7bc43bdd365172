// Rules of the group and user lists: sources, tile panel, scroll bars, mouse wheel.
#include "console/MainListRules.h"

#include <gtest/gtest.h>

using namespace zox::mainwnd;

namespace {

TEST(MainLists, UserListSourcePerGroupType)
{
    EXPECT_EQ(UserListSourceOf(kGroupTypeAllUsers), UserListSource::AllUsers);
    EXPECT_EQ(UserListSourceOf(kGroupTypeServer), UserListSource::GroupMembers);
    EXPECT_EQ(UserListSourceOf(kGroupTypeCamera), UserListSource::Cameras);
    EXPECT_EQ(UserListSourceOf(kGroupTypeCompany), UserListSource::CompanyUsers);
    EXPECT_EQ(UserListSourceOf(-1), UserListSource::None);
    EXPECT_EQ(UserListSourceOf(4), UserListSource::None);
}

TEST(MainLists, CameraShowsDisabledWhateverItsStatus)
{
    EXPECT_EQ(CameraRegState(1, 1), 1);
    EXPECT_EQ(CameraRegState(1, 0), 0);
    EXPECT_EQ(CameraRegState(0, 1), 3);
    EXPECT_EQ(CameraRegState(0, 0), 3);
}

TEST(MainLists, TilePanelHeightAndRows)
{
    const int tiles[] = {0, 1, 2, 3, 7, 8};
    const int heights[] = {0, 60, 60, 120, 240, 240};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(TilePanelHeight(tiles[i]), heights[i]) << tiles[i];
    EXPECT_EQ(TileRow(0), 1);
    EXPECT_EQ(TileRow(1), 1);
    EXPECT_EQ(TileRow(2), 2);
    EXPECT_EQ(TileRow(6), 4);
}

TEST(MainLists, ScrollBarNeededOnlyWhenTilesOverflow)
{
    // Seven groups in a host of 185: bar shown, range 240, view 185, line 60.
    ListScrollUpdate u = ListScrollUpdateFor(7, 185, TilePanelHeight(7), 0, 60);
    EXPECT_TRUE(u.act);
    EXPECT_TRUE(u.showBar);
    EXPECT_EQ(u.range, 240);
    EXPECT_EQ(u.view, 185);
    EXPECT_EQ(u.line, 60);
    EXPECT_EQ(u.position, 0);
    // Scrolled panel: the position is the panel's offset.
    u = ListScrollUpdateFor(7, 185, 240, -60, 60);
    EXPECT_EQ(u.position, 60);
    // Fits: the bar (when it exists) gets the parameters and hides.
    u = ListScrollUpdateFor(7, 240, 240, 0, 60);
    EXPECT_TRUE(u.act);
    EXPECT_FALSE(u.showBar);
    // Empty list: nothing at all.
    u = ListScrollUpdateFor(0, 10, 0, 0, 60);
    EXPECT_FALSE(u.act);
}

struct WheelCase {
    int x, y;
    bool groupBar, userBar;
    WheelTarget expect;
};

TEST(MainLists, WheelPicksTheListUnderTheCursor)
{
    // Group host 0..306 x 30..215, user host 0..306 x 250..600, scroll panels 14 wide.
    const WheelCase cases[] = {
        {100, 100, true, true, WheelTarget::Groups},
        {100, 300, true, true, WheelTarget::Users},
        {100, 100, false, true, WheelTarget::None},   // no group bar: the group list does not scroll
        {100, 300, true, false, WheelTarget::None},
        {3, 100, true, true, WheelTarget::None},      // within the 3-pixel margin
        {4, 100, true, true, WheelTarget::Groups},
        {316, 100, true, true, WheelTarget::Groups},  // over the scroll panel
        {317, 100, true, true, WheelTarget::None},
        {100, 33, true, true, WheelTarget::None},
        {100, 34, true, true, WheelTarget::Groups},
        {100, 211, true, true, WheelTarget::Groups},
        {100, 212, true, true, WheelTarget::None},
        {700, 300, true, true, WheelTarget::None},    // over the video wall
    };
    for (const WheelCase &c : cases) {
        WheelList g{c.groupBar, {0, 30, 306, 215}, 14};
        WheelList u{c.userBar, {0, 250, 306, 600}, 14};
        EXPECT_EQ(WheelTargetAt(c.x, c.y, g, u), c.expect) << c.x << "," << c.y;
    }
    EXPECT_TRUE(WheelScrollsDown(-120));
    EXPECT_FALSE(WheelScrollsDown(120));
    EXPECT_FALSE(WheelScrollsDown(0));
}

} // namespace
