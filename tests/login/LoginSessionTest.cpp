// The login session against the server side of the fake dispatch server, with an
// in-memory cache and recorded windows and timers.
#include "tests/login/LoginFakes.h"

#include <gtest/gtest.h>

#include "tests/support/CaseName.h"

#include <array>
#include <deque>
#include <iterator>
#include <set>

using namespace zoxtest;
using T = EN_ZOX_LOGIN_TIMER;

namespace {

class LoginSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nOwnUserId = 0;
        g_strOwnNumber = kDefaultOwnNumber;
        g_byRestartFlag = 0;
        CLoginSession::SystemLines().clear();
        settings.hbIntervalMs = 12000;
        settings.heartbeat = 0;
        settings.videoEnabled = true;
        settings.localRegIpAddr = 0x0100007F;
        server.groups = {{1, "North", "9001"}, {2, "South", "9002"}, {7, "Depot", "9007"}};
        FakeUser a;
        a.number = "1001";
        a.name = "Alice";
        a.groups = {1, 7};
        a.terminalKind = 0;
        FakeUser b;
        b.number = "1002";
        b.name = "Bob";
        b.groups = {2};
        b.terminalKind = 2;
        b.regState = 5;
        b.callState = 3;
        b.vpState = 6;
        b.dcFlag = 4;
        b.dispatcher = 1;
        b.priority = 7;
        b.callRef = {0x00, 0x00, 0x01, 0x2A};
        FakeUser own;
        own.number = "5000";
        own.name = "Console";
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

    // Delivers everything the console sent to the server and its answers back, until
    // both sides are quiet. `drop` decides which server answers get lost.
    void Pump(std::function<bool(const Bytes &)> drop = nullptr)
    {
        std::size_t done = delivered;
        for (int round = 0; round < 10000 && done < host.sent.size(); ++round) {
            Bytes d = host.sent[done++];
            for (Bytes &reply : server.Handle(d)) {
                if (drop && drop(reply))
                    continue;
                Feed(reply);
            }
        }
        delivered = done;
    }

    void Feed(const Bytes &b)
    {
        if ((CFakeLoginServer::GetU32(b.data() + 4) >> 16) == 0x5003)
            session->OnNotifyMessage(b.data(), b.size());
        else
            session->OnLoginMessage(b.data(), b.size());
    }

    // Delivers what the console sent without feeding answers (a dead server).
    void Swallow()
    {
        for (; delivered < host.sent.size(); ++delivered)
            server.Handle(host.sent[delivered]);
    }

    void LoginToRunning()
    {
        Make();
        session->OnBtnOkClick();
        Pump();
        ASSERT_EQ(session->GetLoginState(), kLoginRunning);
    }

    std::vector<Bytes> SentWithCode(uint32_t code) const
    {
        std::vector<Bytes> out;
        for (auto &b : host.sent)
            if (Code(b) == code)
                out.push_back(b);
        return out;
    }

    int Logouts() const
    {
        int n = 0;
        for (auto &b : SentWithCode(zox::proto::kRegisterRequest))
            n += RegisterType(b) == 1;
        return n;
    }

    ST_ZOX_LOGIN_SETTINGS settings;
    FakeHost host;
    FakeCache cache;
    CFakeLoginServer server;
    std::unique_ptr<CLoginSession> session;
    std::size_t delivered = 0;
};

