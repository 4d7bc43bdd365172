#include "dispatch/IncomingSignalling.h"

#include "core/Log.h"
#include "core/NumberUtils.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionlessMessages.h"

using namespace zox::call;

namespace {

// The operation text of a conference's add-member request.
const char *const kAddMemberOperation = "语音调度: 调度台 添加会议成员";

uint32_t Be32(const uint8_t *p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

DispatchMessageHeader Header(const uint8_t *data, std::size_t length)
{
    DispatchMessageHeader h;
    DispatchMessageHeader::Read(data, length, h);
    return h;
}

// The session an answer of the call-signalling family is about.
int32_t CallInstance(const DispatchMessageHeader &h) { return int32_t(h.receiverRef & 0xFFFF); }
// The session an answer of the video-push family is about.
int32_t PushInstance(const DispatchMessageHeader &h) { return int32_t(h.receiverRef); }

bool IsSetupAction(int32_t a)
{
    return a == kActionCall || a == kActionAdHocGroup || a == kActionConference || a == kActionPttPrivate ||
           a == kActionPttGroup;
}

bool IsJoinAction(int32_t a)
{
    return a == kActionMonitor || a == kActionIntrude || a == kActionForceRelease || a == kActionPttJoinGroup;
}

ST_ZOX_DISPATCH_LINE_INFO *FindLine(CDispatchLineTable &table, bool (*match)(const ST_ZOX_DISPATCH_LINE_INFO &),
                                    int32_t instance)
{
    for (const auto &line : table.Lines())
        if (match(*line) && line->session && line->session->IsInstance(instance))
            return line.get();
    return nullptr;
}

bool IsUploadLine(const ST_ZOX_DISPATCH_LINE_INFO &l) { return l.IsBusy() && l.kind == kMediaVideoUpload; }

} // namespace

bool SpeakerPaneText(uint32_t message, uintptr_t wParam, const std::string &speaker, std::string &text)
{
    switch (message) {
    case WM_TBCP_IDLE:
        text = wParam != 0 ? "Monitoring..." : "Press button to speak";
        return true;
    case WM_TBCP_TAKEN:
        text = speaker.empty() ? "Busy" : "Speaker: " + speaker;
        return true;
    case WM_TBCP_GRANTED:
        text = "Please speak";
        return true;
    case WM_TBCP_DENY:
        text = "Please try again later";
        return true;
    case WM_TBCP_RELEASE:
        text.clear();
        return true;
    default:
        return false;
    }
}

void CIncomingSignalling::OnTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker)
{
    std::string text;
    if (!SpeakerPaneText(message, wParam, speaker, text))
        return;
    if (message == WM_TBCP_IDLE || message == WM_TBCP_RELEASE)
        m_host.MapUnsetSpeaker();
    else if (message == WM_TBCP_TAKEN && !speaker.empty())
        m_host.MapSetSpeaker(speaker);
    m_host.SetSpeakerText(text);
}

int CIncomingSignalling::Send(const std::vector<uint8_t> &bytes)
{
    if (bytes.empty())
        return -1;
    return m_host.SessionHost().SendUdp(bytes.data(), bytes.size());
}

void CIncomingSignalling::OnNetCall(const uint8_t *data, std::size_t length)
{
    if (!data || length < 8)
        return;
    switch (Be32(data + 4)) {
    case kSetupRequest:
        return OnSetupRequest(data, length);
    case kSetupResponse:
        return OnSetupResponse(data, length);
    case kModifyResponse:
        return OnModifyResponse(data, length);
    case kReleaseRequest:
        return OnReleaseRequest(data, length);
    case kReleaseResponse:
        return OnReleaseResponse(data, length);
    case kJoinResponse:
        return OnJoinResponse(data, length);
    default:
        return;
    }
}

void CIncomingSignalling::OnNetVideoPush(const uint8_t *data, std::size_t length)
{
    if (!data || length < 8)
        return;
    switch (Be32(data + 4)) {
    case kVpNotify:
        return OnVpNotifyRequest(data, length);
    case kVpSetupResponse:
        return OnVpSetupResponse(data, length);
    case kVpReleaseRequest:
        return OnVpReleaseRequest(data, length);
    case kVpReleaseResponse:
        return OnVpReleaseResponse(data, length);
    default:
        return;
    }
}

