// The user states of the notices, written behind: the rows in memory that the notices
// are compared with, the states kept until written, and what every other statement of
// the data module sees of them.
#include "tests/cache/CacheTestFixture.h"
#include "tests/support/TempDir.h"

#include "core/Log.h"

namespace {

ST_ZOX_SYSTEM_USER State(const std::string &number, uint8_t regState, uint32_t callState, const std::string &callRef,
                         uint32_t vpState = 0, uint8_t dcFlag = 0)
{
    ST_ZOX_SYSTEM_USER u;
    u.userNumber = number;
    u.regState = regState;
    u.callState = callState;
    u.callRef = callRef;
    u.vpState = vpState;
    u.dcFlag = dcFlag;
    return u;
}

long long CountWhere(const zoxtest::ScratchDatabase &db, const std::string &where)
{
    return db.count("SELECT COUNT(*) FROM zox_system_user WHERE " + where);
}

} // namespace

// A kept state is the user's row at once for the notices, and in the table before any
// later statement of the module runs: every reader sees it.
TEST_F(CacheTest, KeptStatesAreSeenByTheNextStatementOfEveryKind)
{
    struct Reader {
        const char *name;
        std::function<bool(TZoxDataModule &)> seesState; // the state of user 2 below
    } readers[] = {
        {"GetSystemUser",
         [](TZoxDataModule &m) {
             ST_ZOX_SYSTEM_USER u;
             return m.GetSystemUser("2", u) == 0 && u.callState == 0x10001 && u.callRef == "0000002A";
         }},
        {"GetSystemUsers",
         [](TZoxDataModule &m) {
             std::vector<ST_ZOX_SYSTEM_USER> all;
             return m.GetSystemUsers(all) == 0 && all.size() == 3 && all[1].callState == 0x10001;
         }},
        {"CountAvailableUsers", [](TZoxDataModule &m) { return m.CountAvailableUsers() == 2; }},
        {"GetUsersByCallRef",
         [](TZoxDataModule &m) {
             std::vector<ST_ZOX_SYSTEM_USER> in;
             return m.GetUsersByCallRef("0000002A", in) == 0 && in.size() == 1;
         }},
        {"GetBusyCallRefs",
         [](TZoxDataModule &m) {
             std::vector<std::string> refs;
             return m.GetBusyCallRefs(refs) == 0 && refs == std::vector<std::string>{"0000002A"};
         }},
        {"a write of another table", [](TZoxDataModule &m) { return m.ResetCameraStatus() == 0; }},
    };
    for (const Reader &r : readers) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(0, dm->DeleteSystemUsers());
        ASSERT_EQ(0, dm->InsertSystemUsers({User("1"), User("2", "two"), User("3")}));

        dm->QueueUserState(State("2", 1, 0x10001, "0000002A", 0x10000001, 9));
        ST_ZOX_SYSTEM_USER row;
        ASSERT_EQ(0, dm->GetUserRow("2", row));
        EXPECT_EQ(0x10001u, row.callState);
        EXPECT_EQ("two", row.displayName) << "the rest of the row stays";
        EXPECT_EQ(0, CountWhere(*db, "callState<>0")) << "not written yet";

        EXPECT_TRUE(r.seesState(*dm));
        EXPECT_EQ(0u, dm->KeptUserStates());
        EXPECT_EQ(1, CountWhere(*db, "userNumber='2' AND regState=1 AND callState=65537 AND vpState=268435457"
                                     " AND dcFlag=9 AND callRef='0000002A' AND displayName='two'"));
    }
}

// Later states of one user replace earlier ones still kept; one write holds the latest
// of each user, and users without a state keep theirs.
TEST_F(CacheTest, KeptStatesAreTheLatestPerUser)
{
    std::vector<ST_ZOX_SYSTEM_USER> users;
    for (int i = 0; i < 300; ++i) // more than one chunk of the statement
        users.push_back(User(std::to_string(1000 + i)));
    ASSERT_EQ(0, dm->InsertSystemUsers(users));
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 299; ++i)
            dm->QueueUserState(State(std::to_string(1000 + i), uint8_t(round), uint32_t(round * 1000 + i), "00000001"));
    EXPECT_EQ(299u, dm->KeptUserStates());
    ASSERT_EQ(0, dm->FlushUserStates());
    EXPECT_EQ(299, CountWhere(*db, "regState=2 AND callState=2000+CAST(userNumber AS UNSIGNED)-1000"));
    EXPECT_EQ(1, CountWhere(*db, "userNumber='1299' AND regState=1 AND callState=0"));
    EXPECT_EQ(300, CountWhere(*db, "1")) << "no row added";
}

