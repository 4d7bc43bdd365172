// Cameras, chat counts and the platform tables of the server-data cache.
#include "tests/cache/CacheTestFixture.h"

#include <set>

TEST_F(CacheTest, CamerasAreAddedChangedAndRemovedById)
{
    ST_ZOX_RTSP_CAMERA cam;
    cam.cname = "Gate 'north'";
    cam.ip = "192.168.1.64";
    cam.port = 554;
    cam.transport = 1;
    cam.auth = 1;
    cam.username = "admin";
    cam.password = "p@ss'\\word";
    cam.main_url = "rtsp://192.168.1.64:554/main";
    cam.status = 1;
    cam.enabled = 1;
    cam.dispatcher = 5;
    ASSERT_EQ(0, dm->InsertRtspCamera(cam));
    cam.cname = "second";
    ASSERT_EQ(0, dm->InsertRtspCamera(cam));

    std::vector<ST_ZOX_RTSP_CAMERA> all;
    ASSERT_EQ(0, dm->GetRtspCameras(all));
    ASSERT_EQ(2u, all.size());
    const uint32_t cid = all[0].cid;
    EXPECT_NE(0u, cid);
    EXPECT_NE(cid, all[1].cid);
    EXPECT_EQ("Gate 'north'", all[0].cname);
    EXPECT_EQ("p@ss'\\word", all[0].password);
    EXPECT_EQ("", all[0].sub_url);
    EXPECT_EQ("", all[0].remark);
    EXPECT_EQ(1, all[0].status);
    EXPECT_EQ(5, all[0].dispatcher);

    ST_ZOX_RTSP_CAMERA changed = all[0];
    changed.cname = "\xE5\x8D\x97\xE9\x97\xA8";
    changed.port = 8554;
    changed.enabled = 0;
    changed.status = 0; // not written by the update
    ASSERT_EQ(0, dm->UpdateRtspCamera(changed));
    ST_ZOX_RTSP_CAMERA one;
    ASSERT_EQ(0, dm->GetRtspCamera(std::to_string(cid), one));
    EXPECT_EQ(cid, one.cid);
    EXPECT_EQ("\xE5\x8D\x97\xE9\x97\xA8", one.cname);
    EXPECT_EQ(8554, one.port);
    EXPECT_EQ(0, one.enabled);
    EXPECT_EQ(1, one.status);

    ASSERT_EQ(0, dm->UpdateCameraStatus(std::to_string(cid), 0));
    ASSERT_EQ(0, dm->GetRtspCamera(std::to_string(cid), one));
    EXPECT_EQ(0, one.status);
    ASSERT_EQ(0, dm->ResetCameraStatus());
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM zox_rtsp_camera WHERE status=0"));

    ASSERT_EQ(0, dm->DeleteRtspCamera(std::to_string(cid)));
    ASSERT_EQ(0, dm->GetRtspCameras(all));
    ASSERT_EQ(1u, all.size());
    EXPECT_EQ("second", all[0].cname);
}

// The camera id arrives as text; anything but an unsigned 32-bit decimal is refused
// without touching the table.
TEST_F(CacheTest, CameraIdTextsThatAreNotNumbersAreRefused)
{
    ST_ZOX_RTSP_CAMERA cam;
    cam.cname = "only";
    cam.status = 1;
    ASSERT_EQ(0, dm->InsertRtspCamera(cam));
    for (const std::string bad : {"", "abc", "1 OR 1=1", "0 OR cid>0", "-1", "4294967296", "12345678901", " 1",
                                  "1;DELETE FROM zox_rtsp_camera"}) {
        SCOPED_TRACE(bad);
        ST_ZOX_RTSP_CAMERA c;
        c.cname = "unchanged";
        EXPECT_EQ(-1, dm->GetRtspCamera(bad, c));
        EXPECT_EQ("unchanged", c.cname);
        EXPECT_EQ(-1, dm->DeleteRtspCamera(bad));
        EXPECT_EQ(-1, dm->UpdateCameraStatus(bad, 0));
    }
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_rtsp_camera WHERE status=1"));
    EXPECT_EQ(0, dm->DeleteRtspCamera("4294967295")) << "the largest id is a valid id";
}

