#include "dispatch/CallOperations.h"

#include <algorithm>
#include <memory>

#include "core/EditionText.h"
#include "core/Log.h"
#include "core/NumberUtils.h"
#include "dispatch/IncomingSignalling.h"
#include "dispatch/SessionlessMessages.h"

using namespace zox::call;

namespace {

constexpr int kGroupTypeServer = 1;
constexpr uint32_t kPttCallStateMask = 0xFF00;
constexpr uint32_t kPttCallStateOn = 0x0100;
constexpr uint32_t kUploadingState = 0x10000001;

// Operation texts of the lines (free labels, shown nowhere but in the log).
constexpr const char *kOpGroupPtt = "PTT: group call";
constexpr const char *kOpJoinPtt = "PTT: join group call";
constexpr const char *kOpUserPtt = "PTT: private call";
constexpr const char *kOpVoiceConf = "Voice: conference";
constexpr const char *kOpVoiceGroup = "Voice: group call";
constexpr const char *kOpVoiceCall = "Voice: call";
constexpr const char *kOpVideoCall = "Video: call";
constexpr const char *kOpIntrude = "Voice: intrusion";
constexpr const char *kOpForceRelease = "Voice: forced release";
constexpr const char *kOpMonitor = "Voice: monitoring";
constexpr const char *kOpVideoUpload = "Video: upload";
constexpr const char *kOpHangup = "Release: hang-up";
constexpr const char *kOpPttRelease = "Release: PTT";
constexpr const char *kOpConfRelease = "Release: conference";
constexpr const char *kOpStopUpload = "Release: video upload";

std::string Text(EN_ZOX_TEXT id) { return ZoxText(id); }

std::string JoinNumbers(const std::vector<std::string> &numbers)
{
    std::string out;
    for (const std::string &n : numbers) {
        if (!out.empty())
            out += ",";
        out += n;
    }
    return out;
}

bool IsPttUser(const ST_ZOX_SYSTEM_USER &user) { return (user.callState & kPttCallStateMask) == kPttCallStateOn; }
uint8_t VideoCallByte(uint32_t callState) { return uint8_t((callState >> 16) & 0xFF); }
bool IsCallKind(int32_t kind) { return kind == kMediaVoice || kind == kMediaVideoCall || kind == kMediaPttAudio; }
bool IsActive(const ST_ZOX_DISPATCH_LINE_INFO &line)
{
    return line.IsBusy() && line.state != kLineReleasing;
}

} // namespace

// Everything a session operation needs to start a call on a line.
struct CCallOperations::SessionStart {
    enum class Request { Setup, Join, VpSetup };
    uint32_t type = 0;
    uint32_t kind = 0;
    std::vector<std::string> members;
    bool group = false;
    uint32_t groupId = 0;
    std::string groupName;
    IDispatchTile *tile = nullptr;
    Request request = Request::Setup;
    std::string joinTarget;
    int32_t instance = -1;
    int32_t action = kActionNone;
    int32_t state = kLineCalling;
    std::string operation;
    std::string peer;
    bool showStatus = true;
    std::string object;
    std::string speaker;
};

bool CCallOperations::IsGroupSelected() const
{
    const ST_ZOX_CURRENT_SELECTION &s = m_host.Selection();
    return s.kind == kSelectGroup && s.groupType == kGroupTypeServer && s.groupId != -1;
}

bool CCallOperations::IsUserSelected() const
{
    const ST_ZOX_CURRENT_SELECTION &s = m_host.Selection();
    return s.kind == kSelectUser && !s.user.userNumber.empty();
}

// ------------------------------------------------------------------ the common road

