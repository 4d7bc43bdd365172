#include "dispatch/DispatchSession.h"

#include <algorithm>
#include <arpa/inet.h>

#include "core/Log.h"
#include "core/RecordingName.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

using namespace zox::call;

namespace {

bool Encode(const std::string &number, TbcdNumber &out)
{
    out.fill(0);
    if (number.empty())
        return false;
    return EncodeBcdDigits(number, out.data(), out.size()) == 0;
}

// The address of a received address record (network order); 0 when it does not parse.
uint32_t RecordAddress(const MediaBlock &block)
{
    in_addr a {};
    if (ParseAddressRecord(block.record, a) != 0)
        return 0;
    return a.s_addr;
}

bool IsListedSetupType(uint32_t type)
{
    return type == kServiceCall || type == kServiceConference || type == kServiceAdHocGroup ||
           type == kServicePttPrivate;
}

bool IsGroupSetupType(uint32_t type) { return type == kServicePttGroup || type == kServicePttAddUser; }

uint32_t MediaCode(uint32_t mediaKind)
{
    if (mediaKind == kMediaPttAudio)
        return 3;
    return mediaKind == kMediaVideoCall ? 1 : 0;
}

} // namespace

CDispatchSession::CDispatchSession(IDispatchSessionHost &host, uint32_t serviceType, uint32_t mediaKind)
    : m_host(host), m_ownId(host.OwnUserId()), m_instance(host.InstancePool().Acquire()),
      m_localIp(host.LocalIp()), m_serviceType(serviceType), m_mediaKind(mediaKind)
{
}

CDispatchSession::~CDispatchSession()
{
    Close();
    m_host.InstancePool().Release(m_instance);
}

bool CDispatchSession::SetInstance(int32_t number)
{
    if (!m_host.InstancePool().Claim(number))
        return false;
    m_host.InstancePool().Release(m_instance);
    m_instance = number;
    return true;
}

void CDispatchSession::SetLocalParty(const std::string &lineNumber, uint8_t hasMedia, uint8_t videoFlag)
{
    m_localNumber = lineNumber;
    m_hasMedia = hasMedia;
    m_videoFlag = videoFlag;
}

void CDispatchSession::SetOperationAndPeer(const std::string &operation, const std::string &peerText)
{
    m_operation = operation;
    m_peerText = peerText;
}

void CDispatchSession::SetPeerGroup(uint32_t id, const std::string &groupName)
{
    m_peerId = id;
    m_groupName = groupName;
}

// ------------------------------------------------------------------ members

void CDispatchSession::AddMember(const std::string &number)
{
    if (!HasMember(number))
        m_members.push_back({number, 0, 0});
}

void CDispatchSession::RemoveMember(const std::string &number)
{
    auto it = std::find_if(m_members.begin(), m_members.end(), [&](const auto &m) { return m.number == number; });
    if (it != m_members.end())
        m_members.erase(it);
}

bool CDispatchSession::HasMember(const std::string &number) const
{
    return std::any_of(m_members.begin(), m_members.end(), [&](const auto &m) { return m.number == number; });
}

std::string CDispatchSession::GetFirstMember() const { return m_members.empty() ? std::string() : m_members[0].number; }

int CDispatchSession::CheckMembersOnline(const std::string &callRef)
{
    if (callRef.empty())
        return 0;
    const std::size_t before = m_members.size();
    std::erase_if(m_members, [&](const ST_ZOX_SESSION_MEMBER &m) {
        ST_ZOX_SYSTEM_USER user;
        if (!m_host.GetSystemUser(m.number, user))
            return false;
        const bool inCall = (user.callState & 0xFF) == 3;
        const bool inPtt = ((user.callState >> 8) & 0xFF) == 1;
        return user.callRef != callRef && (inCall || !inPtt);
    });
    return int(before - m_members.size());
}

// ------------------------------------------------------------------ open and close

