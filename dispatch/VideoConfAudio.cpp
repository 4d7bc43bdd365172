#include "dispatch/VideoConfAudio.h"

#include <memory>

#include "core/Log.h"
#include "core/NumberUtils.h"

namespace {

const char *const kSetupOperation = "Video conference audio";
const char *const kReleaseOperation = "Release video conference audio";

bool IsChannel(const ST_ZOX_DISPATCH_LINE_INFO &l) { return l.kind == kMediaVoice && l.confAudio != 0; }

} // namespace

ST_ZOX_DISPATCH_LINE_INFO *CVideoConfAudio::FindChannelLine(int32_t skipState) const
{
    for (const auto &l : m_lines.Lines())
        if (l->state != kLineIdle && l->state != skipState && IsChannel(*l) && l->session)
            return l.get();
    return nullptr;
}

bool CVideoConfAudio::HasChannel() const { return FindChannelLine() != nullptr; }

int CVideoConfAudio::Setup(const std::string &ownNumber)
{
    WriteLog("main: setup audio channel for video conference.");
    ST_ZOX_DISPATCH_LINE_INFO *line = m_lines.GetFreeLine(true);
    if (!line)
        return -1;
    auto owned = std::make_unique<CDispatchSession>(m_sessions, kServiceCall, kMediaVoice);
    if (owned->GetInstance() < 0)
        return -2;
    owned->SetLocalParty(line->lineNumber, line->softPhone, 1);
    owned->AddMember(ownNumber);
    if (owned->SendSetupRequest(kServiceCall) != 0)
        return -3;
    CDispatchSession *session = owned.get();
    const std::string peer = MakeDisplayName(ownNumber, "");
    session->SetOperationAndPeer(kSetupOperation, peer);
    m_lines.AddSession(std::move(owned));
    line->session = session;
    CDispatchLineTable::RestartTimer(line->timer.get(), LineActionPeriodMs(kActionCall), true);
    line->action = kActionCall;
    line->operation = kSetupOperation;
    line->peer = peer;
    line->kind = kMediaVoice;
    line->confAudio = 1;
    m_lines.SetLineState(line, kLineCalling);
    for (const auto &l : m_lines.Lines())
        if (l->state == kLineConnected && l->kind == kMediaVideoCall && l->session)
            session->AddVideoShare(l->session);
    return 0;
}

int CVideoConfAudio::Release()
{
    WriteLog("main: release audio channel for video conference.");
    ST_ZOX_DISPATCH_LINE_INFO *line = FindChannelLine(kLineReleasing);
    if (!line)
        return -1;
    CDispatchSession *session = line->session;
    if (session->SendReleaseRequest(kServiceRelease, line->lineNumber) != 0)
        return -2;
    session->SetState(kSessionReleasing);
    CDispatchLineTable::RestartTimer(line->timer.get(), LineActionPeriodMs(kActionRelease), true);
    line->action = kActionRelease;
    line->operation = kReleaseOperation;
    session->SetOperationAndPeer(kReleaseOperation, line->peer);
    m_lines.SetLineState(line, kLineReleasing);
    return 0;
}

int CVideoConfAudio::AddShare(CDispatchSession &call)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = FindChannelLine();
    return line ? line->session->AddVideoShare(&call) : -1;
}

int CVideoConfAudio::RemoveShare(CDispatchSession &call)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = FindChannelLine();
    return line ? line->session->RemoveVideoShare(&call) : -1;
}