int CCallOperations::StartSession(ST_ZOX_DISPATCH_LINE_INFO *line, const SessionStart &start)
{
    if (!line)
        return -2;
    auto session = std::make_unique<CDispatchSession>(m_host.SessionHost(), start.type, start.kind);
    if (start.instance != -1) {
        if (!session->SetInstance(start.instance)) {
            WriteLog("main: instance(%d) of the session refused!", int(start.instance));
            return -4;
        }
    } else if (session->GetInstance() <= 0) {
        return -5;
    }
    session->SetLocalParty(line->lineNumber, line->softPhone, 0);
    for (const std::string &m : start.members)
        session->AddMember(m);
    if (start.group)
        session->SetPeerGroup(start.groupId, start.groupName);
    session->SetVideoWindow(start.tile);

    int sent = -1;
    switch (start.request) {
    case SessionStart::Request::Setup:
        sent = session->SendSetupRequest(start.type);
        break;
    case SessionStart::Request::Join:
        sent = session->SendJoinRequest(start.type, start.joinTarget);
        break;
    case SessionStart::Request::VpSetup:
        sent = session->SendVpSetupRequest(start.type);
        break;
    }
    if (sent != 0)
        return -4; // the session (and its media) goes with the unique pointer

    session->SetOperationAndPeer(start.operation, start.peer);
    CDispatchSession *s = session.get();
    CDispatchLineTable &lines = m_host.Lines();
    lines.AddSession(std::move(session));
    line->session = s;
    lines.SetLineAction(line, start.action, start.operation, start.peer);
    line->kind = int32_t(start.kind);
    lines.SetLineState(line, start.state);
    if (start.showStatus)
        m_host.ShowDispatchStatus(int(start.kind), start.object, start.speaker);
    m_lastStarted = line;
    return 0;
}

// ------------------------------------------------------------------ group operations