TEST_F(CacheTest, ChatIndicatorsCountNewAndUnreadMessages)
{
    EXPECT_FALSE(dm->CountWxNewMessages());
    EXPECT_FALSE(dm->CountWxUnreadMessages());
    db->exec("INSERT INTO wx_newmsg(ssn, csn, msg_len, msg_type, group_chat, sender, creater, msg_time) "
             "VALUES(1, 1, 10, 1, 0, '100', '100', '2026-1-2 3:4:05')");
    db->exec("INSERT INTO wx_message(isread) VALUES(1)");
    EXPECT_TRUE(dm->CountWxNewMessages());
    EXPECT_FALSE(dm->CountWxUnreadMessages());
    db->exec("INSERT INTO wx_message(isread) VALUES(0)");
    EXPECT_TRUE(dm->CountWxUnreadMessages());

    db->exec("DROP TABLE wx_newmsg");
    EXPECT_FALSE(dm->CountWxNewMessages());
    EXPECT_TRUE(dm->CountWxUnreadMessages()) << "the connection works on after a failed statement";
}

class CompanyTreeTest : public CacheTest {
protected:
    void Company(int id, int pid)
    {
        ASSERT_EQ(0, dm->InsertCmsCompany(id, pid, "company " + std::to_string(id)));
    }
    void HasChildren(int id) { ASSERT_EQ(0, dm->UpdateCmsCompanyChild(id, 1)); }
    void Vehicle(int id, const std::string &num, int cid)
    {
        ASSERT_EQ(0, dm->InsertCmsVehicle(id, num, cid, "dev" + num, 4, "1,2,3,4"));
    }
};

TEST_F(CompanyTreeTest, SubtreeAndCompanyUsers)
{
    // 5 has children 7 and 9; 9 has child 11; 20 is elsewhere.
    Company(5, 0);
    Company(7, 5);
    Company(9, 5);
    Company(11, 9);
    Company(20, 0);
    HasChildren(5);
    HasChildren(9);

    std::vector<ST_ZOX_CMS_COMPANY> children;
    ASSERT_EQ(0, dm->GetCmsCompanies(5, children));
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(0, children[0].child);
    EXPECT_EQ(1, children[1].child);
    EXPECT_EQ("company 9", children[1].name);

    std::set<int> ids;
    EXPECT_EQ(0, dm->CollectCompanySubtree(5, ids));
    EXPECT_EQ(std::set<int>({1, 7, 9, 11}), ids);
    ids.clear();
    EXPECT_EQ(0, dm->CollectCompanySubtree(7, ids));
    EXPECT_EQ(std::set<int>({1}), ids);

    std::vector<ST_ZOX_SYSTEM_USER> users;
    for (const char *n : {"V5", "V7", "V11", "V20", "V1", "VH"})
        users.push_back(User(n));
    users.back().priority = 4;
    ASSERT_EQ(0, dm->InsertSystemUsers(users));
    Vehicle(1, "V5", 5);
    Vehicle(2, "V7", 7);
    Vehicle(3, "V11", 11);
    Vehicle(4, "V20", 20);
    Vehicle(5, "V1", 1);
    Vehicle(6, "VH", 9);

    std::vector<ST_ZOX_SYSTEM_USER> found;
    ASSERT_EQ(0, dm->GetCompanyUsers(5, found));
    EXPECT_EQ(std::vector<std::string>({"V1", "V11", "V5", "V7"}), Numbers(found));
    ASSERT_EQ(0, dm->GetCompanyUsers(20, found));
    EXPECT_EQ(std::vector<std::string>({"V1", "V20"}), Numbers(found));

    EXPECT_EQ(0, dm->ClearCmsCompanies());
    ASSERT_EQ(0, dm->GetCmsCompanies(5, children));
    EXPECT_TRUE(children.empty());
}

TEST_F(CompanyTreeTest, ALoopOfParentLinksEnds)
{
    Company(30, 31);
    Company(31, 30);
    Company(32, 32); // its own parent
    Company(33, 31);
    HasChildren(30);
    HasChildren(31);
    HasChildren(32);

    std::set<int> ids;
    EXPECT_EQ(0, dm->CollectCompanySubtree(30, ids));
    EXPECT_EQ(std::set<int>({1, 30, 31, 33}), ids);
    ids.clear();
    EXPECT_EQ(0, dm->CollectCompanySubtree(32, ids));
    EXPECT_EQ(std::set<int>({1, 32}), ids);

    ASSERT_EQ(0, dm->InsertSystemUsers({User("V33")}));
    Vehicle(1, "V33", 33);
    std::vector<ST_ZOX_SYSTEM_USER> found;
    ASSERT_EQ(0, dm->GetCompanyUsers(30, found));
    EXPECT_EQ(std::vector<std::string>({"V33"}), Numbers(found));
}

