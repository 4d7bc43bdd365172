// Benchmark (not a test): the main window's user list after a real login of a large
// directory (20,000 users with three groups each, 2,000 groups) served by the fake
// dispatch server over UDP into a private MariaDB with its default durability.
//
//   mainwnd_list_bench [rounds=5] [refresh-seconds=30]
//
// Figures: the time from the click on "All user" to the first painted list, the time
// back to a small group, the CPU of the 500 ms refresh with the whole directory
// selected (this process and the database server, as shares of one core), and this
// process's resident memory before and after. Runs offscreen unless QT_QPA_PLATFORM
// says otherwise. Needs 127.0.0.1:8888 and 127.0.0.2:8888 free.
#include "console/MainListRules.h"
#include "console/UserListReader.h"
#include "console/ZoxDataModuleListCache.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TScrollBarCtrl.h"
#include "console/ui/TUserCellCtrl.h"
#include "core/LoginSession.h"
#include "core/NetTcpServiceForm.h"
#include "core/SystemConfig.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "core/net/NetFacade.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/FakeLoginServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace zoxtest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kUsers = 20000;
constexpr int kGroups = 2000;
constexpr int kGroupsPerUser = 3;

double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, in seconds; -1 when unreadable.
double OtherCpuSeconds(long pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double RssMiB()
{
    std::ifstream in("/proc/self/statm");
    long size = 0, resident = 0;
    in >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::string ReadLine(const std::string &file)
{
    std::ifstream in(file);
    std::string s;
    std::getline(in, s);
    return s;
}

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Notes the first paint of a user tile.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && qobject_cast<TUserCellCtrl *>(o))
            painted = true;
        return false;
    }
};

// The login session's surroundings: no login window; the link is the network layer.
class BenchHost : public ILoginHost {
public:
    int SendUdp(const uint8_t *d, std::size_t n) override { return NetSendUdp(d, n); }
    void StartTimer(EN_ZOX_LOGIN_TIMER, int) override {}
    void StopTimer(EN_ZOX_LOGIN_TIMER) override {}
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
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &) override {}
    ILoginPlatformLink *UapLink() override { return nullptr; }
    ILoginPlatformLink *CmsLink() override { return nullptr; }
};

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

TGroupCellCtrl *GroupTile(TMainForm &form, int type, int id)
{
    for (TGroupCellCtrl *t : form.GroupCells())
        if (t->GetGroupType() == type && t->GetGroupId() == id)
            return t;
    return nullptr;
}