int CCallOperations::StartGroupPttCall()
{
    ST_ZOX_SYSTEM_GROUP group;
    if (!IsGroupSelected() || !m_host.GetSystemGroup(uint32_t(m_host.Selection().groupId), group))
        return -1;
    SessionStart s;
    s.type = kServicePttGroup;
    s.kind = kMediaPttAudio;
    s.group = true;
    s.groupId = group.groupId;
    s.groupName = group.groupName;
    s.action = kActionPttGroup;
    s.operation = kOpGroupPtt;
    s.peer = "Group_" + std::to_string(group.groupId);
    s.object = Text(EN_ZOX_TEXT::StatusGroupPrefix) + group.groupName;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::JoinGroupPttCall()
{
    ST_ZOX_SYSTEM_GROUP group;
    if (!IsGroupSelected() || !m_host.GetSystemGroup(uint32_t(m_host.Selection().groupId), group))
        return -1;
    SessionStart s;
    s.type = kServicePttJoinGroup;
    s.kind = kMediaPttAudio;
    s.group = true;
    s.groupId = group.groupId;
    s.groupName = group.groupName;
    s.request = SessionStart::Request::Join;
    s.action = kActionPttJoinGroup;
    s.state = kLineJoining;
    s.operation = kOpJoinPtt;
    s.peer = "Group_" + std::to_string(group.groupId);
    s.object = Text(EN_ZOX_TEXT::StatusGroupPrefix) + group.groupName;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartGroupVoiceConference()
{
    ST_ZOX_SYSTEM_GROUP group;
    if (!IsGroupSelected() || !m_host.GetSystemGroup(uint32_t(m_host.Selection().groupId), group))
        return -1;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_host.GetGroupAvailableMembers(group.groupId, members) != 0 || members.empty())
        return -1;
    SessionStart s;
    s.type = kServiceConference;
    s.kind = kMediaVoice;
    s.group = true;
    s.groupId = group.groupId;
    s.groupName = group.groupName;
    for (const ST_ZOX_SYSTEM_USER &u : members)
        s.members.push_back(u.userNumber);
    s.action = kActionConference;
    s.operation = kOpVoiceConf;
    s.peer = "Group_" + std::to_string(group.groupId);
    s.object = Text(EN_ZOX_TEXT::StatusGroupPrefix) + group.groupName;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

// ------------------------------------------------------------------ user operations

int CCallOperations::StartSelectedUserPttCall()
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    SessionStart s;
    s.type = kServicePttPrivate;
    s.kind = kMediaPttAudio;
    s.members = {u.userNumber};
    s.action = kActionPttPrivate;
    s.operation = kOpUserPtt;
    s.peer = MakeDisplayName(u.userNumber, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + s.peer;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartSelectedUserVoiceCall()
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    SessionStart s;
    s.type = kServiceCall;
    s.kind = kMediaVoice;
    s.members = {u.userNumber};
    s.action = kActionCall;
    s.operation = kOpVoiceCall;
    s.peer = MakeDisplayName(u.userNumber, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + u.displayName;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartSelectedUserVideoCall()
{
    if (!IsUserSelected())
        return -1;
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().GetFreeLine(true);
    if (!line)
        return -2;
    IDispatchTile *tile = m_host.GetFreeVideoWindow();
    if (!tile)
        return -3;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    SessionStart s;
    s.type = kServiceCall;
    s.kind = kMediaVideoCall;
    s.members = {u.userNumber};
    s.tile = tile;
    s.action = kActionCall;
    s.operation = kOpVideoCall;
    s.peer = MakeDisplayName(u.userNumber, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + u.displayName;
    return StartSession(line, s);
}

int CCallOperations::BargeIntoSelectedUser(Barge how)
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    const bool ptt = IsPttUser(u);
    SessionStart s;
    s.kind = ptt ? kMediaPttAudio : kMediaVoice;
    switch (how) {
    case Barge::Intrude:
        s.type = ptt ? kServicePttIntrude : kServiceIntrude;
        s.action = kActionIntrude;
        s.operation = kOpIntrude;
        s.speaker = Text(EN_ZOX_TEXT::StatusInterruptCall);
        break;
    case Barge::ForceRelease:
        s.type = ptt ? kServicePttForceRelease : kServiceForceRelease;
        s.action = kActionForceRelease;
        s.operation = kOpForceRelease;
        s.speaker = Text(EN_ZOX_TEXT::StatusForcedRelease);
        break;
    case Barge::Monitor:
        s.type = ptt ? kServicePttMonitor : kServiceMonitor;
        s.action = kActionMonitor;
        s.operation = kOpMonitor;
        s.speaker = Text(EN_ZOX_TEXT::StatusMonitoring);
        break;
    }
    s.members = {u.userNumber};
    s.request = SessionStart::Request::Join;
    s.joinTarget = u.userNumber;
    s.state = kLineJoining;
    s.peer = MakeDisplayName(u.userNumber, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefixWide) + s.peer;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::IntrudeSelectedUser() { return BargeIntoSelectedUser(Barge::Intrude); }
int CCallOperations::ForceReleaseSelectedUser() { return BargeIntoSelectedUser(Barge::ForceRelease); }
int CCallOperations::MonitorSelectedUser() { return BargeIntoSelectedUser(Barge::Monitor); }

int CCallOperations::StartVideoUpload(const std::string &number, const std::string &name, int32_t instance)
{
    if (number.empty())
        return kUploadNoNumber;
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().GetFreeLine(true);
    if (!line)
        return kUploadNoLine;
    IDispatchTile *tile = m_host.GetFreeVideoWindow();
    if (!tile)
        return kUploadNoTile;
    SessionStart s;
    s.type = kServiceCall;
    s.kind = kMediaVideoUpload;
    s.members = {number};
    s.tile = tile;
    s.instance = instance;
    s.request = SessionStart::Request::VpSetup;
    s.action = kActionVideoUpload;
    s.operation = kOpVideoUpload;
    s.peer = MakeDisplayName(number, name);
    s.showStatus = false;
    const int r = StartSession(line, s);
    if (r == -5)
        return kUploadNoInstance;
    return r == 0 ? kUploadStarted : kUploadRefused;
}

// ------------------------------------------------------------------ releases

int CCallOperations::ReleaseLineSession(ST_ZOX_DISPATCH_LINE_INFO *line, uint32_t type, int32_t action,
                                        const std::string &operation)
{
    // A line already releasing has sent its release and closed its media.
    if (!line || !line->session || line->state == kLineReleasing)
        return -1;
    if (line->session->SendReleaseRequest(type, line->lineNumber) != 0)
        return -2;
    line->session->SetState(kSessionReleasing);
    CDispatchLineTable &lines = m_host.Lines();
    lines.SetLineAction(line, action, operation, line->peer);
    lines.SetLineState(line, kLineReleasing);
    return 0;
}

int CCallOperations::HangupLine(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line)
        return -1;
    return ReleaseLineSession(line, line->kind == kMediaPttAudio ? kServicePttLeave : kServiceRelease,
                              kActionRelease, kOpHangup);
}

int CCallOperations::HangupVideoWindow(const std::string &number, const std::string &)
{
    return ReleaseLineSession(m_host.Lines().FindVideoCallLine(number), kServiceRelease, kActionRelease, kOpHangup);
}

int CCallOperations::ReleaseGroupPttLine(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line || !line->session || line->session->GetServiceType() != kServicePttGroup)
        return -1;
    return ReleaseLineSession(line, kServicePttReleaseGroup, kActionPttRelease, kOpPttRelease);
}

int CCallOperations::ExitPttSession()
{
    return ReleaseLineSession(m_host.Lines().FindLineByKey(kMediaPttAudio), kServicePttLeave, kActionPttRelease,
                              kOpPttRelease);
}

int CCallOperations::ReleaseConferenceLine(ST_ZOX_DISPATCH_LINE_INFO *line)
{
    if (!line || !line->session || line->session->GetServiceType() != kServiceConference)
        return -1;
    return ReleaseLineSession(line, kServiceReleaseConference, kActionReleaseConference, kOpConfRelease);
}

int CCallOperations::StopVideoUploadOfWindow(const std::string &number, const std::string &)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindVideoUploadLine(number);
    if (!line || !line->session || line->state == kLineReleasing)
        return -1;
    if (line->session->SendVpReleaseRequest() != 0)
        return -2;
    line->session->SetState(kSessionReleasing);
    CDispatchLineTable &lines = m_host.Lines();
    lines.SetLineAction(line, kActionStopVideoUpload, kOpStopUpload, line->peer);
    lines.SetLineState(line, kLineReleasing);
    return 0;
}

// ------------------------------------------------------------------ without a session

int CCallOperations::SendSessionless(const std::vector<uint8_t> &bytes)
{
    if (bytes.empty())
        return -1;
    return m_host.SessionHost().SendUdp(bytes.data(), bytes.size()) > 0 ? 0 : -2;
}

int CCallOperations::ForceHangupSelectedUser()
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    const uint32_t type = IsPttUser(u) ? kServicePttForceHangup : kServiceForceHangup;
    const int r = SendSessionless(BuildSessionlessRelease(m_host.SessionHost().OwnUserId(), type, 0, u.userNumber));
    WriteLog(r == 0 ? "main: send release request, type(%u), user(%s)."
                    : "main: failed to send release request, type(%u), user(%s)!",
             type, u.userNumber.c_str());
    return r;
}

int CCallOperations::KillSelectedTerminal()
{
    if (!IsUserSelected())
        return -1;
    return SendSessionless(
        BuildTerminalModify(m_host.SessionHost().OwnUserId(), kServiceKillTerminal, m_host.Selection().user.userNumber));
}

int CCallOperations::ReviveSelectedTerminal()
{
    if (!IsUserSelected())
        return -1;
    return SendSessionless(BuildTerminalModify(m_host.SessionHost().OwnUserId(), kServiceReviveTerminal,
                                               m_host.Selection().user.userNumber));
}

int CCallOperations::AddUserToPttCall(uint32_t groupId, const std::string &number, const std::string &)
{
    const int r = SendSessionless(
        BuildAddUserToGroupCall(m_host.SessionHost().OwnUserId(), m_host.OwnNumber(), groupId, number));
    WriteLog(r == 0 ? "main: send setup request, type(%u), user(%s)."
                    : "main: failed to send setup request, type(%u), user(%s)!",
             unsigned(kServicePttAddUser), number.c_str());
    return r;
}

// ------------------------------------------------------------------ other quick actions

int CCallOperations::ReleaseConference()
{
    // The conference's own line: the audio channel of a video conference is a voice line
    // too, and may come first in the table.
    return ReleaseConferenceLine(m_host.Lines().FindActiveGroupLine());
}

int CCallOperations::ReleaseGroupPttCall()
{
    if (!IsGroupSelected())
        return -1;
    const uint32_t groupId = uint32_t(m_host.Selection().groupId);
    for (const auto &l : m_host.Lines().Lines()) {
        if (IsActive(*l) && l->kind == kMediaPttAudio && l->session &&
            l->session->GetServiceType() == kServicePttGroup && l->session->GetPeerId() == groupId)
            return ReleaseGroupPttLine(l.get());
    }
    return SendSessionless(
        BuildSessionlessRelease(m_host.SessionHost().OwnUserId(), kServicePttReleaseGroup, groupId, ""));
}

int CCallOperations::StartGroupVideoConference()
{
    if (!IsGroupSelected())
        return 0;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_host.GetGroupAvailableMembers(uint32_t(m_host.Selection().groupId), members) != 0)
        return 0;
    int started = 0;
    for (const ST_ZOX_SYSTEM_USER &u : members)
        started += StartVideoCall(u.userNumber) == 0 ? 1 : 0;
    return started;
}

