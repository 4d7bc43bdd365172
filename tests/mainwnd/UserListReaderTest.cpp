// The user list of a group and the 500 ms refresh of its tiles.
#include "console/MainListRules.h"
#include "console/UserListReader.h"

#include "FakeListCache.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace zox::mainwnd;

namespace {

class UserList : public ::testing::Test {
protected:
    void SetUp() override
    {
        cache.users = {MakeUser("1001", "Alice", 1), MakeUser("1002", "Bob", 0),
                       MakeUser("1003", "Hidden", 1, 0, 0, 0, 4),
                       MakeUser("2001", "Truck 7", 1, 0, 0, kUserTypeVehicle)};
        cache.members[7] = {"1002", "1003"};
        cache.cameras = {MakeCamera(5, "Gate", 1, 1), MakeCamera(6, "Dock", 1, 0)};
    }
    std::vector<std::string> Numbers(int groupType, int groupId)
    {
        std::vector<UserTileData> tiles;
        EXPECT_EQ(ReadUserTiles(cache, groupType, groupId, tiles), 0);
        std::vector<std::string> out;
        for (const auto &t : tiles)
            out.push_back(t.number);
        return out;
    }
    FakeListCache cache;
};

TEST_F(UserList, TilesPerGroupType)
{
    EXPECT_EQ(Numbers(kGroupTypeAllUsers, kGroupIdAllUsers), (std::vector<std::string>{"1001", "1002", "2001"}));
    EXPECT_EQ(Numbers(kGroupTypeServer, 7), (std::vector<std::string>{"1002"}));
    EXPECT_EQ(Numbers(kGroupTypeServer, 8), (std::vector<std::string>{}));
    EXPECT_EQ(Numbers(kGroupTypeCamera, kGroupIdCamera), (std::vector<std::string>{"5", "6"}));
    EXPECT_EQ(Numbers(kGroupTypeCompany, 3), (std::vector<std::string>{"2001"}));
    EXPECT_EQ(Numbers(9, 1), (std::vector<std::string>{}));
}

TEST_F(UserList, CameraTilesCarryNameIdAndState)
{
    std::vector<UserTileData> tiles;
    ASSERT_EQ(ReadUserTiles(cache, kGroupTypeCamera, kGroupIdCamera, tiles), 0);
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0].userType, kUserTypeCamera);
    EXPECT_EQ(tiles[0].name, "Gate");
    EXPECT_EQ(tiles[0].regState, 1);
    EXPECT_EQ(tiles[1].regState, 3); // disabled whatever its status
    EXPECT_EQ(tiles[1].callState, 0u);
}

TEST_F(UserList, FailedReadGivesNoTiles)
{
    cache.fail = true;
    std::vector<UserTileData> tiles{UserTileData{}};
    EXPECT_EQ(ReadUserTiles(cache, kGroupTypeAllUsers, kGroupIdAllUsers, tiles), -1);
    EXPECT_TRUE(tiles.empty());
}

TEST_F(UserList, RefreshHandsEachRowToItsTile)
{
    CUserCellIndex index;
    index.Add("1001", 0);
    index.Add("1002", 1);
    index.Add("2001", 2);
    cache.User("1002")->regState = 1;
    cache.User("1002")->callState = 0x00000100;
    cache.User("1001")->vpState = 0x10000001;
    std::map<int, std::tuple<int, uint32_t, uint32_t>> seen;
    auto apply = [&](int pos, uint8_t reg, uint32_t call, uint32_t vp) { seen[pos] = {reg, call, vp}; };
    ASSERT_EQ(RefreshShownStates(cache, kGroupTypeAllUsers, kGroupIdAllUsers, index, apply), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_tuple(1, 0u, 0x10000001u));
    EXPECT_EQ(seen[1], std::make_tuple(1, 0x100u, 0u));
    // A group shows only its members; rows without a tile are skipped.
    seen.clear();
    ASSERT_EQ(RefreshShownStates(cache, kGroupTypeServer, 7, index, apply), 0);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.count(1), 1u);
    // Cameras by id.
    CUserCellIndex cams;
    cams.Add("6", 0);
    seen.clear();
    ASSERT_EQ(RefreshShownStates(cache, kGroupTypeCamera, kGroupIdCamera, cams, apply), 0);
    EXPECT_EQ(seen[0], std::make_tuple(3, 0u, 0u));
    // A failed read applies nothing.
    cache.fail = true;
    seen.clear();
    EXPECT_EQ(RefreshShownStates(cache, kGroupTypeAllUsers, kGroupIdAllUsers, index, apply), -1);
    EXPECT_TRUE(seen.empty());
}

TEST(UserCellIndex, FirstTileOfANumberWins)
{
    CUserCellIndex index;
    index.Add("1", 0);
    index.Add("1", 5);
    index.Add("2", 1);
    EXPECT_EQ(index.Find("1"), 0);
    EXPECT_EQ(index.Find("2"), 1);
    EXPECT_EQ(index.Find("3"), -1);
    EXPECT_EQ(index.Find(""), -1);
}

} // namespace
