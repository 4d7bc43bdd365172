// The user list of a large group: only the tiles in sight exist and are reused as the
// list scrolls; the selection stays with its user; the refresh and the tips read only
// the rows in sight.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/TScrollBarCtrl.h"
#include "console/ui/TUserCellCtrl.h"

#include <QLabel>

#include <set>

using namespace zox::mainwnd;

namespace {

constexpr int kUsers = 3000;

class BigList : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(true);
        FillCache(kUsers);
        ST_ZOX_UAP_VOIPUSER u;
        u.RealName = "Li Wei";
        u.OrgName = "Traffic";
        u.PoliceNum = "P-9";
        cache.uap[Number(kUsers - 1)] = u;
        form->ReloadLists();
        ShowForm();
        GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
        ASSERT_NE(form->UserScrollBar(), nullptr);
    }
    static std::string Number(int row) { return std::to_string(1001 + row); }
    // Every user tile on the tile panel, shown or not.
    std::vector<TUserCellCtrl *> AllTiles() const
    {
        const QList<TUserCellCtrl *> l = form->c_pFlowPanelUser->findChildren<TUserCellCtrl *>(Qt::FindDirectChildrenOnly);
        return std::vector<TUserCellCtrl *>(l.begin(), l.end());
    }
    // The tile in sight that shows this number (null when none).
    TUserCellCtrl *Shown(const std::string &number) const
    {
        for (TUserCellCtrl *t : form->VisibleUserCells())
            if (t->GetUserNumber() == number)
                return t;
        return nullptr;
    }
    int HostTop(QWidget *tile) const { return tile->mapTo(form->c_pPanelUserHost, QPoint(0, 0)).y(); }
    // The tiles in sight show the rows at the scroll position, in order, in their places.
    void ExpectTilesMatchPosition(const char *what)
    {
        const int pos = form->UserScrollBar()->GetPosition();
        const std::vector<TUserCellCtrl *> shown = form->VisibleUserCells();
        ASSERT_FALSE(shown.empty()) << what;
        const int firstRow = pos / kTileHeight * kTilesPerRow;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const int row = firstRow + static_cast<int>(i);
            EXPECT_EQ(shown[i]->GetUserNumber(), Number(row)) << what;
            EXPECT_TRUE(shown[i]->isVisible()) << what;
            EXPECT_EQ(HostTop(shown[i]), row / kTilesPerRow * kTileHeight - pos) << what << ", row " << row;
        }
        const int rowsInView = (form->c_pPanelUserHost->height() + kTileHeight - 1) / kTileHeight + 1;
        EXPECT_LE(static_cast<int>(AllTiles().size()), rowsInView * kTilesPerRow) << what;
    }
};

TEST_F(BigList, OnlyTheTilesInSightExistAndAreReusedWhenScrollingFar)
{
    EXPECT_EQ(form->UserRowCount(), kUsers);
    EXPECT_EQ(form->c_pFlowPanelUser->height(), kUsers / 2 * kTileHeight);
    ExpectTilesMatchPosition("at the top");
    const std::vector<TUserCellCtrl *> before = AllTiles();

    struct Step {
        const char *what;
        std::function<void(TScrollBarCtrl *)> scroll;
    } steps[] = {
        {"one line down", [](TScrollBarCtrl *b) { b->ScrollLineDown(); }},
        {"one page down", [](TScrollBarCtrl *b) { b->ScrollPageDown(); }},
        {"far down", [](TScrollBarCtrl *b) { b->ResetViewport(1200); }},
        {"at the end", [](TScrollBarCtrl *b) { b->ResetViewport(kUsers / 2); }},
        {"one page up from the end", [](TScrollBarCtrl *b) { b->ScrollPageUp(); }},
        {"back at the top", [](TScrollBarCtrl *b) { b->ResetViewport(1); }},
    };
    for (const Step &s : steps) {
        s.scroll(form->UserScrollBar());
        ExpectTilesMatchPosition(s.what);
        // No tile was made for the scroll: the same tiles show other rows.
        std::vector<TUserCellCtrl *> now = AllTiles();
        EXPECT_EQ(std::set<TUserCellCtrl *>(now.begin(), now.end()),
                  std::set<TUserCellCtrl *>(before.begin(), before.end()))
            << s.what;
    }
    EXPECT_EQ(form->c_pFlowPanelUser->y(), 0);
}