int CCallOperations::StartSelectedUserVideoUpload()
{
    if (!IsUserSelected())
        return kUploadNoNumber;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    return StartVideoUpload(u.userNumber, u.displayName, -1);
}

int CCallOperations::StopSelectedUserVideoUpload()
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    return StopVideoUploadOfWindow(u.userNumber, u.displayName);
}

std::vector<std::string> CCallOperations::UploadingNumbers() const
{
    std::vector<std::string> out;
    for (const auto &l : m_host.Lines().Lines())
        if (l->IsBusy() && l->kind == kMediaVideoUpload && l->session)
            out.push_back(l->session->GetFirstMember());
    return out;
}

int CCallOperations::StartGroupVideoUpload()
{
    if (!IsGroupSelected())
        return 0;
    const int freeLines = m_host.Lines().CountFreeLines();
    const std::vector<std::string> uploading = UploadingNumbers();
    const int running = int(uploading.size());
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_host.GetGroupMembers(uint32_t(m_host.Selection().groupId), members) != 0)
        return 0;
    int started = 0;
    for (const ST_ZOX_SYSTEM_USER &u : members) {
        if (started >= freeLines || started + running >= kMaxUploads)
            break;
        if (!IsRegistered(u) || VideoCallByte(u.callState) != 0 ||
            std::find(uploading.begin(), uploading.end(), u.userNumber) != uploading.end())
            continue;
        if (StartVideoUpload(u.userNumber, u.displayName, -1) == kUploadStarted)
            ++started;
    }
    return started;
}

