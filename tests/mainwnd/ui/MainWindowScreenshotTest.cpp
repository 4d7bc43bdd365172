// Renders the main window as the dispatcher sees it after a login (a cache of a few
// dozen users in several states, a group shown and a user selected) into
// <build>/docs/main-window.png. The picture of the product in docs/ is taken from it.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ZoxDataModuleListCache.h"
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "tests/support/TestDatabase.h"

#include <QDir>

using namespace zox::mainwnd;

namespace {

class MainWindowPicture : public MainFormFixture {};

TEST_F(MainWindowPicture, AfterLogin)
{
    zoxtest::ScratchDatabase db;
    TNetTcpServiceForm connection(db.connectionString());
    ASSERT_EQ(connection.ConnectDatabase(), 0);
    TZoxDataModule module(&connection);
    TZoxDataModuleListCache listCache(module);

    const char *groups[] = {"Patrol North", "Patrol South", "Harbour Unit", "Fire Brigade", "Ambulance", "Traffic"};
    for (int g = 0; g < 6; ++g)
        ASSERT_EQ(module.InsertSystemGroup({groups[g], std::to_string(9001 + g), static_cast<uint32_t>(11 + g)}), 0);
    const char *names[] = {"A. Novak",   "B. Keller",  "C. Duarte",  "D. Lindgren", "E. Okafor",  "F. Moreau",
                           "G. Rossi",   "H. Tanaka",  "I. Petrov",  "J. Walsh",    "K. Haddad",  "L. Svensson",
                           "M. Costa",   "N. Berger",  "O. Nielsen", "P. Fischer",  "Q. Romano",  "R. Dubois",
                           "S. Kowalski", "T. Jansen", "U. Brandt",  "V. Marino",   "W. Schulz",  "X. Lopez",
                           "Y. Meyer",   "Z. Horvat",  "Dispatch 2", "Car 14",     "Car 15",     "Boat 3",
                           "Engine 7",   "Medic 21"};
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    for (int i = 0; i < 32; ++i) {
        const std::string n = std::to_string(3001 + i);
        users.push_back(MakeUser(n, names[i], i % 7 == 3 ? 0 : 1));
        members.push_back({11 + i % 6, n});
        if (i < 14)
            members.push_back({11, n});
    }
    ASSERT_EQ(module.InsertSystemUsers(users), 0);
    // A member listed twice for group 11 would break the key: keep each pair once.
    std::sort(members.begin(), members.end(),
              [](const auto &a, const auto &b) { return std::tie(a.groupId, a.userNumber) < std::tie(b.groupId, b.userNumber); });
    members.erase(std::unique(members.begin(), members.end(),
                              [](const auto &a, const auto &b) { return a.groupId == b.groupId && a.userNumber == b.userNumber; }),
                  members.end());
    ASSERT_EQ(module.InsertGroupMembers(members), 0);
    // State notices as the login stores them.
    struct S {
        const char *n;
        uint8_t reg;
        uint32_t call, vp;
    } states[] = {{"3002", 1, 0x00000100, 0},          {"3003", 1, 0x00000100, 0}, {"3005", 1, 0x00000003, 0},
                  {"3006", 1, 0x00000001, 0},          {"3007", 1, 0, 0x10000001},  {"3009", 1, 0x00030000, 0x10000003},
                  {"3010", 3, 0, 0},                   {"3012", 1, 0x00000002, 0}, {"3013", 1, 0, 0x10000002}};
    for (const S &s : states)
        ASSERT_EQ(module.UpdateUserState(MakeUser(s.n, "", s.reg, s.call, s.vp)), 0);

    Build(false);
    form->SetListCache(&listCache);
    form->ReloadLists();
    form->setWindowState(Qt::WindowNoState);
    form->resize(1366, 768);
    ShowForm();
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "3005", true));
    QTest::qWait(600); // one refresh
    const QString dir = QStringLiteral(ZOX_BINARY_DIR) + "/docs";
    QDir().mkpath(dir);
    const QImage image = form->grab().toImage();
    ASSERT_TRUE(image.save(dir + "/main-window.png"));
    EXPECT_EQ(image.size(), QSize(1366, 768));
}

} // namespace
