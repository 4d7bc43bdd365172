// The login session downloads the server's groups and users into the real cache (a
// scratch database on the tests' MariaDB), served by the server side of the fake
// dispatch server. Bad list data must cost nothing but itself; a page that cannot be
// stored must never leave a running console on a partial cache.
#include "core/NetTcpServiceForm.h"
#include "core/ZoxLoginCache.h"
#include "tests/login/LoginFakes.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace zoxtest;

namespace {

constexpr uint32_t kGroupPage = 0x50010010;
constexpr uint32_t kUserPage = 0x5001000C;

std::string Repeat(const std::string &s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const std::string kNorth = "\xE5\x8C\x97"; // a 3-byte character
// 32 bytes: ten whole characters and the first two bytes of an eleventh.
const std::string kCutName = Repeat(kNorth, 10) + "\xE5\x8C";
const std::string kKeptName = Repeat(kNorth, 10);

FakeUser User(const std::string &number, const std::string &name, std::vector<uint8_t> groups)
{
    FakeUser u;
    u.number = number;
    u.name = name;
    u.groups = std::move(groups);
    return u;
}

// One login against the fake server's list script, on a cache connection of its own.
class Download {
public:
    // Runs before an answer of the server reaches the session: (code, how many answers
    // of that code came before, the answer's bytes).
    using Hook = std::function<void(uint32_t code, int ordinal, Bytes &answer)>;

    Download(const std::string &connectionString, CFakeLoginServer &server) : m_server(server)
    {
        g_nOwnUserId = 0;
        g_strOwnNumber = kDefaultOwnNumber;
        CLoginSession::SystemLines().clear();
        m_service = std::make_unique<TNetTcpServiceForm>(connectionString);
        m_connected = m_service->ConnectDatabase() == 0;
        m_cache = std::make_unique<CZoxLoginCache>(m_service.get());
        ST_ZOX_LOGIN_SETTINGS settings;
        settings.hbIntervalMs = 12000;
        settings.localRegIpAddr = 0x0100007F;
        m_session = std::make_unique<CLoginSession>(host, m_cache.get(), settings);
        m_session->SetInitialised(true);
    }

    bool Connected() const { return m_connected; }

    void Run(const Hook &hook = nullptr)
    {
        m_session->OnBtnOkClick();
        std::map<uint32_t, int> seen;
        for (std::size_t done = 0; done < host.sent.size() && done < 10000; ++done) {
            const Bytes request = host.sent[done];
            for (Bytes &answer : m_server.Handle(request)) {
                const uint32_t code = Code(answer);
                if (hook)
                    hook(code, seen[code]++, answer);
                m_session->OnLoginMessage(answer.data(), answer.size());
            }
        }
    }

    int State() const { return m_session->GetLoginState(); }

    int Logouts() const
    {
        int n = 0;
        for (const Bytes &b : host.sent)
            n += Code(b) == zox::proto::kRegisterRequest && RegisterType(b) == 1;
        return n;
    }

    FakeHost host;

private:
    CFakeLoginServer &m_server;
    std::unique_ptr<TNetTcpServiceForm> m_service;
    std::unique_ptr<CZoxLoginCache> m_cache;
    std::unique_ptr<CLoginSession> m_session;
    bool m_connected = false;
};

// Three groups on two pages, five users on three.
CFakeLoginServer Served()
{
    CFakeLoginServer s;
    s.groups = {{1, "North", "9001"}, {2, "South", "9002"}, {7, "Depot", "9007"}};
    s.groupsPerPage = 2;
    s.users = {User("1001", "Alice", {1, 7}), User("1002", "Bob", {2}), User("1003", "Carol", {1}),
               User("1004", "Dave", {}), User("5000", "Console", {})};
    s.usersPerPage = 2;
    return s;
}

std::string HexOf(const std::string &s)
{
    static const char *digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// The served users as the cache must hold them: one row a number, as its last entry
// says, with exactly the memberships of that entry; names as `names` gives them (number -> stored name) or
// as served. Names are compared as bytes.
void ExpectUsers(const ScratchDatabase &db, const CFakeLoginServer &server,
                 const std::map<std::string, std::string> &names = {})
{
    std::map<std::string, FakeUser> last;
    for (const FakeUser &u : server.users)
        last[u.number] = u;
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user"), (long long)last.size());
    for (const auto &[number, u] : last) {
        SCOPED_TRACE(number);
        const auto named = names.find(number);
        const std::string name = named != names.end() ? named->second : u.name;
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='" + number +
                           "' AND HEX(displayName)='" + HexOf(name) + "' AND regState=1 AND priority=1"),
                  1);
        const std::set<uint8_t> groups(u.groups.begin(), u.groups.end());
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='" + number + "'"),
                  (long long)groups.size());
        for (uint8_t g : groups)
            EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='" + number +
                               "' AND groupId=" + std::to_string(g)),
                      1)
                << "group " << int(g);
    }
}