int CCallOperations::StopGroupVideoUpload()
{
    if (!IsGroupSelected())
        return 0;
    const std::vector<std::string> uploading = UploadingNumbers();
    if (uploading.empty())
        return 0;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_host.GetGroupMembers(uint32_t(m_host.Selection().groupId), members) != 0)
        return 0;
    int stopped = 0;
    for (const ST_ZOX_SYSTEM_USER &u : members) {
        if (IsRegistered(u) && (u.vpState & kUploadingState) == kUploadingState &&
            std::find(uploading.begin(), uploading.end(), u.userNumber) != uploading.end())
            stopped += StopVideoUploadOfWindow(u.userNumber, u.displayName) == 0 ? 1 : 0;
    }
    return stopped;
}

ST_ZOX_DISPATCH_LINE_INFO *CCallOperations::ConnectedConferenceLine() const
{
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindActiveGroupLine();
    return line && line->state == kLineConnected && line->action == kActionNone ? line : nullptr;
}

int CCallOperations::AddUserToGroupCall()
{
    if (!IsGroupSelected())
        return -1;
    const uint32_t groupId = uint32_t(m_host.Selection().groupId);
    std::string number, name;
    if (!m_host.PickUserToAdd(number, name) || number.empty())
        return -1;
    ST_ZOX_DISPATCH_LINE_INFO *conf = ConnectedConferenceLine();
    if (conf && conf->session->GetPeerId() == groupId)
        return AddConferenceMember(conf, number, name);
    return AddUserToPttCall(groupId, number, name);
}