// Clicks a group tile as the dispatcher does and returns the milliseconds until the
// first user tile was painted (-1 when none was within 10 s).
double ClickToPaint(TGroupCellCtrl *tile, PaintWatch &watch)
{
    watch.painted = false;
    const auto t0 = Clock::now();
    tile->OnClickHandler(tile);
    const auto deadline = t0 + std::chrono::seconds(10);
    while (!watch.painted && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!watch.painted)
        return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int refreshSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // A private server with the default durability (every commit flushed).
    TempDir dbRoot;
    const std::string dbDir = (dbRoot.path() / "db").string();
    const std::string script = std::string(ZOX_SOURCE_DIR) + "/scripts/mariadb-private.sh";
    if (std::system(("bash '" + script + "' start '" + dbDir + "' >/dev/null 2>&1 </dev/null").c_str()) != 0) {
        std::fprintf(stderr, "could not start MariaDB\n");
        return 1;
    }
    struct Stop {
        std::string cmd;
        ~Stop() { (void)std::system(cmd.c_str()); }
    } stop{"bash '" + script + "' stop '" + dbDir + "' >/dev/null 2>&1 </dev/null"};
    const long serverPid = std::atol(ReadLine(dbDir + "/mariadbd.pid").c_str());
    SetZoxConnectionString(ReadLine(dbDir + "/connection.txt"));

    ConsoleEnv env; // working folder with data/zoxcfg.ini (127.0.0.1 -> 127.0.0.2), log
    std::printf("mainwnd_list_bench: %d users (%d groups each), %d groups; platform %s\n", kUsers, kGroupsPerUser,
                kGroups, qgetenv("QT_QPA_PLATFORM").constData());

    FakeDispatchServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot bind 127.0.0.2:8888\n");
        return 1;
    }
    ServedLogin login(server);
    login.With([](CFakeLoginServer &s) {
        s.Populate(kGroups, kUsers, kGroupsPerUser);
        s.usersPerPage = 10;
        s.groupsPerPage = 16;
    });
    ZoxCacheRegisterNetService();
    if (NetStart() != 0) {
        std::fprintf(stderr, "network layer did not start\n");
        return 1;
    }
    int rc = 0;
    {
        Receiver receiver;
        NetSubscribe(WM_NET_LOGIN, &receiver);
        NetSubscribe(WM_NET_NOTIFY, &receiver);
        BenchHost host;
        CZoxLoginCache cache;
        ST_ZOX_LOGIN_SETTINGS settings;
        settings.videoEnabled = true;
        settings.hbIntervalMs = 0;
        CLoginSession session(host, &cache, settings);
        receiver.session = &session;
        session.SetInitialised(true);
        const auto l0 = Clock::now();
        session.OnBtnOkClick();
        if (!PumpUntil([&] { return session.GetLoginState() == kLoginRunning; }, std::chrono::seconds(900))) {
            std::fprintf(stderr, "login did not complete (state %u)\n", unsigned(session.GetLoginState()));
            rc = 1;
        } else {
            std::printf("login: %.1f s\n", std::chrono::duration<double>(Clock::now() - l0).count());
            TZoxDataModuleListCache lists(cache.Module());
            TMainForm form;
            form.SetListCache(&lists);
            form.ReloadLists();
            form.setWindowState(Qt::WindowNoState);
            form.resize(1366, 768);
            form.show();
            RunFor(500);
            PaintWatch watch;
            app.installEventFilter(&watch);

            // The console idle (no group shown): what the refresh's figure is set against.
            const double idle0 = ProcessCpuSeconds();
            const double idleSrv0 = OtherCpuSeconds(serverPid);
            QElapsedTimer idleWall;
            idleWall.start();
            RunFor(refreshSeconds * 1000);
            const double idleElapsed = idleWall.elapsed() / 1000.0;
            const double idleCpu = ProcessCpuSeconds() - idle0;
            const double idleSrv = OtherCpuSeconds(serverPid) - idleSrv0;

            // The read of the directory's rows alone.
            std::vector<double> reads;
            for (int i = 0; i < 3; ++i) {
                std::vector<UserTileData> rows;
                const auto r0 = Clock::now();
                ReadUserTiles(lists, zox::mainwnd::kGroupTypeAllUsers, zox::mainwnd::kGroupIdAllUsers, rows);
                reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - r0).count());
            }

            TGroupCellCtrl *all = GroupTile(form, zox::mainwnd::kGroupTypeAllUsers, zox::mainwnd::kGroupIdAllUsers);
            const auto &groups = form.GroupCells();
            const double rssBefore = RssMiB();
            std::vector<double> toAll, toSmall;
            double rssAll = 0, rssEnd = 0;
            int allRows = 0, smallRows = 0;
            for (int r = 0; r < rounds && groups.size() > 2; ++r) {
                toAll.push_back(ClickToPaint(all, watch));
                allRows = form.UserRowCount();
                rssAll = std::max(rssAll, RssMiB());
                // Through the whole directory, a page at a time, then to the end.
                if (r == 0 && form.UserScrollBar()) {
                    for (int i = 0; i < 200; ++i)
                        form.UserScrollBar()->ScrollPageDown();
                    form.UserScrollBar()->ResetViewport(kUsers / 2);
                    QCoreApplication::processEvents();
                    rssEnd = RssMiB();
                }
                // Groups 1 to 254 have members (a few hundred each).
                TGroupCellCtrl *small = groups[2 + static_cast<std::size_t>(r * 37) % std::min<std::size_t>(254, groups.size() - 2)];
                toSmall.push_back(ClickToPaint(small, watch));
                smallRows = form.UserRowCount();
            }
            const double rssSmall = RssMiB();

            // The refresh with the whole directory selected, scrolled to the middle.
            all->OnClickHandler(all);
            if (form.UserScrollBar())
                form.UserScrollBar()->ResetViewport(kUsers / 4);
            RunFor(1000);
            const double cpu0 = ProcessCpuSeconds();
            const double srv0 = OtherCpuSeconds(serverPid);
            QElapsedTimer wall;
            wall.start();
            RunFor(refreshSeconds * 1000);
            const double elapsed = wall.elapsed() / 1000.0;
            const double cpu = ProcessCpuSeconds() - cpu0;
            const double srv = OtherCpuSeconds(serverPid) - srv0;
            const double rssAfter = RssMiB();

            // One refresh alone, timed directly (console thread and database server).
            const int reps = 100;
            const double t0 = ThreadCpuSeconds();
            const double s0 = OtherCpuSeconds(serverPid);
            for (int i = 0; i < reps; ++i)
                form.OnUpdateTimerOut();
            const double perRefreshMs = (ThreadCpuSeconds() - t0) / reps * 1000.0;
            const double perRefreshSrvMs = (OtherCpuSeconds(serverPid) - s0) / reps * 1000.0;

            std::printf("click on \"All user\" (%d rows) to the first painted list: median %.1f ms, max %.1f ms\n",
                        allRows, Median(toAll), *std::max_element(toAll.begin(), toAll.end()));
            std::printf("back to a small group (%d rows) to the first painted list: median %.1f ms, max %.1f ms\n",
                        smallRows, Median(toSmall), *std::max_element(toSmall.begin(), toSmall.end()));
            std::printf("rounds:");
            for (std::size_t i = 0; i < toAll.size(); ++i)
                std::printf(" %.1f/%.1f", toAll[i], toSmall[i]);
            std::printf(" ms (all/small)\n");
            std::printf("read of the %d rows alone: median %.1f ms\n", allRows, Median(reads));
            std::printf("idle over %.1f s (no group shown): console %.2f %% of one core, database server %.2f %%\n",
                        idleElapsed, 100.0 * idleCpu / idleElapsed, 100.0 * idleSrv / idleElapsed);
            std::printf("running over %.1f s with all %d users selected: console %.2f %% of one core, "
                        "database server %.2f %%, together %.2f %%; above idle: %.2f %%\n",
                        elapsed, form.UserRowCount(), 100.0 * cpu / elapsed, 100.0 * srv / elapsed,
                        100.0 * (cpu + srv) / elapsed,
                        100.0 * ((cpu + srv) / elapsed - (idleCpu + idleSrv) / idleElapsed));
            std::printf("one refresh timed alone (%d in a row): console %.3f ms, database server %.3f ms of CPU; "
                        "at two a second %.3f %% of one core\n",
                        reps, perRefreshMs, perRefreshSrvMs, (perRefreshMs + perRefreshSrvMs) * 2 / 10.0);
            std::printf("resident memory: %.1f MiB before the first click, %.1f MiB with all users shown, "
                        "%.1f MiB after scrolling to the end, %.1f MiB on a small group, %.1f MiB after the refresh "
                        "(all users shown); all users minus small group: %+.1f MiB\n",
                        rssBefore, rssAll, rssEnd, rssSmall, rssAfter, rssAll - rssSmall);
            app.removeEventFilter(&watch);
        }
        session.SendRegister(1);
        receiver.session = nullptr;
    }
    NetStop();
    server.Stop();
    return rc;
}
