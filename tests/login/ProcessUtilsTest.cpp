// Finding and ending another process by its executable's file name.
#include "core/ProcessUtils.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zoxtest;

namespace {

// Runs a copy of /bin/sleep under the given file name; the child's pid.
pid_t RunSleepAs(const TempDir &dir, const std::string &name)
{
    const auto exe = dir.path() / name;
    std::filesystem::copy_file("/bin/sleep", exe);
    const pid_t pid = fork();
    if (pid == 0) {
        execl(exe.c_str(), name.c_str(), "30", static_cast<char *>(nullptr));
        _exit(127);
    }
    // Wait until the child runs the copy.
    for (int i = 0; i < 200; ++i) {
        std::error_code ec;
        if (std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec) == exe)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
}

TEST(ProcessUtils, FindsByExactNameAndKills)
{
    TempDir dir;
    const std::string name = "zoxTestProc" + std::to_string(getpid());
    const pid_t child = RunSleepAs(dir, name);
    ASSERT_GT(child, 0);
    EXPECT_EQ(FindProcessByName(name), child);
    // Letter case counts; a longer or shorter name is another name.
    std::string upper = name;
    upper[0] = 'Z';
    EXPECT_EQ(FindProcessByName(upper), 0);
    EXPECT_EQ(FindProcessByName(name.substr(1)), 0);
    EXPECT_EQ(FindProcessByName(name + "x"), 0);

    KillProcess(child, 3000);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(FindProcessByName(name), 0);
}

TEST(ProcessUtils, OwnProcessIsNeverFound)
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    ASSERT_FALSE(ec);
    EXPECT_NE(FindProcessByName(self.filename().string()), getpid());
    KillProcess(0); // no process: nothing happens
}

} // namespace
