// Program entry of the dispatcher's console: single instance, the login window first
// (it owns the core services and ends the program when it closes), then the main
// window, the one message loop, and a restart when the login asked for one.
#include "console/ui/Mainfrm.h"
#include "core/ProcessUtils.h"
#include "core/SessionIdentity.h"
#include "core/ui/ConsoleServices.h"
#include "core/ui/ConsoleWindows.h"
#include "core/ui/Loginfrm.h"
#include "platforms/NetWxProxy.h"

#include "console/ui/FontSetup.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <exception>

int main(int argc, char *argv[])
{
    // 1. A second start ends the first; a restarted console ends its predecessor.
    if (const pid_t other = FindProcessByName(kConsoleExeName))
        KillProcess(other);

    QString selfPath;
    {
        // 2. The application object.
        QApplication app(argc, argv);
        app.setQuitOnLastWindowClosed(false);
        selfPath = QCoreApplication::applicationFilePath();
        zox::skin::InstallFontSubstitutions();
        try {
            // The messaging bridge is the network layer's second part; it answers the
            // chat peer only while the console is logged in.
            WxProxyRegisterNetService([] { return g_pLoginForm && g_pLoginForm->IsRunning(); });
            // 3. The login window: configuration, log, network, media, splash; then its
            //    create handler (cache, platform links, the first tick in 10 ms).
            TLoginForm login(MakeConsoleServices());
            login.OnFormCreate();
            // 4. The main window. Closing it ends the console like its exit button.
            TMainForm mainForm;
            ConnectConsoleWindows(login, mainForm);
            // 5., 6. The loop runs until the login window closes; the main window is
            //    destroyed first, then the login window.
            app.exec();
        } catch (const std::exception &e) {
            // 7. The standard exception box.
            QMessageBox::critical(nullptr, QStringLiteral("ZoxClient"), QString::fromUtf8(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QStringLiteral("ZoxClient"), QString());
        }
    }
    // 8. The restart: the own executable again, no arguments.
    if (g_byRestartFlag.load() != 0)
        QProcess::startDetached(selfPath, {});
    return 0;
}