TEST_F(LoginSessionTest, FullLoginFillsCacheAndRuns)
{
    server.refusedLines = {"500003"};
    LoginToRunning();

    // Identity from the register response.
    EXPECT_EQ(g_nOwnUserId.load(), 0x77u);
    EXPECT_EQ(g_strOwnNumber.Get(), "5000");
    EXPECT_EQ(session->GetPriority(), 5);
    EXPECT_EQ(server.authResponses, 1);
    EXPECT_EQ(server.authFailures, 0);

    // Nineteen lines in lineName order; the refused one keeps status 2.
    ASSERT_EQ(server.proposedLines.size(), 19u);
    EXPECT_EQ(server.proposedLines.front(), "5000");
    EXPECT_EQ(server.proposedLines[1], "500001");
    EXPECT_EQ(server.proposedLines.back(), "500018");
    auto &lines = CLoginSession::SystemLines();
    ASSERT_EQ(lines.size(), 19u);
    for (auto &l : lines)
        EXPECT_EQ(l.status, l.lineName == "500003" ? 2 : 1) << l.lineName;
    // The own line took its state from the user list.
    EXPECT_EQ(lines[0].regState, 1);

    // Groups and users page by page; every page asked once, from index 1.
    EXPECT_EQ(server.groupRequests, (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(server.userRequests, (std::vector<uint32_t>{1, 3}));
    ASSERT_EQ(cache.groups.size(), 3u);
    EXPECT_EQ(cache.groups[7].groupName, "Depot");
    EXPECT_EQ(cache.groups[7].groupNumber, "9007");
    ASSERT_EQ(cache.users.size(), 3u);
    EXPECT_EQ(cache.users["1001"].displayName, "Alice");
    EXPECT_EQ(cache.users["1001"].isMobile, 1);
    EXPECT_EQ(cache.users["1002"].isMobile, 2);
    EXPECT_EQ(cache.users["5000"].isMobile, 0);
    EXPECT_EQ(cache.users["1002"].callRef, "0000012A");
    EXPECT_EQ(cache.users["1001"].callRef, "");
    // Every field of an entry lands in its own column.
    const ST_ZOX_SYSTEM_USER &bob = cache.users["1002"];
    EXPECT_EQ(bob.displayName, "Bob");
    EXPECT_EQ(bob.regState, 5);
    EXPECT_EQ(bob.callState, 3u);
    EXPECT_EQ(bob.vpState, 6u);
    EXPECT_EQ(bob.dcFlag, 4);
    EXPECT_EQ(bob.dispatcher, 1);
    EXPECT_EQ(bob.priority, 7);
    std::set<std::pair<int, std::string>> members;
    for (auto &m : cache.members)
        members.insert({m.groupId, m.userNumber});
    EXPECT_EQ(members, (std::set<std::pair<int, std::string>>{{1, "1001"}, {7, "1001"}, {2, "1002"}}));

    // Windows: splash texts in order, login window and splash hidden, main window shown.
    const std::vector<std::string> expected = {"Logging in",
                                               "Verifying account and password ...",
                                               "User login successful",
                                               "Loading line data ...",
                                               "Loading group data ...",
                                               "Loading user data ...",
                                               ""};
    EXPECT_EQ(host.splashTexts, expected);
    EXPECT_FALSE(host.loginShown);
    EXPECT_FALSE(host.splashShown);
    EXPECT_TRUE(host.mainShown);
    EXPECT_FALSE(host.On(T::Login));
    EXPECT_TRUE(host.On(T::Heartbeat));
    EXPECT_EQ(host.Period(T::Heartbeat), 12000);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(Logouts(), 0);
}

TEST_F(LoginSessionTest, SequenceNumbersAndRegisterResend)
{
    Make();
    session->OnBtnOkClick();
    Swallow();
    session->OnRetryTimerOut();
    session->OnRetryTimerOut();
    auto regs = SentWithCode(zox::proto::kRegisterRequest);
    ASSERT_EQ(regs.size(), 3u);
    EXPECT_EQ(Seq(regs[0]), 1u);
    EXPECT_EQ(Seq(regs[1]), 2u);
    EXPECT_EQ(Seq(regs[2]), 3u);
    EXPECT_EQ(regs[0].size(), 36u);
    EXPECT_EQ(CFakeLoginServer::GetBcd(regs[0].data() + 24), "8001");
    EXPECT_EQ(regs[0][16], 0x7F); // the registration address as stored
    EXPECT_EQ(regs[0][20] * 256 + regs[0][21], 8888);
    // State 1 has no time limit.
    EXPECT_EQ(session->GetLoginState(), kLoginRegisterSent);
    EXPECT_FALSE(host.On(T::Login));
    EXPECT_TRUE(host.On(T::Retry));
}

TEST_F(LoginSessionTest, AuthResponseResentUnchanged)
{
    Make();
    session->OnBtnOkClick();
    // The auth request arrives, the register response is lost.
    Pump([](const Bytes &b) { return Code(b) == zox::proto::kRegisterResponse; });
    ASSERT_EQ(session->GetLoginState(), kLoginAuthSent);
    EXPECT_TRUE(host.On(T::Login));
    EXPECT_EQ(host.Period(T::Login), 30000);
    // A second auth request in state 2 is ignored.
    const std::size_t before = host.sent.size();
    Feed(server.MakeAuthRequest(99));
    EXPECT_EQ(host.sent.size(), before);
    session->OnRetryTimerOut();
    auto auths = SentWithCode(zox::proto::kAuthResponse);
    ASSERT_EQ(auths.size(), 2u);
    EXPECT_EQ(auths[0], auths[1]);
    EXPECT_EQ(auths[0].size(), 100u);
}

TEST_F(LoginSessionTest, RegisterWithoutAuthRegisters)
{
    server.requireAuth = false;
    LoginToRunning();
    EXPECT_EQ(server.authResponses, 0);
}

TEST_F(LoginSessionTest, RefusedRegistrationShowsBoxWithoutLogout)
{
    server.password = "other";
    Make();
    session->OnBtnOkClick();
    Pump();
    EXPECT_EQ(server.authFailures, 1);
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Account or password error, please re-enter!"}));
    EXPECT_EQ(Logouts(), 0);
    EXPECT_TRUE(host.loginShown);
    EXPECT_TRUE(host.loginEnabled);
    EXPECT_TRUE(host.fieldsEnabled);
}

TEST_F(LoginSessionTest, NotInitialisedRefusesToLogIn)
{
    Make();
    session->SetInitialised(false);
    session->OnBtnOkClick();
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Application initialization error. Please close and try again."}));
}

struct TimeLimitCase {
    const char *name;
    uint8_t state;
    bool logout;
    const char *text; // null: the step has no time limit
};

void PrintTo(const TimeLimitCase &c, std::ostream *os) { *os << c.name; }

class LoginTimeLimitTest : public LoginSessionTest, public ::testing::WithParamInterface<TimeLimitCase> {};

TEST_P(LoginTimeLimitTest, StepTimesOut)
{
    const TimeLimitCase c = GetParam();
    settings.uapEnabled = true;
    settings.cmsEnabled = true;
    // A link has its data when a later step is the one to time out.
    FakeLink uap(host.journal, "uap"), cms(host.journal, "cms");
    uap.fetched = c.state > kLoginUapSync;
    cms.fetched = c.state > kLoginCmsSync;
    host.uap = &uap;
    host.cms = &cms;
    Make();
    session->OnBtnOkClick();
    // Let the server answer until the console reaches the state, then go silent.
    Pump([&](const Bytes &) { return session->GetLoginState() == c.state; });
    ASSERT_EQ(session->GetLoginState(), c.state);
    if (!c.text) {
        EXPECT_FALSE(host.On(T::Login));
        return;
    }
    ASSERT_TRUE(host.On(T::Login));
    EXPECT_EQ(host.Period(T::Login), 30000);
    session->OnLoginTimerOut();
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(Logouts(), c.logout ? 1 : 0);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{c.text}));
    EXPECT_TRUE(host.loginShown);
    EXPECT_FALSE(host.splashShown);
    EXPECT_FALSE(host.On(T::Heartbeat));
}

