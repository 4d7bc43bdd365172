// User state notices answered per second, the whole way: the notice goes over real UDP
// from the server's address (127.0.0.2:8888) to the console's network layer, the login
// session compares it and keeps the change, the cache writes it into MariaDB, and the
// reply goes back over UDP. The console runs logged in with 20,000 users downloaded, its
// log written, and its heartbeat every second on a real timer.
//
//   1. Sustained: as fast as the console answers (at most kWindow notices unanswered),
//      kSustained notices that each change their user's state.
//   2. Storm: 50,000 notices at 5,000 a second; every one must be answered once, and the
//      longest gap between two heartbeat requests must stay within the interval + 0.5 s.
// After each part every row of the cache must hold its user's last state.
//
//   notice_bench [connection string]
// Without a connection string it starts a private MariaDB of its own with the server's
// default durability (every commit flushed to disk). Needs 127.0.0.1:8888 and
// 127.0.0.2:8888 free.
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
#include "tests/support/FakeLoginServer.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace zoxtest;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kUsers = 20000;
constexpr int kGroups = 200;
constexpr int kHeartbeatMs = 1000;
constexpr int kSustained = 200000;
constexpr int kWindow = 1000;
constexpr int kStorm = 50000;
constexpr int kStormRate = 5000;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The dispatch server's side: logs the console in (CFakeLoginServer), answers its
// heartbeats, sends the notices and counts their replies. One socket on
// 127.0.0.2:8888; its receive thread answers.
class BenchServer {
public:
    bool Start()
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        int size = 8 << 20;
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_port = htons(8888);
        ::inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
            return false;
        m_console.sin_family = AF_INET;
        m_console.sin_port = htons(8888);
        ::inet_pton(AF_INET, "127.0.0.1", &m_console.sin_addr);
        m_thread = std::thread([this] { Run(); });
        return true;
    }
    ~BenchServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_socket >= 0)
            ::close(m_socket);
    }

    CFakeLoginServer &Login() { return m_login; } // before Start, or under Lock()
    std::mutex &Lock() { return m_lock; }

    void Send(const uint8_t *d, std::size_t n)
    {
        while (::sendto(m_socket, d, n, 0, reinterpret_cast<const sockaddr *>(&m_console), sizeof m_console) < 0 &&
               errno == ENOBUFS)
            std::this_thread::yield();
    }

    // Notice sender references [first, first + count) are expected; each reply marks its own.
    void Expect(uint32_t first, uint32_t count)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_first = first;
        m_answered.assign(count, 0);
        m_replies = 0;
        m_duplicates = 0;
        m_strays = 0;
    }
    uint64_t Replies() const { return m_replies.load(); }
    uint64_t Duplicates() const { return m_duplicates.load(); }
    uint64_t Strays() const { return m_strays.load(); }
    std::vector<Clock::time_point> Heartbeats()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_heartbeats;
    }

private:
    void Run()
    {
        uint8_t buf[2048];
        pollfd p {m_socket, POLLIN, 0};
        while (!m_stop) {
            if (::poll(&p, 1, 50) <= 0)
                continue;
            for (;;) {
                ssize_t n = ::recv(m_socket, buf, sizeof buf, MSG_DONTWAIT);
                if (n < 8)
                    break;
                const uint32_t code = CFakeLoginServer::GetU32(buf + 4);
                if (code == zox::proto::kUserStateNoticeReply && n >= 20) {
                    // The reply carries the notice's references exchanged: ours at +12.
                    const uint32_t ref = CFakeLoginServer::GetU32(buf + 12);
                    std::lock_guard<std::mutex> lock(m_lock);
                    if (ref - m_first < m_answered.size()) {
                        if (m_answered[ref - m_first]++ == 0)
                            ++m_replies;
                        else
                            ++m_duplicates;
                    } else {
                        ++m_strays;
                    }
                    continue;
                }
                std::vector<Bytes> answers;
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    if (code == zox::proto::kHeartbeatRequest)
                        m_heartbeats.push_back(Clock::now());
                    answers = m_login.Handle(buf, std::size_t(n));
                }
                for (const Bytes &a : answers)
                    Send(a.data(), a.size());
            }
        }
    }

    int m_socket = -1;
    sockaddr_in m_console {};
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
    std::mutex m_lock;
    CFakeLoginServer m_login;
    uint32_t m_first = 0;                     // guarded by m_lock
    std::vector<uint8_t> m_answered;          // guarded by m_lock
    std::vector<Clock::time_point> m_heartbeats; // guarded by m_lock
    std::atomic<uint64_t> m_replies {0}, m_duplicates {0}, m_strays {0};
};

// The login window's duties: real timers on this thread, no windows.
class BenchHost : public ILoginHost {
public:
    std::function<void(EN_ZOX_LOGIN_TIMER)> onTimer;

