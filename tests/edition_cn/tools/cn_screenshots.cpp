// Draws the windows of the Chinese-language build into PNG files: the main window with
// a few groups and users, the login window, the splash, the information box and the
// confirmation. Runs offscreen; writes into the folder given (default: docs).
//
//   build-cn/bin/cn_screenshots docs
#include "console/ui/Confirmfrm.h"
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
#include <QTimer>

#include <cstdio>
#include <cstdlib>
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
    g_pSystemConfig = nullptr;
    return ok ? 0 : 1;
}
