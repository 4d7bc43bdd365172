// The running console's intake of the server's user state notices, end to end: the
// fake dispatch server on 127.0.0.2:8888 logs the console in over the real network
// layer and sends notices; the login session writes them into a real MariaDB cache.
// Nothing the console acknowledged may be lost, also while the database is away, and
// nobody but the configured server is heard.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "core/LoginSession.h"
#include "core/NetTcpServiceForm.h"
#include "core/SessionIdentity.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "core/net/NetFacade.h"
#include "core/protocol/MessageCodes.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TestDatabase.h"

using namespace std::chrono_literals;
using namespace zoxtest;

namespace {

constexpr uint32_t kNoticeReply = 0x50030002;

// The login window's duties without a window: the link is the network layer, the
// timers are left to the test.
class IntakeHost : public ILoginHost {
public:
    int SendUdp(const uint8_t *d, std::size_t n) override { return NetSendUdp(d, n); }
    void StartTimer(EN_ZOX_LOGIN_TIMER, int) override {}
    void StopTimer(EN_ZOX_LOGIN_TIMER) override {}
    void SleepMs(int) override {}
    std::string GetAccountField() const override { return "8001"; }
    std::string GetPasswordField() const override { return "1234"; }
    void SetFieldsEnabled(bool) override {}
    void SetLoginButtonEnabled(bool) override {}
    void SetCancelButtonEnabled(bool) override {}
    void ShowLoginWindow(bool) override {}
    void CloseLoginWindow() override {}
    void ShowErrorBox(const std::string &) override {}
    void ShowSplash(bool) override {}
    void SetSplashText(const std::string &) override {}
    void HideMainWindow() override {}
    void TearDownMainWindow() override {}
    void StartMainWindow() override {}
    void RemoveUserFromLine(const std::string &, uint8_t, const std::string &, uint32_t) override {}
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user) override { events.push_back(user); }
    ILoginPlatformLink *UapLink() override { return nullptr; }
    ILoginPlatformLink *CmsLink() override { return nullptr; }

    std::vector<ST_ZOX_SYSTEM_USER> events;
};

// The receiving window of the two datagram messages.
class Receiver : public QObject {
public:
    CLoginSession *session = nullptr;

protected:
    void customEvent(QEvent *e) override
    {
        const CWindowMessage *m = CWindowMessage::From(e);
        if (!m || !session)
            return;
        const auto *d = reinterpret_cast<const uint8_t *>(m->data.constData());
        if (m->message == WM_NET_LOGIN)
            session->OnLoginMessage(d, std::size_t(m->data.size()));
        else if (m->message == WM_NET_NOTIFY)
            session->OnNotifyMessage(d, std::size_t(m->data.size()));
    }
};

// The state a notice carries, and what the cache must hold for it.
struct State {
    uint8_t regState = 0;
    uint32_t callState = 0;
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;
    std::array<uint8_t, 4> callRef {};
    std::string CallRefText() const
    {
        if (callState == 0)
            return "";
        char text[9];
        std::snprintf(text, sizeof text, "%02X%02X%02X%02X", callRef[0], callRef[1], callRef[2], callRef[3]);
        return std::string(text) == "00000000" ? "" : text;
    }
};

// A console logged in to the fake server, with its cache on the given database.
class RunningConsole {
public:
    RunningConsole(const std::string &connectionString, FakeDispatchServer &server, int users)
        : m_login(server)
    {
        m_login.With([users](CFakeLoginServer &s) {
            s.Populate(3, users, 1);
            s.usersPerPage = 10;
        });
        SetZoxConnectionString(connectionString);
        ZoxCacheRegisterNetService();
        m_started = NetStart() == 0;
        if (!m_started)
            return;
        NetSubscribe(WM_NET_LOGIN, &m_receiver);
        NetSubscribe(WM_NET_NOTIFY, &m_receiver);
        cache = std::make_unique<CZoxLoginCache>();
        session = std::make_unique<CLoginSession>(host, cache.get(), ST_ZOX_LOGIN_SETTINGS {});
        m_receiver.session = session.get();
        session->SetInitialised(true);
    }
    ~RunningConsole()
    {
        m_receiver.session = nullptr;
        session.reset();
        cache.reset();
        NetStop();
        NetSetDatabaseService(nullptr);
        SetZoxConnectionString("");
        g_byRestartFlag = 0;
    }

    bool LogIn()
    {
        if (!m_started)
            return false;
        session->OnBtnOkClick();
        return PumpUntil([&] { return session->GetLoginState() == kLoginRunning; }, 20s);
    }

