// The current selection: what each kind keeps, the target's re-read, and the tests the
// quick actions use.
#include "console/CurrentSelection.h"
#include "console/MainListRules.h"

#include "FakeListCache.h"

#include <gtest/gtest.h>

using namespace zox::mainwnd;

namespace {

class Selection : public ::testing::Test {
protected:
    void SetUp() override
    {
        cache.users = {MakeUser("1001", "Alice", 1, 0x00000003), MakeUser("1002", "", 0),
                       MakeUser("2001", "Truck 7", 1, 0, 0, kUserTypeVehicle)};
        cache.cameras = {MakeCamera(5, "Gate", 1, 1), MakeCamera(6, "Dock", 1, 0)};
    }
    FakeListCache cache;
    ST_ZOX_CURRENT_SELECTION s;
};

TEST_F(Selection, StartsWithNothing)
{
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.targetType, -1);
    EXPECT_EQ(s.groupType, -1);
    EXPECT_EQ(s.groupId, -1);
    EXPECT_FALSE(IsGroupSelectionActive(s));
    EXPECT_FALSE(IsUserSelectionActive(s));
}

TEST_F(Selection, UserTileKeepsTheGroupItWasPickedFrom)
{
    SetSelection(s, &cache, kSelectGroup, 7, "", kGroupTypeServer);
    EXPECT_TRUE(IsGroupSelectionActive(s));
    SetSelection(s, &cache, kSelectUser, 0, "1001", kUserTypeDispatch);
    EXPECT_EQ(s.kind, kSelectUser);
    EXPECT_EQ(s.groupType, kGroupTypeServer);
    EXPECT_EQ(s.groupId, 7);
    // A group action sees kind 2 and stays off although the group is still named.
    EXPECT_FALSE(IsGroupSelectionActive(s));
    EXPECT_TRUE(IsUserSelectionActive(s));
    EXPECT_EQ(s.user.displayName, "Alice");
    EXPECT_EQ(s.user.callState, 0x00000003u);
    // Clicking the group again switches back to a group selection.
    SetSelection(s, &cache, kSelectGroup, 7, "", kGroupTypeServer);
    EXPECT_TRUE(IsGroupSelectionActive(s));
    EXPECT_FALSE(IsUserSelectionActive(s));
    EXPECT_EQ(s.targetType, -1);
    EXPECT_TRUE(s.user.userNumber.empty());
}

TEST_F(Selection, KindTable)
{
    struct Case {
        int kind, id;
        const char *number;
        int type;
        bool group, user, vehicle, camera;
    };
    const Case cases[] = {
        {1, 7, "", kGroupTypeServer, true, false, false, false},
        {1, kGroupIdAllUsers, "", kGroupTypeAllUsers, false, false, false, false},   // not a server group
        {1, kGroupIdCamera, "", kGroupTypeCamera, false, false, false, false},
        {1, -1, "", kGroupTypeServer, false, false, false, false},                   // no id
        {2, 0, "1001", kUserTypeDispatch, false, true, false, false},
        {2, 0, "", kUserTypeDispatch, false, false, false, false},                   // no number
        {2, 0, "2001", kUserTypeVehicle, false, false, true, false},
        {2, 0, "5", kUserTypeCamera, false, false, false, true},
        {0, 0, "1001", kUserTypeDispatch, false, false, false, false},
        {-1, 0, "1001", kUserTypeDispatch, false, false, false, false},
    };
    for (const Case &c : cases) {
        ST_ZOX_CURRENT_SELECTION sel;
        SetSelection(sel, &cache, c.kind, c.id, c.number, c.type);
        EXPECT_EQ(sel.kind, c.kind);
        EXPECT_EQ(IsGroupSelectionActive(sel), c.group) << c.kind << " " << c.number;
        EXPECT_EQ(IsUserSelectionActive(sel), c.user) << c.kind << " " << c.number;
        EXPECT_EQ(IsVehicleSelected(sel), c.vehicle) << c.kind << " " << c.number;
        EXPECT_EQ(IsCameraSelected(sel), c.camera) << c.kind << " " << c.number;
        if (c.kind != 1 && c.kind != 2) {
            EXPECT_EQ(sel.groupId, -1);
            EXPECT_EQ(sel.groupType, -1);
            EXPECT_TRUE(sel.user.userNumber.empty());
        }
    }
}

TEST_F(Selection, RefreshFollowsTheCache)
{
    SetSelection(s, &cache, kSelectUser, 0, "1001", kUserTypeDispatch);
    cache.User("1001")->callState = 0;
    cache.User("1001")->regState = 3;
    RefreshTarget(s, &cache);
    EXPECT_EQ(s.user.callState, 0u);
    EXPECT_EQ(s.user.regState, 3);
    // A row that went away leaves the copy as it was.
    cache.users.clear();
    RefreshTarget(s, &cache);
    EXPECT_EQ(s.user.regState, 3);
    EXPECT_EQ(s.user.userNumber, "1001");
    // Without a cache nothing is read.
    const int reads = cache.reads;
    RefreshTarget(s, nullptr);
    EXPECT_EQ(cache.reads, reads);
}

TEST_F(Selection, CameraTargetTakesItsRegisterStateOnly)
{
    SetSelection(s, &cache, kSelectUser, 0, "5", kUserTypeCamera);
    EXPECT_EQ(s.user.regState, 1);
    EXPECT_EQ(s.user.userNumber, "5");
    SetSelection(s, &cache, kSelectUser, 0, "6", kUserTypeCamera); // disabled camera
    EXPECT_EQ(s.user.regState, 3);
    SetSelection(s, &cache, kSelectUser, 0, "99", kUserTypeCamera); // gone
    EXPECT_EQ(s.user.regState, 0);
    cache.fail = true; // a failed read counts as gone
    s.user.regState = 1;
    RefreshTarget(s, &cache);
    EXPECT_EQ(s.user.regState, 0);
}

TEST_F(Selection, GlobalSelectionUsesTheSetCache)
{
    SetSelectionCache(&cache);
    SetCurrentSelection(kSelectGroup, 3, "", kGroupTypeServer);
    EXPECT_TRUE(IsGroupSelectionActive());
    SetCurrentSelection(kSelectUser, 0, "2001", kUserTypeVehicle);
    EXPECT_TRUE(IsVehicleSelected());
    EXPECT_EQ(CurrentSelection.user.displayName, "Truck 7");
    SetCurrentSelection(kSelectNone, -1, "", -1);
    EXPECT_FALSE(IsVehicleSelected());
    SetSelectionCache(nullptr);
}

} // namespace
