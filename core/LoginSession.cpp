#include "core/LoginSession.h"

#include "core/EditionText.h"
#include "core/Log.h"
#include "core/LoginDigest.h"
#include "core/NumberUtils.h"
#include "core/SessionIdentity.h"
#include "core/protocol/NoticeMessages.h"
#include "core/protocol/RegistrationMessages.h"

#include <algorithm>
#include <cstring>

using namespace zox::proto;

namespace {

DispatchMessageHeader OwnHeader(uint32_t code, uint32_t senderRef)
{
    DispatchMessageHeader h;
    h.senderId = g_nOwnUserId.load();
    h.messageCode = code;
    h.senderRef = senderRef;
    h.receiverRef = kNoReference;
    return h;
}

TbcdNumber Tbcd(const std::string &number)
{
    TbcdNumber field = kEmptyTbcd;
    EncodeBcdDigits(number, field.data(), field.size());
    return field;
}

ST_ZOX_SYSTEM_LINE *FindLine(std::vector<ST_ZOX_SYSTEM_LINE> &lines, const std::string &name, bool acceptedOnly)
{
    for (ST_ZOX_SYSTEM_LINE &line : lines)
        if (line.lineName == name && (!acceptedOnly || line.status == 1))
            return &line;
    return nullptr;
}

int Send(ILoginHost &host, const Bytes &bytes) { return host.SendUdp(bytes.data(), bytes.size()); }

// A write of the downloaded lists, tried a second time when it fails: the cache's
// connection opens itself again at the next statement after it was lost. The writes
// replace rows of the same key, so running one twice stores the same rows.
template <class Write>
int WriteTwice(Write &&write)
{
    return write() == 0 || write() == 0 ? 0 : -1;
}

// A slot of a group page that holds nothing at all: a page whose count says more
// entries than it carries has zero bytes there, not a group.
bool IsEmptyGroupSlot(const GroupListEntry &entry)
{
    return entry.groupId == 0 && entry.groupName.empty() &&
           std::all_of(entry.groupNumber.begin(), entry.groupNumber.end(), [](uint8_t b) { return b == 0; });
}

using zox::edition::kResendEveryStep;

const char *Text(EN_ZOX_TEXT id) { return ZoxText(id); }

} // namespace

std::vector<ST_ZOX_SYSTEM_LINE> &CLoginSession::SystemLines()
{
    static std::vector<ST_ZOX_SYSTEM_LINE> lines;
    return lines;
}

CLoginSession::CLoginSession(ILoginHost &host, ILoginCache *cache, const ST_ZOX_LOGIN_SETTINGS &settings)
    : m_host(host), m_pCache(cache), m_settings(settings)
{
}

// ---------------------------------------------------------------- form handlers

void CLoginSession::OnReqFieldChange()
{
    if (c_nLoginState != kLoginIdle)
        return;
    m_host.SetLoginButtonEnabled(!m_host.GetAccountField().empty() && !m_host.GetPasswordField().empty());
}

void CLoginSession::OnBtnOkClick()
{
    if (c_nLoginState != kLoginIdle)
        return;
    m_host.SetFieldsEnabled(false);
    m_strAccount = m_host.GetAccountField();
    m_strPassword = m_host.GetPasswordField();
    m_host.SetLoginButtonEnabled(false);
    if (!m_bInitialised) {
        ResetLogin();
        m_host.ShowErrorBox(Text(EN_ZOX_TEXT::LoginInitError));
        return;
    }
    m_host.ShowLoginWindow(false);
    m_host.ShowSplash(true);
    SendRegister(0);
    c_nLoginState = kLoginRegisterSent;
    SetSplashText(Text(EN_ZOX_TEXT::LoggingIn));
    Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
}

void CLoginSession::OnBtnCancelClick()
{
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    if (c_nLoginState == kLoginIdle) {
        m_host.CloseLoginWindow();
        return;
    }
    if (c_nLoginState > kLoginAuthSent)
        SendRegister(1);
    ResetLogin();
}

void CLoginSession::ResetLogin()
{
    m_host.ShowSplash(false);
    m_host.SetFieldsEnabled(true);
    m_host.SetLoginButtonEnabled(true);
    m_host.SetCancelButtonEnabled(true);
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Heartbeat);
    c_nLoginState = kLoginIdle;
    SetSplashText("");
    m_host.ShowLoginWindow(true);
}

