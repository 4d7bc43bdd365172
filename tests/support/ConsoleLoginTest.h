#pragma once
// A real console login in a window test: the login window with the real network layer
// and server-data cache (a scratch database on the tests' MariaDB) against the fake
// dispatch server on 127.0.0.2:8888, the main window beside it. Message boxes are
// answered by the test: questions with `questionAnswer`, every other box with OK.
//
// Header-only: it needs the windows, which zox_testsupport does not link.
#include "console/ui/Mainfrm.h"
#include "core/NetTcpServiceForm.h"
#include "core/SessionIdentity.h"
#include "core/ui/ConsoleServices.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zoxtest {

// Runs the window events until cond holds or ms have passed; whether it holds.
inline bool WaitFor(const std::function<bool()> &cond, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return cond();
}

class ConsoleLoginTest : public ::testing::Test {
protected:
    // The application object must exist before this runs.
    void SetUp() override
    {
        g_byRestartFlag = 0;
        ASSERT_TRUE(server.Start());
        oldHook = SetSystemMessageBoxHook([this](QWidget *, EN_ZOX_MSGBOX kind, const QString &caption,
                                                  const QString &text) {
            boxes.push_back(caption.toStdString() + ": " + text.toStdString());
            return kind == EN_ZOX_MSGBOX::Question ? questionAnswer : kMsgBoxOk;
        });
        SetZoxConnectionString(db.connectionString());
    }

    void TearDown() override
    {
        Shutdown();
        SetSystemMessageBoxHook(oldHook);
        SetZoxConnectionString("");
        server.Stop();
    }

    // Writes the configuration, then opens the login window (which starts logging in
    // on its own with AutoLogin=1) and the main window.
    void StartConsole(const std::string &config)
    {
        dir.write("data/zoxcfg.ini", config);
        cwd = std::make_unique<ScopedCwd>(dir.path());
        ST_ZOX_LOGIN_SERVICES services = MakeConsoleServices();
        services.sleepMs = [](int) {};
        form = std::make_unique<TLoginForm>(services);
        QObject::connect(form.get(), &TLoginForm::closed, [this] { closed = true; });
        ASSERT_TRUE(form->IsInitialised());
        form->OnFormCreate();
        mainForm = std::make_unique<TMainForm>();
    }

    void Shutdown()
    {
        mainForm.reset();
        form.reset();
        cwd.reset();
    }

    ScratchDatabase db;
    FakeDispatchServer server;
    ServedLogin login{server};
    TempDir dir;
    std::unique_ptr<ScopedCwd> cwd;
    std::unique_ptr<TLoginForm> form;
    std::unique_ptr<TMainForm> mainForm;
    std::vector<std::string> boxes;
    int questionAnswer = kMsgBoxOk;
    bool closed = false;
    SystemMessageBoxFn oldHook;
};

} // namespace zoxtest
