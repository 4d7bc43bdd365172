#include "dispatch/DispatchLineTable.h"

#include <algorithm>

#include "core/Log.h"

namespace {

bool IsCallKind(int32_t kind) { return kind == kMediaVoice || kind == kMediaVideoCall || kind == kMediaPttAudio; }
bool IsVideoCallKind(int32_t kind) { return kind == kMediaVideoCall; }
bool IsUploadKind(int32_t kind) { return kind == kMediaVideoUpload; }

} // namespace

int LineActionPeriodMs(int32_t action)
{
    switch (action) {
    case kActionCall:
    case kActionAdHocGroup:
    case kActionConference:
    case kActionPttPrivate:
    case kActionPttGroup:
        return 120000;
    case kActionRelease:
    case kActionPttRelease:
    case kActionReleaseConference:
        return 15000;
    case kActionMonitor:
    case kActionIntrude:
    case kActionForceRelease:
    case kActionAddConferenceMember:
    case kActionPttJoinGroup:
        return 90000;
    case kActionVideoUpload:
    case kActionStopVideoUpload:
        return 3000;
    default:
        return 0;
    }
}

CDispatchLineTable::~CDispatchLineTable()
{
    DropAllSessions();
    m_lines.clear();
}

void CDispatchLineTable::RebuildDispatchLines(const std::vector<ST_ZOX_SYSTEM_LINE> &lines)
{
    for (auto &line : m_lines) {
        line->session = nullptr;
        if (line->timer)
            line->timer->Stop();
        line->timer.reset();
    }
    m_lines.clear();
    for (const ST_ZOX_SYSTEM_LINE &l : lines) {
        if (l.status != 1)
            continue;
        auto entry = std::make_unique<ST_ZOX_DISPATCH_LINE_INFO>();
        entry->lineNumber = l.lineName;
        entry->softPhone = l.softPhone != 0 ? 1 : 0;
        ST_ZOX_DISPATCH_LINE_INFO *p = entry.get();
        entry->timer = m_host.CreateLineTimer([this, p] { OnLineTimerOut(p); });
        m_lines.push_back(std::move(entry));
    }
}

void CDispatchLineTable::RestartTimer(ILineTimer *timer, int periodMs, bool on)
{
    if (!timer)
        return;
    timer->Stop();
    if (on)
        timer->Start(periodMs);
}

void CDispatchLineTable::SetLineAction(ST_ZOX_DISPATCH_LINE_INFO *line, int32_t action, const std::string &operation,
                                       const std::string &peer)
{
    if (!line)
        return;
    line->action = action;
    line->operation = operation;
    line->peer = peer;
    const int period = LineActionPeriodMs(action);
    RestartTimer(line->timer.get(), period, period > 0);
}

void CDispatchLineTable::OnLineTimerOut(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    auto it = std::find_if(m_lines.begin(), m_lines.end(), [&](const auto &l) { return l.get() == line; });
    if (it == m_lines.end())
        return;
    if (line->timer)
        line->timer->Stop();
    if (line->action == kActionNone)
        return;
    if (line->action == kActionAddConferenceMember) {
        if (!line->session || line->session->Members().empty())
            ReleaseLine(line);
        else
            ClearLineAction(line);
        return;
    }
    if (LineActionPeriodMs(line->action) > 0)
        ReleaseLine(line);
    else
        ClearLineAction(line);
}

void CDispatchLineTable::SetLineState(ST_ZOX_DISPATCH_LINE_INFO *line, int32_t state)
{
    if (!line)
        return;
    const int32_t old = line->state;
    if (line->softPhone && old == kLineRinging && state != kLineRinging)
        m_host.StopRingIn();
    if (line->softPhone && old == kLineCalling && state != kLineCalling)
        m_host.StopRingBack();
    if (line->fromProgress)
        m_host.OnCallLineStateChanged(old, state);
    line->state = state;
    if (state == kLineIdle) {
        line->kind = kMediaNone;
        line->confAudio = 0;
        line->fromProgress = 0;
        if (!IsAnyLineInCall())
            m_host.ClearDispatchStatus();
    }
    m_host.UpdateOperateButtons();
}

void CDispatchLineTable::ClearLineAction(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line)
        return;
    if (line->timer)
        line->timer->Stop();
    line->action = kActionNone;
    line->operation.clear();
    line->peer.clear();
}

void CDispatchLineTable::ReleaseLine(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line)
        return;
    ClearLineAction(line);
    if (line->session) {
        DestroySession(line->session);
        line->session = nullptr;
    }
    SetLineState(line, kLineIdle);
}

// ------------------------------------------------------------------ sessions

void CDispatchLineTable::AddSession(std::unique_ptr<CDispatchSession> session)
{
    if (session)
        m_sessions.push_back(std::move(session));
}

CDispatchSession *CDispatchLineTable::FindSessionByInstance(int32_t instance) const
{
    for (const auto &s : m_sessions)
        if (s->IsInstance(instance))
            return s.get();
    return nullptr;
}

