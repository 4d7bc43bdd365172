// A real console login, offscreen: the login window with the real network layer,
// media libraries and server-data cache (a scratch database on the tests' private
// MariaDB) against the fake dispatch server on 127.0.0.2:8888. Message boxes are
// answered by the test.
#include "console/ui/Mainfrm.h"
#include "console/ui/Splashfrm.h"
#include "core/Log.h"
#include "core/NetTcpServiceForm.h"
#include "core/SessionIdentity.h"
#include "core/ui/ConsoleServices.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/UiApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace zoxtest;

namespace {

QApplication &App()
{
    return zoxtest::uiApp();
}

constexpr uint32_t kRegisterReq = 0x50010001;
constexpr uint32_t kHeartbeatReq = 0x50010005;
constexpr uint32_t kLineConfigReq = 0x50010007;
constexpr uint32_t kGroupListReq = 0x5001000F;
constexpr uint32_t kAuthRsp = 0x50010004;
constexpr uint32_t kUserStateReply = 0x50030002;

class LoginEndToEnd : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        App();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            s.groups = {{1, "North", "9001"}, {2, "South", "9002"}, {7, "Depot", "9007"}};
            for (int i = 0; i < 23; ++i) {
                FakeUser u;
                u.number = std::to_string(1000 + i);
                u.name = "User " + std::to_string(i);
                u.groups = {uint8_t(i % 2 == 0 ? 1 : 2)};
                if (i % 5 == 0)
                    u.groups.push_back(7);
                s.users.push_back(u);
            }
            s.usersPerPage = 10;
            s.groupsPerPage = 2;
            s.refusedLines = {"500003"};
        });
    }

    void Start(const std::string &security = "Heartbeat=0\nHBInterval=12\n")
    {
        StartConsole("[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\n"
                     "LocalRegIpAddr=127.0.0.1\n[Security]\nAutoLogin=1\nLoginUsername=8001\n"
                     "LoginPassword=1234\n" +
                     security + "[Debug]\nWriteLogFile=1\n[Video]\nVideoEnabled=1\n");
    }

    uint8_t State() const { return form->Session().GetLoginState(); }

    std::size_t Logouts() const
    {
        std::size_t n = 0;
        for (const auto &r : server.ReceivedWithCode(kRegisterReq))
            n += r.bytes.size() >= 36 && r.bytes[35] == 1;
        return n;
    }

    std::string Log() const { return dir.read("log/log.txt"); }
};

TEST_F(LoginEndToEnd, AutomaticLoginFillsTheCacheAndRuns)
{
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; })) << "state " << int(State());
    EXPECT_TRUE(mainForm->isVisible());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Splash()->isVisible());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g_nOwnUserId.load(), 0x77u);

    // Exactly the served lines, groups, users and memberships.
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_line"), 19);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group"), 3);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group WHERE groupId=7 AND groupName='Depot' AND "
                       "groupNumber='9007'"),
              1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user"), 23);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='1022' AND displayName='User 22'"), 1);
    // 23 users in one of groups 1 and 2, and users 0, 5, 10, 15, 20 also in group 7.
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member"), 28);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE groupId=7"), 5);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_group_member WHERE groupId=1 AND userNumber='1004'"), 1);
    // The refused line keeps status 2; the others are accepted.
    int accepted = 0;
    for (auto &l : CLoginSession::SystemLines())
        accepted += l.status == 1;
    EXPECT_EQ(accepted, 18);
    // Pages asked once each: groups from 1 and 3, users from 1, 11 and 21.
    EXPECT_EQ(server.CountOf(kGroupListReq), 2u);
    EXPECT_EQ(server.CountOf(0x5001000B), 3u);
}

