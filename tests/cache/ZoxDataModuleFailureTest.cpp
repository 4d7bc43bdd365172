// Failure results of the server-data cache: statements that fail, rows that do not
// fit their records, a connection that is missing or goes away.
#include "tests/cache/CacheTestFixture.h"

#include "core/Log.h"
#include "tests/support/TempDir.h"

#include <functional>

namespace {

ST_ZOX_SYSTEM_USER NamedUser(const std::string &number, const std::string &name)
{
    ST_ZOX_SYSTEM_USER u;
    u.userNumber = number;
    u.displayName = name;
    return u;
}

// Every operation, with the result it gives when its statement fails.
struct Operation {
    const char *name;
    std::function<int(TZoxDataModule &)> run;
};

std::vector<Operation> AllOperations()
{
    ST_ZOX_SYSTEM_LINE line;
    line.lineName = "1";
    ST_ZOX_SYSTEM_GROUP group;
    ST_ZOX_RTSP_CAMERA cam;
    ST_ZOX_UAP_VOIPUSER voip;
    voip.VoipNum = "1";
    ST_ZOX_SYSTEM_USER user;
    user.userNumber = "1";
    // Lists must come back empty, one-row records unchanged.
    auto users = [](std::function<int(TZoxDataModule &, std::vector<ST_ZOX_SYSTEM_USER> &)> f) {
        return [f](TZoxDataModule &dm) {
            std::vector<ST_ZOX_SYSTEM_USER> out(2);
            int rc = f(dm, out);
            return out.empty() ? rc : 100;
        };
    };
    return {
        {"DeleteSystemLines", [](TZoxDataModule &dm) { return dm.DeleteSystemLines(); }},
        {"GetSystemLines",
         [](TZoxDataModule &dm) {
             std::vector<ST_ZOX_SYSTEM_LINE> out(1);
             int rc = dm.GetSystemLines(out);
             return out.empty() ? rc : 100;
         }},
        {"InsertSystemLine", [line](TZoxDataModule &dm) { return dm.InsertSystemLine(line); }},
        {"DeleteSystemUsers", [](TZoxDataModule &dm) { return dm.DeleteSystemUsers(); }},
        {"GetSystemUsers", users([](TZoxDataModule &dm, auto &o) { return dm.GetSystemUsers(o); })},
        {"GetAvailableUsers", users([](TZoxDataModule &dm, auto &o) { return dm.GetAvailableUsers(o); })},
        {"CountAvailableUsers", [](TZoxDataModule &dm) { return dm.CountAvailableUsers(); }},
        {"GetSystemUser",
         [](TZoxDataModule &dm) {
             ST_ZOX_SYSTEM_USER u;
             u.displayName = "unchanged";
             int rc = dm.GetSystemUser("1", u);
             return u.displayName == "unchanged" ? rc : 100;
         }},
        {"GetDisplayName",
         [](TZoxDataModule &dm) {
             std::string name = "unchanged";
             int rc = dm.GetDisplayName("1", name);
             return name == "unchanged" ? rc : 100;
         }},
        {"GetUsersByCallRef", users([](TZoxDataModule &dm, auto &o) { return dm.GetUsersByCallRef("1", o); })},
        {"UpdateUserState", [user](TZoxDataModule &dm) { return dm.UpdateUserState(user); }},
        {"InsertSystemUsers", [user](TZoxDataModule &dm) { return dm.InsertSystemUsers({user}); }},
        {"DeleteSystemGroups", [](TZoxDataModule &dm) { return dm.DeleteSystemGroups(); }},
        {"GetSystemGroups",
         [](TZoxDataModule &dm) {
             std::vector<ST_ZOX_SYSTEM_GROUP> out(1);
             int rc = dm.GetSystemGroups(out);
             return out.empty() ? rc : 100;
         }},
        {"GetSystemGroup",
         [](TZoxDataModule &dm) {
             ST_ZOX_SYSTEM_GROUP g;
             return dm.GetSystemGroup(1, g);
         }},
        {"InsertSystemGroup", [group](TZoxDataModule &dm) { return dm.InsertSystemGroup(group); }},
        {"DeleteGroupMembers", [](TZoxDataModule &dm) { return dm.DeleteGroupMembers(); }},
        {"InsertGroupMembers", [](TZoxDataModule &dm) { return dm.InsertGroupMembers({{1, "1"}}); }},
        {"DeleteGroupMembersOf", [](TZoxDataModule &dm) { return dm.DeleteGroupMembersOf({"1"}); }},
        {"GetGroupMembers", users([](TZoxDataModule &dm, auto &o) { return dm.GetGroupMembers(1, o); })},
        {"GetGroupAvailableMembers",
         users([](TZoxDataModule &dm, auto &o) { return dm.GetGroupAvailableMembers(1, o); })},
        {"CountGroupAvailableMembers", [](TZoxDataModule &dm) { return dm.CountGroupAvailableMembers(1); }},
        {"CountGroupAvailableMembersByType",
         [](TZoxDataModule &dm) { return dm.CountGroupAvailableMembersByType(1, 0); }},
        {"CountGroupMembersByType", [](TZoxDataModule &dm) { return dm.CountGroupMembersByType(1, 0); }},
        {"GetRtspCameras",
         [](TZoxDataModule &dm) {
             std::vector<ST_ZOX_RTSP_CAMERA> out(1);
             int rc = dm.GetRtspCameras(out);
             return out.empty() ? rc : 100;
         }},
        {"GetRtspCamera",
         [](TZoxDataModule &dm) {
             ST_ZOX_RTSP_CAMERA c;
             return dm.GetRtspCamera("1", c);
         }},
        {"InsertRtspCamera", [cam](TZoxDataModule &dm) { return dm.InsertRtspCamera(cam); }},
        {"UpdateRtspCamera", [cam](TZoxDataModule &dm) { return dm.UpdateRtspCamera(cam); }},
        {"DeleteRtspCamera", [](TZoxDataModule &dm) { return dm.DeleteRtspCamera("1"); }},
        {"UpdateCameraStatus", [](TZoxDataModule &dm) { return dm.UpdateCameraStatus("1", 1); }},
        {"ResetCameraStatus", [](TZoxDataModule &dm) { return dm.ResetCameraStatus(); }},
        {"CountWxNewMessages", [](TZoxDataModule &dm) { return dm.CountWxNewMessages() ? 100 : -1; }},
        {"CountWxUnreadMessages", [](TZoxDataModule &dm) { return dm.CountWxUnreadMessages() ? 100 : -1; }},
        {"ClearCmsCompanies", [](TZoxDataModule &dm) { return dm.ClearCmsCompanies(); }},
        {"InsertCmsCompany", [](TZoxDataModule &dm) { return dm.InsertCmsCompany(1, 0, "x"); }},
        {"UpdateCmsCompanyChild", [](TZoxDataModule &dm) { return dm.UpdateCmsCompanyChild(1, 1); }},
        {"GetCmsCompanies",
         [](TZoxDataModule &dm) {
             std::vector<ST_ZOX_CMS_COMPANY> out(1);
             int rc = dm.GetCmsCompanies(1, out);
             return out.empty() ? rc : 100;
         }},
        {"ClearCmsVehicles", [](TZoxDataModule &dm) { return dm.ClearCmsVehicles(); }},
        {"InsertCmsVehicle", [](TZoxDataModule &dm) { return dm.InsertCmsVehicle(1, "1", 1, "d", 1, "c"); }},
        {"UpdateCmsVehicleStatus", [](TZoxDataModule &dm) { return dm.UpdateCmsVehicleStatus("d", 1); }},
        {"SyncUserStateFromVehicles", [](TZoxDataModule &dm) { return dm.SyncUserStateFromVehicles(); }},
        {"SetVehicleUserType", [](TZoxDataModule &dm) { return dm.SetVehicleUserType(1); }},
        {"GetCompanyUsers", users([](TZoxDataModule &dm, auto &o) { return dm.GetCompanyUsers(1, o); })},
        {"GetVehicleDid",
         [](TZoxDataModule &dm) {
             std::string did = "unchanged";
             int rc = dm.GetVehicleDid("1", did);
             return did == "unchanged" ? rc : 100;
         }},
        {"ClearUapVoipUsers", [](TZoxDataModule &dm) { return dm.ClearUapVoipUsers(); }},
        {"InsertUapVoipUser", [voip](TZoxDataModule &dm) { return dm.InsertUapVoipUser(voip); }},
        {"GetUapVoipUser",
         [](TZoxDataModule &dm) {
             ST_ZOX_UAP_VOIPUSER v;
             return dm.GetUapVoipUser("1", v);
         }},
        {"SyncDisplayNamesFromUap", [](TZoxDataModule &dm) { return dm.SyncDisplayNamesFromUap(); }},
        {"GetShownUsers", users([](TZoxDataModule &dm, auto &o) { return dm.GetShownUsers(o); })},
        {"GetShownMembers", users([](TZoxDataModule &dm, auto &o) { return dm.GetShownMembers(1, o); })},
        {"GetUserStates", users([](TZoxDataModule &dm, auto &o) { return dm.GetUserStates({"1", "2"}, o); })},
        {"GetUapVoipUsers",
         [](TZoxDataModule &dm) {
             std::vector<ST_ZOX_UAP_VOIPUSER> out(1);
             int rc = dm.GetUapVoipUsers({"1"}, out);
             return out.empty() ? rc : 100;
         }},
    };
}

} // namespace

