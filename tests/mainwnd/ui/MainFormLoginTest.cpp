// The main window after a real login: the login window with the real network layer and
// server-data cache (a scratch database on the tests' MariaDB) against the fake dispatch
// server on 127.0.0.2:8888. The lists show what the server served; its state notices
// reach the tiles through the cache.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/TButtonCtrl.h"
#include "core/NetTcpServiceForm.h"
#include "core/SessionIdentity.h"
#include "core/ui/ConsoleServices.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>

using namespace zox::mainwnd;
using namespace zoxtest;

namespace {

constexpr uint32_t kUserStateReply = 0x50030002;

class MainAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            s.groups = {{11, "Patrol North", "9001"}, {12, "Patrol South", "9002"}, {13, "Harbour Unit", "9003"},
                        {14, "Fire Brigade", "9004"},  {15, "Ambulance", "9005"},    {16, "Traffic", "9006"}};
            const char *names[] = {"A. Novak",    "B. Keller", "C. Duarte", "D. Lindgren", "E. Okafor",
                                   "F. Moreau",   "G. Rossi",  "H. Tanaka", "I. Petrov",   "J. Walsh",
                                   "K. Haddad",   "L. Svensson", "M. Costa", "N. Berger",  "O. Nielsen",
                                   "P. Fischer",  "Q. Romano", "R. Dubois", "S. Kowalski", "T. Jansen",
                                   "U. Brandt",   "V. Marino", "W. Schulz", "X. Lopez",    "Y. Meyer",
                                   "Z. Horvat",   "Dispatch 2", "Car 14",   "Car 15",      "Boat 3",
                                   "Engine 7",    "Medic 21"};
            for (int i = 0; i < 32; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = names[i];
                u.regState = i % 7 == 3 ? 0 : 1;
                u.groups = {uint8_t(11 + i % 6)};
                if (i < 14 && i % 6 != 0)
                    u.groups.push_back(11);
                s.users.push_back(u);
            }
            s.usersPerPage = 10;
        });
    }

    void LogIn()
    {
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            "[General]\nTitle=ZoxClient Dispatch Console\nDepartment=City Operations\n"
            "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
            "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\nHBInterval=12\n"));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); })) << "login state " << int(form->GetLoginState());
        ASSERT_TRUE(mainForm->isVisible());
    }

    // A state notice of the server, answered by the console once it is stored.
    void Notice(const std::string &number, uint8_t reg, uint32_t call, uint32_t vp)
    {
        const std::size_t before = server.CountOf(kUserStateReply);
        server.Inject(login.With([&](CFakeLoginServer &s) {
            return s.MakeUserStateNotify(number, reg, call, vp, 0, {0, 0, 0, 0});
        }));
        ASSERT_TRUE(WaitFor([&] { return server.CountOf(kUserStateReply) > before; }, 3000));
    }

    TUserCellCtrl *UserTile(const std::string &number)
    {
        for (TUserCellCtrl *t : mainForm->UserCells())
            if (t->GetUserNumber() == number)
                return t;
        return nullptr;
    }
};

