// The group and user lists of the main window against an in-memory cache: building,
// clicks and the current selection, the 500 ms refresh, scrolling and the wheel.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TScrollBarCtrl.h"
#include "console/ui/TUserCellCtrl.h"

#include <QLabel>

using namespace zox::mainwnd;

namespace {

class MainLists : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(true);
        FillCache(40);
        cache.users.push_back(MakeUser("1999", "Hidden", 1, 0, 0, 0, 4));
        form->ReloadLists();
        ShowForm();
    }
    TUserCellCtrl *UserTile(const std::string &number)
    {
        for (TUserCellCtrl *t : form->UserCells())
            if (t->GetUserNumber() == number)
                return t;
        return nullptr;
    }
};

TEST_F(MainLists, GroupListHoldsTheFixedGroupsThenTheServerGroups)
{
    const auto &g = form->GroupCells();
    ASSERT_EQ(g.size(), 7u);
    EXPECT_EQ(g[0]->GetGroupName(), "All user");
    EXPECT_EQ(g[0]->GetGroupId(), 0xFFFF);
    EXPECT_EQ(g[1]->GetGroupName(), "Camera");
    EXPECT_EQ(g[1]->GetGroupType(), 2);
    EXPECT_EQ(g[2]->GetGroupName(), "Patrol North");
    EXPECT_EQ(g[2]->GetGroupId(), 11);
    EXPECT_EQ(form->c_pFlowPanelGroup->height(), 240); // four rows of two
    EXPECT_TRUE(form->UserCells().empty());
    EXPECT_EQ(CurrentSelection.kind, 0);
    EXPECT_EQ(CurrentSelection.groupId, -1);
    EXPECT_TRUE(form->c_pUpdateTimer->isActive());
}

TEST_F(MainLists, WithoutACacheOnlyTheFixedGroups)
{
    form->SetListCache(nullptr);
    form->ReloadLists();
    EXPECT_EQ(form->GroupCells().size(), 2u);
    form->SetListCache(&cache);
}

TEST_F(MainLists, GroupClickListsItsUsersAndSelectsTheGroup)
{
    GroupTile(kGroupTypeServer, 11)->OnClickHandler(GroupTile(kGroupTypeServer, 11));
    EXPECT_EQ(form->UserCells().size(), 20u);
    EXPECT_EQ(form->c_pLabelUserGroup->text(), "Patrol North");
    EXPECT_TRUE(form->c_pImageCameraMenu->isHidden());
    EXPECT_EQ(CurrentSelection.kind, 1);
    EXPECT_EQ(CurrentSelection.groupType, 1);
    EXPECT_EQ(CurrentSelection.groupId, 11);
    EXPECT_TRUE(IsGroupSelectionActive());

    // "All user": every user but the hidden one, ordered as the cache gives them.
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    EXPECT_EQ(form->UserCells().size(), 40u);
    EXPECT_EQ(UserTile("1999"), nullptr);
    EXPECT_EQ(form->UserCells().front()->GetUserNumber(), "1001");
    EXPECT_FALSE(IsGroupSelectionActive()); // "All user" is not a server group
    EXPECT_EQ(CurrentSelection.groupId, 0xFFFF);
}

TEST_F(MainLists, CameraGroupShowsOneTilePerCameraAndTheCameraMenu)
{
    GroupTile(kGroupTypeCamera, kGroupIdCamera)->OnClickHandler(nullptr);
    ASSERT_EQ(form->UserCells().size(), 2u);
    EXPECT_EQ(form->UserCells()[0]->GetUserNumber(), "5");
    EXPECT_EQ(form->UserCells()[0]->GetUserType(), kUserTypeCamera);
    EXPECT_EQ(form->UserCells()[0]->PresencePicture(), "IMG_PRESENCE_ONLINE");
    // The disabled camera shows "Disabled" whatever its status.
    EXPECT_EQ(form->UserCells()[1]->PresenceIcon()->toolTip(), "Disabled");
    EXPECT_FALSE(form->c_pImageCameraMenu->isHidden());
}

TEST_F(MainLists, StateNoticeReachesTheTileWithinOneRefresh)
{
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    TUserCellCtrl *t = UserTile("1002");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->PresencePicture(), "IMG_PRESENCE_ONLINE");
    cache.User("1002")->callState = 0x00000100;
    cache.User("1003")->vpState = 0x10000001;
    cache.User("1001")->regState = 3;
    RefreshTick(*form);
    EXPECT_EQ(t->CallPicture(), "IMG_AUDIO_DISPATCH");
    EXPECT_TRUE(t->PresenceIcon()->isHidden());
    EXPECT_EQ(UserTile("1003")->VideoPicture(), "IMG_VIDEO_UPLOAD");
    EXPECT_EQ(UserTile("1001")->PresenceIcon()->toolTip(), "Disabled");
}

