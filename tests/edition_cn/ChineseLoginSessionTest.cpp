// The login sequence of the Chinese-language build against the server side of the fake
// dispatch server: its states, its re-sends (only the register request and the
// heartbeat, every 3000 ms) and its Chinese texts.
#include "tests/login/LoginFakes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/Edition.h"
#include "tests/support/CaseName.h"

using namespace zoxtest;
using T = EN_ZOX_LOGIN_TIMER;

namespace {

class ChineseLoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nOwnUserId = 0;
        g_strOwnNumber = kDefaultOwnNumber;
        g_byRestartFlag = 0;
        CLoginSession::SystemLines().clear();
        settings.hbIntervalMs = 12000;
        settings.videoEnabled = false;
        settings.localRegIpAddr = 0x0100007F;
        server.groups = {{1, "北区", "9001"}, {2, "南区", "9002"}, {7, "车场", "9007"}};
        FakeUser a;
        a.number = "1001";
        a.name = "张三";
        a.groups = {1, 7};
        FakeUser b;
        b.number = "1002";
        b.name = "李四";
        b.groups = {2};
        FakeUser own;
        own.number = "5000";
        own.regState = 1;
        server.users = {a, b, own};
        server.usersPerPage = 2;
        server.groupsPerPage = 2;
    }

    void Make()
    {
        session = std::make_unique<CLoginSession>(host, &cache, settings);
        session->SetInitialised(true);
    }

    void Pump(std::function<bool(const Bytes &)> drop = nullptr)
    {
        for (int round = 0; round < 10000 && delivered < host.sent.size(); ++round) {
            Bytes d = host.sent[delivered++];
            for (Bytes &reply : server.Handle(d))
                if (!drop || !drop(reply))
                    Feed(reply);
        }
    }

    void Feed(const Bytes &b)
    {
        if ((CFakeLoginServer::GetU32(b.data() + 4) >> 16) == 0x5003)
            session->OnNotifyMessage(b.data(), b.size());
        else
            session->OnLoginMessage(b.data(), b.size());
    }

    std::size_t Count(uint32_t code) const
    {
        std::size_t n = 0;
        for (const Bytes &b : host.sent)
            n += Code(b) == code;
        return n;
    }

    int Logouts() const
    {
        int n = 0;
        for (const Bytes &b : host.sent)
            n += Code(b) == zox::proto::kRegisterRequest && RegisterType(b) == 1;
        return n;
    }

    ST_ZOX_LOGIN_SETTINGS settings;
    FakeHost host;
    FakeCache cache;
    CFakeLoginServer server;
    std::unique_ptr<CLoginSession> session;
    std::size_t delivered = 0;
};

} // namespace

TEST_F(ChineseLoginTest, StatesAndConstantsOfThisBuild)
{
    EXPECT_TRUE(zox::edition::kChinese);
    EXPECT_EQ(int(kLoginCmsSync), 9);
    EXPECT_EQ(int(kLoginRunning), 12);
    EXPECT_EQ(CLoginSession::kRetryMs, 3000);
}

TEST_F(ChineseLoginTest, FullLoginRunsInStateTwelveWithChineseSplashTexts)
{
    settings.videoEnabled = true;
    Make();
    session->OnBtnOkClick();
    EXPECT_EQ(host.Period(T::Retry), 3000);
    Pump();
    ASSERT_EQ(session->GetLoginState(), 12);
    EXPECT_TRUE(session->IsRunning());
    EXPECT_TRUE(host.mainShown);
    EXPECT_EQ(cache.groups.size(), 3u);
    EXPECT_EQ(cache.users.size(), 3u);
    EXPECT_EQ(cache.users["1001"].displayName, "张三");
    // The splash follows the steps in order; every page request sets its own text.
    const std::vector<std::string> expected = {
        "正在登录", "正在验证帐号和密码 . . .", "用户登录成功", "正在同步调度线路信息 . . .",
        "正在同步调度群组信息 . . .", "正在同步调度用户信息 . . .", ""};
    auto at = host.splashTexts.begin();
    for (const std::string &t : expected) {
        at = std::find(at, host.splashTexts.end(), t);
        ASSERT_NE(at, host.splashTexts.end()) << "missing or out of order: " << t;
    }
    ASSERT_EQ(server.groupRequests.size(), 2u);
    ASSERT_EQ(server.userRequests.size(), 2u);
    EXPECT_GE(std::count(host.splashTexts.begin(), host.splashTexts.end(), "正在同步调度群组信息 . . ."), 2);
    EXPECT_GE(std::count(host.splashTexts.begin(), host.splashTexts.end(), "正在同步调度用户信息 . . ."), 2);
    // The re-send armed by the Login button is never re-armed by a later step: its next
    // tick finds the heartbeat answered, sends nothing and stops.
    EXPECT_EQ(host.Period(T::Retry), 3000);
    const std::size_t before = host.sent.size();
    session->OnRetryTimerOut();
    EXPECT_EQ(host.sent.size(), before);
    EXPECT_FALSE(host.On(T::Retry));
}