TEST_F(BigList, SelectingAUserFarDownScrollsToItAndTheSelectionStaysWithTheUser)
{
    const std::string far = Number(2500);
    ASSERT_EQ(Shown(far), nullptr);
    EXPECT_TRUE(form->SelectUserCell(kUserTypeDispatch, far, false));
    EXPECT_EQ(CurrentSelection.kind, kSelectUser);
    EXPECT_EQ(CurrentSelection.user.userNumber, far);
    EXPECT_EQ(CurrentSelection.user.displayName, "Unit " + far);
    TUserCellCtrl *t = Shown(far);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->IsSelected());
    EXPECT_GE(HostTop(t), 0);
    EXPECT_LE(HostTop(t) + kTileHeight, form->c_pPanelUserHost->height());
    ExpectTilesMatchPosition("at the selected user");
    for (TUserCellCtrl *o : form->VisibleUserCells())
        EXPECT_EQ(o->IsSelected(), o == t) << o->GetUserNumber();

    // Scrolled away, the tile that showed the user shows another one, unselected.
    form->UserScrollBar()->ResetViewport(1);
    for (TUserCellCtrl *o : form->VisibleUserCells())
        EXPECT_FALSE(o->IsSelected()) << o->GetUserNumber();
    EXPECT_EQ(CurrentSelection.user.userNumber, far);

    // Back again by the wheel-less route: the user's tile is selected again, and a
    // second selection neither notifies nor scrolls.
    EXPECT_TRUE(form->SelectUserCell(kUserTypeDispatch, far, true));
    ASSERT_NE(Shown(far), nullptr);
    EXPECT_TRUE(Shown(far)->IsSelected());
    const int pos = form->UserScrollBar()->GetPosition();
    CurrentSelection.kind = kSelectGroup; // would be set back by a notification
    EXPECT_TRUE(form->SelectUserCell(kUserTypeDispatch, far, true));
    EXPECT_EQ(CurrentSelection.kind, kSelectGroup);
    EXPECT_EQ(form->UserScrollBar()->GetPosition(), pos);
    CurrentSelection.kind = kSelectUser;

    // A click on another tile in sight moves the selection there.
    TUserCellCtrl *other = form->VisibleUserCells().front();
    other->OnClickHandler(other);
    EXPECT_TRUE(other->IsSelected());
    EXPECT_FALSE(Shown(far)->IsSelected());
    EXPECT_EQ(CurrentSelection.user.userNumber, other->GetUserNumber());

    // Clicking the group again clears the row's selection, wherever the row is.
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    EXPECT_EQ(form->UserRows().Selected(), -1);
    for (TUserCellCtrl *o : form->VisibleUserCells())
        EXPECT_FALSE(o->IsSelected());
}

TEST_F(BigList, RefreshWhileScrolledReadsOnlyTheRowsInSight)
{
    form->UserScrollBar()->ResetViewport(1000);
    const std::vector<TUserCellCtrl *> shown = form->VisibleUserCells();
    ASSERT_GE(shown.size(), 2u);
    const std::string a = shown[0]->GetUserNumber();
    const std::string b = shown.back()->GetUserNumber();
    cache.User(a)->regState = 1;
    cache.User(a)->callState = 0x00000100;
    cache.User(b)->regState = 1;
    cache.User(b)->vpState = 0x10000001;
    cache.User(Number(0))->regState = 3; // far out of sight

    const int reads = cache.stateReads;
    form->OnUpdateTimerOut();
    EXPECT_EQ(cache.stateReads, reads + 1);
    EXPECT_LE(cache.lastStateNumbers.size(), AllTiles().size());
    EXPECT_EQ(std::count(cache.lastStateNumbers.begin(), cache.lastStateNumbers.end(), Number(0)), 0);
    EXPECT_EQ(Shown(a)->CallPicture(), "IMG_AUDIO_DISPATCH");
    EXPECT_EQ(Shown(b)->VideoPicture(), "IMG_VIDEO_UPLOAD");

    // A row coming into sight shows its state at once, not the one read at the switch.
    form->UserScrollBar()->ResetViewport(1);
    ASSERT_NE(Shown(Number(0)), nullptr);
    EXPECT_EQ(Shown(Number(0))->PresenceIcon()->toolTip(), "Disabled");
    // Leaving and coming back shows the state of the time of the return.
    cache.User(a)->callState = 0;
    form->UserScrollBar()->ResetViewport(1000);
    ASSERT_NE(Shown(a), nullptr);
    EXPECT_EQ(Shown(a)->CallPicture(), "");
}

TEST_F(BigList, TipsAreReadForTheRowsComingIntoSightOnly)
{
    const int afterSwitch = cache.tipReads;
    EXPECT_EQ(afterSwitch, 1); // one read for the first rows in sight
    form->UserScrollBar()->ResetViewport(kUsers / 2);
    EXPECT_EQ(cache.tipReads, afterSwitch + 1);
    TUserCellCtrl *last = Shown(Number(kUsers - 1));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->NameLabel()->toolTip(), QString("Li Wei (%1)\r\nTraffic (P-9)").arg(kUsers + 1000));
    // A tile reused for a user without a tip shows that user's own hint again.
    form->UserScrollBar()->ResetViewport(1);
    for (TUserCellCtrl *t : form->VisibleUserCells())
        EXPECT_EQ(t->NameLabel()->toolTip().toStdString(), "Unit " + t->GetUserNumber() + " (" + t->GetUserNumber() + ")");
    // Rows looked up once are not looked up again.
    const int reads = cache.tipReads;
    form->UserScrollBar()->ResetViewport(kUsers / 2);
    EXPECT_EQ(cache.tipReads, reads);
}

TEST_F(BigList, SwitchingToASmallGroupAndBackKeepsTheTileCount)
{
    const std::size_t tiles = AllTiles().size();
    form->UserScrollBar()->ResetViewport(900);
    GroupTile(kGroupTypeServer, 11)->OnClickHandler(nullptr);
    EXPECT_EQ(form->UserRowCount(), kUsers / 2);
    EXPECT_EQ(form->c_pFlowPanelUser->y(), 0);
    GroupTile(kGroupTypeCamera, kGroupIdCamera)->OnClickHandler(nullptr);
    ASSERT_EQ(form->VisibleUserCells().size(), 2u);
    EXPECT_EQ(form->VisibleUserCells()[0]->GetUserType(), kUserTypeCamera);
    EXPECT_FALSE(form->VisibleUserCells()[0]->IsSelected());
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(AllTiles().size(), tiles);
    ExpectTilesMatchPosition("all users again");
}

} // namespace