TEST_F(MainLists, ReclickingTheShownGroupKeepsItsTiles)
{
    TGroupCellCtrl *g = GroupTile(kGroupTypeServer, 11);
    g->OnClickHandler(g);
    const std::vector<TUserCellCtrl *> tiles = form->UserCells();
    tiles[3]->OnClickHandler(tiles[3]);
    EXPECT_TRUE(tiles[3]->IsSelected());
    EXPECT_EQ(CurrentSelection.kind, 2);
    const int reads = cache.reads;
    g->OnClickHandler(g);
    EXPECT_EQ(form->UserCells(), tiles);          // same tiles, not rebuilt
    EXPECT_FALSE(tiles[3]->IsSelected());          // only their selection cleared
    EXPECT_EQ(cache.reads, reads);                 // the list was not read again
    EXPECT_EQ(CurrentSelection.kind, 1);
}

TEST_F(MainLists, UserClickKeepsTheGroupAndSwitchesTheSelectionKind)
{
    TGroupCellCtrl *g = GroupTile(kGroupTypeServer, 11);
    g->OnClickHandler(g);
    TUserCellCtrl *u = UserTile("1003");
    ASSERT_NE(u, nullptr);
    u->OnClickHandler(u);
    EXPECT_EQ(CurrentSelection.kind, 2);
    EXPECT_EQ(CurrentSelection.targetType, 0);
    EXPECT_EQ(CurrentSelection.user.userNumber, "1003");
    EXPECT_EQ(CurrentSelection.user.displayName, "Unit 1003");
    EXPECT_EQ(CurrentSelection.groupType, 1);
    EXPECT_EQ(CurrentSelection.groupId, 11);
    EXPECT_FALSE(IsGroupSelectionActive());
    EXPECT_TRUE(IsUserSelectionActive());
    EXPECT_FALSE(g->IsSelected());
    // The selected user's row is read again by the refresh.
    cache.User("1003")->callState = 3;
    form->OnUpdateTimerOut();
    EXPECT_EQ(CurrentSelection.user.callState, 3u);
    // Back to the group.
    g->OnClickHandler(g);
    EXPECT_TRUE(IsGroupSelectionActive());
}

TEST_F(MainLists, SelectCellsByProgramScrollIntoView)
{
    EXPECT_TRUE(form->SelectGroupCell(kGroupTypeAllUsers, kGroupIdAllUsers));
    EXPECT_FALSE(form->SelectGroupCell(kGroupTypeServer, 99));
    ASSERT_NE(form->UserScrollBar(), nullptr);
    EXPECT_TRUE(form->UserScrollBar()->isVisible());
    EXPECT_EQ(form->UserScrollBar()->GetPosition(), 0);
    EXPECT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1040", false));
    EXPECT_TRUE(UserTile("1040")->IsSelected());
    EXPECT_EQ(CurrentSelection.user.userNumber, "1040");
    const int pos = form->UserScrollBar()->GetPosition();
    EXPECT_GT(pos, 0);
    // The tile lies inside the host after the scroll.
    const int top = UserTile("1040")->mapTo(form->c_pPanelUserHost, QPoint(0, 0)).y();
    EXPECT_GE(top, 0);
    EXPECT_LE(top + 60, form->c_pPanelUserHost->height());
    // Selecting it again changes nothing.
    EXPECT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1040", true));
    EXPECT_EQ(form->UserScrollBar()->GetPosition(), pos);
    EXPECT_FALSE(form->SelectUserCell(kUserTypeCamera, "1040", false)); // wrong type
}

TEST_F(MainLists, WheelScrollsOneLinePer200ms)
{
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    TScrollBarCtrl *bar = form->UserScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    const QPoint inside = form->c_pPanelUserHost->mapToGlobal(QPoint(50, 50));
    for (int i = 0; i < 5; ++i)
        form->OnFormMouseWheel(-120, inside);
    EXPECT_EQ(bar->GetPosition(), 60);
    ScrollTick(*form);
    form->OnFormMouseWheel(-120, inside);
    EXPECT_EQ(bar->GetPosition(), 120);
    // Outside both lists the wheel still blocks for 200 ms.
    ScrollTick(*form);
    form->OnFormMouseWheel(120, form->GetMainAreaPanel()->mapToGlobal(QPoint(50, 50)));
    form->OnFormMouseWheel(120, inside);
    EXPECT_EQ(bar->GetPosition(), 120);
    ScrollTick(*form);
    form->OnFormMouseWheel(120, inside);
    EXPECT_EQ(bar->GetPosition(), 60);
    // The flow panel follows the bar.
    EXPECT_EQ(form->c_pFlowPanelUser->y(), -60);
}

TEST_F(MainLists, ReloadClearsSelectionAndTiles)
{
    GroupTile(kGroupTypeServer, 11)->OnClickHandler(nullptr);
    form->ReloadLists();
    EXPECT_TRUE(form->UserCells().empty());
    EXPECT_EQ(form->c_pLabelUserGroup->text(), "");
    EXPECT_EQ(CurrentSelection.kind, 0);
    EXPECT_EQ(CurrentSelection.groupId, -1);
}

} // namespace
