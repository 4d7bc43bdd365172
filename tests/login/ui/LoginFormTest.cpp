// The login window's start-up duties with stand-in services (no network, no database).
#include "console/ui/Mainfrm.h"
#include "console/ui/Splashfrm.h"
#include "core/Log.h"
#include "core/SessionIdentity.h"
#include "core/SystemConfig.h"
#include "core/ui/ConsoleWindows.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/support/UiApp.h"

using namespace zoxtest;

namespace {

QApplication &App() { return zoxtest::uiApp(); }

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(std::function<bool()> cond, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return cond();
}

struct Fixture {
    TempDir dir;
    std::unique_ptr<ScopedCwd> cwd;
    int netResult = 0;
    int mediaResult = 0;
    int netStops = 0, mediaExits = 0;
    std::vector<std::vector<uint8_t>> sent;
    std::vector<uint32_t> subscribed;
    std::vector<std::string> boxes;
    SystemMessageBoxFn oldHook;

    explicit Fixture(const std::string &ini)
    {
        App();
        dir.write("data/zoxcfg.ini", ini);
        cwd = std::make_unique<ScopedCwd>(dir.path());
        oldHook = SetSystemMessageBoxHook([this](QWidget *, EN_ZOX_MSGBOX, const QString &, const QString &text) {
            boxes.push_back(text.toStdString());
            return kMsgBoxOk;
        });
        g_byRestartFlag = 0;
    }
    ~Fixture() { SetSystemMessageBoxHook(oldHook); }

    ST_ZOX_LOGIN_SERVICES Services()
    {
        ST_ZOX_LOGIN_SERVICES s;
        s.netStart = [this] { return netResult; };
        s.netStop = [this] { ++netStops; };
        s.mediaInit = [this] { return mediaResult; };
        s.mediaExit = [this] { ++mediaExits; };
        s.subscribe = [this](uint32_t m, QObject *) {
            subscribed.push_back(m);
            return netResult == 0 ? 0 : -1;
        };
        s.sendUdp = [this](const uint8_t *d, std::size_t n) {
            sent.emplace_back(d, d + n);
            return int(n);
        };
        s.sleepMs = [](int) {};
        return s;
    }
};

TEST(LoginForm, NetworkFailureShowsInitialisationErrorAndCloses)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\n[Debug]\nWriteLogFile=0\n");
    f.netResult = -1;
    TLoginForm form(f.Services());
    bool closed = false;
    QObject::connect(&form, &TLoginForm::closed, [&] { closed = true; });
    EXPECT_FALSE(form.IsInitialised());
    form.OnFormCreate();
    // Automatic login is not taken without a network: the window shows.
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.c_pBtnOk->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return closed; }));
    EXPECT_EQ(f.boxes,
              (std::vector<std::string>{"Application has been started or has an initialization error. Please close it."}));
    EXPECT_EQ(f.mediaExits, 0);
    form.OnFormDestroy();
    EXPECT_EQ(f.netStops, 1);
    EXPECT_EQ(f.mediaExits, 0);
    EXPECT_TRUE(f.sent.empty());
    // Logging off: no log file.
    EXPECT_FALSE(f.dir.exists("log/log.txt"));
}

TEST(LoginForm, AutomaticLoginStartsHidden)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\n[Debug]\nWriteLogFile=1\n");
    TLoginForm form(f.Services());
    EXPECT_TRUE(form.IsInitialised());
    EXPECT_EQ(f.subscribed, (std::vector<uint32_t>{0x8065, 0x8066}));
    form.OnFormCreate();
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(WaitFor([&] { return !f.sent.empty(); }));
    EXPECT_EQ(form.Session().GetLoginState(), kLoginRegisterSent);
    EXPECT_TRUE(form.Splash()->isVisible());
    EXPECT_EQ(form.Splash()->GetStatus(), "Logging in");
    EXPECT_FALSE(form.isVisible());
    // Esc on the splash, confirmed: the login ends without a logout.
    QTest::keyClick(form.Splash(), Qt::Key_Escape);
    EXPECT_EQ(f.boxes, (std::vector<std::string>{"Logging in. Are you sure you want to cancel?"}));
    EXPECT_EQ(form.Session().GetLoginState(), kLoginIdle);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.c_pEditUserName->text(), "8001");
    form.OnFormDestroy();
    EXPECT_EQ(f.netStops, 1);
    EXPECT_EQ(f.mediaExits, 1);
    EXPECT_EQ(f.sent.size(), 1u); // the one register request, no logout
    EXPECT_TRUE(f.dir.exists("log/log.txt"));
}