void CLoginSession::OnDestroy()
{
    if (c_nLoginState > kLoginAuthSent)
        SendRegister(1);
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    Stop(EN_ZOX_LOGIN_TIMER::Heartbeat);
    Stop(EN_ZOX_LOGIN_TIMER::CmsPoll);
}

void CLoginSession::ArmStepTimers()
{
    Arm(EN_ZOX_LOGIN_TIMER::Login, kStepTimeoutMs);
    if constexpr (kResendEveryStep)
        Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
}

void CLoginSession::StopStepTimers()
{
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    if constexpr (kResendEveryStep)
        Stop(EN_ZOX_LOGIN_TIMER::Retry);
}

// ---------------------------------------------------------------- timers

void CLoginSession::OnLoginTimerOut()
{
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (c_nLoginState == kLoginIdle) {
        // The first tick after start.
        if (!m_bInitialised) {
            m_host.ShowErrorBox(Text(EN_ZOX_TEXT::StartInitError));
            m_host.CloseLoginWindow();
            return;
        }
        if (m_settings.cmsEnabled && m_nCmsStartResult != 0) {
            m_host.ShowErrorBox(Text(EN_ZOX_TEXT::PlatformInitError));
            m_host.CloseLoginWindow();
            return;
        }
        if (!m_host.GetAccountField().empty() && !m_host.GetPasswordField().empty())
            OnBtnOkClick();
        return;
    }
    const char *text = nullptr;
    bool logout = true;
    switch (c_nLoginState) {
    case kLoginAuthSent:
        text = Text(EN_ZOX_TEXT::TimeoutAuth);
        logout = false;
        break;
    case kLoginLines:
        text = Text(EN_ZOX_TEXT::TimeoutLines);
        break;
    case kLoginGroups:
        text = Text(EN_ZOX_TEXT::TimeoutGroups);
        break;
    case kLoginUsers:
        text = Text(EN_ZOX_TEXT::TimeoutUsers);
        break;
    case kLoginUapSync:
        text = Text(EN_ZOX_TEXT::TimeoutUap);
        break;
    case kLoginCmsSync:
        text = Text(EN_ZOX_TEXT::TimeoutCms);
        break;
    default:
        return;
    }
    if (logout)
        SendRegister(1);
    ResetLogin();
    m_host.ShowErrorBox(text);
}

void CLoginSession::OnRetryTimerOut()
{
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    bool sent = true;
    if constexpr (!kResendEveryStep) {
        // Only the register request and an unanswered heartbeat are repeated.
        if (c_nLoginState == kLoginRegisterSent)
            SendRegister(0);
        else if (c_nLoginState >= kLoginRegistered && !m_bHeartbeatAnswered)
            SendHeartbeat();
        else
            sent = false;
        if (sent)
            Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
        return;
    }
    switch (c_nLoginState) {
    case kLoginIdle:
        sent = false;
        break;
    case kLoginRegisterSent:
        SendRegister(0);
        break;
    case kLoginAuthSent:
        SendAuthResponse();
        break;
    case kLoginLines:
        SendLineConfig();
        break;
    case kLoginGroups:
        RequestGroupList(m_nGroupStart);
        break;
    case kLoginUsers:
        RequestUserList(m_nUserStart);
        break;
    default:
        if (!m_bHeartbeatAnswered)
            SendHeartbeat();
        else
            sent = false;
        break;
    }
    if (sent)
        Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
}

void CLoginSession::OnHeartbeatTimerOut()
{
    Stop(EN_ZOX_LOGIN_TIMER::Heartbeat);
    if (c_nLoginState < kLoginRegistered)
        return;
    Arm(EN_ZOX_LOGIN_TIMER::Heartbeat, m_settings.hbIntervalMs);
    Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
    if (m_bHeartbeatAnswered) {
        m_bHeartbeatAnswered = false;
        SendHeartbeat();
        Arm(EN_ZOX_LOGIN_TIMER::Heartbeat, m_settings.hbIntervalMs);
        Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
        return;
    }
    if (m_settings.heartbeat != 0) {
        Stop(EN_ZOX_LOGIN_TIMER::Retry);
        SendRegister(1);
        m_host.HideMainWindow();
        m_host.TearDownMainWindow();
        ResetLogin();
        WriteLog("login: heart beat timer out and reboot.");
        g_byRestartFlag = 1;
        m_host.CloseLoginWindow();
    }
}