void CIncomingSignalling::RefuseSetup(const DispatchMessageHeader &request, uint8_t result)
{
    if (Send(BuildSetupRefusal(m_host.SessionHost().OwnUserId(), request, result)) > 0)
        WriteLog("main: send setup response, result(%d).", int(result));
    else
        WriteLog("main: failed to send setup response, result(%d)!", int(result));
}

void CIncomingSignalling::ReleaseOrDestroy(CDispatchSession *session)
{
    CDispatchLineTable &lines = m_host.Lines();
    if (ST_ZOX_DISPATCH_LINE_INFO *line = lines.FindLineBySession(session)) {
        lines.ReleaseLine(line);
    } else {
        lines.DestroySession(session);
        m_host.UpdateOperateButtons();
    }
}

// ------------------------------------------------------------------ incoming setup

void CIncomingSignalling::OnSetupRequest(const uint8_t *data, std::size_t length)
{
    if (length < kSetupRequestLayout.length) {
        WriteLog("main: setup request received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader request = Header(data, length);
    if (m_host.IsCallAlertVisible()) {
        WriteLog("main: setup request received, but have a pending call now.");
        return RefuseSetup(request, 5);
    }
    CallMessage m;
    ReadMessage(kSetupRequestLayout, data, length, m); // the fixed part is there
    std::string lineNumber;
    if (DecodeBcdDigits(m.lineNumber.data(), kNumberSize, lineNumber) != 0 || lineNumber.empty()) {
        WriteLog("main: setup request received, but line number failed!");
        return RefuseSetup(request, 2);
    }
    CDispatchLineTable &lines = m_host.Lines();
    ST_ZOX_DISPATCH_LINE_INFO *line = lines.FindLineByName(lineNumber);
    if (!line) {
        WriteLog("main: setup request received, but no line match!");
        return RefuseSetup(request, 2);
    }
    if (line->state != kLineIdle || line->action != kActionNone) {
        WriteLog("main: invalid line state(%d) or action(%d)!", int(line->state), int(line->action));
        return RefuseSetup(request, 5);
    }
    const uint32_t type = m.serviceType;
    int32_t kind;
    if (type == kServiceCall || type == kServiceConference || type == kServiceAdHocGroup) {
        kind = (m.mediaCode == 1 || m.mediaCode == 2) ? kMediaVideoCall : kMediaVoice;
    } else if (type == kServiceIncomingGroup) {
        kind = kMediaPttAudio;
    } else {
        WriteLog("main: setup request received, but incorrect service type(%u)!", type);
        return RefuseSetup(request, 2);
    }
    if (kind != kMediaVideoCall && lines.IsAnyLineInCall()) {
        WriteLog("main: setup request received, but now is busy.");
        return RefuseSetup(request, 5);
    }
    auto owned = std::make_unique<CDispatchSession>(m_host.SessionHost(), type, uint32_t(kind));
    owned->SetLocalParty(line->lineNumber, line->softPhone, 0);
    if (owned->GetInstance() < 0 || owned->OnSetupRequest(data, length) != 0) {
        owned.reset();
        return RefuseSetup(request, 2);
    }

    WriteLog("main: setup request received.");
    CDispatchSession *session = owned.get();
    const uint8_t typeByte = uint8_t(type & 0xFF);
    session->SendSetupResponse(typeByte, 1);
    session->SetState(kSessionAlerting);
    lines.AddSession(std::move(owned));
    line->session = session;
    line->kind = kind;
    line->peer = session->GetFirstMember();
    lines.SetLineState(line, kLineRinging);
    m_host.StartRingIn();

    const int32_t instance = session->GetInstance();
    const std::string caller = session->GetFirstMember();
    const int result = m_host.ShowCallAlert(instance, caller, kind);

    // The alert ran a message loop: a release may have ended the call meanwhile and
    // destroyed its session, so the line and the session are found again.
    line = lines.FindLineByName(lineNumber);
    if (!line || line->state != kLineRinging || !line->session || !line->session->IsInstance(instance) ||
        line->session->GetState() != kSessionAlerting) {
        WriteLog("main: the incoming call ended while it was alerting.");
        return;
    }
    session = line->session;
    if (result == 1 && AnswerCall(line) == 0) {
        if (kind == kMediaVideoCall) {
            bool confAudio = false;
            for (const auto &l : lines.Lines())
                confAudio = confAudio || (l->IsBusy() && l->kind == kMediaVoice && l->confAudio && l->session);
            if (!confAudio)
                m_host.SetupVideoConfAudio();
        }
        return;
    }
    m_host.StopRingIn();
    session->SendSetupResponse(typeByte, 2);
    lines.ReleaseLine(line);
}

int CIncomingSignalling::AnswerCall(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line || !line->session)
        return -1;
    CDispatchSession *session = line->session;
    if (session->GetState() != kSessionAlerting)
        return -2;
    m_host.StopRingIn();
    if (line->kind == kMediaVideoCall) {
        IDispatchTile *tile = m_host.GetFreeVideoWindow();
        if (!tile)
            return -3;
        session->SetVideoWindow(tile);
    }
    if (session->Open() != 0)
        return -4;
    if (session->SendSetupResponse(uint8_t(session->GetServiceType() & 0xFF), 0) != 0) {
        session->Close();
        return -5;
    }
    m_host.Lines().SetLineState(line, kLineConnected);
    m_host.ShowCallStatus(line->kind, "User\xEF\xBC\x9A" + line->peer);
    return 0;
}

// ------------------------------------------------------------------ answers to own requests

void CIncomingSignalling::OnSetupResponse(const uint8_t *data, std::size_t length)
{
    if (length < kSetupResponseLayout.length) {
        WriteLog("main: setup response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    ST_ZOX_DISPATCH_LINE_INFO *line =
        FindLine(lines, [](const ST_ZOX_DISPATCH_LINE_INFO &l) { return IsSetupAction(l.action); }, CallInstance(h));
    if (!line) {
        WriteLog("main: setup response received, but no line match!");
        return;
    }
    if (data[16] == 0) {
        const uint64_t need = 196 + 8 * uint64_t(Be32(data + 124));
        if (length < need) {
            WriteLog("main: setup response received, but incorrect length(%u)!", unsigned(length));
            return;
        }
    }
    CDispatchSession *session = line->session;
    session->OnSetupResponse(data, length);
    if (session->GetState() == kSessionIdle) {
        lines.ReleaseLine(line);
    } else if (session->GetState() == kSessionOpen) {
        lines.ClearLineAction(line);
        lines.SetLineState(line, kLineConnected);
        if (session->GetMediaKind() == kMediaVideoCall) {
            bool confAudio = false;
            for (const auto &l : lines.Lines())
                confAudio = confAudio || (l->IsBusy() && l->kind == kMediaVoice && l->confAudio && l->session);
            if (!confAudio)
                m_host.SetupVideoConfAudio();
        }
    }
}

void CIncomingSignalling::OnJoinResponse(const uint8_t *data, std::size_t length)
{
    if (length < kJoinResponseLayout.length) {
        WriteLog("main: join response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    WriteLog("main: join response received, Type(%u)!", Be32(data + 20));
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    ST_ZOX_DISPATCH_LINE_INFO *line =
        FindLine(lines, [](const ST_ZOX_DISPATCH_LINE_INFO &l) { return IsJoinAction(l.action); }, CallInstance(h));
    if (!line) {
        WriteLog("main: join response received, but no session match(%#x)!", h.receiverRef);
        return;
    }
    if (line->session->OnJoinResponse(data, length) < 0)
        return; // the line's time limit releases it
    if (line->session->GetState() == kSessionOpen) {
        lines.ClearLineAction(line);
        lines.SetLineState(line, kLineConnected);
    } else {
        lines.ReleaseLine(line);
        m_host.UpdateOperateButtons();
    }
}

void CIncomingSignalling::OnModifyResponse(const uint8_t *data, std::size_t length)
{
    if (length < kModifyResponseLayout.length) {
        WriteLog("main: modify response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    CDispatchSession *session = lines.FindSessionByInstance(CallInstance(h));
    if (!session) {
        WriteLog("main: modify response received, but no session match(%#x)!", h.receiverRef);
        return;
    }
    ST_ZOX_DISPATCH_LINE_INFO *line = lines.FindLineBySession(session);
    std::string number, name;
    SplitDisplayName(session->GetPeerName(), number, name);
    const bool addMember = session->GetOperationText() == kAddMemberOperation;
    const int result = data[16];
    if (result != 0) {
        WriteLog("main: modify response received, but result(%d) failed!", result);
        if (addMember && session->Members().empty()) {
            ReleaseOrDestroy(session);
        } else {
            lines.ClearLineAction(line);
            m_host.UpdateOperateButtons();
        }
        return;
    }
    WriteLog("main: modify response received, result success.");
    if (!addMember)
        return ReleaseOrDestroy(session);
    session->AddMember(number);
    if (line)
        lines.SetLineState(line, line->state);
    lines.ClearLineAction(line);
    m_host.UpdateOperateButtons();
}

// ------------------------------------------------------------------ releases

void CIncomingSignalling::OnReleaseRequest(const uint8_t *data, std::size_t length)
{
    if (length < kReleaseRequestLayout.length) {
        WriteLog("main: release request received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader h = Header(data, length);
    CallMessage m;
    ReadMessage(kReleaseRequestLayout, data, length, m);
    CDispatchLineTable &lines = m_host.Lines();
    CDispatchSession *session = lines.FindSessionByInstance(CallInstance(h));
    ST_ZOX_DISPATCH_LINE_INFO *line = session ? lines.FindLineBySession(session) : nullptr;
    if (!session) {
        std::string lineNumber;
        if (DecodeBcdDigits(m.lineNumber.data(), kNumberSize, lineNumber) == 0 && !lineNumber.empty())
            line = lines.FindLineByName(lineNumber);
        session = line ? line->session : nullptr;
    }
    if (!session) {
        WriteLog("main: release request received, but no session match(%#x)!", h.receiverRef);
        if (Send(BuildGenericReleaseResponse(m_host.SessionHost().OwnUserId(), h, m.serviceType)) > 0)
            WriteLog("main: send release response, result(%d).", 0);
        else
            WriteLog("main: failed to send release response, result(%d)!", 0);
        return;
    }
    WriteLog("main: release request received.");
    const int32_t instance = session->GetInstance();
    if (line && line->state == kLineRinging) {
        m_host.StopRingIn();
        if (m_host.IsCallAlertVisible() && m_host.CallAlertId() == instance)
            m_host.DismissCallAlert();
    }
    const bool confAudio = session->HasVideoFlag();
    session->OnReleaseRequest(data, length);
    if (confAudio) {
        m_host.HangupVideoCalls();
        session = lines.FindSessionByInstance(instance);
        if (!session)
            return;
    }
    ReleaseOrDestroy(session);
}

void CIncomingSignalling::OnReleaseResponse(const uint8_t *data, std::size_t length)
{
    if (length < kReleaseResponseLayout.length) {
        WriteLog("main: release response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    WriteLog("main: release response received, result(%d) and type(%u)!", int(data[16]), Be32(data + 20));
    const DispatchMessageHeader h = Header(data, length);
    CDispatchSession *session = nullptr;
    for (const auto &s : m_host.Lines().Sessions())
        if (s->IsInstance(CallInstance(h)) && s->GetState() == kSessionReleasing) {
            session = s.get();
            break;
        }
    if (!session) {
        WriteLog("main: release response received, but no session match(%#x)!", h.receiverRef);
        return;
    }
    session->OnReleaseResponse(data, length);
    ReleaseOrDestroy(session);
}

// ------------------------------------------------------------------ video push

void CIncomingSignalling::SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number)
{
    if (Send(BuildStopVpNotify(m_host.SessionHost().OwnUserId(), sourceId, destinationId, number)) > 0)
        WriteLog("main: send stop vp notify request");
    else
        WriteLog("main: failed to send stop vp notify request!");
}

void CIncomingSignalling::OnVpNotifyRequest(const uint8_t *data, std::size_t length)
{
    if (length < kVpNotifyInLayout.length) {
        WriteLog("main: vp notify request received, but incorrect length(%u) !", unsigned(length));
        return;
    }
    WriteLog("main: vp notify request received");
    const DispatchMessageHeader h = Header(data, length);
    IDispatchSessionHost &sessions = m_host.SessionHost();
    if (Send(BuildVpNotifyResponse(sessions.OwnUserId(), h)) > 0)
        WriteLog("main: send vp notify response");
    else
        WriteLog("main: failed to send vp notify response!");
    CallMessage m;
    ReadMessage(kVpNotifyInLayout, data, length, m);
    const uint32_t kind = m.serviceType;
    const uint32_t sourceId = h.senderRef;
    const uint32_t destinationId = m.destinationId;
    const bool push = kind == 1 || kind == 17;
    std::string number;
    ST_ZOX_SYSTEM_USER user;
    bool refused = false;
    if (DecodeBcdDigits(m.target.data(), kNumberSize, number) != 0 || number.empty()) {
        WriteLog("main: vp notify request received, but convert user number failed!");
        refused = true;
    } else if (!sessions.GetSystemUser(number, user)) {
        WriteLog("main: vp notify request received, but query user info failed!");
        refused = true;
    }
    if (push && !refused) {
        if (!m_host.IsVideoEnabled()) {
            WriteLog("main: video service disabled, video push download failed!");
            refused = true;
        } else if (m_host.Lines().FindVideoUploadLine(number)) {
            WriteLog("main: user(%s) is already in video upload session!", number.c_str());
            return;
        } else if (m_host.IsVpAlertShown(number)) {
            WriteLog("main: ignore duplicated user(%s) video upload request!", number.c_str());
            return;
        } else if (m_host.VpAlertCount() >= m_host.Lines().CountFreeLines()) {
            refused = true;
        } else {
            m_host.AddVpAlert(number, MakeDisplayName(number, user.displayName), sourceId, destinationId);
            m_host.PlayCompleteSound();
        }
    } else if (kind == 7 && !number.empty()) {
        m_host.RemoveVpAlert(number);
    }
    if (push && refused)
        SendStopVpNotify(sourceId, destinationId, number);
}

void CIncomingSignalling::OnVpSetupResponse(const uint8_t *data, std::size_t length)
{
    if (length < kVpSetupResponseLayout.length) {
        WriteLog("main: vp setup response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    ST_ZOX_DISPATCH_LINE_INFO *line = FindLine(
        lines, [](const ST_ZOX_DISPATCH_LINE_INFO &l) { return l.action == kActionVideoUpload; }, PushInstance(h));
    if (!line) {
        WriteLog("main: vp setup response received, but no line match!");
        return;
    }
    line->session->OnVpSetupResponse(data, length);
    if (line->session->GetState() == kSessionIdle) {
        lines.ReleaseLine(line);
    } else if (line->session->GetState() == kSessionOpen) {
        lines.ClearLineAction(line);
        lines.SetLineState(line, kLineConnected);
    }
}

void CIncomingSignalling::OnVpReleaseRequest(const uint8_t *data, std::size_t length)
{
    if (length < kVpReleaseRequestLayout.length) {
        WriteLog("main: vp release request received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    if (ST_ZOX_DISPATCH_LINE_INFO *line = FindLine(lines, IsUploadLine, PushInstance(h))) {
        WriteLog("main: vp release request received.");
        line->session->OnVpReleaseRequest(data, length);
        lines.ReleaseLine(line);
    } else {
        WriteLog("main: vp release request received, but no line match!");
    }
    if (Send(BuildVpReleaseResponse(m_host.SessionHost().OwnUserId(), h)) > 0)
        WriteLog("main: send vp release response, result(%d).", 0);
    else
        WriteLog("main: failed to send vp release response, result(%d)!", 0);
}

void CIncomingSignalling::OnVpReleaseResponse(const uint8_t *data, std::size_t length)
{
    if (length < kVpReleaseResponseLayout.length) {
        WriteLog("main: vp release response received, but incorrect length(%u)!", unsigned(length));
        return;
    }
    WriteLog("main: vp release response received, result(%d).", int(data[16]));
    const DispatchMessageHeader h = Header(data, length);
    CDispatchLineTable &lines = m_host.Lines();
    ST_ZOX_DISPATCH_LINE_INFO *line = FindLine(lines, IsUploadLine, PushInstance(h));
    if (!line) {
        WriteLog("main: vp release response received, but no line match!");
        return;
    }
    line->session->OnVpReleaseResponse(data, length);
    lines.ReleaseLine(line);
}