    Bytes Notice(const std::string &number, const State &s, uint32_t senderRef)
    {
        return m_login.With([&](CFakeLoginServer &f) {
            return f.MakeUserStateNotify(number, s.regState, s.callState, s.vpState, s.dcFlag, s.callRef, senderRef);
        });
    }
    std::vector<uint32_t> RegisterTypes()
    {
        return m_login.With([](CFakeLoginServer &f) { return f.registerTypes; });
    }

    IntakeHost host;
    std::unique_ptr<CZoxLoginCache> cache;
    std::unique_ptr<CLoginSession> session;

private:
    ServedLogin m_login;
    Receiver m_receiver;
    bool m_started = false;
};

// The user's row as a reader on a connection of its own sees it.
bool RowHolds(TZoxDataModule &reader, const std::string &number, const State &s)
{
    ST_ZOX_SYSTEM_USER u;
    return reader.GetSystemUser(number, u) == 0 && u.regState == s.regState && u.callState == s.callState &&
           u.vpState == s.vpState && u.dcFlag == s.dcFlag && u.callRef == s.CallRefText();
}

std::string Number(int user) { return std::to_string(100000 + user); }

} // namespace

// The database goes away while the console runs: the notices that arrive meanwhile are
// answered at once and written when the connection is back (the latest per user).
TEST(NoticeIntake, StatesOfAnOutageAreInTheCacheAfterTheReconnect)
{
    ConsoleEnv env;
    PrivateMariaDb db;
    FakeDispatchServer server;
    ASSERT_TRUE(server.Start());
    RunningConsole console(db.connectionString(), server, 40);
    ASSERT_TRUE(console.LogIn());

    struct Outage {
        const char *what;
        std::function<bool()> begin, end;
    } outages[] = {
        {"server stopped", [&] { return db.stop(); }, [&] { return db.start(); }},
        {"connection killed", [&] { return KillOtherConnections(db.connectionString()) >= 1; }, [] { return true; }},
    };
    uint32_t ref = 0x100;
    int firstUser = 0;
    for (const Outage &o : outages) {
        SCOPED_TRACE(o.what);
        ASSERT_TRUE(o.begin());
        // Ten users, the first of them twice: its second state must win.
        std::vector<std::pair<std::string, State>> latest;
        const std::size_t repliesBefore = server.CountOf(kNoticeReply);
        for (int i = 0; i < 10; ++i) {
            State s;
            s.regState = uint8_t(1 + i % 2);
            s.callState = 0x010000u + uint32_t(firstUser + i);
            s.vpState = 0x10000001u + uint32_t(i % 3);
            s.dcFlag = uint8_t(7 + i);
            s.callRef = {0, 0, uint8_t(i), uint8_t(0x2A + firstUser)};
            if (i == 0) {
                State early = s;
                early.callState = 3;
                ASSERT_TRUE(server.Inject(console.Notice(Number(firstUser), early, ref++)));
            }
            ASSERT_TRUE(server.Inject(console.Notice(Number(firstUser + i), s, ref++)));
            latest.emplace_back(Number(firstUser + i), s);
        }
        // All answered while the database is away.
        ASSERT_TRUE(PumpUntil([&] { return server.CountOf(kNoticeReply) >= repliesBefore + 11; }, 10s));
        ASSERT_TRUE(o.end());

        TNetTcpServiceForm readerConnection(db.connectionString());
        ASSERT_EQ(0, readerConnection.ConnectDatabase());
        TZoxDataModule reader(&readerConnection);
        const bool written = PumpUntil(
            [&] {
                for (const auto &[number, s] : latest)
                    if (!RowHolds(reader, number, s))
                        return false;
                return true;
            },
            15s);
        EXPECT_TRUE(written);
        EXPECT_EQ(0u, console.cache->Module().KeptUserStates());
        // Users that got no notice keep their downloaded state.
        ST_ZOX_SYSTEM_USER untouched;
        ASSERT_EQ(0, reader.GetSystemUser(Number(39), untouched));
        EXPECT_EQ(0u, untouched.callState);
        firstUser += 10;
    }
    EXPECT_NE(std::string::npos, env.LogText().find("user states kept while the database was away are written"))
        << env.LogText();
}