// Lists with one bad or repeated row each: the login runs, every other row is stored
// and right.
TEST(ListDownload, BadOrRepeatedRowsCostNothingElse)
{
    const struct {
        const char *what;
        std::function<void(CFakeLoginServer &)> serve;
        Download::Hook tamper;
        std::map<std::string, std::string> names;          // user number -> stored name
        std::vector<std::pair<uint32_t, std::string>> groups; // every group stored, in id order
        std::vector<std::pair<std::string, long long>> checks; // further SQL counts
    } cases[] = {
        {"user and group names cut inside their last character",
         [](CFakeLoginServer &s) {
             s.users[1].name = kCutName;
             s.groups[1].name = kCutName;
         },
         nullptr,
         {{"1002", kKeptName}},
         {{1, "North"}, {2, kKeptName}, {7, "Depot"}},
         {}},
        {"names with bytes that are not UTF-8",
         [](CFakeLoginServer &s) {
             s.users[2].name = "Ca\xFFrol";
             s.groups[2].name = "De\xC3pot";
         },
         nullptr,
         {{"1003", "Ca\xEF\xBF\xBDrol"}},
         {{1, "North"}, {2, "South"}, {7, "De\xEF\xBF\xBDpot"}},
         {}},
        {"a user of an earlier page listed again, renamed and moved",
         [](CFakeLoginServer &s) {
             s.users.insert(s.users.begin() + 3, User("1001", "Alice Moved", {2}));
         },
         nullptr,
         {},
         {{1, "North"}, {2, "South"}, {7, "Depot"}},
         {}},
        {"a user twice in one page",
         [](CFakeLoginServer &s) { s.users.insert(s.users.begin() + 1, User("1001", "Alice Again", {1, 7})); },
         nullptr,
         {},
         {{1, "North"}, {2, "South"}, {7, "Depot"}},
         {}},
        {"one group three times in a user's membership bytes",
         [](CFakeLoginServer &s) { s.users[2].groups = {1, 7, 1, 1}; },
         nullptr,
         {},
         {{1, "North"}, {2, "South"}, {7, "Depot"}},
         {{"SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='1003'", 2}}},
        {"a group of an earlier page listed again, renamed",
         [](CFakeLoginServer &s) { s.groups.push_back({1, "North Renamed", "9101"}); },
         nullptr,
         {},
         {{1, "North Renamed"}, {2, "South"}, {7, "Depot"}},
         {{"SELECT COUNT(*) FROM zox_system_group WHERE groupId=1 AND groupNumber='9101'", 1}}},
        {"a group page whose count says more entries than it carries",
         nullptr,
         [](uint32_t code, int ordinal, Bytes &answer) {
             if (code == kGroupPage && ordinal == 0)
                 CFakeLoginServer::PutU32(answer.data() + 28, 5); // two entries carried
         },
         {},
         {{1, "North"}, {2, "South"}, {7, "Depot"}},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CFakeLoginServer server = Served();
        if (c.serve)
            c.serve(server);
        ScratchDatabase db;
        Download login(db.connectionString(), server);
        ASSERT_TRUE(login.Connected());
        login.Run(c.tamper);
        EXPECT_EQ(login.State(), int(kLoginRunning));
        EXPECT_TRUE(login.host.boxes.empty());
        ExpectUsers(db, server, c.names);
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group"), (long long)c.groups.size());
        for (const auto &[id, name] : c.groups)
            EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group WHERE groupId=" + std::to_string(id) +
                               " AND HEX(groupName)='" + HexOf(name) + "'"),
                      1)
                << "group " << id;
        for (const auto &[sql, expected] : c.checks)
            EXPECT_EQ(db.count(sql), expected) << sql;
    }
}

// The cache's connection is killed by the database server in the middle of the
// download: the page's write is made again on a new connection and the login
// completes with every row.
TEST(ListDownload, AConnectionKilledDuringTheDownloadCostsNoRow)
{
    const struct {
        const char *what;
        uint32_t code;
        int ordinal;
    } cases[] = {
        {"before the second group page", kGroupPage, 1},
        {"before the second user page", kUserPage, 1},
        {"before the last user page", kUserPage, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CFakeLoginServer server = Served();
        ScratchDatabase db;
        Download login(db.connectionString(), server);
        ASSERT_TRUE(login.Connected());
        int kills = 0;
        login.Run([&](uint32_t code, int ordinal, Bytes &) {
            if (code != c.code || ordinal != c.ordinal)
                return;
            // Every connection on the scratch database but the one asking.
            const std::string others = "FROM information_schema.PROCESSLIST WHERE DB='" + db.name() +
                                       "' AND ID<>CONNECTION_ID()";
            const long long id = db.count("SELECT COALESCE(MIN(ID), 0) " + others);
            ASSERT_NE(id, 0) << "the cache's connection is not on the server";
            db.exec("KILL CONNECTION " + std::to_string(id));
            ++kills;
        });
        EXPECT_EQ(kills, 1);
        EXPECT_EQ(login.State(), int(kLoginRunning));
        EXPECT_TRUE(login.host.boxes.empty());
        ExpectUsers(db, server);
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group"), 3);
    }
}

// The database server stops in the middle of the download: the login ends with the
// list's own failure text and a logout, and the console does not run.
TEST(ListDownload, ADatabaseStoppedDuringTheDownloadEndsTheLogin)
{
    PrivateMariaDb dbServer;
    const struct {
        const char *what;
        uint32_t code;
        int ordinal;
        const char *box;
    } cases[] = {
        {"before the second group page", kGroupPage, 1, "Load group data failed, Please try again later."},
        {"before the second user page", kUserPage, 1, "Load user data failed, Please try again later."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (&c != &cases[0]) {
            ASSERT_TRUE(dbServer.start()); // stopped by the row before
        }
        CFakeLoginServer server = Served();
        ScratchDatabase db(dbServer.connectionString());
        Download login(db.connectionString(), server);
        ASSERT_TRUE(login.Connected());
        bool stopped = false;
        login.Run([&](uint32_t code, int ordinal, Bytes &) {
            if (code == c.code && ordinal == c.ordinal)
                stopped = dbServer.stop();
        });
        ASSERT_TRUE(stopped);
        EXPECT_EQ(login.State(), int(kLoginIdle));
        EXPECT_FALSE(login.host.mainShown);
        EXPECT_EQ(login.host.boxes, std::vector<std::string>{c.box});
        EXPECT_EQ(login.Logouts(), 1);
        EXPECT_TRUE(login.host.loginShown);
    }
}

} // namespace