// A database without the console's tables: every statement fails.
TEST_F(CacheTest, EveryOperationReportsAFailedStatement)
{
    for (const char *table : {"zox_system_line", "zox_system_user", "zox_system_group", "zox_system_group_member",
                              "zox_rtsp_camera", "cms_company", "cms_vehicle", "uap_voip_user", "wx_newmsg",
                              "wx_message"})
        db->exec(std::string("DROP TABLE ") + table);
    for (const Operation &op : AllOperations())
        EXPECT_EQ(-1, op.run(*dm)) << op.name;
    EXPECT_EQ(0, dm->ClearAll());
}

// A module whose query has no connection (the connect failed, or the connection was
// freed first) fails every operation and never touches freed memory.
TEST_F(CacheTest, OperationsWithoutAConnectionFail)
{
    TNetTcpServiceForm never(db->connectionString());
    TZoxDataModule unattached(&never);
    EXPECT_EQ(-1, unattached.AttachResult());
    for (const Operation &op : AllOperations())
        EXPECT_EQ(-1, op.run(unattached)) << op.name;

    service.reset();
    for (const Operation &op : AllOperations())
        EXPECT_EQ(-1, op.run(*dm)) << op.name;
}

// A row whose values do not fit the record is a failure, not a half-filled result.
TEST_F(CacheTest, RowsThatDoNotFitTheirRecordsAreRefused)
{
    ASSERT_EQ(0, dm->InsertSystemUsers({User("1"), User("2")}));
    db->exec("ALTER TABLE zox_system_user MODIFY regState INT NOT NULL DEFAULT 0");
    db->exec("UPDATE zox_system_user SET regState=300 WHERE userNumber='2'");
    std::vector<ST_ZOX_SYSTEM_USER> users;
    EXPECT_EQ(-1, dm->GetSystemUsers(users));
    EXPECT_TRUE(users.empty());
    ST_ZOX_SYSTEM_USER u;
    EXPECT_EQ(-1, dm->GetSystemUser("2", u));
    EXPECT_EQ(0, dm->GetSystemUser("1", u));

    db->exec("ALTER TABLE zox_system_group MODIFY groupId BIGINT NOT NULL");
    db->exec("INSERT INTO zox_system_group(groupId) VALUES(4294967296)");
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    EXPECT_EQ(-1, dm->GetSystemGroups(groups));
    EXPECT_TRUE(groups.empty());
}