void CDispatchLineTable::DestroySession(CDispatchSession *session)
{
    if (!session)
        return;
    std::unique_ptr<CDispatchSession> owned;
    auto it = std::find_if(m_sessions.begin(), m_sessions.end(), [&](const auto &s) { return s.get() == session; });
    if (it != m_sessions.end()) {
        owned = std::move(*it);
        m_sessions.erase(it);
    }
    for (auto &line : m_lines)
        if (line->session == session)
            line->session = nullptr;
    const bool wasVideoCall = session->GetMediaKind() == kMediaVideoCall;
    session->Close();
    owned.reset(); // only a session of the list is deleted here
    if (!wasVideoCall)
        return;
    const bool videoCallLeft = std::any_of(m_lines.begin(), m_lines.end(), [](const auto &l) {
        return l->state != kLineIdle && l->state != kLineReleasing && l->kind == kMediaVideoCall && l->session;
    });
    if (!videoCallLeft)
        m_host.ReleaseVideoConfAudio();
}

void CDispatchLineTable::DropAllSessions()
{
    for (auto &line : m_lines)
        line->session = nullptr;
    // Deleted one by one: a session's close may look at the list.
    while (!m_sessions.empty()) {
        std::unique_ptr<CDispatchSession> s = std::move(m_sessions.back());
        m_sessions.pop_back();
    }
}

// ------------------------------------------------------------------ lookups

bool CDispatchLineTable::IsAnyLineInCall() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const auto &l) { return l->IsBusy() && IsCallKind(l->kind); });
}

int CDispatchLineTable::CountFreeLines() const
{
    return int(std::count_if(m_lines.begin(), m_lines.end(), [](const auto &l) { return l->IsFree(); }));
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::GetFreeLine(bool video) const
{
    if (video ? !m_host.IsVideoEnabled() : IsAnyLineInCall())
        return nullptr;
    for (const auto &l : m_lines)
        if (l->IsFree())
            return l.get();
    return nullptr;
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindLineByName(const std::string &number) const
{
    for (const auto &l : m_lines)
        if (l->lineNumber == number)
            return l.get();
    return nullptr;
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindLineByKey(int32_t kind) const
{
    for (const auto &l : m_lines)
        if (l->IsBusy() && l->kind == kind)
            return l.get();
    return nullptr;
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindLineBySession(const CDispatchSession *session) const
{
    if (!session)
        return nullptr;
    for (const auto &l : m_lines)
        if (l->session == session)
            return l.get();
    return nullptr;
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindBusyWithMember(const std::string &number,
                                                                  bool (*kindMatches)(int32_t)) const
{
    for (const auto &l : m_lines)
        if (l->IsBusy() && kindMatches(l->kind) && l->session && l->session->HasMember(number))
            return l.get();
    return nullptr;
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindLineBySessionUser(const std::string &number) const
{
    return FindBusyWithMember(number, IsCallKind);
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindVideoCallLine(const std::string &number) const
{
    return FindBusyWithMember(number, IsVideoCallKind);
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindVideoUploadLine(const std::string &number) const
{
    return FindBusyWithMember(number, IsUploadKind);
}

ST_ZOX_DISPATCH_LINE_INFO *CDispatchLineTable::FindActiveGroupLine() const
{
    for (const auto &l : m_lines)
        if (l->IsBusy() && l->kind == kMediaVoice && l->session &&
            l->session->GetServiceType() == kServiceConference)
            return l.get();
    return nullptr;
}

void CDispatchLineTable::CollectVideoCallSessions(std::vector<CDispatchSession *> &out) const
{
    out.clear();
    for (const auto &l : m_lines)
        if (l->state == kLineConnected && l->kind == kMediaVideoCall && l->session)
            out.push_back(l->session);
}

// ------------------------------------------------------------------ membership

void CDispatchLineTable::RemoveUserFromLine(const std::string &number, uint8_t, const std::string &callRef, uint32_t)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = FindLineByName(number);
    if (!line || !line->softPhone || !line->session)
        return;
    const int removed = line->session->CheckMembersOnline(callRef);
    if (removed > 0 && line->state == kLineConnected && line->session->Members().empty() &&
        line->action == kActionNone)
        ReleaseLine(line);
}

void CDispatchLineTable::OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = FindLineBySessionUser(user.userNumber);
    if (!line) {
        WriteLog("main: user not match found line session!");
    } else {
        const bool connected = line->state == kLineConnected;
        const bool inCall = (user.callState & 0xFF) == 3 || ((user.callState >> 8) & 0xFF) == 1;
        if ((user.callState == 0 && connected) ||
            (inCall && connected && !m_host.IsLineUser(line->lineNumber, user.callRef)))
            RemoveLineMember(line, user.userNumber);
    }
    m_host.UpdateOperateButtons();
}

void CDispatchLineTable::RemoveLineMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number)
{
    if (!line || !line->session)
        return;
    line->session->RemoveMember(number);
    if (line->session->GetState() == kSessionOpen && line->session->Members().empty() && line->action == kActionNone)
        ReleaseLine(line);
}