INSTANTIATE_TEST_SUITE_P(
    States, LoginTimeLimitTest,
    ::testing::Values(TimeLimitCase{"Register", 1, false, nullptr},
                      TimeLimitCase{"Auth", 2, false, "User authentication timed out. Please try again later."},
                      TimeLimitCase{"Lines", 5, true, "Load line data timeout, please try again later."},
                      TimeLimitCase{"Groups", 6, true, "Load group data timeout, please try again later."},
                      TimeLimitCase{"Users", 7, true, "Load user data timeout, please try again later."},
                      TimeLimitCase{"UapSync", 9, true,
                                    "Sync auth platform user info timeout. Please try again later."},
                      TimeLimitCase{"CmsSync", 10, true, "Sync platform device info timeout. Please try again later."},
                      TimeLimitCase{"Running", 13, false, nullptr}),
    CaseName());

TEST_F(LoginSessionTest, LateDuplicateListResponseIsNotStoredTwice)
{
    Make();
    session->OnBtnOkClick();
    // Hold back the first answer of group page 1; the re-send gets its own answer.
    std::vector<Bytes> held;
    Pump([&](const Bytes &b) {
        if (Code(b) == zox::proto::kGroupListResponse && held.empty()) {
            held.push_back(b);
            return true;
        }
        return false;
    });
    ASSERT_EQ(session->GetLoginState(), kLoginGroups);
    session->OnRetryTimerOut(); // re-sends page 1
    Pump([&](const Bytes &b) { return Code(b) == zox::proto::kGroupListResponse && server.groupRequests.size() > 2; });
    EXPECT_EQ(cache.groups.size(), 2u);
    const int insertsBefore = cache.groupInserts;
    Feed(held[0]); // the late answer to the first request
    EXPECT_EQ(cache.groupInserts, insertsBefore);
    EXPECT_EQ(session->GetLoginState(), kLoginGroups);
}