// A reset indicator or a notice from another host is not heard; the same from the
// server is.
TEST(NoticeIntake, OnlyTheConfiguredServerIsHeard)
{
    ConsoleEnv env;
    ScratchDatabase db;
    FakeDispatchServer server;
    ASSERT_TRUE(server.Start());
    FakeDispatchServer stranger("127.0.0.3", 8888);
    ASSERT_TRUE(stranger.Start());
    RunningConsole console(db.connectionString(), server, 20);
    ASSERT_TRUE(console.LogIn());

    State spoofed;
    spoofed.regState = 3;
    spoofed.callState = 1;
    spoofed.callRef = {0xDE, 0xAD, 0, 1};
    ASSERT_TRUE(stranger.Inject(console.Notice(Number(1), spoofed, 0x51)));
    Bytes reset(16, 0);
    CFakeLoginServer::PutU32(reset.data() + 4, zox::proto::kResetIndicator);
    CFakeLoginServer::PutU32(reset.data() + 12, 0xFFFFFFFF);
    ASSERT_TRUE(stranger.Inject(reset));
    // A notice of the server's own, sent last, is answered and written.
    State real;
    real.regState = 1; // downloaded with 2
    ASSERT_TRUE(server.Inject(console.Notice(Number(2), real, 0x53)));
    ASSERT_TRUE(PumpUntil([&] { return server.CountOf(kNoticeReply) >= 1; }, 5s));
    ASSERT_TRUE(PumpUntil([&] { return console.cache->Module().KeptUserStates() == 0; }, 5s));
    PumpFor(100ms);

    EXPECT_EQ(1u, server.CountOf(kNoticeReply));
    EXPECT_EQ(kLoginRunning, console.session->GetLoginState());
    EXPECT_EQ(std::vector<uint32_t> {0}, console.RegisterTypes()) << "no logout";
    ASSERT_EQ(1u, console.host.events.size());
    EXPECT_EQ(Number(2), console.host.events[0].userNumber);
    EXPECT_EQ(0, QueryNumber(db.connectionString(),
                             "SELECT COUNT(*) FROM zox_system_user WHERE userNumber='" + Number(1) + "' AND regState=3"));
    EXPECT_EQ(1, QueryNumber(db.connectionString(),
                             "SELECT COUNT(*) FROM zox_system_user WHERE userNumber='" + Number(2) + "' AND regState=1"));

    // The same reset indicator from the server logs the console out.
    ASSERT_TRUE(server.Inject(reset));
    ASSERT_TRUE(PumpUntil([&] { return console.session->GetLoginState() == kLoginIdle; }, 5s));
    EXPECT_TRUE(PumpUntil([&] { return console.RegisterTypes() == std::vector<uint32_t> {0, 1}; }, 5s))
        << "the logout";
}

// A burst of notices, many per user: every one answered, each user's last state in the
// cache, and each change reported to the main window in order.
TEST(NoticeIntake, ABurstKeepsTheLatestStateOfEveryUser)
{
    ConsoleEnv env;
    ScratchDatabase db;
    FakeDispatchServer server;
    ASSERT_TRUE(server.Start());
    RunningConsole console(db.connectionString(), server, 30);
    ASSERT_TRUE(console.LogIn());

    constexpr int kUsers = 30, kRounds = 20;
    std::map<std::string, State> last;
    uint32_t ref = 1;
    for (int r = 0; r < kRounds; ++r)
        for (int u = 0; u < kUsers; ++u) {
            State s;
            s.regState = uint8_t(1 + (r + u) % 2);
            s.callState = r % 4 == 3 ? 0 : uint32_t(0x100 + r); // some rounds end the call
            s.vpState = uint32_t(r);
            s.dcFlag = uint8_t(u);
            s.callRef = {1, 2, uint8_t(r), uint8_t(u)};
            ASSERT_TRUE(server.Inject(console.Notice(Number(u), s, ref++)));
            last[Number(u)] = s;
        }
    ASSERT_TRUE(PumpUntil([&] { return server.CountOf(kNoticeReply) == std::size_t(kUsers * kRounds); }, 20s))
        << server.CountOf(kNoticeReply);
    ASSERT_TRUE(PumpUntil([&] { return console.cache->Module().KeptUserStates() == 0; }, 5s));

    TNetTcpServiceForm readerConnection(db.connectionString());
    ASSERT_EQ(0, readerConnection.ConnectDatabase());
    TZoxDataModule reader(&readerConnection);
    for (const auto &[number, s] : last)
        EXPECT_TRUE(RowHolds(reader, number, s)) << number;
    // Each notice changed its user's state: one report each, the last one per user last.
    EXPECT_EQ(std::size_t(kUsers * kRounds), console.host.events.size());
    std::map<std::string, ST_ZOX_SYSTEM_USER> lastEvent;
    for (const ST_ZOX_SYSTEM_USER &e : console.host.events)
        lastEvent[e.userNumber] = e;
    for (const auto &[number, s] : last)
        EXPECT_EQ(s.callState, lastEvent[number].callState) << number;
}
