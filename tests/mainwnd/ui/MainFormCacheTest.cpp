// The main window's lists on the real server-data cache (MariaDB, a scratch database
// of the test fixture), filled through the data module with the same calls the login
// makes: groups and users shown, state notices reaching the tiles, the selection
// reading its target from the database.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ZoxDataModuleListCache.h"
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "tests/support/TestDatabase.h"

using namespace zox::mainwnd;

namespace {

class MainListsOnCache : public MainFormFixture {
protected:
    void SetUp() override
    {
        db = std::make_unique<zoxtest::ScratchDatabase>();
        connection = std::make_unique<TNetTcpServiceForm>(db->connectionString());
        ASSERT_EQ(connection->ConnectDatabase(), 0);
        module = std::make_unique<TZoxDataModule>(connection.get());
        listCache = std::make_unique<TZoxDataModuleListCache>(*module);

        // What a login stores: groups, one page of users, the members.
        ASSERT_EQ(module->InsertSystemGroup({"Patrol North", "9001", 11}), 0);
        ASSERT_EQ(module->InsertSystemGroup({"Harbour", "9003", 13}), 0);
        std::vector<ST_ZOX_SYSTEM_USER> users;
        for (int i = 0; i < 30; ++i)
            users.push_back(MakeUser(std::to_string(2001 + i), "Officer " + std::to_string(i + 1), i % 4 ? 1 : 0));
        users.push_back(MakeUser("2999", "Hidden", 1, 0, 0, 0, 4));
        ASSERT_EQ(module->InsertSystemUsers(users), 0);
        std::vector<ST_ZOX_GROUP_MEMBER> members;
        for (int i = 0; i < 30; i += 3)
            members.push_back({11, std::to_string(2001 + i)});
        ASSERT_EQ(module->InsertGroupMembers(members), 0);
        ST_ZOX_RTSP_CAMERA cam;
        cam.cname = "Main gate";
        cam.ip = "127.0.0.1";
        cam.main_url = "rtsp://127.0.0.1/gate";
        cam.status = 1;
        cam.enabled = 1;
        ASSERT_EQ(module->InsertRtspCamera(cam), 0);

        Build(true);
        form->SetListCache(listCache.get());
        form->ReloadLists();
        ShowForm();
    }
    void TearDown() override
    {
        form.reset();
        listCache.reset();
        module.reset();
        connection.reset();
        db.reset();
        MainFormFixture::TearDown();
    }
    TUserCellCtrl *UserTile(const std::string &number)
    {
        for (TUserCellCtrl *t : form->UserCells())
            if (t->GetUserNumber() == number)
                return t;
        return nullptr;
    }
    // The login's answer to a user state notice.
    void Notice(const std::string &number, uint8_t reg, uint32_t call, uint32_t vp)
    {
        ST_ZOX_SYSTEM_USER u = MakeUser(number, "", reg, call, vp);
        ASSERT_EQ(module->UpdateUserState(u), 0);
    }

    std::unique_ptr<zoxtest::ScratchDatabase> db;
    std::unique_ptr<TNetTcpServiceForm> connection;
    std::unique_ptr<TZoxDataModule> module;
    std::unique_ptr<TZoxDataModuleListCache> listCache;
};

TEST_F(MainListsOnCache, GroupsAndUsersShown)
{
    ASSERT_EQ(form->GroupCells().size(), 4u);
    EXPECT_EQ(form->GroupCells()[2]->GetGroupName(), "Patrol North");
    EXPECT_EQ(form->GroupCells()[3]->GetGroupId(), 13);
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeAllUsers, kGroupIdAllUsers));
    EXPECT_EQ(form->UserCells().size(), 30u); // the hidden user is not listed
    EXPECT_EQ(form->UserCells().front()->GetUserNumber(), "2001");
    EXPECT_EQ(UserTile("2001")->PresencePicture(), "IMG_PRESENCE_INVISIBLE"); // offline
    EXPECT_EQ(UserTile("2002")->PresencePicture(), "IMG_PRESENCE_ONLINE");
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_EQ(form->UserCells().size(), 10u);
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeCamera, kGroupIdCamera));
    ASSERT_EQ(form->UserCells().size(), 1u);
    EXPECT_EQ(form->UserCells()[0]->GetUserName(), "Main gate");
}

TEST_F(MainListsOnCache, StateNoticeShowsWithinOneRefresh)
{
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    TUserCellCtrl *t = UserTile("2004");
    ASSERT_NE(t, nullptr);
    Notice("2004", 1, 0x00000100, 0);
    Notice("2007", 1, 0x00030000, 0x10000003);
    RefreshTick(*form);
    EXPECT_EQ(t->CallPicture(), "IMG_AUDIO_DISPATCH");
    EXPECT_EQ(UserTile("2007")->CallPicture(), "IMG_PHONE_CALL_BUSY");
    EXPECT_EQ(UserTile("2007")->VideoPicture(), "IMG_VIDEO_BOTHTRANS");
    // A camera going offline (the camera check's message writes the status).
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeCamera, kGroupIdCamera));
    std::vector<ST_ZOX_RTSP_CAMERA> cams;
    ASSERT_EQ(module->GetRtspCameras(cams), 0);
    ASSERT_EQ(module->UpdateCameraStatus(std::to_string(cams.at(0).cid), 0), 0);
    RefreshTick(*form);
    EXPECT_EQ(form->UserCells()[0]->PresencePicture(), "IMG_PRESENCE_INVISIBLE");
}

TEST_F(MainListsOnCache, ReclickKeepsTilesAndSelectionReadsTheDatabase)
{
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    const auto tiles = form->UserCells();
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "2010", true));
    EXPECT_EQ(CurrentSelection.kind, 2);
    EXPECT_EQ(CurrentSelection.user.displayName, "Officer 10");
    EXPECT_EQ(CurrentSelection.groupId, 11);
    EXPECT_TRUE(IsUserSelectionActive());
    EXPECT_FALSE(IsGroupSelectionActive());
    Notice("2010", 1, 0x00000003, 0);
    RefreshTick(*form);
    EXPECT_EQ(CurrentSelection.user.callState, 3u);
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_EQ(form->UserCells(), tiles);
    EXPECT_TRUE(IsGroupSelectionActive());
    for (TUserCellCtrl *t : tiles)
        EXPECT_FALSE(t->IsSelected());
}

} // namespace