TEST_F(LoginSessionTest, RepeatedNextIndexStopsTheDownload)
{
    Make();
    session->OnBtnOkClick();
    Pump([&](const Bytes &b) { return Code(b) == zox::proto::kGroupListResponse; });
    ASSERT_EQ(session->GetLoginState(), kLoginGroups);
    // A page whose next index does not move forward.
    Bytes page = server.MakeGroupListPage(session->GetSequence(), 1);
    CFakeLoginServer::PutU32(page.data() + 20, 1);
    Feed(page);
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(Logouts(), 1);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Load group data failed, Please try again later."}));
    EXPECT_TRUE(cache.groups.empty());
}

TEST_F(LoginSessionTest, UserPageShorterThanItsCountEndsTheLogin)
{
    Make();
    session->OnBtnOkClick();
    Pump([&](const Bytes &b) { return Code(b) == zox::proto::kUserListResponse; });
    ASSERT_EQ(session->GetLoginState(), kLoginUsers);
    Bytes page = server.MakeUserListPage(session->GetSequence(), 1);
    page.pop_back(); // 32 + 144 * 2 - 1
    Feed(page);
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(Logouts(), 1);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Load user data failed, Please try again later."}));
    EXPECT_TRUE(cache.users.empty());
}

TEST_F(LoginSessionTest, ListFailureResultEndsTheLogin)
{
    server.groupListResult = 1;
    Make();
    session->OnBtnOkClick();
    Pump();
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_EQ(Logouts(), 1);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Load group data failed, Please try again later."}));
}

TEST_F(LoginSessionTest, UndecodableUserIsSkippedOthersStored)
{
    FakeUser bad;
    bad.number = "";
    server.users.insert(server.users.begin(), bad);
    Make();
    session->OnBtnOkClick();
    // Zero the first user's number field on its way in.
    Pump([&](const Bytes &b) {
        if (Code(b) == zox::proto::kUserListResponse && CFakeLoginServer::GetU32(b.data() + 12) == session->GetSequence() &&
            server.userRequests.size() == 1) {
            Bytes copy = b;
            std::fill(copy.begin() + 32, copy.begin() + 40, 0);
            Feed(copy);
            return true;
        }
        return false;
    });
    EXPECT_EQ(session->GetLoginState(), kLoginRunning);
    EXPECT_EQ(cache.users.size(), 3u);
}

TEST_F(LoginSessionTest, EmptyUserListEndsDownload)
{
    server.users.clear();
    settings.videoEnabled = false;
    LoginToRunning();
    EXPECT_EQ(server.proposedLines, (std::vector<std::string>{"5000"}));
    EXPECT_TRUE(cache.users.empty());
    EXPECT_EQ(server.userRequests, (std::vector<uint32_t>{1}));
}

TEST_F(LoginSessionTest, OnlyNineteenOfManyLinesProposed)
{
    // A cache that holds six more lines besides the nineteen of the console.
    struct KeepingCache : FakeCache {
        std::vector<ST_ZOX_SYSTEM_LINE> keep;
        int ClearAll() override
        {
            FakeCache::ClearAll();
            lines = keep;
            return 0;
        }
    } big;
    for (int i = 0; i < 6; ++i) {
        ST_ZOX_SYSTEM_LINE l;
        l.lineName = l.nickName = "400" + std::to_string(i);
        l.softPhone = 0;
        big.keep.push_back(l);
    }
    session = std::make_unique<CLoginSession>(host, &big, settings);
    session->SetInitialised(true);
    session->OnBtnOkClick();
    Pump([](const Bytes &b) { return Code(b) == zox::proto::kLineConfigResponse; });
    ASSERT_EQ(session->GetLoginState(), kLoginLines);
    ASSERT_EQ(server.proposedLines.size(), 19u);
    EXPECT_EQ(server.proposedLines[0], "4000");
    EXPECT_EQ(server.proposedLines[6], "5000");
    EXPECT_EQ(server.proposedLines[18], "500012");
    EXPECT_EQ(CLoginSession::SystemLines().size(), 19u);
    const Bytes req = SentWithCode(zox::proto::kLineConfigRequest).back();
    EXPECT_EQ(CFakeLoginServer::GetU32(req.data() + 16), 19u);
    EXPECT_EQ(CFakeLoginServer::GetU32(req.data() + 20), 1u);        // softPhone 0
    EXPECT_EQ(CFakeLoginServer::GetU32(req.data() + 20 + 96), 0u);   // the own line
    // The re-send proposes the same lines; the list does not grow.
    session->OnRetryTimerOut();
    EXPECT_EQ(CLoginSession::SystemLines().size(), 19u);
    EXPECT_EQ(SentWithCode(zox::proto::kLineConfigRequest).size(), 2u);
}

