// The start of a video upload asked of a terminal: a free video line, a free tile of the
// wall and a video-push setup request with the terminal's user as the member.
#include "console/ui/Mainfrm.h"

#include "core/Log.h"
#include "core/NumberUtils.h"

int TMainForm::StartVideoUpload(const std::string &number, const std::string &name, int32_t instance)
{
    if (number.empty())
        return -1;
    ST_ZOX_DISPATCH_LINE_INFO *line = GetFreeLine(true);
    if (!line)
        return -2;
    TVideoWndCtrl *tile = GetFreeVideoWindow();
    if (!tile)
        return -3;
    auto session = std::make_unique<CDispatchSession>(DispatchSessionHost(), kServiceCall, kMediaVideoUpload);
    if (instance != -1 && !session->SetInstance(instance))
        return -4;
    if (session->GetInstance() < 0)
        return -5;
    session->SetLocalParty(line->lineNumber, line->softPhone, 0);
    session->AddMember(number);
    session->SetVideoWindow(tile);
    if (session->SendVpSetupRequest(1) != 0) {
        session->SetVideoWindow(nullptr);
        return -4;
    }
    const std::string operation = "Video upload";
    const std::string peer = MakeDisplayName(number, name);
    CDispatchSession *s = session.get();
    s->SetOperationAndPeer(operation, peer);
    DispatchLines().AddSession(std::move(session));
    line->session = s;
    CDispatchLineTable::RestartTimer(line->timer.get(), LineActionPeriodMs(kActionVideoUpload), true);
    line->action = kActionVideoUpload;
    line->operation = operation;
    line->peer = peer;
    line->kind = kMediaVideoUpload;
    SetLineState(line, kLineCalling);
    return 0;
}