TEST_F(CompanyTreeTest, VehicleStatesAndTypesReachTheirUsers)
{
    ASSERT_EQ(0, dm->InsertSystemUsers({User("V1", "", 0), User("V2", "", 0), User("P3", "", 1)}));
    Vehicle(1, "V1", 5);
    Vehicle(2, "V2", 5);
    std::string did;
    ASSERT_EQ(0, dm->GetVehicleDid("V2", did));
    EXPECT_EQ("devV2", did);

    ASSERT_EQ(0, dm->UpdateCmsVehicleStatus("devV1", 1));
    ASSERT_EQ(0, dm->SyncUserStateFromVehicles());
    ASSERT_EQ(0, dm->SetVehicleUserType(1));
    ST_ZOX_SYSTEM_USER u;
    ASSERT_EQ(0, dm->GetSystemUser("V1", u));
    EXPECT_EQ(1, u.regState);
    EXPECT_EQ(1, u.userType);
    ASSERT_EQ(0, dm->GetSystemUser("V2", u));
    EXPECT_EQ(0, u.regState);
    EXPECT_EQ(1, u.userType);
    ASSERT_EQ(0, dm->GetSystemUser("P3", u));
    EXPECT_EQ(1, u.regState);
    EXPECT_EQ(0, u.userType);

    EXPECT_EQ(0, dm->ClearCmsVehicles());
    EXPECT_EQ(-2, dm->GetVehicleDid("V2", did));
}

TEST_F(CacheTest, PlatformUserInsertedTwiceKeepsTheFirstAndNamesTheDispatchUser)
{
    ST_ZOX_UAP_VOIPUSER first;
    first.VoipNum = "8001";
    first.OrgName = "Unit 1";
    first.OrgFullName = "HQ/Unit 1";
    first.RealName = "First Name";
    first.PoliceNum = "P-1";
    first.Mobile = "13800000000";
    first.UserTypeName = "officer";
    first.Avatar = "http://x/a.png";
    ST_ZOX_UAP_VOIPUSER second = first;
    second.RealName = "Second Name";
    second.OrgName = "Unit 2";
    ASSERT_EQ(0, dm->InsertUapVoipUser(first));
    ASSERT_EQ(0, dm->InsertUapVoipUser(second));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM uap_voip_user"));

    ST_ZOX_UAP_VOIPUSER back;
    ASSERT_EQ(0, dm->GetUapVoipUser("8001", back));
    EXPECT_EQ("8001", back.VoipNum);
    EXPECT_EQ("Unit 1", back.OrgName);
    EXPECT_EQ("HQ/Unit 1", back.OrgFullName);
    EXPECT_EQ("First Name", back.RealName);
    EXPECT_EQ("P-1", back.PoliceNum);
    EXPECT_EQ("13800000000", back.Mobile);
    EXPECT_EQ("officer", back.UserTypeName);
    EXPECT_EQ("http://x/a.png", back.Avatar);

    ST_ZOX_UAP_VOIPUSER nameless;
    nameless.VoipNum = "8002";
    ASSERT_EQ(0, dm->InsertUapVoipUser(nameless));
    ASSERT_EQ(0, dm->InsertSystemUsers({User("8001", "old"), User("8002", "kept"), User("8003", "other")}));
    ASSERT_EQ(0, dm->SyncDisplayNamesFromUap());
    std::string name;
    ASSERT_EQ(0, dm->GetDisplayName("8001", name));
    EXPECT_EQ("First Name", name);
    ASSERT_EQ(0, dm->GetDisplayName("8002", name));
    EXPECT_EQ("kept", name);
    ASSERT_EQ(0, dm->GetDisplayName("8003", name));
    EXPECT_EQ("other", name);

    EXPECT_EQ(0, dm->ClearUapVoipUsers());
    EXPECT_EQ(-2, dm->GetUapVoipUser("8001", back));
}
