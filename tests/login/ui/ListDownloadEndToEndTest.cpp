// The whole console logs in against the fake dispatch server on 127.0.0.2:8888 while
// the lists carry bad rows or the cache's connection is killed on the way: it runs
// with every good row in the cache.
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>

using namespace zoxtest;

namespace {

constexpr uint32_t kGroupListReq = 0x5001000F;
constexpr uint32_t kUserListReq = 0x5001000B;

FakeUser Served(const std::string &number, const std::string &name, std::vector<uint8_t> groups)
{
    FakeUser u;
    u.number = number;
    u.name = name;
    u.groups = std::move(groups);
    return u;
}

std::string Repeat(const std::string &s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class ListDownloadEndToEnd : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        uiApp();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
    }

    void Start()
    {
        StartConsole("[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\n"
                     "LocalRegIpAddr=127.0.0.1\n[Security]\nAutoLogin=1\nLoginUsername=8001\n"
                     "LoginPassword=1234\nHeartbeat=0\nHBInterval=12\n[Debug]\nWriteLogFile=1\n");
    }

    // Answers the list requests of `code` as the served login does, after `change`
    // had the answer of the n-th request (from 0).
    void ChangeAnswer(uint32_t code, std::function<void(int n, Bytes &answer)> change)
    {
        server.Answer(code, [this, code, change](const ReceivedDatagram &request) {
            std::vector<Bytes> out = login.With([&](CFakeLoginServer &s) { return s.Handle(request.bytes); });
            const int n = answered[code]++;
            for (Bytes &b : out)
                change(n, b);
            return out;
        });
    }

    uint8_t State() const { return form->Session().GetLoginState(); }

    // Only the fake's receive thread writes it, while the test waits.
    std::map<uint32_t, int> answered;
    std::atomic<int> kills{0};
};

TEST_F(ListDownloadEndToEnd, BadRowsInTheListsCostNothingElse)
{
    const std::string north = "\xE5\x8C\x97";
    const std::string cut = Repeat(north, 10) + "\xE5\x8C"; // 32 bytes, the last character cut
    login.With([&](CFakeLoginServer &s) {
        s.groups = {{1, "North", "9001"}, {2, cut, "9002"}, {7, "Depot", "9007"}};
        s.groupsPerPage = 2;
        s.users = {Served("1001", "Alice", {1, 7}), Served("1002", cut, {2, 2, 2}), Served("1003", "Carol", {1}),
                   Served("1001", "Alice Moved", {2}), Served("1004", "Dave", {})};
        s.usersPerPage = 2;
    });
    // The first group page says 5 entries and carries 2.
    ChangeAnswer(kGroupListReq, [](int n, Bytes &answer) {
        if (n == 0)
            CFakeLoginServer::PutU32(answer.data() + 28, 5);
    });
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; })) << "state " << int(State());
    EXPECT_TRUE(boxes.empty());

    const std::string hexKept = [&] {
        std::string h;
        for (int i = 0; i < 10; ++i)
            h += "E58C97";
        return h;
    }();
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group"), 3);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group WHERE groupId=2 AND HEX(groupName)='" + hexKept + "'"),
              1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user"), 4);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='1002' AND HEX(displayName)='" +
                       hexKept + "'"),
              1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='1001' AND displayName='Alice Moved'"),
              1);
    for (const char *number : {"1003", "1004"})
        EXPECT_EQ(db.count(std::string("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='") + number + "'"), 1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='1002'"), 1);
    // Listed again on a later page: the later entry's one membership only.
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='1001'"), 1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='1001' AND groupId=2"), 1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='1003' AND groupId=1"), 1);
}

// The database server kills the console's cache connection just before the second
// user page arrives: the page is stored on a new connection and nothing is missing.
TEST_F(ListDownloadEndToEnd, ACacheConnectionKilledDuringTheDownloadCostsNoRow)
{
    login.With([](CFakeLoginServer &s) {
        s.Populate(5, 40, 2);
        s.usersPerPage = 10;
        s.groupsPerPage = 2;
    });
    ChangeAnswer(kUserListReq, [this](int n, Bytes &) {
        if (n != 1)
            return;
        const long long id = db.count("SELECT COALESCE(MIN(ID), 0) FROM information_schema.PROCESSLIST WHERE DB='" +
                                      db.name() + "' AND ID<>CONNECTION_ID()");
        if (id != 0) {
            db.exec("KILL CONNECTION " + std::to_string(id));
            ++kills;
        }
    });
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning || (State() == kLoginIdle && !boxes.empty()); }));
    EXPECT_EQ(kills.load(), 1);
    EXPECT_EQ(State(), kLoginRunning);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user"), 40);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group"), 5);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member"), 80);
}

} // namespace
