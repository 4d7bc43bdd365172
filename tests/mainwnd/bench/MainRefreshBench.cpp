// Benchmark (not a test): CPU of the main window's 500 ms state refresh while a group
// of 1,000 users is shown, on a private MariaDB server.
//
//   mainwnd_refresh_bench [seconds=30] [changes-per-tick=0]
//
// Starts its own server (scripts/mariadb-private.sh) under a temporary folder, fills
// the cache as a login does, shows the group in an offscreen main window and lets the
// refresh timer run. Reports the console's CPU (whole process, per second of wall
// time, as a share of one core) and the database server's CPU over the same time.
// With changes-per-tick > 0 that many users change state before every refresh; the
// writes themselves are timed and left out of the console's figure.
#include "console/MainListRules.h"
#include "console/ZoxDataModuleListCache.h"
#include "console/ui/Mainfrm.h"
#include "core/NetTcpServiceForm.h"
#include "core/SystemConfig.h"
#include "core/ZoxDataModule.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
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

std::string ReadLine(const std::string &file)
{
    std::ifstream in(file);
    std::string s;
    std::getline(in, s);
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const int changes = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    dir.write("data/zoxcfg.ini", "[General]\nTitle=Refresh benchmark\n");
    CSystemConfig config;
    g_pSystemConfig = &config;

    const std::string dbDir = (dir.path() / "db").string();
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

    TNetTcpServiceForm connection(ReadLine(dbDir + "/connection.txt"));
    if (connection.ConnectDatabase() != 0) {
        std::fprintf(stderr, "could not connect\n");
        return 1;
    }
    TZoxDataModule module(&connection);
    TZoxDataModuleListCache cache(module);
    module.ClearAll();
    module.InsertSystemGroup({"Big group", "9000", 1});
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    for (int i = 0; i < 1000; ++i) {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = std::to_string(100000 + i);
        u.displayName = "User " + std::to_string(i);
        u.regState = i % 5 ? 1 : 0;
        u.priority = 2;
        users.push_back(u);
        members.push_back({1, u.userNumber});
        if (users.size() == 100) { // pages of 100, as a login stores them
            module.InsertSystemUsers(users);
            module.InsertGroupMembers(members);
            users.clear();
            members.clear();
        }
    }

    TMainForm form;
    form.SetListCache(&cache);
    form.ReloadLists();
    form.setWindowState(Qt::WindowNoState);
    form.resize(1366, 768);
    form.show();
    QElapsedTimer showTimer;
    showTimer.start();
    const bool shown = form.SelectGroupCell(zox::mainwnd::kGroupTypeServer, 1);
    const qint64 showMs = showTimer.elapsed();
    if (!shown || static_cast<std::size_t>(form.UserRowCount()) != 1000) {
        std::fprintf(stderr, "group not shown (%zu tiles)\n", static_cast<std::size_t>(form.UserRowCount()));
        return 1;
    }

    // Optional state changes before every refresh.
    double writeCpu = 0;
    int tick = 0;
    QTimer writer;
    writer.setInterval(500);
    QObject::connect(&writer, &QTimer::timeout, [&] {
        const double t0 = ThreadCpuSeconds();
        for (int k = 0; k < changes; ++k) {
            ST_ZOX_SYSTEM_USER u;
            u.userNumber = std::to_string(100000 + (tick * 37 + k * 101) % 1000);
            u.regState = 1;
            u.callState = (tick + k) % 2 ? 0x100 : 0;
            module.UpdateUserState(u);
        }
        ++tick;
        writeCpu += ThreadCpuSeconds() - t0;
    });
    if (changes > 0)
        writer.start();

    // Warm up one second, then measure.
    auto runFor = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    runFor(1000);
    writeCpu = 0;
    const double cpu0 = ProcessCpuSeconds();
    const double srv0 = OtherCpuSeconds(serverPid);
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpu0 - writeCpu;
    const double srv = OtherCpuSeconds(serverPid) - srv0;

    // The refresh alone, timed directly.
    const int reps = 50;
    const double r0 = ThreadCpuSeconds();
    for (int i = 0; i < reps; ++i)
        form.OnUpdateTimerOut();
    const double perRefreshMs = (ThreadCpuSeconds() - r0) / reps * 1000.0;

    std::printf("users shown: %zu, wall %.1f s, state changes per tick: %d\n", static_cast<std::size_t>(form.UserRowCount()), elapsed,
                changes);
    std::printf("showing the group (read + the tiles in sight built): %lld ms\n", static_cast<long long>(showMs));
    std::printf("console CPU: %.2f %% of one core (%.3f s)\n", 100.0 * cpu / elapsed, cpu);
    if (srv >= 0)
        std::printf("database server CPU: %.2f %% of one core (%.3f s)\n", 100.0 * srv / elapsed, srv);
    std::printf("one refresh (read the rows in sight + redraw changed tiles): %.2f ms CPU = %.2f %% at 2 per second\n",
                perRefreshMs, perRefreshMs / 5.0);
    g_pSystemConfig = nullptr;
    return 0;
}
