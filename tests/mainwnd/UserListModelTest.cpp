// The rows of the user list apart from their tiles: which rows are in sight, finding a
// row, and the reads that only the rows with a tile make (states and platform tips).
#include "console/MainListRules.h"
#include "console/UserListModel.h"

#include "FakeListCache.h"

#include <gtest/gtest.h>

using namespace zox::mainwnd;

namespace {

UserTileData Tile(const std::string &number, int type = kUserTypeDispatch, uint8_t reg = 1)
{
    return UserTileData{type, "Unit " + number, number, reg, 0, 0};
}

TEST(UserListRows, TilesInSight)
{
    struct Case {
        int count, position, host;
        TileRange want;
    } cases[] = {
        {0, 0, 300, {0, 0}},          // no rows
        {40, 0, 0, {0, 0}},           // no room
        {40, 0, 300, {0, 10}},        // five whole rows
        {40, 0, 301, {0, 12}},        // a pixel of the sixth row
        {40, 30, 300, {0, 12}},       // half rows at both ends
        {40, 60, 300, {2, 12}},       // one row down
        {41, 1140, 300, {38, 41}},    // the last row holds one tile
        {20000, 599700, 300, {19990, 20000}},
        {20000, -5, 120, {0, 4}},     // a negative position counts as the top
    };
    for (const Case &c : cases) {
        const TileRange r = VisibleTiles(c.count, c.position, c.host, kTileHeight);
        EXPECT_EQ(r.first, c.want.first) << c.count << " rows at " << c.position << ", host " << c.host;
        EXPECT_EQ(r.last, c.want.last) << c.count << " rows at " << c.position << ", host " << c.host;
    }
}

TEST(UserListRows, FindByTypeAndNumberAndSelection)
{
    CUserListModel m;
    m.Assign({Tile("17", kUserTypeDispatch), Tile("17", kUserTypeCamera), Tile("18"), Tile("abc")});
    EXPECT_EQ(m.Count(), 4);
    EXPECT_EQ(m.Find(kUserTypeDispatch, "17"), 0);
    EXPECT_EQ(m.Find(kUserTypeCamera, "17"), 1);   // same number, another type
    EXPECT_EQ(m.Find(kUserTypeVehicle, "17"), -1);
    EXPECT_EQ(m.Find(kUserTypeDispatch, "ABC"), -1); // case-sensitive
    EXPECT_EQ(m.Find(kUserTypeDispatch, "abc"), 3);
    m.Select(2);
    EXPECT_EQ(m.Selected(), 2);
    m.Select(4); // no such row
    EXPECT_EQ(m.Selected(), -1);
    m.Select(1);
    m.Assign({Tile("18")}); // new rows: nothing selected
    EXPECT_EQ(m.Selected(), -1);
    EXPECT_EQ(m.Find(kUserTypeDispatch, "17"), -1);
}

class ShownRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<UserTileData> tiles;
        for (int i = 0; i < 1000; ++i) {
            const std::string n = std::to_string(10000 + i);
            cache.users.push_back(MakeUser(n, "Unit " + n, 1));
            tiles.push_back(Tile(n));
        }
        tiles.push_back(Tile("777", kUserTypeVehicle));
        cache.users.push_back(MakeUser("777", "Truck", 1, 0, 0, kUserTypeVehicle));
        model.Assign(std::move(tiles));
    }
    FakeListCache cache;
    CUserListModel model;
};

TEST_F(ShownRows, RefreshReadsOnlyTheGivenRowsInOneReadAndReportsChanges)
{
    cache.User("10900")->callState = 0x00000100;
    cache.User("10000")->callState = 3; // out of the asked rows: stays as read before
    std::vector<int> changed;
    ASSERT_EQ(RefreshRowStates(cache, kGroupTypeAllUsers, model, {900, 901, 902},
                               [&](int row) { changed.push_back(row); }),
              0);
    EXPECT_EQ(cache.stateReads, 1);
    EXPECT_EQ(cache.lastStateNumbers, (std::vector<std::string>{"10900", "10901", "10902"}));
    EXPECT_EQ(changed, std::vector<int>{900});
    EXPECT_EQ(model.Row(900).user.callState, 0x00000100u);
    EXPECT_EQ(model.Row(0).user.callState, 0u);

    // The same state again changes nothing; a failed read changes nothing either.
    changed.clear();
    ASSERT_EQ(RefreshRowStates(cache, kGroupTypeAllUsers, model, {900}, [&](int row) { changed.push_back(row); }), 0);
    EXPECT_TRUE(changed.empty());
    cache.User("10900")->callState = 0;
    cache.fail = true;
    EXPECT_EQ(RefreshRowStates(cache, kGroupTypeAllUsers, model, {900}, [&](int row) { changed.push_back(row); }),
              -1);
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(model.Row(900).user.callState, 0x00000100u);

    // No rows, a group type without users, or rows that do not exist: no read.
    cache.fail = false;
    const int reads = cache.stateReads;
    EXPECT_EQ(RefreshRowStates(cache, kGroupTypeAllUsers, model, {}, nullptr), 0);
    EXPECT_EQ(RefreshRowStates(cache, 9, model, {1, 2}, nullptr), 0);
    EXPECT_EQ(cache.stateReads, reads);
    EXPECT_EQ(RefreshRowStates(cache, kGroupTypeAllUsers, model, {-1, 5000}, nullptr), 0);
    EXPECT_TRUE(cache.lastStateNumbers.empty());
}

TEST_F(ShownRows, CameraRowsReadTheCameraTable)
{
    cache.cameras = {MakeCamera(5, "Gate", 1, 1), MakeCamera(6, "Dock", 1, 0)};
    CUserListModel cams;
    cams.Assign({Tile("5", kUserTypeCamera, 0), Tile("6", kUserTypeCamera, 0)});
    std::vector<int> changed;
    ASSERT_EQ(RefreshRowStates(cache, kGroupTypeCamera, cams, {0, 1}, [&](int row) { changed.push_back(row); }), 0);
    EXPECT_EQ(changed, (std::vector<int>{0, 1}));
    EXPECT_EQ(cams.Row(0).user.regState, 1);
    EXPECT_EQ(cams.Row(1).user.regState, 3); // disabled
    EXPECT_EQ(cache.stateReads, 0);
}

TEST_F(ShownRows, TipsComeFromOneReadAndAreNotReadTwice)
{
    ST_ZOX_UAP_VOIPUSER u;
    u.RealName = "Li Wei";
    u.OrgName = "Traffic";
    u.PoliceNum = "P-17";
    cache.uap["10003"] = u;
    cache.uap["777"] = u; // a vehicle gets no tip
    ASSERT_EQ(ReadRowTips(cache, model, {2, 3, 4, 1000}), 0);
    EXPECT_EQ(cache.tipReads, 1);
    EXPECT_EQ(model.Row(3).tip, "Li Wei (10003)\r\nTraffic (P-17)");
    EXPECT_EQ(model.Row(2).tip, "");
    EXPECT_EQ(model.Row(1000).tip, "");
    ASSERT_EQ(ReadRowTips(cache, model, {2, 3, 4, 1000}), 0);
    EXPECT_EQ(cache.tipReads, 1); // all looked up already

    // A failed read leaves the rows to be looked up again.
    cache.fail = true;
    EXPECT_EQ(ReadRowTips(cache, model, {5}), -1);
    cache.fail = false;
    ASSERT_EQ(ReadRowTips(cache, model, {5}), 0);
    EXPECT_EQ(cache.tipReads, 3);
    EXPECT_TRUE(model.Row(5).tipRead);
}

} // namespace