int CCallOperations::AddConferenceMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number,
                                         const std::string &name)
{
    if (!line || !line->session)
        return -1;
    if (line->session->SendModifyRequest(kServiceAddConferenceMember, number) != 0)
        return -2;
    const std::string peer = MakeDisplayName(number, name);
    m_host.Lines().SetLineAction(line, kActionAddConferenceMember, kAddMemberOperation, peer);
    line->session->SetOperationAndPeer(kAddMemberOperation, peer);
    m_host.UpdateOperateButtons();
    return 0;
}

void CCallOperations::AddAddToMenuItem(std::vector<ST_ZOX_ADDTO_ITEM> &menu, const std::string &kindText,
                                       const std::string &name, uint32_t tag)
{
    if (!menu.empty() && !menu.back().separator && menu.back().caption.find(kindText) == std::string::npos)
        menu.push_back({"-", 0, true});
    menu.push_back({kindText + " ( " + name + " )", tag, false});
}

std::vector<ST_ZOX_ADDTO_ITEM> CCallOperations::BuildAddToMenu()
{
    std::vector<ST_ZOX_ADDTO_ITEM> menu;
    if (!IsUserSelected())
        return menu;
    if (ST_ZOX_DISPATCH_LINE_INFO *conf = ConnectedConferenceLine())
        AddAddToMenuItem(menu, Text(EN_ZOX_TEXT::StatusVoiceConf), conf->session->GetPeerGroupName(),
                         conf->session->GetPeerId());
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    if (m_host.GetSystemGroups(groups) != 0)
        return menu;
    for (const ST_ZOX_SYSTEM_GROUP &g : groups) {
        std::vector<ST_ZOX_SYSTEM_USER> inCall;
        if (m_host.GetUsersByCallRef(UserIdToHexKey(int32_t(g.groupId)), inCall) == 0 && !inCall.empty())
            AddAddToMenuItem(menu, Text(EN_ZOX_TEXT::StatusPttCall), g.groupName, g.groupId);
    }
    return menu;
}

int CCallOperations::OnAddToMenuItem(const std::string &caption, uint32_t tag)
{
    if (!IsUserSelected())
        return -1;
    const ST_ZOX_SYSTEM_USER &u = m_host.Selection().user;
    if (caption.find(Text(EN_ZOX_TEXT::StatusVoiceConf)) != std::string::npos) {
        ST_ZOX_DISPATCH_LINE_INFO *conf = ConnectedConferenceLine();
        if (conf && conf->session->GetPeerId() == tag)
            return AddConferenceMember(conf, u.userNumber, u.displayName);
        return -1;
    }
    if (caption.find(Text(EN_ZOX_TEXT::StatusPttCall)) != std::string::npos) {
        std::vector<ST_ZOX_SYSTEM_USER> inCall;
        if (m_host.GetUsersByCallRef(UserIdToHexKey(int32_t(tag)), inCall) == 0 && !inCall.empty())
            return AddUserToPttCall(tag, u.userNumber, u.displayName);
    }
    return -1;
}

bool CCallOperations::BeginGroupChat()
{
    if (!IsGroupSelected() || m_host.Selection().groupId <= 0 || !m_host.IsBridgeReady())
        return false;
    m_host.BeginChat(1, m_host.Selection().groupId, "");
    return true;
}

bool CCallOperations::BeginUserChat()
{
    if (!IsUserSelected() || !m_host.IsBridgeReady())
        return false;
    m_host.BeginChat(0, 0, m_host.Selection().user.userNumber);
    return true;
}

int CCallOperations::RequestTalkBurst()
{
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindLineByKey(kMediaPttAudio);
    if (!line || !line->session || line->session->SendRtcpEvent(0) != 0) {
        WriteLog("main: send tbcp request failed.");
        return -1;
    }
    WriteLog("main: send tbcp request success.");
    m_host.SetSpeakerText(Text(EN_ZOX_TEXT::StatusApplySpeak));
    return 0;
}

int CCallOperations::ReleaseTalkBurst()
{
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindLineByKey(kMediaPttAudio);
    if (!line || !line->session || line->session->SendRtcpEvent(4) != 0) {
        WriteLog("main: send tbcp release failed.");
        return -1;
    }
    WriteLog("main: send tbcp release success.");
    m_host.SetSpeakerText(Text(EN_ZOX_TEXT::StatusReleaseSpeak));
    return 0;
}

