// Draws docs/video-push-alert.png: the video-push alert window with two pending pushes,
// the first with the pointer over its Answer button, grabbed offscreen. A program run
// by hand (README: "Pictures"), not a test:
//
//   build/bin/vp_alert_picture [<file>]      # default: docs/video-push-alert.png
#include "tests/console/ui/UiTestApp.h"

#include "console/ui/VpAlertCtrl.h"
#include "console/ui/VpAlertfrm.h"
#include "dispatch/VideoPushAlerts.h"

#include <cstdio>

namespace {

class NoActions : public IVpAlertActions {
public:
    int StartVideoUpload(const std::string &, const std::string &, int32_t) override { return -1; }
    void SendStopVpNotify(uint32_t, uint32_t, const std::string &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication &app = UiApp();
    (void)app;
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZOX_SOURCE_DIR "/docs/video-push-alert.png");
    TVpAlertForm form(nullptr, std::make_unique<NoActions>());
    TVpAlertCtrl *first = form.AddAlert("3001", "A. Novak (3001)", 12, 0x00990001);
    TVpAlertCtrl *second = form.AddAlert("3027", "Car 14 (3027)", 13, 0x00990002);
    for (int i = 0; i < 21; ++i)
        first->OnTimerOut(); // Decline(09)
    for (int i = 0; i < 4; ++i)
        second->OnTimerOut(); // Decline(26)
    first->OnAcceptMouseEnter();
    form.show();
    QCoreApplication::processEvents();
    const bool ok = form.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", file.toLocal8Bit().constData());
    return ok ? 0 : 1;
}