// Only the register request and an unanswered heartbeat are ever repeated.
TEST_F(ChineseLoginTest, RetryRepeatsOnlyRegisterAndHeartbeat)
{
    struct Case {
        const char *name;
        uint8_t state;         // where the server goes silent
        uint32_t repeatedCode; // what a re-send tick sends there (0: nothing)
    };
    const Case cases[] = {
        {"register sent", kLoginRegisterSent, zox::proto::kRegisterRequest},
        {"auth response sent", kLoginAuthSent, 0},
        {"line configuration sent", kLoginLines, 0},
        {"group list requested", kLoginGroups, 0},
        {"user list requested", kLoginUsers, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        host = FakeHost();
        cache = FakeCache();
        server.registerTypes.clear();
        delivered = 0;
        settings.videoEnabled = true;
        Make();
        session->OnBtnOkClick();
        Pump([&](const Bytes &) { return session->GetLoginState() == c.state; });
        ASSERT_EQ(session->GetLoginState(), c.state);
        const std::size_t before = host.sent.size();
        session->OnRetryTimerOut();
        if (c.repeatedCode == 0) {
            EXPECT_EQ(host.sent.size(), before);
            EXPECT_FALSE(host.On(T::Retry));
        } else {
            ASSERT_EQ(host.sent.size(), before + 1);
            EXPECT_EQ(Code(host.sent.back()), c.repeatedCode);
            EXPECT_TRUE(host.On(T::Retry));
            EXPECT_EQ(host.Period(T::Retry), 3000);
        }
    }
}

TEST_F(ChineseLoginTest, UnansweredHeartbeatResentEveryRetryTick)
{
    Make();
    session->OnBtnOkClick();
    Pump();
    ASSERT_TRUE(session->IsRunning());
    const std::size_t heartbeats = Count(zox::proto::kHeartbeatRequest);
    // The heartbeat tick sends one; its answer is lost, and the re-send repeats it.
    session->OnHeartbeatTimerOut();
    delivered = host.sent.size();
    EXPECT_EQ(host.Period(T::Retry), 3000);
    session->OnRetryTimerOut();
    session->OnRetryTimerOut();
    EXPECT_EQ(Count(zox::proto::kHeartbeatRequest), heartbeats + 3);
    EXPECT_TRUE(session->IsRunning()); // Security/Heartbeat off: no restart
    // Answered: the re-send stays stopped.
    Pump();
    session->OnRetryTimerOut();
    EXPECT_EQ(Count(zox::proto::kHeartbeatRequest), heartbeats + 3);
    EXPECT_FALSE(host.On(T::Retry));
}

namespace {
struct TimeLimitCase {
    const char *name;
    uint8_t state;
    bool logout;
    const char *text;
};
void PrintTo(const TimeLimitCase &c, std::ostream *os) { *os << c.name; }
class ChineseTimeLimitTest : public ChineseLoginTest, public ::testing::WithParamInterface<TimeLimitCase> {};
} // namespace

// A lost answer (the auth response, a list request) is not repeated: the step's time
// limit ends the login with its Chinese box, after a logout from state 5 on.
TEST_P(ChineseTimeLimitTest, LostStepEndsTheLoginAtItsTimeLimit)
{
    const TimeLimitCase c = GetParam();
    settings.videoEnabled = true;
    settings.cmsEnabled = true;
    FakeLink cms(host.journal, "cms");
    host.cms = &cms;
    Make();
    session->OnBtnOkClick();
    Pump([&](const Bytes &) { return session->GetLoginState() == c.state; });
    ASSERT_EQ(session->GetLoginState(), c.state);
    ASSERT_TRUE(host.On(T::Login));
    EXPECT_EQ(host.Period(T::Login), 30000);
    const std::size_t before = host.sent.size();
    session->OnRetryTimerOut();
    EXPECT_EQ(host.sent.size(), before); // nothing is repeated
    session->OnLoginTimerOut();
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(Logouts(), c.logout ? 1 : 0);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{c.text}));
    EXPECT_TRUE(host.loginShown);
    EXPECT_TRUE(host.fieldsEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    States, ChineseTimeLimitTest,
    ::testing::Values(TimeLimitCase{"Auth", 2, false, "用户认证超时，请稍后再试."},
                      TimeLimitCase{"Lines", 5, true, "同步调度线路信息超时，请稍后再试."},
                      TimeLimitCase{"Groups", 6, true, "同步调度群组信息超时，请稍后再试."},
                      TimeLimitCase{"Users", 7, true, "同步调度用户信息超时，请稍后再试."},
                      TimeLimitCase{"Vehicles", 9, true, "同步平台设备信息超时，请稍后再试."}),
    CaseName());

