// The main window after a real login: the lists show what the server served; its state
// notices reach the tiles through the cache.
#include "MainAfterLogin.h"

using namespace zox::mainwnd;
using namespace zoxtest;

namespace {

TEST_F(MainAfterLogin, ListsShowWhatTheServerServed)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const auto &g = mainForm->GroupCells();
    ASSERT_EQ(g.size(), 8u);
    EXPECT_EQ(g[0]->GetGroupName(), "All user");
    EXPECT_EQ(g[1]->GetGroupName(), "Camera");
    EXPECT_EQ(g[2]->GetGroupName(), "Patrol North");
    EXPECT_EQ(g[7]->GetGroupId(), 16);
    EXPECT_EQ(mainForm->c_pLabelTitle->text(), "ZoxClient Dispatch Console");
    EXPECT_TRUE(mainForm->UserCells().empty()); // nothing shown until a group is clicked
    EXPECT_EQ(CurrentSelection.kind, 0);

    g[0]->OnClickHandler(g[0]);
    EXPECT_EQ(mainForm->UserCells().size(), 32u);
    EXPECT_EQ(UserTile("3004")->PresencePicture(), "IMG_PRESENCE_INVISIBLE"); // served offline
    EXPECT_EQ(UserTile("3005")->PresencePicture(), "IMG_PRESENCE_ONLINE");
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    // Members of 11: users 0, 6, 12, ... by their first group, and 1..13 but not 6, 12.
    EXPECT_EQ(mainForm->UserCells().size(), 6u + 11u);
    EXPECT_EQ(mainForm->c_pLabelUserGroup->text(), "Patrol North");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainAfterLogin, StateNoticeReachesTheTileWithinOneRefresh)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    TUserCellCtrl *t = UserTile("3002");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->CallPicture(), "");
    Notice("3002", 1, 0x00000100, 0);
    Notice("3003", 1, 0x00030000, 0x10000003);
    Notice("3005", 3, 0, 0);
    RefreshTick(*mainForm); // one refresh period
    EXPECT_EQ(t->CallPicture(), "IMG_AUDIO_DISPATCH");
    EXPECT_EQ(UserTile("3003")->CallPicture(), "IMG_PHONE_CALL_BUSY");
    EXPECT_EQ(UserTile("3003")->VideoPicture(), "IMG_VIDEO_BOTHTRANS");
    EXPECT_EQ(UserTile("3005")->PresenceIcon()->toolTip(), "Disabled");
}

TEST_F(MainAfterLogin, ReclickKeepsTilesAndSelectionRules)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_TRUE(IsGroupSelectionActive());
    EXPECT_EQ(mainForm->VisibleOperateButtons().size(), 10u);
    const auto tiles = mainForm->UserCells();
    ASSERT_TRUE(mainForm->SelectUserCell(kUserTypeDispatch, "3008", true));
    EXPECT_EQ(CurrentSelection.kind, 2);
    EXPECT_EQ(CurrentSelection.groupId, 11);
    EXPECT_EQ(CurrentSelection.user.displayName, "H. Tanaka");
    EXPECT_TRUE(IsUserSelectionActive());
    EXPECT_FALSE(IsGroupSelectionActive());
    EXPECT_EQ(mainForm->VisibleOperateButtons().size(), 14u);
    Notice("3008", 1, 0x00000003, 0);
    RefreshTick(*mainForm);
    EXPECT_EQ(CurrentSelection.user.callState, 3u); // the target is read again
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_EQ(mainForm->UserCells(), tiles);
    for (TUserCellCtrl *u : tiles)
        EXPECT_FALSE(u->IsSelected());
    EXPECT_TRUE(IsGroupSelectionActive());
}

} // namespace