void CLoginSession::OnCmsPollTimerOut()
{
    // This timer keeps running; it acts only while the console runs.
    if (c_nLoginState != kLoginRunning)
        return;
    if (ILoginPlatformLink *cms = m_host.CmsLink())
        cms->PollDeviceStatus();
}

// ---------------------------------------------------------------- senders

int CLoginSession::SendRegister(uint32_t type)
{
    RegisterRequest msg;
    msg.header = OwnHeader(kRegisterRequest, NextSequence());
    msg.regIpAddr = m_settings.localRegIpAddr;
    msg.udpPort = m_settings.localUdpPort;
    msg.account = Tbcd(m_strAccount);
    msg.type = type;
    const int rc = Send(m_host, BuildRegisterRequest(msg));
    if (rc > 0)
        WriteLog("login: send register request (type=%u).", type);
    else
        WriteLog("login: failed to send register request (type=%u)!", type);
    return rc;
}

int CLoginSession::SendHeartbeat()
{
    const int rc = Send(m_host, BuildHeaderOnly(OwnHeader(kHeartbeatRequest, NextSequence())));
    if (rc > 0)
        WriteLog("login: send heartbeat request.");
    else
        WriteLog("login: failed to send heartbeat request!");
    return rc;
}

int CLoginSession::SendAuthResponse()
{
    const int rc = Send(m_host, m_authResponse);
    if (rc > 0)
        WriteLog("login: send auth response.");
    else
        WriteLog("login: failed to send auth response!");
    return rc;
}

// ---------------------------------------------------------------- datagrams

void CLoginSession::OnLoginMessage(const uint8_t *data, std::size_t length)
{
    DispatchMessageHeader header;
    if (!data || !DispatchMessageHeader::Read(data, length, header))
        return;
    switch (header.messageCode) {
    case kHeartbeatResponse:
        OnHeartbeatResponse(data, length);
        break;
    case kAuthRequest:
        OnAuthRequest(data, length);
        break;
    case kRegisterResponse:
        OnRegisterResponse(data, length);
        break;
    case kLineConfigResponse:
        OnLineConfigResponse(data, length);
        break;
    case kGroupListResponse:
        OnGroupListResponse(data, length);
        break;
    case kUserListResponse:
        OnUserListResponse(data, length);
        break;
    case kOperationNotice:
        OnOpNotify(data, length);
        break;
    case kResetIndicator:
        OnServerReset(data, length);
        break;
    default:
        break;
    }
}

void CLoginSession::OnNotifyMessage(const uint8_t *data, std::size_t length)
{
    DispatchMessageHeader header;
    if (!data || !DispatchMessageHeader::Read(data, length, header))
        return;
    switch (header.messageCode) {
    case kUserStateNotice:
        OnUserStateNotify(data, length);
        break;
    case kLineServiceNotice:
        OnLineServiceNotify(data, length);
        break;
    default:
        break;
    }
}

