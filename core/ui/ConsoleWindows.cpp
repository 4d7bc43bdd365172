#include "core/ui/ConsoleWindows.h"

#include "console/ui/Mainfrm.h"
#include "core/ui/Loginfrm.h"

#include <QCoreApplication>

void ConnectConsoleWindows(TLoginForm &login, TMainForm &mainForm)
{
    // The loop ends outright: quit() would first ask every window to close, and the
    // main window turns a close into the exit path instead, so quit() never ends it.
    QObject::connect(
        &login, &TLoginForm::closed, QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    mainForm.SetExitAction([&login] { login.CloseLoginWindow(); });
}