TEST(CacheConnection, DefaultConnectionStringIsTheConsolesFixedOne)
{
    EXPECT_EQ("DRIVER={MySQL ODBC 8.0 Unicode Driver};SERVER=localhost;PORT=3306;DATABASE=zox_client;"
              "USER=zox_client;PASSWORD=5869.wxyz;OPTION=3;",
              ZoxDefaultConnectionString());
    EXPECT_EQ(ZoxDefaultConnectionString(), ZoxConnectionString());
    SetZoxConnectionString("DRIVER={x};");
    EXPECT_EQ("DRIVER={x};", ZoxConnectionString());
    SetZoxConnectionString("");
    EXPECT_EQ(ZoxDefaultConnectionString(), ZoxConnectionString());
}

TEST(CacheConnection, ConnectFailsForAWrongPasswordOrDatabase)
{
    std::string good = zoxtest::FixtureConnectionString();
    std::string wrongPassword = good;
    wrongPassword.replace(wrongPassword.find("PASSWORD=5869.wxyz"), 18, "PASSWORD=wrong");
    TNetTcpServiceForm a(wrongPassword);
    EXPECT_EQ(-1, a.ConnectDatabase());
    TZoxQuery q;
    EXPECT_EQ(-1, a.AttachQuery(&q));

    TNetTcpServiceForm b(zoxtest::WithDatabase(good, "no_such_db"));
    EXPECT_EQ(-1, b.ConnectDatabase());

    TNetTcpServiceForm c(good);
    EXPECT_EQ(0, c.ConnectDatabase());
    EXPECT_EQ(-1, c.AttachQuery(nullptr));
    EXPECT_EQ(0, c.AttachQuery(&q));
    EXPECT_EQ(0, c.ConnectDatabase()) << "connecting again replaces the connection";
}