// Deleting the users forgets their rows and kept states: a notice for a user of the
// old download finds no row, and a new download is compared as it was stored.
TEST_F(CacheTest, DeletingTheUsersForgetsTheirRows)
{
    ASSERT_EQ(0, dm->InsertSystemUsers({User("1"), User("2")}));
    dm->QueueUserState(State("1", 3, 7, "00000007"));
    ASSERT_EQ(0, dm->ClearAll());
    EXPECT_EQ(0u, dm->KeptUserStates());
    ST_ZOX_SYSTEM_USER row;
    EXPECT_EQ(-2, dm->GetUserRow("1", row));
    ASSERT_EQ(0, dm->InsertSystemUsers({User("1", "new", 1, 0)}));
    ASSERT_EQ(0, dm->GetUserRow("1", row));
    EXPECT_EQ(0u, row.callState);
    EXPECT_EQ("new", row.displayName);
    EXPECT_EQ(-2, dm->GetUserRow("2", row));
    EXPECT_EQ(1, CountWhere(*db, "1"));
}

// The rows in memory follow the module's other writes of the user table: rows stored
// outside the module are read when the rows are first needed, and again after a
// statement that changes many rows at once.
TEST_F(CacheTest, UserRowsFollowTheTable)
{
    db->exec("INSERT INTO zox_system_user(userNumber, displayName, regState, userType) VALUES('V1', 'van', 0, 0)");
    ST_ZOX_SYSTEM_USER row;
    ASSERT_EQ(0, dm->GetUserRow("V1", row));
    EXPECT_EQ("van", row.displayName);
    EXPECT_EQ(0, row.regState);

    ASSERT_EQ(0, dm->InsertCmsVehicle(1, "V1", 5, "D1", 1, "1"));
    ASSERT_EQ(0, dm->UpdateCmsVehicleStatus("D1", 1));
    ASSERT_EQ(0, dm->SyncUserStateFromVehicles());
    ASSERT_EQ(0, dm->SetVehicleUserType(1));
    ASSERT_EQ(0, dm->GetUserRow("V1", row));
    EXPECT_EQ(1, row.regState);
    EXPECT_EQ(1, row.userType);

    ASSERT_EQ(0, dm->InsertSystemUsers({User("N1", "newcomer", 2)}));
    ASSERT_EQ(0, dm->GetUserRow("N1", row));
    EXPECT_EQ("newcomer", row.displayName);
    EXPECT_EQ(0, row.userType);
}

// States the database refuses (while it is there) are dropped with a log line instead
// of failing every later statement.
TEST_F(CacheTest, StatesTheDatabaseRefusesAreDroppedAndLogged)
{
    zoxtest::TempDir dir;
    OpenLogFile((dir / "log.txt").string());
    ASSERT_EQ(0, dm->InsertSystemUsers({User("1"), User("2")}));
    db->exec("ALTER TABLE zox_system_user MODIFY callRef VARCHAR(4) NOT NULL DEFAULT ''");
    dm->QueueUserState(State("1", 1, 1, "0000002A"));
    std::vector<ST_ZOX_SYSTEM_USER> all;
    EXPECT_EQ(0, dm->GetSystemUsers(all)) << "the reader still runs";
    EXPECT_EQ(0u, dm->KeptUserStates());
    dm->QueueUserState(State("2", 2, 0, ""));
    EXPECT_EQ(0, dm->FlushUserStates());
    EXPECT_EQ(1, CountWhere(*db, "userNumber='2' AND regState=2"));
    CloseLogFile();
    EXPECT_NE(std::string::npos, dir.read("log.txt").find("zoxdb: 1 user states refused by the database and dropped"))
        << dir.read("log.txt");
}