void CLoginSession::OnHeartbeatResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState < kLoginRegistered) {
        WriteLog("login: heartbeat response received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    ResultResponse rsp;
    if (ParseResultResponse(d, n, rsp) != kParseOk) {
        WriteLog("login: heartbeat response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    if (rsp.result != 0) {
        WriteLog("login: heartbeat response received, but result failed!");
        return;
    }
    WriteLog("login: heartbeat response received, and result success.");
    m_bHeartbeatAnswered = true;
}

void CLoginSession::OnAuthRequest(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginRegisterSent) {
        WriteLog("login: auth request received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    AuthRequest req;
    const int parsed = ParseAuthRequest(d, n, req);
    if (parsed == kParseTooShort) {
        WriteLog("login: auth request received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    // A challenge length beyond its field or the datagram: refused (and logged).
    if (parsed != kParseOk)
        return;
    WriteLog("login: auth request received.");
    StopStepTimers();

    AuthResponse rsp;
    ComputeAuthDigests(m_strPassword.data(), m_strPassword.size(), req.challenge1.data(), req.challenge1.size(),
                       req.challenge2.data(), req.challenge2.size(), rsp.digestA.data(), rsp.digestB.data());
    rsp.header.senderId = req.header.senderId;
    rsp.header.messageCode = kAuthResponse;
    rsp.header.senderRef = NextSequence();
    rsp.header.receiverRef = req.header.senderRef;
    m_authResponse = BuildAuthResponse(rsp);

    SendAuthResponse();
    c_nLoginState = kLoginAuthSent;
    SetSplashText(Text(EN_ZOX_TEXT::VerifyingAccount));
    ArmStepTimers();
}

void CLoginSession::OnRegisterResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginRegisterSent && c_nLoginState != kLoginAuthSent) {
        WriteLog("login: register response received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    RegisterResponse rsp;
    if (ParseRegisterResponse(d, n, rsp) != kParseOk) {
        WriteLog("login: register response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    StopStepTimers();
    if (rsp.result != 0) {
        c_nLoginState = kLoginIdle;
        SetSplashText(Text(EN_ZOX_TEXT::LogonFailed));
        WriteLog("login: register response received, but result failed!");
        m_host.ShowErrorBox(Text(EN_ZOX_TEXT::AccountError));
        ResetLogin();
        return;
    }
    m_byPriority = rsp.Priority();
    WriteLog("login: register response received, priority (%d) and result success.", int(m_byPriority));
    g_nOwnUserId = rsp.header.senderId;
    std::string number;
    if (DecodeBcdDigits(rsp.ownNumber.data(), rsp.ownNumber.size(), number) == 0 && !number.empty())
        g_strOwnNumber = number;
    else
        WriteLog("login: register response received, but own number undecodable; keeping %s.",
                 g_strOwnNumber.Get().c_str());

    Arm(EN_ZOX_LOGIN_TIMER::Heartbeat, m_settings.hbIntervalMs);
    m_bHeartbeatAnswered = true;
    c_nLoginState = kLoginRegistered;
    SetSplashText(Text(EN_ZOX_TEXT::LogonSuccessful));
    m_host.SleepMs(kRegisterPauseMs);
    if (m_pCache)
        m_pCache->ClearAll();
    SystemLines().clear();
    StartLineStep();
}

void CLoginSession::OnServerReset(const uint8_t *, std::size_t)
{
    if (c_nLoginState < kLoginRegistered)
        return;
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    SendRegister(1);
    m_host.HideMainWindow();
    ResetLogin();
    m_host.ShowErrorBox(Text(EN_ZOX_TEXT::ServerReset));
    WriteLog("login: server reset indicator received and reboot.");
    g_byRestartFlag = 1;
    m_host.CloseLoginWindow();
}

// ---------------------------------------------------------------- lines

void CLoginSession::AddSystemLines()
{
    if (!m_pCache)
        return;
    ST_ZOX_SYSTEM_LINE own;
    own.lineName = own.nickName = g_strOwnNumber.Get();
    own.softPhone = 1;
    own.videoOnly = 0;
    m_pCache->InsertSystemLine(own);
    if (!m_settings.videoEnabled)
        return;
    for (int i = 1; i <= 18; ++i) {
        char suffix[4];
        snprintf(suffix, sizeof suffix, "%02d", i);
        ST_ZOX_SYSTEM_LINE line;
        line.lineName = line.nickName = g_strOwnNumber.Get() + suffix;
        line.softPhone = 1;
        line.videoOnly = 1;
        if (m_pCache->InsertSystemLine(line) != 0)
            WriteLog("login: add system line (%s) failed.", line.lineName.c_str());
    }
}

int CLoginSession::SendLineConfig()
{
    std::vector<ST_ZOX_SYSTEM_LINE> lines;
    if (!m_pCache || m_pCache->GetSystemLines(lines) != 0 || lines.empty())
        return 0;
    if (lines.size() > kMaxLines)
        lines.resize(kMaxLines);
    // A re-send proposes the same lines again: the list holds the latest proposal only.
    SystemLines().clear();
    LineConfigRequest req;
    req.header = OwnHeader(kLineConfigRequest, NextSequence());
    for (const ST_ZOX_SYSTEM_LINE &line : lines) {
        req.entries.push_back({line.softPhone == 0 ? 1u : 0u, Tbcd(line.lineName)});
        ST_ZOX_SYSTEM_LINE kept = line;
        kept.status = 0;
        SystemLines().push_back(kept);
    }
    if (Send(m_host, BuildLineConfigRequest(req)) > 0)
        WriteLog("login: send line config request.");
    else
        WriteLog("login: failed to send line config request!");
    if constexpr (!kResendEveryStep) {
        c_nLoginState = kLoginLines;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingLines));
    }
    return int(lines.size());
}

void CLoginSession::StartLineStep()
{
    AddSystemLines();
    if (SendLineConfig() > 0) {
        c_nLoginState = kLoginLines;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingLines));
    } else {
        RequestGroupList(1);
        c_nLoginState = kLoginGroups;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingGroups));
    }
    ArmStepTimers();
}

void CLoginSession::OnLineConfigResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginLines) {
        WriteLog("login: line config response received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    LineConfigResponse rsp;
    if (ParseLineConfigResponse(d, n, rsp) != kParseOk) {
        WriteLog("login: line config response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    StopStepTimers();
    if (rsp.result != 0) {
        WriteLog("login: line config response received, but result failed.");
    } else {
        WriteLog("login: line config response received, and result success.");
        for (const LineConfigAnswer &entry : rsp.entries) {
            std::string number;
            if (DecodeBcdDigits(entry.lineNumber.data(), entry.lineNumber.size(), number) != 0)
                continue;
            if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), number, false))
                line->status = entry.status == 0 ? 1 : 2;
        }
    }
    RequestGroupList(1);
    c_nLoginState = kLoginGroups;
    SetSplashText(Text(EN_ZOX_TEXT::LoadingGroups));
    ArmStepTimers();
}

