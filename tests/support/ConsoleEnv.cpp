#include "tests/support/ConsoleEnv.h"

#include <QDeadlineTimer>
#include <QThread>

#include "core/Log.h"
#include "core/SystemConfig.h"

namespace zoxtest {

QCoreApplication *CoreApp()
{
    static int argc = 1;
    static char name[] = "zoxtest";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives to the end of the process
    return QCoreApplication::instance();
}

bool PumpUntil(const std::function<bool()> &pred, std::chrono::milliseconds timeout)
{
    CoreApp();
    QDeadlineTimer deadline(timeout.count());
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        if (pred())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
}

void PumpFor(std::chrono::milliseconds duration)
{
    PumpUntil([] { return false; }, duration);
}

ConsoleEnv::ConsoleEnv(const std::string &localIp, const std::string &serverIp, const std::string &extraIni)
{
    CoreApp();
    m_dir.write("data/zoxcfg.ini", "[System]\nServerIpAddr=" + serverIp + "\nLocalIpAddr=" + localIp +
                                       "\nLocalRegIpAddr=" + localIp + "\nRtspClientIP=" + localIp +
                                       "\n[Debug]\nWriteLogFile=1\n" + extraIni);
    m_cwd = std::make_unique<ScopedCwd>(m_dir.path());
    delete g_pSystemConfig;
    g_pSystemConfig = new CSystemConfig;
    OpenLogAtStart("test");
}

ConsoleEnv::~ConsoleEnv()
{
    CloseLogFile();
    delete g_pSystemConfig;
    g_pSystemConfig = nullptr;
    m_cwd.reset();
}

std::string ConsoleEnv::LogText() const { return m_dir.read("log/log.txt"); }

} // namespace zoxtest
