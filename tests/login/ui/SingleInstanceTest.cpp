// A second start of the program ends the first (the built executable, offscreen).
#include "core/ProcessUtils.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>

using namespace zoxtest;

namespace {

QApplication &App()
{
    return zoxtest::uiApp();
}

bool WaitUntil(const std::function<bool()> &cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QThread::msleep(20);
    return cond();
}

void StartConsole(QProcess &p, const TempDir &dir)
{
    p.setProgram(QString::fromUtf8(ZOX_BINARY_DIR "/bin/ZoxClient"));
    p.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
}

TEST(SingleInstance, SecondStartEndsTheFirst)
{
    App();
    TempDir dir;
    dir.write("data/zoxcfg.ini", "[Security]\nAutoLogin=0\n[Debug]\nWriteLogFile=0\n");
    QProcess first, second;
    StartConsole(first, dir);
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first one runs (it waits for the dispatcher, or shows its start-up error).
    ASSERT_TRUE(WaitUntil([&] { return FindProcessByName(kConsoleExeName) == pid_t(first.processId()); }, 5000));
    QThread::msleep(300);
    EXPECT_EQ(first.state(), QProcess::Running);

    StartConsole(second, dir);
    ASSERT_TRUE(second.waitForStarted(5000));
    EXPECT_TRUE(first.waitForFinished(5000));
    EXPECT_EQ(first.exitStatus(), QProcess::CrashExit); // ended from outside
    QThread::msleep(300);
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_EQ(FindProcessByName(kConsoleExeName), pid_t(second.processId()));
    second.kill();
    EXPECT_TRUE(second.waitForFinished(5000));
}

TEST(SingleInstance, NameComparedExactly)
{
    // This test process is not the console: nothing of its name is found, and a
    // name differing in letter case only is not the console's.
    EXPECT_EQ(FindProcessByName("zoxclient"), 0);
    EXPECT_EQ(FindProcessByName("ZOXCLIENT"), 0);
}

} // namespace