    BenchHost()
    {
        for (int i = 0; i < kLoginTimerCount; ++i) {
            m_timers[i].setTimerType(Qt::PreciseTimer);
            QObject::connect(&m_timers[i], &QTimer::timeout, [this, i] { onTimer(EN_ZOX_LOGIN_TIMER(i)); });
        }
    }
    int SendUdp(const uint8_t *d, std::size_t n) override { return NetSendUdp(d, n); }
    void StartTimer(EN_ZOX_LOGIN_TIMER t, int ms) override
    {
        if (ms > 0)
            m_timers[int(t)].start(ms);
        else
            m_timers[int(t)].stop();
    }
    void StopTimer(EN_ZOX_LOGIN_TIMER t) override { m_timers[int(t)].stop(); }
    void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
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
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &) override { ++events; }
    ILoginPlatformLink *UapLink() override { return nullptr; }
    ILoginPlatformLink *CmsLink() override { return nullptr; }

    uint64_t events = 0;

private:
    QTimer m_timers[kLoginTimerCount];
};

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

struct UserState {
    uint8_t regState = 0;
    uint32_t callState = 0, vpState = 0;
    uint8_t dcFlag = 0;
    uint32_t callRef = 0;
};

// The i-th state of a user: every notice changes the call state, and the reference.
UserState StateOf(uint32_t serial)
{
    UserState s;
    s.regState = uint8_t(1 + serial % 2);
    s.callState = 0x10000u + serial;
    s.vpState = serial % 3 == 0 ? 0x10000001u : 0;
    s.dcFlag = uint8_t(serial % 7);
    s.callRef = 0x01000000u + serial;
    return s;
}

Bytes Notice(const std::string &number, const UserState &s, uint32_t senderRef)
{
    Bytes d(52, 0);
    CFakeLoginServer::PutU32(d.data() + 4, zox::proto::kUserStateNotice);
    CFakeLoginServer::PutU32(d.data() + 8, senderRef);
    CFakeLoginServer::PutU32(d.data() + 12, 0xFFFFFFFF);
    CFakeLoginServer::PutBcd(d.data() + 16, number);
    CFakeLoginServer::PutU32(d.data() + 24, s.regState);
    CFakeLoginServer::PutU32(d.data() + 28, s.callState);
    CFakeLoginServer::PutU32(d.data() + 32, s.vpState);
    CFakeLoginServer::PutU32(d.data() + 36, s.dcFlag);
    CFakeLoginServer::PutU32(d.data() + 45, s.callRef);
    return d;
}

std::string Number(int user) { return std::to_string(100000 + user); }

// Every row of the cache against the last state sent to its user; the number of
// rows that are wrong (or missing).
int WrongRows(const std::string &connection, const std::vector<UserState> &expected)
{
    TNetTcpServiceForm c(connection);
    if (c.ConnectDatabase() != 0)
        return kUsers;
    TZoxDataModule reader(&c);
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    if (reader.GetSystemUsers(rows) != 0)
        return kUsers;
    int wrong = kUsers - int(rows.size());
    for (const ST_ZOX_SYSTEM_USER &u : rows) {
        const UserState &e = expected[std::size_t(std::stoi(u.userNumber) - 100000)];
        char ref[9];
        std::snprintf(ref, sizeof ref, "%08X", e.callRef);
        const std::string callRef = e.callState == 0 ? std::string() : ref;
        if (u.regState != e.regState || u.callState != e.callState || u.vpState != e.vpState ||
            u.dcFlag != e.dcFlag || u.callRef != callRef)
            ++wrong;
    }
    return wrong;
}