TEST_F(ChineseLoginTest, VehiclePlatformStepFinishesTheLoginOnce)
{
    struct Case {
        const char *name;
        bool stored;
    };
    for (const Case c : {Case{"already stored", true}, Case{"stored later", false}}) {
        SCOPED_TRACE(c.name);
        SetUp();
        host = FakeHost();
        cache = FakeCache();
        delivered = 0;
        settings.cmsEnabled = true;
        FakeLink cms(host.journal, "cms");
        cms.fetched = c.stored;
        host.cms = &cms;
        Make();
        session->OnBtnOkClick();
        Pump();
        if (!c.stored) {
            ASSERT_EQ(session->GetLoginState(), 9);
            EXPECT_EQ(host.splashTexts.back(), "正在同步平台设备信息 . . .");
            EXPECT_EQ(cms.starts, 1);
            session->OnCmsSyncDone();
        }
        EXPECT_EQ(session->GetLoginState(), 12);
        EXPECT_EQ(std::count(host.journal.begin(), host.journal.end(), "startMain"), 1);
        EXPECT_EQ(cms.syncs, 1);
        EXPECT_EQ(host.Period(T::CmsPoll), 120000);
        // A late second notice changes nothing but the poll.
        session->OnCmsSyncDone();
        EXPECT_EQ(std::count(host.journal.begin(), host.journal.end(), "startMain"), 1);
        session->OnCmsPollTimerOut();
        EXPECT_EQ(cms.polls, 1);
    }
}

TEST_F(ChineseLoginTest, ChineseBoxesOfTheOtherPaths)
{
    // Refused registration.
    server.password = "other";
    Make();
    session->OnBtnOkClick();
    Pump();
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"帐号或密码错误，请重新输入!"}));
    EXPECT_NE(std::find(host.splashTexts.begin(), host.splashTexts.end(), "用户登录失败"), host.splashTexts.end());

    // Not initialised: at the first tick and at the Login button.
    host = FakeHost();
    Make();
    session->SetInitialised(false);
    session->OnLoginTimerOut();
    session->OnBtnOkClick();
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"程序已启动或者初始化出错，请关闭.", "程序初始化出错，请关闭后重试."}));

    // The vehicle-platform link did not start.
    host = FakeHost();
    settings.cmsEnabled = true;
    Make();
    session->SetCmsStartResult(-1);
    session->OnLoginTimerOut();
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"平台接口模块初始化失败，请关闭."}));
}

TEST_F(ChineseLoginTest, ServerResetAndListFailureBoxes)
{
    Make();
    session->OnBtnOkClick();
    Pump();
    ASSERT_TRUE(session->IsRunning());
    Feed(server.MakeServerReset());
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"调度机通讯故障，请重新登录."}));
    EXPECT_EQ(g_byRestartFlag, 1);

    // A user list answered with a failure.
    SetUp();
    host = FakeHost();
    cache = FakeCache();
    delivered = 0;
    cache.failUserInsert = true;
    Make();
    session->OnBtnOkClick();
    Pump();
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"同步调度用户信息失败，请稍后再试."}));
    EXPECT_EQ(Logouts(), 1);
}
