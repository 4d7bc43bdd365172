// Writing a server directory into the cache: the login's way (groups one by one,
// users and their memberships page by page through the bulk inserts, values bound)
// against bare multi-row INSERT statements with the values written into the text,
// through the same driver and server, alternating, several rounds; then the bulk
// inserts with the whole directory at once against one bare INSERT per table.
//
//   cache_bench [connection string]
// Without a connection string it starts a private MariaDB of its own.
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "tests/support/TestDatabase.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kUsers = 20000;
constexpr int kGroups = 2000;
constexpr int kUsersPerPage = 10;    // a 1500-byte user list page holds 10 entries of 144 bytes
constexpr int kGroupsPerUser = 3;    // membership group ids are 0..254
constexpr int kRounds = 5;

struct Directory {
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<std::vector<ST_ZOX_GROUP_MEMBER>> members; // per user
};

Directory MakeDirectory()
{
    Directory d;
    for (int g = 0; g < kGroups; ++g) {
        ST_ZOX_SYSTEM_GROUP group;
        group.groupId = static_cast<uint32_t>(g);
        group.groupName = "Group " + std::to_string(g);
        group.groupNumber = std::to_string(90000 + g);
        d.groups.push_back(group);
    }
    for (int i = 0; i < kUsers; ++i) {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = std::to_string(1000000 + i);
        u.displayName = "User " + std::to_string(i);
        u.dispatcher = i % 50 == 0;
        u.isMobile = static_cast<uint8_t>(i % 3);
        u.regState = static_cast<uint8_t>(i % 4);
        u.callState = i % 10 == 0 ? 0x00000003u : 0;
        u.vpState = i % 20 == 0 ? 0x10000001u : 0;
        u.priority = static_cast<uint8_t>(i % 5);
        u.callRef = u.callState ? "0000ABCD" : "";
        d.users.push_back(u);
        std::vector<ST_ZOX_GROUP_MEMBER> m;
        for (int k = 0; k < kGroupsPerUser; ++k)
            m.push_back({(i + k * 85) % 255, u.userNumber});
        d.members.push_back(m);
    }
    return d;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Empty(soci::session &s)
{
    s << "DELETE FROM zox_system_group";
    s << "DELETE FROM zox_system_user";
    s << "DELETE FROM zox_system_group_member";
}

std::string Quoted(const std::string &text)
{
    return "'" + text + "'"; // the bench's own texts hold no quote
}

std::string UserTuple(const ST_ZOX_SYSTEM_USER &u)
{
    return "(" + Quoted(u.userNumber) + ", " + Quoted(u.displayName) + ", '" + std::to_string(u.dispatcher) + "', '" +
           std::to_string(u.isMobile) + "', '" + std::to_string(u.regState) + "', '" + std::to_string(u.callState) +
           "', '" + std::to_string(u.vpState) + "', '" + std::to_string(u.dcFlag) + "', '" +
           std::to_string(u.priority) + "', " + Quoted(u.callRef) + ")";
}

const char *kUserInsert = "INSERT INTO zox_system_user(userNumber, displayName, dispatcher, isMobile, regState, "
                          "callState, vpState, dcFlag, priority, callRef) VALUES ";
const char *kMemberInsert = "INSERT INTO zox_system_group_member(groupId, userNumber) VALUES ";

std::string GroupInsert(const ST_ZOX_SYSTEM_GROUP &g)
{
    return "INSERT INTO zox_system_group(groupId, groupName, groupNumber) VALUES('" + std::to_string(g.groupId) +
           "', " + Quoted(g.groupName) + ", " + Quoted(g.groupNumber) + ")";
}

// The login's way through the data module.
double LoginWay(TZoxDataModule &dm, const Directory &d)
{
    auto t0 = std::chrono::steady_clock::now();
    for (const auto &g : d.groups)
        if (dm.InsertSystemGroup(g) != 0)
            throw std::runtime_error("InsertSystemGroup failed");
    for (int first = 0; first < kUsers; first += kUsersPerPage) {
        int end = std::min(kUsers, first + kUsersPerPage);
        std::vector<ST_ZOX_SYSTEM_USER> page(d.users.begin() + first, d.users.begin() + end);
        std::vector<ST_ZOX_GROUP_MEMBER> members;
        for (int i = first; i < end; ++i)
            members.insert(members.end(), d.members[i].begin(), d.members[i].end());
        if (dm.InsertSystemUsers(std::move(page)) != 0 || dm.InsertGroupMembers(std::move(members)) != 0)
            throw std::runtime_error("page insert failed");
    }
    return Seconds(t0);
}

// The same statements page by page, with the values written into the text.
double BarePages(soci::session &s, const Directory &d)
{
    auto t0 = std::chrono::steady_clock::now();
    for (const auto &g : d.groups)
        s << GroupInsert(g);
    for (int first = 0; first < kUsers; first += kUsersPerPage) {
        int end = std::min(kUsers, first + kUsersPerPage);
        std::string users = kUserInsert, members = kMemberInsert;
        for (int i = first; i < end; ++i) {
            users += (i == first ? "" : ", ") + UserTuple(d.users[i]);
            for (const auto &m : d.members[i])
                members += std::string(members.back() == ' ' ? "" : ", ") + "('" + std::to_string(m.groupId) +
                           "', " + Quoted(m.userNumber) + ")";
        }
        s << users + ";";
        s << members + ";";
    }
    return Seconds(t0);
}

// Users and memberships of the whole directory in one call of each bulk insert.
double BulkWhole(TZoxDataModule &dm, const Directory &d)
{
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    for (const auto &m : d.members)
        members.insert(members.end(), m.begin(), m.end());
    std::vector<ST_ZOX_SYSTEM_USER> users = d.users;
    auto t0 = std::chrono::steady_clock::now();
    if (dm.InsertSystemUsers(std::move(users)) != 0 || dm.InsertGroupMembers(std::move(members)) != 0)
        throw std::runtime_error("bulk insert failed");
    return Seconds(t0);
}

// The same rows in one multi-row INSERT per table with the values in the text.
double BareWhole(soci::session &s, const Directory &d)
{
    std::string users = kUserInsert, members = kMemberInsert;
    for (int i = 0; i < kUsers; ++i) {
        users += (i == 0 ? "" : ", ") + UserTuple(d.users[i]);
        for (const auto &m : d.members[i])
            members += std::string(members.back() == ' ' ? "" : ", ") + "('" + std::to_string(m.groupId) + "', " +
                       Quoted(m.userNumber) + ")";
    }
    auto t0 = std::chrono::steady_clock::now();
    s << users;
    s << members;
    return Seconds(t0);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    try {
        std::unique_ptr<zoxtest::PrivateMariaDb> server;
        std::string conn;
        if (argc > 1) {
            conn = argv[1];
        } else {
            std::printf("starting a private MariaDB...\n");
            server = std::make_unique<zoxtest::PrivateMariaDb>();
            conn = server->connectionString();
        }
        TNetTcpServiceForm service(conn);
        if (service.ConnectDatabase() != 0) {
            std::fprintf(stderr, "cannot connect\n");
            return 1;
        }
        TZoxDataModule dm(&service);
        soci::session bare(*soci::factory_odbc(), conn);
        const Directory d = MakeDirectory();
        const long rows = kGroups + kUsers + static_cast<long>(kUsers) * kGroupsPerUser;
        std::printf("directory: %d users, %d groups, %d memberships (%ld rows); %d users per page\n", kUsers, kGroups,
                    kUsers * kGroupsPerUser, rows, kUsersPerPage);

        std::vector<double> login, barePages, whole, bareWhole;
        for (int r = 0; r < kRounds; ++r) {
            Empty(bare);
            login.push_back(LoginWay(dm, d));
            Empty(bare);
            barePages.push_back(BarePages(bare, d));
            Empty(bare);
            whole.push_back(BulkWhole(dm, d));
            Empty(bare);
            bareWhole.push_back(BareWhole(bare, d));
        }
        Empty(bare);
        auto line = [&](const char *what, double s, long n) {
            std::printf("  %-62s %7.3f s  %9.0f rows/s\n", what, s, n / s);
        };
        const long bulkRows = kUsers + static_cast<long>(kUsers) * kGroupsPerUser;
        double a = Median(login), b = Median(barePages), c = Median(whole), e = Median(bareWhole);
        std::printf("median of %d rounds:\n", kRounds);
        std::printf("the login's way (groups one by one, users and members page by page), %ld rows:\n", rows);
        line("data module, values bound", a, rows);
        line("bare multi-row INSERT per page, values in the text", b, rows);
        std::printf("  ratio %.2f x\n", a / b);
        std::printf("users and members of the whole directory at once, %ld rows:\n", bulkRows);
        line("data module bulk inserts, values bound", c, bulkRows);
        line("one bare multi-row INSERT per table, values in the text", e, bulkRows);
        std::printf("  ratio %.2f x\n", c / e);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cache_bench: %s\n", e.what());
        return 1;
    }
}
