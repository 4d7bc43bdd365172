#pragma once
// Helpers of the benchmarks that compare the console with GStreamer's own programs:
// CPU time of this process and of another, and starting and stopping a program.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zoxbench {

// User and system CPU seconds of this process.
inline double SelfCpu()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec) + double(ru.ru_utime.tv_usec) / 1e6 + double(ru.ru_stime.tv_sec) +
           double(ru.ru_stime.tv_usec) / 1e6;
}

// User and system CPU seconds of another process (0 when it is gone).
inline double ProcCpu(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(f, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 > line.size())
        return 0;
    std::istringstream in(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Runs a shell command line as a child whose output goes nowhere.
inline pid_t Spawn(const std::string &command)
{
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::string cmd = "exec " + command;
        execl("/bin/sh", "sh", "-c", cmd.c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

// SIGINT, then SIGKILL when the child has not ended within 2 s.
inline void Stop(pid_t pid)
{
    using namespace std::chrono_literals;
    if (pid <= 0)
        return;
    kill(pid, SIGINT);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Whether a TCP server accepts on 127.0.0.1:port within 5 s.
inline bool WaitServer(uint16_t port)
{
    using namespace std::chrono_literals;
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(50ms);
        std::string probe = "exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port);
        if (std::system(("bash -c '" + probe + "' 2>/dev/null").c_str()) == 0)
            return true;
    }
    return false;
}

} // namespace zoxbench