int CCallOperations::EndAllCalls()
{
    int released = 0;
    for (const auto &l : m_host.Lines().Lines()) {
        ST_ZOX_DISPATCH_LINE_INFO *line = l.get();
        if (!IsActive(*line) || !IsCallKind(line->kind) || !line->session)
            continue;
        const uint32_t type = line->session->GetServiceType();
        int r;
        if (line->kind == kMediaVoice && type == kServiceConference)
            r = ReleaseConferenceLine(line);
        else if (line->kind == kMediaPttAudio && type == kServicePttGroup)
            // This line's own PTT release (the first PTT line may be another one).
            r = ReleaseLineSession(line, kServicePttLeave, kActionPttRelease, kOpPttRelease);
        else
            r = HangupLine(line);
        released += r == 0 ? 1 : 0;
    }
    return released;
}

int CCallOperations::HangupVideoCalls()
{
    int released = 0;
    for (const auto &l : m_host.Lines().Lines())
        if (IsActive(*l) && l->kind == kMediaVideoCall)
            released += HangupLine(l.get()) == 0 ? 1 : 0;
    return released;
}

bool CCallOperations::StartChatProgram()
{
    const std::string path = m_host.WorkingDirectory() + "/" + kChatProgram;
    if (!m_host.FileExists(path))
        return false;
    return m_host.StartProgram(path, {kChatArgument});
}

// ------------------------------------------------------------------ starters by number

