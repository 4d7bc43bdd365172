// Seconds from the auth response to the running state with a large directory served at
// once (20,000 users with three groups each, 2,000 groups): the login session with the
// real server-data cache on MariaDB, first fed in-process (processing and database
// only), then over the real network layer against the fake dispatch server on
// 127.0.0.2:8888 (the way the console runs).
//
//   login_bench [connection string]
// Without a connection string it starts a private MariaDB of its own. The second part
// needs 127.0.0.1:8888 and 127.0.0.2:8888 free.
#include "core/LoginSession.h"
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "core/net/NetFacade.h"
#include "core/protocol/MessageCodes.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/FakeLoginServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <thread>

using namespace zoxtest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kUsers = 20000;
constexpr int kGroups = 2000;
constexpr int kGroupsPerUser = 3;
constexpr int kUsersPerPage = 10; // a user page of 1500 bytes holds 10 entries of 144 bytes
constexpr int kRounds = 3;

void Populate(CFakeLoginServer &s)
{
    s.Populate(kGroups, kUsers, kGroupsPerUser);
    s.usersPerPage = kUsersPerPage;
    s.groupsPerPage = 16;
}

// The session's surroundings for the benchmark: no windows; the registration pause is
// really slept; the link is given by the caller.
class BenchHost : public ILoginHost {
public:
    std::function<int(const uint8_t *, std::size_t)> send;
    Clock::time_point authSent{};
    double pauseSeconds = 0;

    int SendUdp(const uint8_t *d, std::size_t n) override
    {
        if (n >= 8 && CFakeLoginServer::GetU32(d + 4) == zox::proto::kAuthResponse)
            authSent = Clock::now();
        return send(d, n);
    }
    void StartTimer(EN_ZOX_LOGIN_TIMER, int) override {}
    void StopTimer(EN_ZOX_LOGIN_TIMER) override {}
    void SleepMs(int ms) override
    {
        const auto t = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        pauseSeconds = std::chrono::duration<double>(Clock::now() - t).count();
    }
    std::string GetAccountField() const override { return "8001"; }
    std::string GetPasswordField() const override { return "1234"; }
    void SetFieldsEnabled(bool) override {}
    void SetLoginButtonEnabled(bool) override {}
    void SetCancelButtonEnabled(bool) override {}
    void ShowLoginWindow(bool) override {}
    void CloseLoginWindow() override {}
    void ShowErrorBox(const std::string &text) override { std::fprintf(stderr, "box: %s\n", text.c_str()); }
    void ShowSplash(bool) override {}
    void SetSplashText(const std::string &) override {}
    void HideMainWindow() override {}
    void TearDownMainWindow() override {}
    void StartMainWindow() override {}
    void RemoveUserFromLine(const std::string &, uint8_t, const std::string &, uint32_t) override {}
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &) override {}
    ILoginPlatformLink *UapLink() override { return nullptr; }
    ILoginPlatformLink *CmsLink() override { return nullptr; }
};

ST_ZOX_LOGIN_SETTINGS Settings()
{
    ST_ZOX_LOGIN_SETTINGS s;
    s.videoEnabled = true;
    s.hbIntervalMs = 0;
    return s;
}

struct Figure {
    double seconds = 0; // auth response sent -> running
    double pause = 0;   // the registration step's pause, included above
    long long users = 0, groups = 0, members = 0;
};

Figure Counts(Figure f, TZoxDataModule &module)
{
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    module.GetSystemUsers(users);
    module.GetSystemGroups(groups);
    f.users = static_cast<long long>(users.size());
    f.groups = static_cast<long long>(groups.size());
    return f;
}

