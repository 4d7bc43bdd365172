// Picture of the main window during a group PTT call (a tool, not a test), written as
// main-window-ptt-call.png into the folder given (default: docs/ of the source tree).
//
//   QT_QPA_PLATFORM=offscreen ptt_call_picture [folder]
//
// The call is started as the dispatcher starts it: the group tile is clicked, then the
// group's "PTT Call" button; the dispatch server's answer (made here) connects it, and
// a talk burst shows the speaker. The network layer runs on 127.0.0.1 (requests go to
// 127.0.0.2:8888, where nobody listens).
#include "../FakeListCache.h"

#include "console/CurrentSelection.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TGroupCellCtrl.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"
#include "dispatch/CallMessages.h"
#include "host/MessageNumbers.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>

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
    QCoreApplication::processEvents();

    bool ok = false;
    for (TGroupCellCtrl *t : form->GroupCells())
        if (t->GetGroupId() == 11) {
            QTest::mouseClick(t, Qt::LeftButton, {}, t->rect().center());
            ok = true;
        }
    TButtonCtrl *ptt = nullptr;
    for (TButtonCtrl *b : form->VisibleOperateButtons())
        if (b->Caption()->text() == "PTT Call")
            ptt = b;
    if (ok && ptt)
        QTest::mouseClick(ptt, Qt::LeftButton, {}, ptt->rect().center());
    ST_ZOX_DISPATCH_LINE_INFO *l = form->FindLineByName("5000");
    ok = ok && ptt && l->session && l->state == kLineCalling;

    if (ok) {
        CallMessage m;
        m.header = {1, 0, 0x00770001, SessionSenderRef(l->session->GetServiceType(), l->session->GetInstance())};
        m.result = 0;
        const Bytes answer = WriteMessage(kSetupResponseLayout, m);
        form->OnNetCall(QByteArray(reinterpret_cast<const char *>(answer.data()), qsizetype(answer.size())));
        form->OnTalkBurst(WM_TBCP_TAKEN, 0, "Driver 3002");
        ok = l->state == kLineConnected;
    }
    QTimer::singleShot(400, form.get(), [&] {
        ok = form->grab().toImage().save(out + "/main-window-ptt-call.png") && ok;
        app.quit();
    });
    app.exec();
    form.reset();
    NetStop();
    g_pSystemConfig = nullptr;
    std::printf("%s: %s/main-window-ptt-call.png\n", ok ? "written" : "FAILED", qPrintable(out));
    return ok ? 0 : 1;
}
