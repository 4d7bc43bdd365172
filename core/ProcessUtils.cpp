#include "core/ProcessUtils.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
bool ExeBaseName(pid_t pid, std::string &name)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/exe", static_cast<int>(pid));
    char target[4096];
    const ssize_t n = readlink(path, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    std::string full(target);
    // A replaced executable reads as "<path> (deleted)".
    static const std::string deleted = " (deleted)";
    if (full.size() > deleted.size() && full.compare(full.size() - deleted.size(), deleted.size(), deleted) == 0)
        full.erase(full.size() - deleted.size());
    const auto slash = full.rfind('/');
    name = slash == std::string::npos ? full : full.substr(slash + 1);
    return true;
}

bool IsAlive(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE *f = fopen(path, "r");
    if (!f)
        return false;
    int readPid = 0;
    char comm[256] = {0};
    char state = 0;
    const int got = fscanf(f, "%d %255s %c", &readPid, comm, &state);
    fclose(f);
    // A zombie has released its sockets already.
    return got == 3 && state != 'Z' && state != 'X';
}
} // namespace

pid_t FindProcessByName(const std::string &name)
{
    DIR *dir = opendir("/proc");
    if (!dir)
        return 0;
    const pid_t self = getpid();
    const uid_t uid = getuid();
    pid_t found = 0;
    while (dirent *e = readdir(dir)) {
        char *end = nullptr;
        const long v = strtol(e->d_name, &end, 10);
        if (!end || *end != '\0' || v <= 0)
            continue;
        const pid_t pid = static_cast<pid_t>(v);
        if (pid == self)
            continue;
        char path[64];
        snprintf(path, sizeof path, "/proc/%d", static_cast<int>(pid));
        struct stat st {};
        if (stat(path, &st) != 0 || st.st_uid != uid)
            continue;
        std::string base;
        if (ExeBaseName(pid, base) && base == name && IsAlive(pid)) {
            found = pid;
            break;
        }
    }
    closedir(dir);
    return found;
}

void KillProcess(pid_t pid, int waitMs)
{
    if (pid <= 0 || kill(pid, SIGKILL) != 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (IsAlive(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