int CCallOperations::StartPttCall(const std::string &number)
{
    ST_ZOX_SYSTEM_USER u;
    if (number.empty() || !m_host.SessionHost().GetSystemUser(number, u) || !IsRegistered(u) ||
        VideoCallByte(u.callState) != 0 || m_host.Lines().IsAnyLineInCall())
        return -1;
    SessionStart s;
    s.type = kServicePttPrivate;
    s.kind = kMediaPttAudio;
    s.members = {number};
    s.action = kActionPttPrivate;
    s.operation = kOpUserPtt;
    s.peer = MakeDisplayName(number, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + u.displayName;
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartListCall(const std::vector<std::string> &numbers, uint32_t type, int32_t action,
                                   bool needsNoCall)
{
    if (numbers.empty() || (needsNoCall && m_host.Lines().IsAnyLineInCall()))
        return -1;
    SessionStart s;
    s.type = type;
    s.kind = type == kServicePttGroup ? kMediaPttAudio : kMediaVoice;
    s.members = numbers;
    s.action = action;
    s.operation = type == kServicePttGroup ? kOpGroupPtt : type == kServiceConference ? kOpVoiceConf : kOpVoiceGroup;
    s.peer = JoinNumbers(numbers);
    s.object = Text(EN_ZOX_TEXT::StatusAdHocGroup);
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartPttGroupCall(const std::vector<std::string> &numbers)
{
    return StartListCall(numbers, kServicePttGroup, kActionPttGroup, false);
}

int CCallOperations::StartVoiceGroupCall(const std::vector<std::string> &numbers)
{
    return StartListCall(numbers, kServiceAdHocGroup, kActionAdHocGroup, true);
}

int CCallOperations::StartVoiceConference(const std::vector<std::string> &numbers)
{
    return StartListCall(numbers, kServiceConference, kActionConference, true);
}

int CCallOperations::StartVoiceCall(const std::string &number)
{
    if (number.empty())
        return -1;
    ST_ZOX_SYSTEM_USER u;
    const bool known = m_host.SessionHost().GetSystemUser(number, u);
    if ((known && !IsRegistered(u)) || m_host.Lines().IsAnyLineInCall())
        return -1;
    SessionStart s;
    s.type = kServiceCall;
    s.kind = kMediaVoice;
    s.members = {number};
    s.action = kActionCall;
    s.operation = kOpVoiceCall;
    s.peer = MakeDisplayName(number, known ? u.displayName : std::string());
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + (known ? u.displayName : std::string());
    return StartSession(m_host.Lines().GetFreeLine(false), s);
}

int CCallOperations::StartVideoCall(const std::string &number)
{
    ST_ZOX_SYSTEM_USER u;
    if (number.empty() || !m_host.SessionHost().GetSystemUser(number, u) || !IsRegistered(u))
        return -1;
    for (const auto &l : m_host.Lines().Lines())
        if (l->IsBusy() && (l->kind == kMediaPttAudio || (l->kind == kMediaVoice && !l->confAudio)))
            return -1;
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().GetFreeLine(true);
    if (!line)
        return -2;
    IDispatchTile *tile = m_host.GetFreeVideoWindow();
    if (!tile)
        return -3;
    SessionStart s;
    s.type = kServiceCall;
    s.kind = kMediaVideoCall;
    s.members = {number};
    s.tile = tile;
    s.action = kActionCall;
    s.operation = kOpVideoCall;
    s.peer = MakeDisplayName(number, u.displayName);
    s.object = Text(EN_ZOX_TEXT::StatusUserPrefix) + u.displayName;
    return StartSession(line, s);
}

int CCallOperations::StartVideoGroupCall(const std::vector<std::string> &numbers)
{
    int started = 0;
    for (const std::string &n : numbers)
        started += StartVideoCall(n) == 0 ? 1 : 0;
    return started;
}

int CCallOperations::StartUserVideoUpload(const std::string &number)
{
    ST_ZOX_SYSTEM_USER u;
    if (number.empty() || !m_host.SessionHost().GetSystemUser(number, u) || !IsRegistered(u) ||
        VideoCallByte(u.callState) != 0 || m_host.Lines().FindVideoUploadLine(number))
        return kUploadNoNumber;
    return StartVideoUpload(number, u.displayName, -1);
}

// ------------------------------------------------------------------ call progress

void CCallOperations::ShowCallProgress(const std::string &number) { m_host.ShowProgressPanel(number); }

void CCallOperations::SetCallProgressStatus(const std::string &text, int buttonMode)
{
    if (m_host.HasProgressPanel())
        m_host.SetProgressStatus(text, buttonMode);
}

int CCallOperations::Dial(const std::string &number)
{
    m_lastStarted = nullptr;
    if (StartVoiceCall(number) != 0 || !m_lastStarted) {
        SetCallProgressStatus(Text(EN_ZOX_TEXT::CallFailed), 1);
        return -1;
    }
    m_lastStarted->fromProgress = 1;
    return 0;
}

int CCallOperations::DialNumber(const std::string &number)
{
    ShowCallProgress(number);
    return Dial(number);
}

void CCallOperations::RedialCallProgress()
{
    if (!m_host.IsProgressPanelShown() || m_redialPending)
        return;
    const std::string number = m_host.ProgressNumber();
    ShowCallProgress(number);
    m_redialPending = true;
    m_host.RunLater(kRedialPauseMs, [this, number] {
        m_redialPending = false;
        // Closed or hung up during the pause: nothing to dial any more.
        if (!m_host.IsProgressPanelShown() || m_host.ProgressNumber() != number)
            return;
        Dial(number);
    });
}

void CCallOperations::HideCallProgress()
{
    if (m_host.IsProgressPanelShown())
        m_host.HideProgressPanel();
}

int CCallOperations::CancelCallProgress()
{
    if (!m_host.IsProgressPanelShown())
        return 0;
    const std::string number = m_host.ProgressNumber();
    m_host.HideProgressPanel();
    int released = 0;
    for (const auto &l : m_host.Lines().Lines())
        if (IsActive(*l) && l->kind == kMediaVoice && l->session && l->session->HasMember(number))
            released += HangupLine(l.get()) == 0 ? 1 : 0;
    return released;
}

void CCallOperations::OnCallLineStateChanged(int32_t oldState, int32_t newState)
{
    if (!m_host.IsProgressPanelShown() || oldState == newState)
        return;
    if (newState == kLineConnected) {
        m_host.SetProgressStatus(Text(EN_ZOX_TEXT::CallConnected), 0);
    } else if (newState == kLineIdle) {
        if (oldState > kLineCalling)
            HideCallProgress();
        else
            m_host.SetProgressStatus(Text(EN_ZOX_TEXT::CallFailed), 1);
    }
}