void CDispatchSession::SetTileState(int state)
{
    if (m_videoWnd)
        m_videoWnd->SetState(state);
}

int CDispatchSession::CreateMedia()
{
    if (!m_hasMedia || m_media)
        return 0;
    m_media = m_host.CreateMedia(*this);
    if (!m_media)
        return -1;
    m_localAudioPort = m_media->LocalAudioPort();
    m_localVideoPort = m_media->LocalVideoPort();
    return 0;
}

int CDispatchSession::StartMedia()
{
    if (!m_hasMedia)
        return 0;
    if (!m_media)
        return -1;
    return m_media->Start();
}

int CDispatchSession::Open()
{
    if (m_hasMedia && StartMedia() != 0) {
        WriteLog("dispatch: open session failed!");
        m_state = kSessionIdle;
        return -1;
    }
    m_state = kSessionOpen;
    if (m_videoWnd) {
        m_videoWnd->SetState(kTilePlaying);
        const std::string selected = m_host.SelectedUserNumber();
        if (!selected.empty() && selected == m_videoWnd->GetUserNumber())
            m_videoWnd->Click();
    }
    return 0;
}

namespace {

std::string LocalTimeText(const std::tm &t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::tm NowLocal()
{
    const std::time_t now = std::time(nullptr);
    std::tm t {};
    localtime_r(&now, &t);
    return t;
}

} // namespace

int CDispatchSession::StartRecord(const std::string &name)
{
    if (recording || !m_media)
        return -1;
    recordName = name;
    const std::tm t = NowLocal();
    recordStart = LocalTimeText(t);
    WriteLog("dispatch: start session recorder time %s.", recordStart.c_str());
    const std::string folder = m_host.RecordFolder() + "/" + RecordingMonthText(t);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        WriteLog("dispatch: cannot create the recording folder %s!", folder.c_str());
    // Every name taken (the thousandth recording of the same second): refuse rather
    // than write over an earlier recording.
    recordPath = MakeRecordingFilePath(folder, "", name, t, ".264");
    if (recordPath.empty() || m_media->StartRecord(recordPath) != 0) {
        WriteLog("dispatch: failed to start session recorder!");
        return -2;
    }
    recording = 1;
    if (m_videoWnd)
        m_videoWnd->SetRecording(true);
    WriteLog("dispatch: start session recorder success.");
    return 0;
}

int CDispatchSession::StopRecord()
{
    if (!recording || !m_media)
        return 0;
    m_media->StopRecord();
    recording = 0;
    if (m_videoWnd)
        m_videoWnd->SetRecording(false);
    recordStop = LocalTimeText(NowLocal());
    WriteLog("dispatch: stop session recorder time %s.", recordStop.c_str());
    return 0;
}

int CDispatchSession::ToggleRecord(const std::string &name)
{
    if (recording)
        return StopRecord();
    if (m_state == kSessionOpen)
        return StartRecord(name);
    return -1;
}

int CDispatchSession::SendRtcpEvent(uint8_t subtype)
{
    if (m_mediaKind != kMediaPttAudio || !m_media)
        return -1;
    return m_media->SendTalkBurst(subtype);
}

int CDispatchSession::AddVideoShare(CDispatchSession *other)
{
    if (!m_media || !other || !other->m_media)
        return -1;
    return m_media->AddVideoShare(*other->m_media);
}

int CDispatchSession::RemoveVideoShare(CDispatchSession *other)
{
    if (!m_media || !other || !other->m_media)
        return -1;
    return m_media->RemoveVideoShare(*other->m_media);
}

int CDispatchSession::Close()
{
    StopRecord();
    recording = 0; // the recording ends with the media below
    if (m_localPreview) {
        m_host.HideLocalPreview();
        m_localPreview = 0;
    }
    if (m_videoWnd) {
        m_videoWnd->Deselect();
        m_videoWnd->SetState(kTileFree);
        m_videoWnd = nullptr;
    }
    if (m_media) {
        if (m_mediaKind == kMediaVideoCall)
            m_host.RemoveConferenceVideoShare(*this);
        m_media.reset();
    }
    return 0;
}

// ------------------------------------------------------------------ builders

int CDispatchSession::Send(const Bytes &bytes) { return m_host.SendUdp(bytes.data(), bytes.size()); }

CallMessage CDispatchSession::NewMessage(uint32_t senderRef) const
{
    CallMessage m;
    m.header = {m_ownId, 0, senderRef, kNoReference};
    return m;
}

MediaBlock CDispatchSession::Block(uint16_t port) const
{
    MediaBlock b;
    in_addr a {};
    a.s_addr = m_localIp;
    MakeAddressRecord(a, b.record);
    b.port = port;
    b.present = true;
    return b;
}

int CDispatchSession::SendSetupRequest(uint32_t type)
{
    CallMessage m = NewMessage(SessionSenderRef(type, m_instance));
    if (IsListedSetupType(type)) {
        for (const ST_ZOX_SESSION_MEMBER &member : m_members) {
            TbcdNumber n;
            if (Encode(member.number, n))
                m.members.push_back(n);
            if (m.members.size() == kMaxSetupMembers)
                break;
        }
        if (m.members.empty())
            return -2;
        m.memberCount = uint32_t(m.members.size());
    } else if (IsGroupSetupType(type)) {
        TbcdNumber n;
        if (!m_members.empty() && Encode(m_members[0].number, n))
            m.members.push_back(n);
        m.memberCount = 1;
        m.groupFlag = 1;
        m.groupId = m_peerId;
    } else {
        return -3;
    }
    if (CreateMedia() != 0) {
        WriteLog("dispatch: create session mgr failed!");
        return -4;
    }
    m.serviceType = type;
    Encode(m_localNumber, m.lineNumber);
    if (m_hasMedia) {
        if (m_mediaKind == kMediaVideoCall) {
            m.video = Block(m_localVideoPort);
            m.audioCopy = m.video;
        } else {
            m.audio = Block(m_localAudioPort);
            m.audioCopy = m.audio;
        }
        m.mediaCode = MediaCode(m_mediaKind);
    }
    if (Send(WriteMessage(kSetupRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send setup request, type(%u)!", type);
        return -5;
    }
    WriteLog("dispatch: send setup request, type(%u).", type);
    if (type == kServiceCall || type == kServiceConference)
        m_host.StartRingBack();
    m_state = kSessionRequested;
    SetTileState(kTileStarting);
    return 0;
}

int CDispatchSession::SendSetupResponse(uint8_t typeByte, uint8_t result)
{
    CallMessage m = NewMessage(SessionSenderRef(typeByte, m_instance));
    m.header.receiverRef = m_peerRef;
    m.result = result;
    if (m_hasMedia) {
        m.audio = Block(m_localAudioPort);
        m.audioCopy = m.audio;
        m.mediaCode = MediaCode(m_mediaKind);
        if (m_mediaKind == kMediaVideoCall) {
            m.video = Block(m_localVideoPort);
            m.videoCopy = m.video;
        }
    }
    if (Send(WriteMessage(kSetupResponseLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send setup response, result(%d)!", int(result));
        return -2;
    }
    WriteLog("dispatch: send setup response, result(%d).", int(result));
    return 0;
}

int CDispatchSession::SendJoinRequest(uint32_t type, const std::string &target)
{
    CallMessage m = NewMessage(SessionSenderRef(type, m_instance));
    if (!target.empty() && !Encode(target, m.target))
        return -2;
    if (CreateMedia() != 0) {
        WriteLog("dispatch: create session mgr failed!");
        return -3;
    }
    m.serviceType = type;
    Encode(m_localNumber, m.lineNumber);
    if (m_hasMedia) {
        m.audio = Block(m_localAudioPort);
        m.audioCopy = m.audio;
    }
    m.groupId = m_peerId;
    if (Send(WriteMessage(kJoinRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send join request, type(%u) and user(%s)!", type, target.c_str());
        return -3;
    }
    WriteLog("dispatch: send join request, type(%u) and user(%s).", type, target.c_str());
    return 0;
}

int CDispatchSession::SendModifyRequest(uint32_t type, const std::string &target)
{
    CallMessage m = NewMessage(SessionSenderRef(type, m_instance));
    if (!Encode(target, m.target))
        return -2;
    m.serviceType = type;
    Encode(m_localNumber, m.lineNumber);
    if (Send(WriteMessage(kModifyRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send modify request, type(%u) and user(%s)!", type, target.c_str());
        return -3;
    }
    WriteLog("dispatch: send modify request, type(%u) and user(%s).", type, target.c_str());
    return 0;
}

int CDispatchSession::SendReleaseRequest(uint32_t type, const std::string &number)
{
    CallMessage m = NewMessage(SessionSenderRef(type, m_instance));
    m.serviceType = type;
    Encode(m_localNumber, m.lineNumber);
    if (type == kServicePttReleaseGroup)
        m.groupId = m_peerId;
    else
        Encode(number, m.target);
    if (Send(WriteMessage(kReleaseRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send release request, type(%u) and user(%s)!", type, number.c_str());
        return -3;
    }
    WriteLog("dispatch: send release request, type(%u) and user(%s).", type, number.c_str());
    Close();
    return 0;
}

int CDispatchSession::SendReleaseResponse(uint32_t peerRef, uint32_t type)
{
    CallMessage m = NewMessage(SessionSenderRef(type, m_instance));
    m.header.receiverRef = peerRef;
    m.result = 0;
    m.serviceType = type;
    if (Send(WriteMessage(kReleaseResponseLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send release response!");
        return -2;
    }
    WriteLog("dispatch: send release response.");
    return 0;
}

int CDispatchSession::SendVpSetupRequest(uint32_t type)
{
    CallMessage m = NewMessage(uint32_t(m_instance));
    const std::string first = GetFirstMember();
    if (!Encode(first, m.target))
        return -2;
    if (CreateMedia() != 0) {
        WriteLog("dispatch: create session mgr failed!");
        return -4;
    }
    m.video = Block(m_hasMedia ? m_localVideoPort : 0);
    m.serviceType = type;
    if (Send(WriteMessage(kVpSetupRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send vp setup request, type(%u) and user(%s)!", type, first.c_str());
        return -3;
    }
    WriteLog("dispatch: send vp setup request, type(%u) and user(%s).", type, first.c_str());
    m_state = kSessionRequested;
    SetTileState(kTileStarting);
    return 0;
}

int CDispatchSession::SendVpReleaseRequest()
{
    CallMessage m = NewMessage(uint32_t(m_instance));
    m.header.receiverRef = m_peerRef;
    const std::string first = GetFirstMember();
    if (Send(WriteMessage(kVpReleaseRequestLayout, m)) <= 0) {
        WriteLog("dispatch: failed to send vp release request, user(%s).", first.c_str());
        return -3;
    }
    WriteLog("dispatch: send vp release request, user(%s).", first.c_str());
    Close();
    return 0;
}

int SendVpNotify(IDispatchSessionHost &host, const CDispatchSession &session, std::vector<std::string> targets)
{
    CallMessage m;
    m.header = {host.OwnUserId(), 0, uint32_t(session.GetInstance()), session.GetPeerRef()};
    m.serviceType = 12;
    EncodeBcdDigits(session.GetFirstMember(), m.target.data(), m.target.size());
    for (const std::string &t : targets) {
        if (m.members.size() == CDispatchSession::kMaxPushTargets)
            break;
        TbcdNumber n {};
        EncodeBcdDigits(t, n.data(), n.size());
        m.members.push_back(n);
    }
    m.memberCount = uint32_t(m.members.size());
    const Bytes bytes = WriteMessage(kVpNotifyLayout, m);
    targets.clear();
    if (host.SendUdp(bytes.data(), bytes.size()) <= 0) {
        WriteLog("dispatch: failed to send vp notity request!");
        return -2;
    }
    WriteLog("dispatch: send vp notity request.");
    return 0;
}

// ------------------------------------------------------------------ parsers

void CDispatchSession::TakeRemoteMedia(const CallMessage &msg)
{
    m_peerRef = msg.header.senderRef;
    m_remoteIp = RecordAddress(msg.audio);
    m_remoteAudioPort = msg.audio.port;
    m_remoteVideoPort = msg.video.port;
}

int CDispatchSession::OnSetupRequest(const uint8_t *data, std::size_t length)
{
    CallMessage m;
    const int rc = ReadMessage(kSetupRequestLayout, data, length, m);
    if (rc == kParseTooShort) {
        WriteLog("dispatch: setup request received, but length(%u) too short to contain %u participants!",
                 unsigned(length), 0u);
        return -6;
    }
    m_peerRef = m.header.senderRef;
    if (m_hasMedia) {
        const uint32_t ip = RecordAddress(m.audio);
        if (ip == 0) {
            WriteLog("dispatch: setup request received, but media ip illegal!");
            return -2;
        }
        const bool video = m_mediaKind == kMediaVideoCall;
        const uint16_t port = video ? m.video.port : m.audio.port;
        if (port == 0) {
            WriteLog(video ? "dispatch: setup request received, but video port illegal!"
                           : "dispatch: setup request received, but media port illegal!");
            return -3;
        }
        m_remoteIp = ip;
        (video ? m_remoteVideoPort : m_remoteAudioPort) = port;
        if (CreateMedia() != 0) {
            WriteLog("dispatch: create session mgr failed!");
            return -4;
        }
    }
    if (m.memberCount == 0 || m.memberCount > kMaxIncomingMembers) {
        WriteLog("dispatch: setup request received, but participants count(%u) illegal!", m.memberCount);
        return -5;
    }
    if (rc != kParseOk) {
        WriteLog("dispatch: setup request received, but length(%u) too short to contain %u participants!",
                 unsigned(length), m.memberCount);
        return -6;
    }
    for (std::size_t i = 0; i < m.members.size(); ++i) {
        std::string number;
        if (DecodeBcdDigits(m.members[i].data(), kNumberSize, number) != 0) {
            WriteLog("dispatch: setup request received, but convert %dth user number failed!", int(i));
            return -7;
        }
        AddMember(number);
    }
    const std::string first = GetFirstMember();
    ST_ZOX_SYSTEM_USER user;
    if (m_host.GetSystemUser(first, user) && !user.displayName.empty())
        m_peerText = MakeDisplayName(first, user.displayName);
    else
        m_peerText = first;
    return 0;
}

int CDispatchSession::OnSetupResponse(const uint8_t *data, std::size_t length)
{
    if (m_state != kSessionRequested && m_state != kSessionAlerting) {
        WriteLog("dispatch: setup response received, but state(%u) mismatch!", unsigned(m_state));
        return -1;
    }
    CallMessage m;
    if (ReadMessage(kSetupResponseLayout, data, length, m) == kParseTooShort)
        return -1; // the window checks the length first
    if (m.result == 2 || m.result == 5) {
        WriteLog("dispatch: setup response received, but result failed!");
        m_state = kSessionIdle;
        SetTileState(kTileFree);
        return 0;
    }
    if (m.result != 0 && m.result != 1)
        return -2;
    WriteLog("dispatch: setup response received, result(%d).", int(m.result));
    TakeRemoteMedia(m);
    if (m.result == 1) {
        m_state = kSessionAlerting;
        return 0;
    }
    return Open();
}

int CDispatchSession::OnJoinResponse(const uint8_t *data, std::size_t length)
{
    if (m_state != kSessionIdle) {
        WriteLog("dispatch: join response received, but state(%u) mismatch!", unsigned(m_state));
        return -1;
    }
    CallMessage m;
    const int rc = ReadMessage(kJoinResponseLayout, data, length, m);
    if (rc == kParseTooShort)
        return -1; // the window checks the length first
    const uint32_t own = m_serviceType;
    const bool sessionJoins = own == kServiceIntrude || own == kServiceForceRelease || own == kServiceMonitor || own == 11;
    const uint32_t t = m.serviceType;
    const bool answerJoins = t == kServicePttJoinGroup || t == kServicePttIntrude || t == kServicePttForceRelease ||
                             t == kServicePttMonitor;
    if (!sessionJoins && !answerJoins) {
        WriteLog("dispatch: join response received, but incorrect service type(%u)!", own);
        return -2;
    }
    if (m.result != 0) {
        WriteLog("dispatch: join response received, but result(%d) failed!", int(m.result));
        return 0;
    }
    m_peerRef = m.header.senderRef;
    if (own != kServiceForceRelease) {
        if (m.memberCount > kMaxJoinMembers || rc != kParseOk) {
            WriteLog("dispatch: join response received, but participants count(%u) illegal!", m.memberCount);
            return -3;
        }
        for (const TbcdNumber &n : m.members) {
            std::string number;
            if (DecodeBcdDigits(n.data(), kNumberSize, number) == 0)
                AddMember(number);
        }
    }
    if (m_hasMedia) {
        const uint32_t ip = RecordAddress(m.audio);
        if (ip == 0) {
            WriteLog("dispatch: join response received, but media ip illegal!");
            return -4;
        }
        if (m.audio.port == 0) {
            WriteLog("dispatch: join response received, but media port illegal!");
            return -5;
        }
        m_remoteIp = ip;
        m_remoteAudioPort = m.audio.port;
        if (StartMedia() != 0) {
            WriteLog("dispatch: open session failed!");
            m_state = kSessionIdle;
            return -6;
        }
    }
    m_state = kSessionOpen;
    return 0;
}

int CDispatchSession::OnReleaseRequest(const uint8_t *data, std::size_t length)
{
    CallMessage m;
    if (ReadMessage(kReleaseRequestLayout, data, length, m) == kParseTooShort)
        return -1; // the window checks the length first
    Close();
    SendReleaseResponse(m.header.senderRef, m.serviceType);
    m_state = kSessionIdle;
    return 0;
}

int CDispatchSession::OnReleaseResponse(const uint8_t *, std::size_t)
{
    if (m_state != kSessionReleasing)
        return -1;
    m_state = kSessionIdle;
    return 0;
}

int CDispatchSession::OnVpSetupResponse(const uint8_t *data, std::size_t length)
{
    if (m_state != kSessionRequested) {
        WriteLog("dispatch: vp setup response received, but state(%u) mismatch!", unsigned(m_state));
        return -1;
    }
    CallMessage m;
    if (ReadMessage(kVpSetupResponseLayout, data, length, m) == kParseTooShort)
        return -1; // the window checks the length first
    if (m.result != 0) {
        WriteLog("dispatch: vp setup response received, but result failed!");
        m_state = kSessionIdle;
        SetTileState(kTileFree);
        return 0;
    }
    WriteLog("dispatch: vp setup response received, result(%d).", 0);
    m_peerRef = m.header.senderRef;
    m_remoteIp = RecordAddress(m.video);
    m_remoteVideoPort = m.video.port;
    return Open();
}

int CDispatchSession::OnVpReleaseRequest(const uint8_t *, std::size_t)
{
    Close();
    m_state = kSessionIdle;
    return 0;
}

int CDispatchSession::OnVpReleaseResponse(const uint8_t *, std::size_t)
{
    m_state = kSessionIdle;
    return 0;
}