TEST_F(MainAfterLogin, ListsShowWhatTheServerServed)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const auto &g = mainForm->GroupCells();
    ASSERT_EQ(g.size(), 8u);
    EXPECT_EQ(g[0]->GetGroupName(), "All user");
    EXPECT_EQ(g[1]->GetGroupName(), "Camera");
    EXPECT_EQ(g[2]->GetGroupName(), "Patrol North");
    EXPECT_EQ(g[7]->GetGroupId(), 16);
    EXPECT_EQ(mainForm->c_pLabelTitle->text(), "ZoxClient Dispatch Console");
    EXPECT_TRUE(mainForm->UserCells().empty()); // nothing shown until a group is clicked
    EXPECT_EQ(CurrentSelection.kind, 0);

    g[0]->OnClickHandler(g[0]);
    EXPECT_EQ(mainForm->UserCells().size(), 32u);
    EXPECT_EQ(UserTile("3004")->PresencePicture(), "IMG_PRESENCE_INVISIBLE"); // served offline
    EXPECT_EQ(UserTile("3005")->PresencePicture(), "IMG_PRESENCE_ONLINE");
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    // Members of 11: users 0, 6, 12, ... by their first group, and 1..13 but not 6, 12.
    EXPECT_EQ(mainForm->UserCells().size(), 6u + 11u);
    EXPECT_EQ(mainForm->c_pLabelUserGroup->text(), "Patrol North");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainAfterLogin, StateNoticeReachesTheTileWithinOneRefresh)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    TUserCellCtrl *t = UserTile("3002");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->CallPicture(), "");
    Notice("3002", 1, 0x00000100, 0);
    Notice("3003", 1, 0x00030000, 0x10000003);
    Notice("3005", 3, 0, 0);
    QTest::qWait(550); // at most one refresh period
    EXPECT_EQ(t->CallPicture(), "IMG_AUDIO_DISPATCH");
    EXPECT_EQ(UserTile("3003")->CallPicture(), "IMG_PHONE_CALL_BUSY");
    EXPECT_EQ(UserTile("3003")->VideoPicture(), "IMG_VIDEO_BOTHTRANS");
    EXPECT_EQ(UserTile("3005")->PresenceIcon()->toolTip(), "Disabled");
}

TEST_F(MainAfterLogin, ReclickKeepsTilesAndSelectionRules)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_TRUE(IsGroupSelectionActive());
    EXPECT_EQ(mainForm->VisibleOperateButtons().size(), 10u);
    const auto tiles = mainForm->UserCells();
    ASSERT_TRUE(mainForm->SelectUserCell(kUserTypeDispatch, "3008", true));
    EXPECT_EQ(CurrentSelection.kind, 2);
    EXPECT_EQ(CurrentSelection.groupId, 11);
    EXPECT_EQ(CurrentSelection.user.displayName, "H. Tanaka");
    EXPECT_TRUE(IsUserSelectionActive());
    EXPECT_FALSE(IsGroupSelectionActive());
    EXPECT_EQ(mainForm->VisibleOperateButtons().size(), 14u);
    Notice("3008", 1, 0x00000003, 0);
    QTest::qWait(550);
    EXPECT_EQ(CurrentSelection.user.callState, 3u); // the target is read again
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    EXPECT_EQ(mainForm->UserCells(), tiles);
    for (TUserCellCtrl *u : tiles)
        EXPECT_FALSE(u->IsSelected());
    EXPECT_TRUE(IsGroupSelectionActive());
}

// The picture of the product: docs/main-window.png is taken from
// <build>/docs/main-window.png.
TEST_F(MainAfterLogin, Picture)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    Notice("3002", 1, 0x00000100, 0);
    Notice("3003", 1, 0x00000100, 0);
    Notice("3005", 1, 0x00000003, 0);
    Notice("3006", 1, 0x00000001, 0);
    Notice("3007", 1, 0, 0x10000001);
    Notice("3009", 1, 0x00030000, 0x10000003);
    Notice("3010", 3, 0, 0);
    Notice("3012", 1, 0x00000002, 0);
    Notice("3013", 1, 0, 0x10000002);
    mainForm->setWindowState(Qt::WindowNoState);
    mainForm->resize(1366, 768);
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    ASSERT_TRUE(mainForm->SelectUserCell(kUserTypeDispatch, "3005", true));
    QTest::qWait(600);
    const QString out = QStringLiteral(ZOX_BINARY_DIR) + "/docs";
    QDir().mkpath(out);
    const QImage image = mainForm->grab().toImage();
    ASSERT_TRUE(image.save(out + "/main-window.png"));
    EXPECT_EQ(image.size(), QSize(1366, 768));
}

} // namespace