TEST_F(LoginEndToEnd, ExitWhileRegisteredSendsOneLogout)
{
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; }));
    Shutdown();
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kRegisterReq) >= 2; }, 3000));
    QTest::qWait(200);
    EXPECT_TRUE(WaitFor([&] { return Logouts() >= 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(Logouts(), 1u);
}

TEST_F(LoginEndToEnd, LostHeartbeatLogsOutAndAsksForRestart)
{
    Start("Heartbeat=1\nHBInterval=1\n");
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; }));
    server.Withhold(kHeartbeatReq);
    ASSERT_TRUE(WaitFor([&] { return closed; }, 10000));
    EXPECT_EQ(g_byRestartFlag.load(), 1);
    EXPECT_FALSE(mainForm->isVisible());
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kRegisterReq) >= 2; }, 2000));
    EXPECT_TRUE(WaitFor([&] { return Logouts() >= 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(Logouts(), 1u);
    EXPECT_NE(Log().find("login: heart beat timer out and reboot."), std::string::npos);
}

TEST_F(LoginEndToEnd, ResetIndicatorShowsCommunicationError)
{
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; }));
    server.Inject(login.With([](CFakeLoginServer &s) { return s.MakeServerReset(); }));
    ASSERT_TRUE(WaitFor([&] { return closed; }, 5000));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error: Communication error, please login again."}));
    EXPECT_EQ(g_byRestartFlag.load(), 1);
    EXPECT_TRUE(WaitFor([&] { return Logouts() >= 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(Logouts(), 1u);
}

TEST_F(LoginEndToEnd, TimeLimitInLineStepSendsLogout)
{
    server.Withhold(kLineConfigReq);
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginLines; }));
    EXPECT_EQ(form->c_pLoginTimer->interval(), 30000);
    form->c_pLoginTimer->start(20); // the 30 seconds pass
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginIdle; }, 3000));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error: Load line data timeout, please try again later."}));
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kRegisterReq) >= 2; }, 2000));
    EXPECT_TRUE(WaitFor([&] { return Logouts() >= 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(Logouts(), 1u);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(LoginEndToEnd, TimeLimitInAuthStepSendsNoLogout)
{
    server.Withhold(kAuthRsp);
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginAuthSent; }));
    form->c_pLoginTimer->start(20);
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginIdle; }, 3000));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error: User authentication timed out. Please try again later."}));
    QTest::qWait(300);
    EXPECT_EQ(Logouts(), 0u);
}

TEST_F(LoginEndToEnd, CancelDuringLoginAsks)
{
    server.Withhold(kGroupListReq);
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginGroups; }));
    questionAnswer = kMsgBoxCancel;
    QTest::keyClick(form->Splash(), Qt::Key_Escape);
    EXPECT_EQ(State(), kLoginGroups);
    questionAnswer = kMsgBoxOk;
    QTest::keyClick(form->Splash(), Qt::Key_Escape);
    EXPECT_EQ(State(), kLoginIdle);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Confirmation: Logging in. Are you sure you want to cancel?",
                                               "Confirmation: Logging in. Are you sure you want to cancel?"}));
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kRegisterReq) >= 2; }, 2000));
    EXPECT_TRUE(WaitFor([&] { return Logouts() >= 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(Logouts(), 1u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(closed);
}

TEST_F(LoginEndToEnd, UserStateNoticesUpdateTheCacheAndAreAnswered)
{
    Start();
    ASSERT_TRUE(WaitFor([&] { return State() == kLoginRunning; }));
    const Bytes notice = login.With([](CFakeLoginServer &s) {
        return s.MakeUserStateNotify("1003", 2, 3, 1, 0, {0, 0, 1, 0x2A}, 0x10, 0xFFFFFFFF);
    });
    server.Inject(notice);
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kUserStateReply) >= 1; }, 3000));
    const Bytes reply = server.ReceivedWithCode(kUserStateReply)[0].bytes;
    ASSERT_EQ(reply.size(), 20u);
    EXPECT_EQ(CFakeLoginServer::GetU32(reply.data()), 0x77u);
    EXPECT_EQ(CFakeLoginServer::GetU32(reply.data() + 8), 0xFFFFFFFFu);
    EXPECT_EQ(CFakeLoginServer::GetU32(reply.data() + 12), 0x10u);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='1003' AND regState=2 AND "
                       "callState=3 AND vpState=1 AND callRef='0000012A'"),
              1);
    // The same notice again: nothing written (no update line in the log), still answered.
    server.Inject(notice);
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kUserStateReply) >= 2; }, 3000));
    const std::string log = Log();
    const std::string line = "login: user state notify received, 1003-2-0x3-0x1-0-0000012A.";
    const auto first = log.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find(line, first + 1), std::string::npos);
}

} // namespace
