// Pictures of a call (a tool, not a test): the incoming-call alert and the main window
// while the call is connected, written as call-alert.png and main-window-call.png into
// the folder given (default: docs/ of the source tree).
//
//   QT_QPA_PLATFORM=offscreen call_screens [folder]
//
// The call is a real one through the console's handler: a setup request for the line
// 5000 arrives as the dispatch server would send it, the alert shows with its ring and
// is answered, the line is connected and the status bar shows the call. The network
// layer runs on 127.0.0.1 (answers go to 127.0.0.2:8888, where nobody listens).
#include "../FakeListCache.h"

#include "console/ui/Callalertdialog.h"
#include "console/ui/Mainfrm.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"
#include "dispatch/CallMessages.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <arpa/inet.h>
#include <cstdio>
#include <memory>

using namespace zox::call;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZOX_SOURCE_DIR "/docs");
    QDir().mkpath(out);

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    dir.write("data/zoxcfg.ini", "[General]\nTitle=ZoxClient Dispatch Console\nDepartment=City Operations\n"
                                 "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\n[GIS]\nGisEnabled=0\n");
    CSystemConfig config;
    g_pSystemConfig = &config;
    if (NetStart() != 0) {
        std::fprintf(stderr, "the network layer did not start (127.0.0.1:8888 taken?)\n");
        return 2;
    }
    FakeListCache cache;
    cache.groups = {{"Patrol North", "9001", 11}, {"Patrol South", "9002", 12}, {"Harbour", "9003", 13}};
    for (int i = 0; i < 8; ++i) {
        const std::string n = std::to_string(3001 + i);
        cache.users.push_back(MakeUser(n, "Driver " + n, 1));
        cache.members[11].push_back(n);
    }
    auto form = std::make_unique<TMainForm>();
    form->SetListCache(&cache);
    ST_ZOX_SYSTEM_LINE line;
    line.lineName = "5000";
    line.status = 1;
    line.softPhone = 0;
    form->DispatchLines().RebuildDispatchLines({line});
    form->ReloadLists();
    form->setWindowState(Qt::WindowNoState);
    form->resize(1366, 768);
    form->show();
    form->SelectGroupCell(1, 11);

    CallMessage m;
    m.header = {1, 0, 0x00770001, kNoReference};
    m.serviceType = 1;
    EncodeBcdDigits("5000", m.lineNumber.data(), m.lineNumber.size());
    TbcdNumber n {};
    EncodeBcdDigits("3001", n.data(), n.size());
    m.members.push_back(n);
    m.memberCount = 1;
    const Bytes setup = WriteMessage(kSetupRequestLayout, m);

    bool ok = true;
    QTimer::singleShot(600, form.get(), [&] {
        TCallAlertForm *alert = form->CallAlert();
        if (!alert || !alert->isVisible()) {
            ok = false;
            return;
        }
        for (int i = 0; i < 3; ++i)
            alert->OnTimerOut(); // a few seconds into the ring
        ok = alert->grab().toImage().save(out + "/call-alert.png") && ok;
        alert->OnCtrlAcceptClick();
    });
    QTimer::singleShot(100, form.get(), [&] {
        form->OnNetCall(QByteArray(reinterpret_cast<const char *>(setup.data()), qsizetype(setup.size())));
        QTimer::singleShot(600, form.get(), [&] {
            ok = form->FindLineByName("5000")->state == kLineConnected && ok;
            ok = form->grab().toImage().save(out + "/main-window-call.png") && ok;
            app.quit();
        });
    });
    app.exec();
    form.reset();
    NetStop();
    g_pSystemConfig = nullptr;
    std::printf("%s: %s/call-alert.png, %s/main-window-call.png\n", ok ? "written" : "FAILED", qPrintable(out),
                qPrintable(out));
    return ok ? 0 : 1;
}