// ---------------------------------------------------------------- lists

int CLoginSession::RequestGroupList(uint32_t startIndex)
{
    m_nGroupStart = startIndex;
    m_nListRequestRef = NextSequence();
    GetListRequest req;
    req.header = OwnHeader(kGetGroupListRequest, m_nListRequestRef);
    req.startIndex = startIndex;
    const int rc = Send(m_host, BuildGetListRequest(req));
    if (rc > 0)
        WriteLog("login: send request to get group list.");
    else
        WriteLog("login: failed to send request to get group list!");
    if constexpr (!kResendEveryStep) {
        c_nLoginState = kLoginGroups;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingGroups));
    }
    return rc;
}

int CLoginSession::RequestUserList(uint32_t startIndex)
{
    m_nUserStart = startIndex;
    m_nListRequestRef = NextSequence();
    GetListRequest req;
    req.header = OwnHeader(kGetUserListRequest, m_nListRequestRef);
    req.startIndex = startIndex;
    const int rc = Send(m_host, BuildGetListRequest(req));
    if (rc > 0)
        WriteLog("login: send request to get user list.");
    else
        WriteLog("login: failed to send request to get user list!");
    if constexpr (!kResendEveryStep) {
        c_nLoginState = kLoginUsers;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingUsers));
    }
    return rc;
}

void CLoginSession::FailList(const char *boxText)
{
    SendRegister(1);
    ResetLogin();
    m_host.ShowErrorBox(boxText);
}