TEST_F(LoginSessionTest, HeartbeatAnsweredEveryTick)
{
    LoginToRunning();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        session->OnHeartbeatTimerOut();
        EXPECT_TRUE(host.On(T::Heartbeat));
        EXPECT_EQ(host.Period(T::Heartbeat), 12000);
        EXPECT_TRUE(host.On(T::Retry));
        EXPECT_EQ(host.Period(T::Retry), 5000);
        Pump();
        session->OnRetryTimerOut(); // answered: nothing to re-send
        EXPECT_FALSE(host.On(T::Retry));
        EXPECT_TRUE(host.On(T::Heartbeat));
        EXPECT_EQ(host.Period(T::Heartbeat), 12000);
    }
    EXPECT_EQ(server.heartbeats, 3);
    EXPECT_FALSE(host.On(T::Retry));
    EXPECT_EQ(session->GetLoginState(), kLoginRunning);
}

TEST_F(LoginSessionTest, LostHeartbeatWithRestartOption)
{
    settings.heartbeat = 1;
    LoginToRunning();
    server.answerHeartbeats = false;
    session->OnHeartbeatTimerOut(); // sends, unanswered
    Pump();
    EXPECT_EQ(g_byRestartFlag.load(), 0);
    session->OnHeartbeatTimerOut(); // finds it unanswered
    Pump();
    EXPECT_EQ(Logouts(), 1);
    EXPECT_EQ(g_byRestartFlag.load(), 1);
    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(host.mainTornDown);
    EXPECT_FALSE(host.mainShown);
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
}

TEST_F(LoginSessionTest, LostHeartbeatWithoutRestartOptionResends)
{
    LoginToRunning();
    server.answerHeartbeats = false;
    session->OnHeartbeatTimerOut();
    for (int i = 0; i < 4; ++i) {
        session->OnRetryTimerOut();
        EXPECT_TRUE(host.On(T::Retry));
        EXPECT_EQ(host.Period(T::Retry), 5000);
        EXPECT_EQ(host.Period(T::Heartbeat), 12000);
    }
    session->OnHeartbeatTimerOut();
    EXPECT_TRUE(host.On(T::Heartbeat));
    EXPECT_EQ(host.Period(T::Heartbeat), 12000);
    EXPECT_EQ(host.Period(T::Retry), 5000);
    Pump();
    EXPECT_EQ(server.heartbeats, 5);
    EXPECT_EQ(Logouts(), 0);
    EXPECT_FALSE(host.closed);
    EXPECT_EQ(session->GetLoginState(), kLoginRunning);
    EXPECT_TRUE(host.On(T::Retry));
}

TEST_F(LoginSessionTest, HeartbeatPeriodZeroNeverArmed)
{
    settings.hbIntervalMs = 0;
    LoginToRunning();
    EXPECT_FALSE(host.On(T::Heartbeat));
}

TEST_F(LoginSessionTest, ServerResetRestarts)
{
    LoginToRunning();
    Feed(server.MakeServerReset());
    EXPECT_EQ(Logouts(), 1);
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Communication error, please login again."}));
    EXPECT_EQ(g_byRestartFlag.load(), 1);
    EXPECT_TRUE(host.closed);
    // The box comes before the window closes.
    EXPECT_EQ(host.journal.back(), "close");
}

TEST_F(LoginSessionTest, ServerResetBeforeRegistrationIgnored)
{
    Make();
    session->OnBtnOkClick();
    Feed(server.MakeServerReset());
    EXPECT_EQ(session->GetLoginState(), kLoginRegisterSent);
    EXPECT_EQ(g_byRestartFlag.load(), 0);
    EXPECT_FALSE(host.closed);
}

TEST_F(LoginSessionTest, CancelWhenIdleEndsTheProgram)
{
    Make();
    session->OnBtnCancelClick();
    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(host.sent.empty());
}

struct CancelCase {
    const char *name;
    uint8_t state;
    bool logout;
};

void PrintTo(const CancelCase &c, std::ostream *os) { *os << c.name; }

class LoginCancelTest : public LoginSessionTest, public ::testing::WithParamInterface<CancelCase> {};