// The server restarts between two operations: the first reports -1, the next one
// reconnects and works.
TEST(CacheReconnect, AServerRestartCostsOneOperation)
{
    zoxtest::PrivateMariaDb server;
    TNetTcpServiceForm service(server.connectionString());
    ASSERT_EQ(0, service.ConnectDatabase());
    TZoxDataModule dm(&service);
    ASSERT_EQ(0, dm.InsertSystemUsers({NamedUser("1", "one")}));
    std::string name;
    ASSERT_EQ(0, dm.GetDisplayName("1", name));

    ST_ZOX_SYSTEM_USER state = NamedUser("1", "one");
    state.regState = 1;
    ASSERT_EQ(0, dm.UpdateUserState(state)) << "prepares the statement on the first connection";

    ASSERT_TRUE(server.stop());
    ASSERT_TRUE(server.start());
    EXPECT_EQ(-1, dm.UpdateUserState(state));
    EXPECT_EQ(0, dm.UpdateUserState(state));
    EXPECT_EQ(0, dm.InsertSystemUsers({NamedUser("2", "two")}));
    EXPECT_EQ(0, dm.GetDisplayName("1", name));
    EXPECT_EQ("one", name);
    EXPECT_EQ(1, dm.CountAvailableUsers());

    // While the server is down every operation fails; once it is back the next works.
    ASSERT_TRUE(server.stop());
    EXPECT_EQ(-1, dm.CountAvailableUsers());
    EXPECT_EQ(-1, dm.DeleteSystemLines());
    ASSERT_TRUE(server.start());
    EXPECT_EQ(1, dm.CountAvailableUsers());
    EXPECT_EQ(0, dm.DeleteSystemUsers());
}

// A failed statement is logged with the server's reason, without the bound values.
TEST_F(CacheTest, FailedStatementsAreLoggedWithoutTheirValues)
{
    zoxtest::TempDir dir;
    OpenLogFile((dir / "log.txt").string());
    db->exec("DROP TABLE zox_rtsp_camera");
    ST_ZOX_RTSP_CAMERA cam;
    cam.password = "s3cret-pw";
    EXPECT_EQ(-1, dm->InsertRtspCamera(cam));
    CloseLogFile();
    const std::string log = dir.read("log.txt");
    EXPECT_NE(std::string::npos, log.find("zoxdb: InsertRtspCamera failed: ")) << log;
    EXPECT_NE(std::string::npos, log.find("zox_rtsp_camera' doesn't exist")) << log;
    EXPECT_EQ(std::string::npos, log.find("s3cret-pw")) << log;
}