void CLoginSession::OnGroupListResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginGroups) {
        WriteLog("login: response received to get group list, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    GroupListResponse rsp;
    if (ParseGroupListResponse(d, n, rsp) != kParseOk) {
        WriteLog("login: response received to get group list, but incorrect length(%u)!", unsigned(n));
        return;
    }
    // A late answer to an earlier request (after a re-send) would store its page twice.
    if (rsp.header.receiverRef != m_nListRequestRef) {
        WriteLog("login: response received to get group list, but reference(%#x) mismatch!", rsp.header.receiverRef);
        return;
    }
    StopStepTimers();
    if (rsp.result != 0) {
        WriteLog("login: response received to get group list, but result failed!");
        FailList(Text(EN_ZOX_TEXT::LoadGroupsFailed));
        return;
    }
    const bool more = rsp.nextIndex != 0 && rsp.total >= rsp.nextIndex;
    if (more && rsp.nextIndex <= m_nGroupStart) {
        WriteLog("login: response received to get group list, but next index(%u) does not advance!", rsp.nextIndex);
        FailList(Text(EN_ZOX_TEXT::LoadGroupsFailed));
        return;
    }
    WriteLog("login: response received to get group list (%d), and result success.", int(rsp.count));
    unsigned emptySlots = 0;
    for (const GroupListEntry &entry : rsp.entries) {
        if (IsEmptyGroupSlot(entry)) {
            ++emptySlots;
            continue;
        }
        ST_ZOX_SYSTEM_GROUP group;
        group.groupId = entry.groupId;
        group.groupName = entry.groupName;
        DecodeBcdDigits(entry.groupNumber.data(), entry.groupNumber.size(), group.groupNumber);
        if (m_pCache && WriteTwice([&] { return m_pCache->InsertSystemGroup(group); }) != 0) {
            WriteLog("login: failed to insert group (%u) info", unsigned(group.groupId));
            FailList(Text(EN_ZOX_TEXT::LoadGroupsFailed));
            return;
        }
    }
    if (emptySlots != 0)
        WriteLog("login: response received to get group list, but %u of its %u entries are empty!", emptySlots,
                 unsigned(rsp.entries.size()));
    if (more) {
        RequestGroupList(rsp.nextIndex);
    } else {
        m_listedUsers.clear();
        RequestUserList(1);
        c_nLoginState = kLoginUsers;
        SetSplashText(Text(EN_ZOX_TEXT::LoadingUsers));
    }
    ArmStepTimers();
}

void CLoginSession::OnUserListResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginUsers) {
        WriteLog("login: response received to get user list, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    DispatchMessageHeader header;
    if (n < kUserListResponseMinLength || !DispatchMessageHeader::Read(d, n, header)) {
        WriteLog("login: response received to get user list, but incorrect length(%u)!", unsigned(n));
        return;
    }
    if (header.receiverRef != m_nListRequestRef) {
        WriteLog("login: response received to get user list, but reference(%#x) mismatch!", header.receiverRef);
        return;
    }
    StopStepTimers();
    if (d[16] != 0) {
        WriteLog("login: response received to get user list, but result failed!");
        FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
        return;
    }
    // At least 32 bytes are there: a failed parse means fewer bytes than the count says.
    UserListResponse rsp;
    if (ParseUserListResponse(d, n, rsp) != kParseOk) {
        WriteLog("login: response received to get user list, but incorrect length(%u)!", unsigned(n));
        FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
        return;
    }
    const bool more = rsp.nextIndex != 0 && rsp.total >= rsp.nextIndex;
    if (more && rsp.nextIndex <= m_nUserStart) {
        WriteLog("login: response received to get user list, but next index(%u) does not advance!", rsp.nextIndex);
        FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
        return;
    }
    WriteLog("login: response received to get user list (%d), and result success.", int(rsp.count));
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    std::vector<std::string> relisted;
    users.reserve(rsp.entries.size());
    for (std::size_t i = 0; i < rsp.entries.size(); ++i) {
        const UserListEntry &e = rsp.entries[i];
        ST_ZOX_SYSTEM_USER user;
        if (DecodeBcdDigits(e.userNumber.data(), e.userNumber.size(), user.userNumber) != 0) {
            WriteLog("login: failed to convert user number (%d).", int(i));
            continue;
        }
        if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), user.userNumber, true)) {
            line->regState = e.regState;
            line->callState = e.callState;
        }
        user.displayName = e.displayName;
        user.dispatcher = e.dispatcher;
        user.regState = e.regState;
        user.dcFlag = e.dcFlag;
        user.callState = e.callState;
        user.vpState = e.vpState;
        user.isMobile = e.IsMobile();
        user.priority = e.priority;
        user.callRef = e.CallRefText();
        // A user listed again (the directory changed while it was paged) is stored as
        // its later entry says, memberships included.
        if (m_listedUsers.count(user.userNumber)) {
            relisted.push_back(user.userNumber);
            members.erase(std::remove_if(members.begin(), members.end(),
                                         [&](const ST_ZOX_GROUP_MEMBER &m) { return m.userNumber == user.userNumber; }),
                          members.end());
        }
        for (uint8_t groupId : e.GroupIds()) {
            ST_ZOX_GROUP_MEMBER member;
            member.groupId = groupId;
            member.userNumber = user.userNumber;
            members.push_back(std::move(member));
        }
        m_listedUsers.insert(user.userNumber);
        users.push_back(std::move(user));
    }
    // A page that cannot be stored ends the login: a console never runs on a cache
    // that lacks part of the server's lists.
    if (m_pCache && !users.empty()) {
        if (WriteTwice([&] { return m_pCache->InsertSystemUsers(users); }) != 0) {
            WriteLog("login: failed to insert userlist (%d) info", int(users.size()));
            FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
            return;
        }
        if (!relisted.empty() && WriteTwice([&] { return m_pCache->DeleteGroupMembersOf(relisted); }) != 0) {
            WriteLog("login: failed to insert gmlist (%d) info", int(members.size()));
            FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
            return;
        }
        if (!members.empty() && WriteTwice([&] { return m_pCache->InsertGroupMembers(members); }) != 0) {
            WriteLog("login: failed to insert gmlist (%d) info", int(members.size()));
            FailList(Text(EN_ZOX_TEXT::LoadUsersFailed));
            return;
        }
    }
    if (more) {
        RequestUserList(rsp.nextIndex);
        ArmStepTimers();
        return;
    }
    WriteLog("login: system info sync complete.");
    SyncPlatforms();
}

