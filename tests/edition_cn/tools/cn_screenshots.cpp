// Draws the windows of the Chinese-language build into PNG files: the main window with
// a few groups and users, the login window, the splash, the information box, the
// confirmation, the contacts book, the settings dialog and the incoming-call alert.
// Runs offscreen; writes into the folder given (default: docs).
//
//   build-cn/bin/cn_screenshots docs
#include "console/ContactsDb.h"
#include "console/ui/Callalertdialog.h"
#include "console/ui/Configdlg.h"
#include "console/ui/Confirmfrm.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/FontSetup.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/Splashfrm.h"
#include "core/EditionText.h"
#include "core/SystemConfig.h"
#include "core/ui/Loginfrm.h"
#include "tests/mainwnd/FakeListCache.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

bool Save(QWidget &w, const QString &folder, const char *name)
{
    w.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromUtf8(name));
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    w.hide();
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const QString folder = QDir(QString::fromLocal8Bit(argc > 1 ? argv[1] : "docs")).absolutePath();
    QApplication app(argc, argv);
    zox::skin::InstallFontSubstitutions();
    QDir().mkpath(folder);
    const QFont cjk(QString::fromUtf8("微软雅黑"));
    std::printf("\"微软雅黑\" resolves to %s\n", QFontInfo(cjk).family().toUtf8().constData());

    zoxtest::TempDir dir;
    dir.write("data/zoxcfg.ini", "[General]\nDepartment=市调度中心\n[GIS]\nGisEnabled=0\n[Debug]\nWriteLogFile=0\n");
    zoxtest::ScopedCwd cwd(dir.path());
    CSystemConfig config;
    g_pSystemConfig = &config;
    bool ok = true;

    FakeListCache cache;
    cache.groups = {{"北区巡逻", "9001", 11}, {"南区巡逻", "9002", 12}, {"港口", "9003", 13}, {"消防", "9004", 14}};
    const char *const names[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨军", "赵磊", "黄敏"};
    for (int i = 0; i < 8; ++i) {
        const std::string n = std::to_string(1001 + i);
        cache.users.push_back(MakeUser(n, names[i], static_cast<uint8_t>(i % 3 == 0 ? 0 : 1), i == 2 ? 3u : 0u));
        cache.members[11].push_back(n);
    }
    cache.cameras = {MakeCamera(5, "东门", 1, 1), MakeCamera(6, "码头", 0, 0)};
    {
        TMainForm main;
        main.SetListCache(&cache);
        main.ReloadLists();
        main.resize(1280, 800);
        ok &= Save(main, folder, "cn-main-window.png");
    }
    {
        ST_ZOX_LOGIN_SERVICES services;
        services.netStart = [] { return -1; };
        services.sleepMs = [](int) {};
        TLoginForm login(services);
        ok &= Save(login, folder, "cn-login.png");
    }
    {
        TSplashForm splash;
        splash.SetStatus(ZoxText(EN_ZOX_TEXT::LoadingGroups));
        ok &= Save(splash, folder, "cn-splash.png");
    }
    {
        TMsgTipForm tip(nullptr, ZoxText(EN_ZOX_TEXT::AccountError));
        ok &= Save(tip, folder, "cn-message.png");
    }
    {
        TConfirmForm confirm(nullptr, "");
        ok &= Save(confirm, folder, "cn-confirm.png");
    }
    {
        std::filesystem::create_directories(dir / "data");
        if (!ContactsDbOpen()) {
            std::printf("FAILED to open the contacts book\n");
            ok = false;
        }
        struct Unit {
            const char *name;
            int parent; // index into ids, -1 for top level
        };
        const Unit units[] = {{"港务局", -1}, {"引航站", 0}, {"拖轮队", 0}, {"市政服务", -1}, {"消防支队", 3}};
        int ids[5] = {};
        for (int i = 0; i < 5; ++i) {
            CONTACT_UNIT_ITEM u{0, units[i].parent < 0 ? 0 : ids[units[i].parent], units[i].name}, added;
            ContactsDbInsertUnit(&u, &added);
            ids[i] = added.id;
        }
        const CONTACT_USER_ITEM people[] = {
            {0, ids[0], "张伟", "局长", "139-1000-2000", "0571-8800-100"},
            {0, ids[0], "王芳", "值班主任", "139-1000-2001", ""},
            {0, ids[1], "李娜", "引航员", "139-2200-3300", "0571-8800-210"},
            {0, ids[2], "刘洋", "船长", "", "0571-8800-300"},
        };
        for (const auto &p : people)
            ContactsDbInsertContact(&p);
        TContactForm book(nullptr);
        book.show();
        book.c_pTreeView->setCurrentItem(book.c_pTreeView->topLevelItem(0));
        ok &= Save(book, folder, "cn-contacts.png");
    }
    {
        TConfigDlgForm settings(nullptr, [] {
            return std::vector<VideoCaptureDevice>{
                {"USB 摄像头", true, {{"video/x-raw/YUY2", 640, 480, 30, 1}, {"image/jpeg", 1280, 720, 25, 1}}}};
        });
        settings.c_pPageControl->setCurrentIndex(1);
        ok &= Save(settings, folder, "cn-settings.png");
    }
    {
        TCallAlertForm alert(nullptr);
        alert.SetNameLookup([](const std::string &) { return std::string("李娜"); });
        alert.ShowCall(1, "1003", 1);
        for (int i = 0; i < 21; ++i)
            alert.OnTimerOut();
        ok &= Save(alert, folder, "cn-call-alert.png");
        alert.Dismiss();
    }
    g_pSystemConfig = nullptr;
    return ok ? 0 : 1;
}