double LongestGap(const std::vector<Clock::time_point> &beats, Clock::time_point from, Clock::time_point to)
{
    double longest = 0;
    Clock::time_point last = from;
    for (Clock::time_point t : beats) {
        if (t < from)
            continue;
        longest = std::max(longest, Seconds(t - last));
        last = t;
    }
    return std::max(longest, Seconds(to - last));
}

} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<PrivateMariaDb> privateDb;
    std::string connection;
    if (argc > 1) {
        connection = argv[1];
    } else {
        privateDb = std::make_unique<PrivateMariaDb>(true);
        connection = privateDb->connectionString();
    }
    SetZoxConnectionString(connection);
    CoreApp();
    ConsoleEnv env; // 127.0.0.1 -> 127.0.0.2, the log written
    std::printf("notice_bench: %d users, heartbeat every %d ms, innodb_flush_log_at_trx_commit=%lld\n", kUsers,
                kHeartbeatMs, QueryNumber(connection, "SELECT @@innodb_flush_log_at_trx_commit"));

    BenchServer server;
    server.Login().Populate(kGroups, kUsers, 1);
    server.Login().usersPerPage = 10;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot bind 127.0.0.2:8888\n");
        return 1;
    }
    ZoxCacheRegisterNetService();
    if (NetStart() != 0) {
        std::fprintf(stderr, "network layer did not start\n");
        return 1;
    }
    int status = 0;
    {
        Receiver receiver;
        NetSubscribe(WM_NET_LOGIN, &receiver);
        NetSubscribe(WM_NET_NOTIFY, &receiver);
        BenchHost host;
        CZoxLoginCache cache;
        ST_ZOX_LOGIN_SETTINGS settings;
        settings.hbIntervalMs = kHeartbeatMs;
        CLoginSession session(host, &cache, settings);
        host.onTimer = [&](EN_ZOX_LOGIN_TIMER t) {
            switch (t) {
            case EN_ZOX_LOGIN_TIMER::Login:
                session.OnLoginTimerOut();
                break;
            case EN_ZOX_LOGIN_TIMER::Retry:
                session.OnRetryTimerOut();
                break;
            case EN_ZOX_LOGIN_TIMER::Heartbeat:
                session.OnHeartbeatTimerOut();
                break;
            case EN_ZOX_LOGIN_TIMER::CmsPoll:
                session.OnCmsPollTimerOut();
                break;
            }
        };
        receiver.session = &session;
        session.SetInitialised(true);
        const Clock::time_point loginStart = Clock::now();
        session.OnBtnOkClick();
        if (!PumpUntil([&] { return session.GetLoginState() == kLoginRunning; }, 600s)) {
            std::fprintf(stderr, "login did not complete (state %u)\n", unsigned(session.GetLoginState()));
            return 1;
        }
        std::printf("logged in with %d users in %.1f s\n", kUsers, Seconds(Clock::now() - loginStart));

        std::vector<UserState> expected(kUsers);
        for (int u = 0; u < kUsers; ++u) {
            expected[std::size_t(u)].regState = uint8_t(u % 4); // as downloaded
        }
        uint32_t serial = 0;
        uint32_t ref = 1;

        // Sends `count` notices over the users in turn, paced at `rate` a second (0: as
        // fast as the window of unanswered notices allows), on a thread of its own while
        // this thread runs the console.
        auto run = [&](const char *name, int count, int rate) {
            const uint32_t first = ref;
            server.Expect(first, uint32_t(count));
            std::vector<Bytes> notices;
            notices.reserve(std::size_t(count));
            for (int i = 0; i < count; ++i) {
                const int user = int(serial % kUsers);
                const UserState s = StateOf(serial++);
                expected[std::size_t(user)] = s;
                notices.push_back(Notice(Number(user), s, ref++));
            }
            std::atomic<bool> sent {false};
            const Clock::time_point start = Clock::now();
            std::thread sender([&] {
                for (int i = 0; i < count; ++i) {
                    if (rate > 0) {
                        std::this_thread::sleep_until(start + std::chrono::microseconds(int64_t(i) * 1000000 / rate));
                    } else {
                        while (int64_t(i) - int64_t(server.Replies()) >= kWindow)
                            std::this_thread::yield();
                    }
                    server.Send(notices[std::size_t(i)].data(), notices[std::size_t(i)].size());
                }
                sent = true;
            });
            const bool answered =
                PumpUntil([&] { return server.Replies() >= uint64_t(count); }, std::chrono::seconds(120 + count / 500));
            const Clock::time_point end = Clock::now();
            sender.join();
            PumpUntil([&] { return cache.Module().KeptUserStates() == 0; }, 30s);
            const Clock::time_point written = Clock::now();
            const double seconds = Seconds(end - start);
            const int wrong = WrongRows(connection, expected);
            const double gap = LongestGap(server.Heartbeats(), start, end);
            std::printf("%-10s %6d notices in %6.2f s: %7.0f answered/s; answered %llu (duplicates %llu, strays %llu);"
                        " cache written %.2f s after the last reply; wrong rows %d of %d; longest heartbeat gap"
                        " %.3f s (interval %.1f s)\n",
                        name, count, seconds, double(server.Replies()) / seconds,
                        static_cast<unsigned long long>(server.Replies()),
                        static_cast<unsigned long long>(server.Duplicates()),
                        static_cast<unsigned long long>(server.Strays()), Seconds(written - end), wrong, kUsers, gap,
                        kHeartbeatMs / 1000.0);
            std::fflush(stdout);
            if (!answered || wrong != 0 || server.Duplicates() != 0 || gap > kHeartbeatMs / 1000.0 + 0.5)
                status = 2;
        };
        run("sustained", kSustained, 0);
        run("storm", kStorm, kStormRate);

        TNetUdpService::Stats stats;
        NetGetUdpStats(stats);
        std::printf("udp: %llu received, %llu delivered, %llu dropped; %llu state changes reported\n",
                    static_cast<unsigned long long>(stats.received), static_cast<unsigned long long>(stats.delivered),
                    static_cast<unsigned long long>(stats.dropped), static_cast<unsigned long long>(host.events));
        session.SendRegister(1);
        receiver.session = nullptr;
    }
    NetStop();
    return status;
}