// ---------------------------------------------------------------- platform steps

void CLoginSession::SyncPlatforms()
{
    if (zox::edition::kHasUapLink && m_settings.uapEnabled && c_nLoginState < kLoginUapSync) {
        c_nLoginState = kLoginUapSync;
        SetSplashText(Text(EN_ZOX_TEXT::SyncUapUsers));
        ILoginPlatformLink *uap = m_host.UapLink();
        if (uap && uap->IsFetched()) {
            OnUapSyncDone();
            return;
        }
        if (uap)
            uap->StartSync();
        Arm(EN_ZOX_LOGIN_TIMER::Login, kStepTimeoutMs);
        return;
    }
    if (m_settings.cmsEnabled && c_nLoginState < kLoginCmsSync) {
        c_nLoginState = kLoginCmsSync;
        SetSplashText(Text(EN_ZOX_TEXT::SyncCmsDevices));
        ILoginPlatformLink *cms = m_host.CmsLink();
        if (cms && cms->IsFetched()) {
            OnCmsSyncDone();
            return;
        }
        if (cms)
            cms->StartSync();
        Arm(EN_ZOX_LOGIN_TIMER::Login, kStepTimeoutMs);
        return;
    }
    FinishLogin();
}

void CLoginSession::OnUapSyncDone()
{
    if (!zox::edition::kHasUapLink || c_nLoginState != kLoginUapSync)
        return;
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    if (ILoginPlatformLink *uap = m_host.UapLink())
        uap->SyncToDatabase();
    SyncPlatforms();
}

void CLoginSession::OnCmsSyncDone()
{
    if (c_nLoginState == kLoginCmsSync) {
        Stop(EN_ZOX_LOGIN_TIMER::Login);
        if (ILoginPlatformLink *cms = m_host.CmsLink())
            cms->SyncToDatabase();
        SyncPlatforms();
    }
    Arm(EN_ZOX_LOGIN_TIMER::CmsPoll, kCmsPollMs);
}

void CLoginSession::FinishLogin()
{
    c_nLoginState = kLoginRunning;
    SetSplashText("");
    m_host.ShowSplash(false);
    m_host.ShowLoginWindow(false);
    m_host.StartMainWindow();
}

// ---------------------------------------------------------------- notices