// The session fed directly: every datagram it sends goes to the server core, every
// answer straight back.
Figure RunInProcess()
{
    CFakeLoginServer server;
    Populate(server);
    BenchHost host;
    std::deque<Bytes> outbox;
    host.send = [&](const uint8_t *d, std::size_t n) {
        outbox.emplace_back(d, d + n);
        return int(n);
    };
    CZoxLoginCache cache(ZoxCacheService());
    CLoginSession session(host, &cache, Settings());
    session.SetInitialised(true);
    session.OnBtnOkClick();
    while (!outbox.empty() && session.GetLoginState() != kLoginRunning) {
        Bytes d = std::move(outbox.front());
        outbox.pop_front();
        for (const Bytes &reply : server.Handle(d))
            session.OnLoginMessage(reply.data(), reply.size());
    }
    Figure f;
    if (session.GetLoginState() != kLoginRunning) {
        std::fprintf(stderr, "in-process login did not complete (state %u)\n", unsigned(session.GetLoginState()));
        return f;
    }
    f.seconds = std::chrono::duration<double>(Clock::now() - host.authSent).count();
    f.pause = host.pauseSeconds;
    session.SendRegister(1);
    return Counts(f, cache.Module());
}

// The login window's stand-in on the message bus.
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

Figure RunOverUdp()
{
    Figure f;
    FakeDispatchServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot bind 127.0.0.2:8888\n");
        return f;
    }
    ServedLogin login(server);
    login.With([](CFakeLoginServer &s) { Populate(s); });

    ZoxCacheRegisterNetService();
    if (NetStart() != 0) {
        std::fprintf(stderr, "network layer did not start\n");
        return f;
    }
    {
        Receiver receiver;
        NetSubscribe(WM_NET_LOGIN, &receiver);
        NetSubscribe(WM_NET_NOTIFY, &receiver);
        BenchHost host;
        host.send = [](const uint8_t *d, std::size_t n) { return NetSendUdp(d, n); };
        CZoxLoginCache cache;
        CLoginSession session(host, &cache, Settings());
        receiver.session = &session;
        session.SetInitialised(true);
        session.OnBtnOkClick();
        const bool done = PumpUntil([&] { return session.GetLoginState() == kLoginRunning; }, std::chrono::seconds(600));
        if (!done) {
            std::fprintf(stderr, "login over UDP did not complete (state %u)\n", unsigned(session.GetLoginState()));
        } else {
            f.seconds = std::chrono::duration<double>(Clock::now() - host.authSent).count();
            f.pause = host.pauseSeconds;
            f = Counts(f, cache.Module());
        }
        session.SendRegister(1);
        receiver.session = nullptr;
    }
    NetStop();
    server.Stop();
    return f;
}

void Print(const char *what, int round, const Figure &f)
{
    std::printf("%-22s round %d: %7.2f s auth->running (%.2f s of it the registration pause), "
                "%lld users, %lld groups stored, %.0f users/s\n",
                what, round, f.seconds, f.pause, f.users, f.groups,
                f.seconds > f.pause ? double(f.users) / (f.seconds - f.pause) : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<PrivateMariaDb> privateDb;
    std::string connection;
    if (argc > 1) {
        connection = argv[1];
    } else {
        privateDb = std::make_unique<PrivateMariaDb>();
        if (!privateDb->start()) {
            std::fprintf(stderr, "private MariaDB did not start\n");
            return 1;
        }
        connection = privateDb->connectionString();
    }
    SetZoxConnectionString(connection);
    CoreApp();
    ConsoleEnv env; // working folder with data/zoxcfg.ini (127.0.0.1 -> 127.0.0.2), log
    std::printf("login_bench: %d users (%d groups each), %d groups, %d users a page\n", kUsers, kGroupsPerUser,
                kGroups, kUsersPerPage);

    if (ZoxCacheConnect() != 0) {
        std::fprintf(stderr, "database connection failed\n");
        return 1;
    }
    for (int r = 1; r <= kRounds; ++r)
        Print("in-process", r, RunInProcess());
    ZoxCacheRelease();

    for (int r = 1; r <= kRounds; ++r)
        Print("over UDP (real link)", r, RunOverUdp());
    return 0;
}