// Cancel in every state of a login: a logout only once registered, then the login
// window again, ready for the next login.
TEST_P(LoginCancelTest, CancelEndsTheLogin)
{
    const CancelCase c = GetParam();
    settings.uapEnabled = true;
    settings.cmsEnabled = true;
    FakeLink uap(host.journal, "uap"), cms(host.journal, "cms");
    uap.fetched = c.state > kLoginUapSync;
    cms.fetched = c.state > kLoginCmsSync;
    host.uap = &uap;
    host.cms = &cms;
    Make();
    session->OnBtnOkClick();
    Pump([&](const Bytes &) { return session->GetLoginState() == c.state; });
    ASSERT_EQ(session->GetLoginState(), c.state);
    session->OnBtnCancelClick();
    EXPECT_EQ(Logouts(), c.logout ? 1 : 0);
    EXPECT_EQ(session->GetLoginState(), kLoginIdle);
    EXPECT_FALSE(host.closed);
    EXPECT_TRUE(host.loginShown);
    EXPECT_FALSE(host.splashShown);
    EXPECT_TRUE(host.fieldsEnabled);
    EXPECT_TRUE(host.loginEnabled);
    EXPECT_FALSE(host.On(T::Login));
    EXPECT_FALSE(host.On(T::Heartbeat));
    EXPECT_TRUE(host.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(States, LoginCancelTest,
                         ::testing::Values(CancelCase{"Register", 1, false}, CancelCase{"Auth", 2, false},
                                           CancelCase{"Lines", 5, true}, CancelCase{"Groups", 6, true},
                                           CancelCase{"Users", 7, true}, CancelCase{"UapSync", 9, true},
                                           CancelCase{"CmsSync", 10, true}),
                         CaseName());

TEST_F(LoginSessionTest, DestroyWhileRegisteredSendsOneLogout)
{
    LoginToRunning();
    session->OnDestroy();
    EXPECT_EQ(Logouts(), 1);
    for (int t = 0; t < kLoginTimerCount; ++t)
        EXPECT_FALSE(host.timerOn[t]);
}

TEST_F(LoginSessionTest, FirstTick)
{
    Make();
    session->SetInitialised(false);
    session->OnLoginTimerOut();
    EXPECT_EQ(host.boxes.back(), "Application has been started or has an initialization error. Please close it.");
    EXPECT_TRUE(host.closed);

    FakeHost h2;
    settings.cmsEnabled = true;
    CLoginSession s2(h2, &cache, settings);
    s2.SetInitialised(true);
    s2.SetCmsStartResult(-1);
    s2.OnLoginTimerOut();
    EXPECT_EQ(h2.boxes.back(), "Platform interface module init failed. Please close it.");
    EXPECT_TRUE(h2.closed);

    FakeHost h3;
    h3.password.clear();
    CLoginSession s3(h3, &cache, ST_ZOX_LOGIN_SETTINGS{});
    s3.SetInitialised(true);
    s3.OnLoginTimerOut();
    EXPECT_TRUE(h3.sent.empty());
    EXPECT_TRUE(h3.boxes.empty());

    FakeHost h4;
    CLoginSession s4(h4, &cache, ST_ZOX_LOGIN_SETTINGS{});
    s4.SetInitialised(true);
    s4.OnLoginTimerOut();
    ASSERT_EQ(h4.sent.size(), 1u);
    EXPECT_EQ(s4.GetLoginState(), kLoginRegisterSent);
}

TEST_F(LoginSessionTest, FieldChangeEnablesLoginOnlyWhenIdleAndBothFilled)
{
    Make();
    host.password.clear();
    session->OnReqFieldChange();
    EXPECT_FALSE(host.loginEnabled);
    host.password = "x";
    session->OnReqFieldChange();
    EXPECT_TRUE(host.loginEnabled);
}

TEST_F(LoginSessionTest, PlatformStepsUsersThenVehicles)
{
    settings.uapEnabled = true;
    settings.cmsEnabled = true;
    FakeLink uap(host.journal, "uap"), cms(host.journal, "cms");
    host.uap = &uap;
    host.cms = &cms;
    uap.fetched = true;
    Make();
    session->OnBtnOkClick();
    Pump();
    // The users were there: stored at once; the vehicles are asked for.
    ASSERT_EQ(session->GetLoginState(), kLoginCmsSync);
    EXPECT_EQ(host.journal, (std::vector<std::string>{"uap.sync", "cms.start"}));
    EXPECT_TRUE(host.On(T::Login));
    session->OnCmsSyncDone();
    EXPECT_EQ(session->GetLoginState(), kLoginRunning);
    EXPECT_EQ(cms.syncs, 1);
    EXPECT_TRUE(host.On(T::CmsPoll));
    EXPECT_EQ(host.Period(T::CmsPoll), 120000);
    session->OnCmsPollTimerOut();
    EXPECT_EQ(cms.polls, 1);
    // A late users-ready message changes nothing.
    session->OnUapSyncDone();
    EXPECT_EQ(uap.syncs, 1);
}

TEST_F(LoginSessionTest, UserStateNoticeForAnotherUser)
{
    LoginToRunning();
    const Bytes notice = server.MakeUserStateNotify("1001", 2, 3, 1, 4, {0, 0, 0x01, 0x2A}, 0x10, 0xFFFFFFFF);
    Feed(notice);
    EXPECT_EQ(cache.users["1001"].regState, 2);
    EXPECT_EQ(cache.users["1001"].callState, 3u);
    EXPECT_EQ(cache.users["1001"].vpState, 1u);
    EXPECT_EQ(cache.users["1001"].dcFlag, 4);
    EXPECT_EQ(cache.users["1001"].callRef, "0000012A");
    ASSERT_EQ(host.sessionEvents.size(), 1u);
    Pump();
    ASSERT_EQ(server.noticeReplies.size(), 1u);
    const Bytes &r = server.noticeReplies[0];
    ASSERT_EQ(r.size(), 20u);
    EXPECT_EQ(CFakeLoginServer::GetU32(r.data()), 0x77u);
    EXPECT_EQ(CFakeLoginServer::GetU32(r.data() + 4), 0x50030002u);
    EXPECT_EQ(CFakeLoginServer::GetU32(r.data() + 8), 0xFFFFFFFFu);
    EXPECT_EQ(CFakeLoginServer::GetU32(r.data() + 12), 0x10u);

    // The same notice again: nothing written, still answered.
    const int updates = cache.updates;
    Feed(notice);
    Pump();
    EXPECT_EQ(cache.updates, updates);
    EXPECT_EQ(host.sessionEvents.size(), 1u);
    EXPECT_EQ(server.noticeReplies.size(), 2u);

    // Each notice differs from the stored row in one field only, and is stored.
    struct Row {
        const char *what;
        uint8_t reg;
        uint32_t call, vp;
        uint8_t dc;
        std::array<uint8_t, 4> ref;
        const char *storedRef;
    } rows[] = {
        {"registration", 1, 3, 1, 4, {0, 0, 0x01, 0x2A}, "0000012A"},
        {"call state", 1, 5, 1, 4, {0, 0, 0x01, 0x2A}, "0000012A"},
        {"video-push state", 1, 5, 2, 4, {0, 0, 0x01, 0x2A}, "0000012A"},
        {"dc flag", 1, 5, 2, 6, {0, 0, 0x01, 0x2A}, "0000012A"},
        {"call reference", 1, 5, 2, 6, {0, 0, 0x01, 0x2B}, "0000012B"},
        {"call ended: no reference kept", 1, 0, 2, 6, {0, 0, 0x01, 0x2B}, ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        const std::size_t events = host.sessionEvents.size();
        Feed(server.MakeUserStateNotify("1001", r.reg, r.call, r.vp, r.dc, r.ref));
        Pump();
        const ST_ZOX_SYSTEM_USER &u = cache.users["1001"];
        EXPECT_EQ(u.regState, r.reg);
        EXPECT_EQ(u.callState, r.call);
        EXPECT_EQ(u.vpState, r.vp);
        EXPECT_EQ(u.dcFlag, r.dc);
        EXPECT_EQ(u.callRef, r.storedRef);
        ASSERT_EQ(host.sessionEvents.size(), events + 1);
        EXPECT_EQ(host.sessionEvents.back().callRef, r.storedRef);
    }
    EXPECT_EQ(server.noticeReplies.size(), 2u + std::size(rows));
}

TEST_F(LoginSessionTest, UserStateNoticeForOwnLine)
{
    server.refusedLines = {"500003"};
    LoginToRunning();
    const int updates = cache.updates;
    Feed(server.MakeUserStateNotify("5000", 1, 3, 0, 0, {0, 0, 0, 9}));
    EXPECT_EQ(cache.updates, updates);
    auto &own = CLoginSession::SystemLines()[0];
    EXPECT_EQ(own.callState, 3u);
    EXPECT_EQ(own.callRef, "00000009");
    EXPECT_EQ(host.removedFromLine, (std::vector<std::string>{"5000/1/00000009/3"}));
    EXPECT_TRUE(session->IsLineUser("5000", "00000009"));
    EXPECT_FALSE(session->IsLineUser("500003", "")); // refused lines never match
}

TEST_F(LoginSessionTest, NoticesBeforeRegistrationOrMalformed)
{
    Make();
    session->OnBtnOkClick();
    Swallow();
    const std::size_t before = host.sent.size();
    Feed(server.MakeUserStateNotify("1001", 1, 0, 0, 0, {}));
    EXPECT_EQ(host.sent.size(), before); // state 1: no reply
    // Undecodable number after registration: still answered.
    server.requireAuth = false;
    Make();
    session->OnBtnOkClick();
    Pump();
    ASSERT_EQ(session->GetLoginState(), kLoginRunning);
    Bytes bad = server.MakeUserStateNotify("1001", 1, 0, 0, 0, {});
    std::fill(bad.begin() + 16, bad.begin() + 24, 0);
    Feed(bad);
    Pump();
    EXPECT_EQ(server.noticeReplies.size(), 1u);
    // Line service notice: answered in any state; operation notice: not answered.
    Feed(server.MakeLineServiceNotify(3, "5000", "1001", 0x44));
    Feed(server.MakeOpNotify("1001", "1002", 1, 2));
    Pump();
    ASSERT_EQ(server.noticeReplies.size(), 2u);
    EXPECT_EQ(CFakeLoginServer::GetU32(server.noticeReplies[1].data() + 4), 0x50030006u);
    EXPECT_EQ(CFakeLoginServer::GetU32(server.noticeReplies[1].data() + 12), 0x44u);
}

// Every message cut short at every length is refused without reading past its end
// (the sanitizer build checks the reads: each datagram lives in a buffer of exactly
// its length).
TEST_F(LoginSessionTest, TruncatedDatagramsAreRefused)
{
    server.requireAuth = true;
    Make();
    session->OnBtnOkClick();
    Swallow();
    std::vector<Bytes> samples = {server.MakeAuthRequest(1),
                                  server.MakeRegisterResponse(1, 0),
                                  server.MakeHeartbeatResponse(1),
                                  server.MakeGroupListPage(1, 1),
                                  server.MakeUserListPage(1, 1),
                                  server.MakeOpNotify("1", "2", 1, 1),
                                  server.MakeUserStateNotify("1001", 1, 1, 0, 0, {1, 2, 3, 4}),
                                  server.MakeLineServiceNotify(1, "5000", "1001")};
    Bytes lineCfg(328, 0);
    CFakeLoginServer::PutU32(lineCfg.data() + 4, zox::proto::kLineConfigResponse);
    samples.push_back(lineCfg);
    for (const Bytes &full : samples) {
        for (std::size_t n = 0; n < full.size(); ++n) {
            Bytes cut(full.begin(), full.begin() + long(n));
            Bytes exact(cut); // a buffer of exactly n bytes
            session->OnLoginMessage(exact.data(), exact.size());
            session->OnNotifyMessage(exact.data(), exact.size());
        }
    }
    // Still waiting in state 1: nothing cut short was taken.
    EXPECT_EQ(session->GetLoginState(), kLoginRegisterSent);
    EXPECT_EQ(SentWithCode(zox::proto::kAuthResponse).size(), 0u);
}

TEST_F(LoginSessionTest, AuthChallengeLengthBeyondDatagramRefused)
{
    Make();
    session->OnBtnOkClick();
    Swallow();
    Bytes req = server.MakeAuthRequest(1);
    CFakeLoginServer::PutU32(req.data() + 60, 5000);
    Feed(req);
    EXPECT_EQ(session->GetLoginState(), kLoginRegisterSent);
    req = server.MakeAuthRequest(1);
    CFakeLoginServer::PutU32(req.data() + 20, 37);
    Feed(req);
    EXPECT_EQ(session->GetLoginState(), kLoginRegisterSent);
    EXPECT_EQ(SentWithCode(zox::proto::kAuthResponse).size(), 0u);
}

TEST_F(LoginSessionTest, SecondLoginRebuildsCache)
{
    LoginToRunning();
    session->OnBtnCancelClick();
    ASSERT_EQ(session->GetLoginState(), kLoginIdle);
    server.users.pop_back();
    session->OnBtnOkClick();
    Pump();
    EXPECT_EQ(session->GetLoginState(), kLoginRunning);
    EXPECT_EQ(cache.users.size(), 2u);
    EXPECT_EQ(cache.clears, 2);
    EXPECT_EQ(CLoginSession::SystemLines().size(), 19u);
}

} // namespace