TEST(LoginForm, AutomaticLoginWithoutPasswordWaits)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=\n[Debug]\nWriteLogFile=0\n");
    TLoginForm form(f.Services());
    form.OnFormCreate();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.c_pEditUserName->text().isEmpty());
    EXPECT_TRUE(form.c_pEditPassword->text().isEmpty());
    EXPECT_FALSE(form.c_pBtnOk->isEnabled());
    WaitFor([] { return false; }, 100);
    EXPECT_TRUE(f.sent.empty());
    EXPECT_TRUE(f.boxes.empty());
    // Typing both fields enables Login.
    form.c_pEditUserName->setText("8001");
    EXPECT_FALSE(form.c_pBtnOk->isEnabled());
    form.c_pEditPassword->setText("pw");
    EXPECT_TRUE(form.c_pBtnOk->isEnabled());
    EXPECT_EQ(form.c_pEditUserName->maxLength(), 15);
    EXPECT_EQ(form.c_pEditPassword->maxLength(), 31);
    EXPECT_EQ(form.c_pEditPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.windowTitle(), "User Login");
}

TEST(LoginForm, VehicleLinkThatDidNotStart)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1\n[Extend]\nCmsEnabled=1\n");
    TLoginForm form(f.Services());
    bool closed = false;
    QObject::connect(&form, &TLoginForm::closed, [&] { closed = true; });
    form.OnFormCreate();
    ASSERT_TRUE(WaitFor([&] { return closed; }));
    EXPECT_EQ(f.boxes, (std::vector<std::string>{"Platform interface module init failed. Please close it."}));
    EXPECT_TRUE(f.sent.empty());
}

TEST(LoginForm, UnansweredRegisterIsResentAfterFiveSeconds)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\n[Debug]\nWriteLogFile=0\n");
    TLoginForm form(f.Services());
    QElapsedTimer clock;
    std::vector<qint64> at;
    std::size_t seen = 0;
    form.OnFormCreate();
    clock.start();
    ASSERT_TRUE(WaitFor(
        [&] {
            for (; seen < f.sent.size(); ++seen)
                at.push_back(clock.elapsed());
            return at.size() >= 2;
        },
        8000));
    // Both are register requests (type 0); the re-send follows 5000 ms after the first,
    // not the 5250 ms that a 5% timer tolerance allows.
    for (const auto &d : f.sent) {
        ASSERT_EQ(d.size(), 36u);
        EXPECT_EQ(std::vector<uint8_t>(d.begin() + 4, d.begin() + 8), (std::vector<uint8_t>{0x50, 0x01, 0x00, 0x01}));
    }
    const qint64 gap = at[1] - at[0];
    EXPECT_GE(gap, 4990);
    EXPECT_LE(gap, 5150);
    form.OnFormDestroy();
}

TEST(LoginForm, MediaFailureLeavesConsoleUninitialised)
{
    Fixture f("[Debug]\nWriteLogFile=0\n");
    f.mediaResult = -1;
    TLoginForm form(f.Services());
    EXPECT_FALSE(form.IsInitialised());
    form.OnFormDestroy();
    EXPECT_EQ(f.mediaExits, 0);
}

} // namespace

// The exit picture of the main window ends the program's loop, with the login window
// hidden (automatic login) and the main window shown, as in a running console.
TEST(LoginForm, MainWindowExitEndsTheLoop)
{
    Fixture f("[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\n[Debug]\nWriteLogFile=0\n");
    TLoginForm form(f.Services());
    form.OnFormCreate();
    TMainForm mainForm;
    ConnectConsoleWindows(form, mainForm);
    mainForm.show();
    QTimer::singleShot(50, &mainForm, [&] {
        QLabel *exit = mainForm.c_pImageExit;
        const QPoint centre(exit->width() / 2, exit->height() / 2);
        QTest::mousePress(exit, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(exit, Qt::LeftButton, Qt::NoModifier, centre);
    });
    // A loop that is not ended by the exit runs into this bound instead; the bound
    // dies with the window, so it never ends a loop of a later test.
    QTimer::singleShot(5000, &mainForm, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(App().exec(), 0);
    mainForm.hide();
    form.OnFormDestroy();
}