void CLoginSession::OnUserStateNotify(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState <= kLoginAuthSent) {
        WriteLog("login: user state notify received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    UserStateNotice notice;
    if (ParseUserStateNotice(d, n, notice) != kParseOk) {
        WriteLog("login: user state notify received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    std::string number;
    if (m_pCache) {
        if (DecodeBcdDigits(notice.userNumber.data(), notice.userNumber.size(), number) != 0) {
            WriteLog("login: user state notify received, but convert user number failed!");
        } else {
            const std::string callRef = notice.CallRefText();
            if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), number, true)) {
                line->callRef = notice.callState != 0 ? callRef : std::string();
                if (line->regState != notice.regState || line->callState != notice.callState) {
                    line->regState = notice.regState;
                    line->callState = notice.callState;
                    m_host.RemoveUserFromLine(number, notice.regState, line->callRef, notice.callState);
                } else if (notice.callState == 0) {
                    m_host.RemoveUserFromLine(number, notice.regState, line->callRef, notice.callState);
                }
                WriteLog("login: line state notify received, %s-%d-%#x-%d-%s.", number.c_str(), int(notice.regState),
                         notice.callState, int(notice.dcFlag), line->callRef.c_str());
            } else {
                ST_ZOX_SYSTEM_USER user;
                if (m_pCache->GetSystemUser(number, user) != 0) {
                    WriteLog("login: user state notify received, but query user(%s) failed!", number.c_str());
                } else if (user.regState != notice.regState || user.callState != notice.callState ||
                           user.vpState != notice.vpState || user.dcFlag != notice.dcFlag || user.callRef != callRef) {
                    user.regState = notice.regState;
                    user.callState = notice.callState;
                    user.vpState = notice.vpState;
                    user.dcFlag = notice.dcFlag;
                    user.callRef = notice.callState != 0 ? callRef : std::string();
                    if (m_pCache->UpdateUserState(user) != 0) {
                        WriteLog("login: user state notify received, but update state(%s-%d-%#x-%#x-%d-%s) failed!",
                                 number.c_str(), int(user.regState), user.callState, user.vpState, int(user.dcFlag),
                                 user.callRef.c_str());
                    } else {
                        m_host.OnUserSessionEvent(user);
                        WriteLog("login: user state notify received, %s-%d-%#x-%#x-%d-%s.", number.c_str(),
                                 int(user.regState), user.callState, user.vpState, int(user.dcFlag),
                                 user.callRef.c_str());
                    }
                }
            }
        }
    }
    if (Send(m_host, BuildNoticeReply(g_nOwnUserId.load(), kUserStateNoticeReply, notice.header)) < 1)
        WriteLog("login: failed to send user state notify response!");
    else
        WriteLog("login: send user state notify response.");
}

void CLoginSession::OnLineServiceNotify(const uint8_t *d, std::size_t n)
{
    LineServiceNotice notice;
    if (ParseLineServiceNotice(d, n, notice) != kParseOk) {
        WriteLog("login: line service notify received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    std::string line, user;
    if (DecodeBcdDigits(notice.lineNumber.data(), notice.lineNumber.size(), line) != 0)
        WriteLog("login: line service notify received, but convert line number failed!");
    else if (DecodeBcdDigits(notice.userNumber.data(), notice.userNumber.size(), user) != 0)
        WriteLog("login: line service notify received, type(%u) and line(%s), but convert user number failed!",
                 notice.serviceType, line.c_str());
    else
        WriteLog("login: line service notify received, type(%u), line(%s) and user(%s).", notice.serviceType,
                 line.c_str(), user.c_str());
    if (Send(m_host, BuildNoticeReply(g_nOwnUserId.load(), kLineServiceNoticeReply, notice.header)) > 0)
        WriteLog("login: send line service notify response.");
    else
        WriteLog("login: failed to send line service notify response!");
}

void CLoginSession::OnOpNotify(const uint8_t *d, std::size_t n)
{
    OperationNotice notice;
    if (ParseOperationNotice(d, n, notice) != kParseOk) {
        WriteLog("login: OpNotifyMsg received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    std::string caller, callee;
    DecodeBcdDigits(notice.caller.data(), notice.caller.size(), caller);
    DecodeBcdDigits(notice.callee.data(), notice.callee.size(), callee);
    WriteLog("login: OpNotifyMsg received, OpType:%u! OpAction:%u  Caller:%s  Callee:%s!", notice.type, notice.action,
             caller.c_str(), callee.c_str());
}

bool CLoginSession::IsLineUser(const std::string &lineNumber, const std::string &callRef) const
{
    for (const ST_ZOX_SYSTEM_LINE &line : SystemLines())
        if (line.status == 1 && line.lineName == lineNumber && line.callRef == callRef)
            return true;
    return false;
}
