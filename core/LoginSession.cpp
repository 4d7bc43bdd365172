#include "core/LoginSession.h"

#include "core/Log.h"
#include "core/LoginDigest.h"
#include "core/NumberUtils.h"
#include "core/SessionIdentity.h"

#include <cstring>

namespace {

uint32_t GetU32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void PutU32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void PutU16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void PutHeader(uint8_t *p, uint32_t code, uint32_t senderRef, uint32_t receiverRef)
{
    PutU32(p, g_nOwnUserId.load());
    PutU32(p + 4, code);
    PutU32(p + 8, senderRef);
    PutU32(p + 12, receiverRef);
}

// A text field of fixed width: up to the first zero byte, or the whole field.
std::string FieldText(const uint8_t *p, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char *>(p), n);
}

// The call reference of the four bytes: empty for an idle call or a zero reference.
std::string CallRefText(const uint8_t *p, uint32_t callState)
{
    if (callState == 0)
        return std::string();
    std::string text = BytesToHex(p, 4);
    if (text == "0" || text == "00000000")
        return std::string();
    return text;
}

ST_ZOX_SYSTEM_LINE *FindLine(std::vector<ST_ZOX_SYSTEM_LINE> &lines, const std::string &name, bool acceptedOnly)
{
    for (ST_ZOX_SYSTEM_LINE &line : lines)
        if (line.lineName == name && (!acceptedOnly || line.status == 1))
            return &line;
    return nullptr;
}

constexpr const char *kLoadGroupFailed = "Load group data failed, Please try again later.";
constexpr const char *kLoadUserFailed = "Load user data failed, Please try again later.";

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
        m_host.ShowErrorBox("Application initialization error. Please close and try again.");
        return;
    }
    m_host.ShowLoginWindow(false);
    m_host.ShowSplash(true);
    SendRegister(0);
    c_nLoginState = kLoginRegisterSent;
    SetSplashText("Logging in");
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
    Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
}

// ---------------------------------------------------------------- timers

void CLoginSession::OnLoginTimerOut()
{
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (c_nLoginState == kLoginIdle) {
        // The first tick after start.
        if (!m_bInitialised) {
            m_host.ShowErrorBox("Application has been started or has an initialization error. Please close it.");
            m_host.CloseLoginWindow();
            return;
        }
        if (m_settings.cmsEnabled && m_nCmsStartResult != 0) {
            m_host.ShowErrorBox("Platform interface module init failed. Please close it.");
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
        text = "User authentication timed out. Please try again later.";
        logout = false;
        break;
    case kLoginLines:
        text = "Load line data timeout, please try again later.";
        break;
    case kLoginGroups:
        text = "Load group data timeout, please try again later.";
        break;
    case kLoginUsers:
        text = "Load user data timeout, please try again later.";
        break;
    case kLoginUapSync:
        text = "Sync auth platform user info timeout. Please try again later.";
        break;
    case kLoginCmsSync:
        text = "Sync platform device info timeout. Please try again later.";
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
    uint8_t msg[36] = {};
    PutHeader(msg, zox::msg::kRegisterReq, NextSequence(), 0xFFFFFFFFu);
    std::memcpy(msg + 16, &m_settings.localRegIpAddr, 4);
    PutU16(msg + 20, m_settings.localUdpPort);
    EncodeBcdDigits(m_strAccount, msg + 24, 8);
    PutU32(msg + 32, type);
    const int rc = m_host.SendUdp(msg, sizeof msg);
    if (rc > 0)
        WriteLog("login: send register request (type=%u).", type);
    else
        WriteLog("login: failed to send register request (type=%u)!", type);
    return rc;
}

int CLoginSession::SendHeartbeat()
{
    uint8_t msg[16] = {};
    PutHeader(msg, zox::msg::kHeartbeatReq, NextSequence(), 0xFFFFFFFFu);
    const int rc = m_host.SendUdp(msg, sizeof msg);
    if (rc > 0)
        WriteLog("login: send heartbeat request.");
    else
        WriteLog("login: failed to send heartbeat request!");
    return rc;
}

int CLoginSession::SendAuthResponse()
{
    const int rc = m_host.SendUdp(m_authResponse, sizeof m_authResponse);
    if (rc > 0)
        WriteLog("login: send auth response.");
    else
        WriteLog("login: failed to send auth response!");
    return rc;
}

// ---------------------------------------------------------------- datagrams

void CLoginSession::OnLoginMessage(const uint8_t *data, std::size_t length)
{
    if (!data || length < 16)
        return;
    switch (GetU32(data + 4)) {
    case zox::msg::kHeartbeatRsp:
        OnHeartbeatResponse(data, length);
        break;
    case zox::msg::kAuthReq:
        OnAuthRequest(data, length);
        break;
    case zox::msg::kRegisterRsp:
        OnRegisterResponse(data, length);
        break;
    case zox::msg::kLineConfigRsp:
        OnLineConfigResponse(data, length);
        break;
    case zox::msg::kGroupListRsp:
        OnGroupListResponse(data, length);
        break;
    case zox::msg::kUserListRsp:
        OnUserListResponse(data, length);
        break;
    case zox::msg::kOpNotify:
        OnOpNotify(data, length);
        break;
    case zox::msg::kServerReset:
        OnServerReset(data, length);
        break;
    default:
        break;
    }
}

void CLoginSession::OnNotifyMessage(const uint8_t *data, std::size_t length)
{
    if (!data || length < 16)
        return;
    switch (GetU32(data + 4)) {
    case zox::msg::kUserStateNotify:
        OnUserStateNotify(data, length);
        break;
    case zox::msg::kLineServiceNotify:
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
    if (n < 20) {
        WriteLog("login: heartbeat response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    if (d[16] != 0) {
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
    if (n < 96) {
        WriteLog("login: auth request received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    // The first challenge has 36 bytes of room; the second runs to the datagram's end.
    const uint32_t len1 = GetU32(d + 20);
    const uint32_t len2 = GetU32(d + 60);
    if (len1 > 36 || len2 > n - 64) {
        WriteLog("login: auth request received, but incorrect challenge length(%u, %u)!", len1, len2);
        return;
    }
    WriteLog("login: auth request received.");
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);

    std::memset(m_authResponse, 0, sizeof m_authResponse);
    uint8_t digestA[16], digestB[16];
    ComputeAuthDigests(m_strPassword.data(), m_strPassword.size(), d + 24, len1, d + 64, len2, digestA, digestB);
    std::memcpy(m_authResponse, d, 4);
    PutU32(m_authResponse + 4, zox::msg::kAuthRsp);
    PutU32(m_authResponse + 8, NextSequence());
    std::memcpy(m_authResponse + 12, d + 8, 4);
    PutU32(m_authResponse + 20, 1);
    PutU32(m_authResponse + 24, 32);
    std::memcpy(m_authResponse + 28, digestA, 16);
    PutU32(m_authResponse + 60, 1);
    PutU32(m_authResponse + 64, 32);
    std::memcpy(m_authResponse + 68, digestB, 16);

    SendAuthResponse();
    c_nLoginState = kLoginAuthSent;
    SetSplashText("Verifying account and password ...");
    Arm(EN_ZOX_LOGIN_TIMER::Login, kStepTimeoutMs);
    Arm(EN_ZOX_LOGIN_TIMER::Retry, kRetryMs);
}

void CLoginSession::OnRegisterResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginRegisterSent && c_nLoginState != kLoginAuthSent) {
        WriteLog("login: register response received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    if (n < 48) {
        WriteLog("login: register response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (d[16] != 0) {
        c_nLoginState = kLoginIdle;
        SetSplashText("User logon failed");
        WriteLog("login: register response received, but result failed!");
        m_host.ShowErrorBox("Account or password error, please re-enter!");
        ResetLogin();
        return;
    }
    m_byPriority = d[39];
    WriteLog("login: register response received, priority (%d) and result success.", int(m_byPriority));
    g_nOwnUserId = GetU32(d);
    std::string number;
    if (DecodeBcdDigits(d + 20, 8, number) == 0 && !number.empty())
        g_strOwnNumber = number;
    else
        WriteLog("login: register response received, but own number undecodable; keeping %s.",
                 g_strOwnNumber.c_str());

    Arm(EN_ZOX_LOGIN_TIMER::Heartbeat, m_settings.hbIntervalMs);
    m_bHeartbeatAnswered = true;
    c_nLoginState = kLoginRegistered;
    SetSplashText("User login successful");
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
    m_host.ShowErrorBox("Communication error, please login again.");
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
    own.lineName = own.nickName = g_strOwnNumber;
    own.softPhone = 1;
    own.videoOnly = 0;
    m_pCache->InsertSystemLine(own);
    if (!m_settings.videoEnabled)
        return;
    for (int i = 1; i <= 18; ++i) {
        char suffix[4];
        snprintf(suffix, sizeof suffix, "%02d", i);
        ST_ZOX_SYSTEM_LINE line;
        line.lineName = line.nickName = g_strOwnNumber + suffix;
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
    uint8_t msg[324] = {};
    PutHeader(msg, zox::msg::kLineConfigReq, NextSequence(), 0xFFFFFFFFu);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        uint8_t *entry = msg + 20 + 16 * i;
        PutU32(entry, lines[i].softPhone == 0 ? 1 : 0);
        EncodeBcdDigits(lines[i].lineName, entry + 4, 8);
        ST_ZOX_SYSTEM_LINE kept = lines[i];
        kept.status = 0;
        SystemLines().push_back(kept);
    }
    PutU32(msg + 16, uint32_t(lines.size()));
    if (m_host.SendUdp(msg, sizeof msg) > 0)
        WriteLog("login: send line config request.");
    else
        WriteLog("login: failed to send line config request!");
    return int(lines.size());
}

void CLoginSession::StartLineStep()
{
    AddSystemLines();
    if (SendLineConfig() > 0) {
        c_nLoginState = kLoginLines;
        SetSplashText("Loading line data ...");
    } else {
        RequestGroupList(1);
        c_nLoginState = kLoginGroups;
        SetSplashText("Loading group data ...");
    }
    ArmStepTimers();
}

void CLoginSession::OnLineConfigResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginLines) {
        WriteLog("login: line config response received, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    if (n < 328) {
        WriteLog("login: line config response received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (d[16] != 0) {
        WriteLog("login: line config response received, but result failed.");
    } else {
        WriteLog("login: line config response received, and result success.");
        const uint32_t count = std::min<uint32_t>(GetU32(d + 20), kMaxLines);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t *entry = d + 24 + 16 * i;
            std::string number;
            if (DecodeBcdDigits(entry + 4, 8, number) != 0)
                continue;
            if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), number, false))
                line->status = GetU32(entry + 12) == 0 ? 1 : 2;
        }
    }
    RequestGroupList(1);
    c_nLoginState = kLoginGroups;
    SetSplashText("Loading group data ...");
    ArmStepTimers();
}

// ---------------------------------------------------------------- lists

int CLoginSession::RequestGroupList(uint32_t startIndex)
{
    m_nGroupStart = startIndex;
    m_nListRequestRef = NextSequence();
    uint8_t msg[20] = {};
    PutHeader(msg, zox::msg::kGroupListReq, m_nListRequestRef, 0xFFFFFFFFu);
    PutU32(msg + 16, startIndex);
    const int rc = m_host.SendUdp(msg, sizeof msg);
    if (rc > 0)
        WriteLog("login: send request to get group list.");
    else
        WriteLog("login: failed to send request to get group list!");
    return rc;
}

int CLoginSession::RequestUserList(uint32_t startIndex)
{
    m_nUserStart = startIndex;
    m_nListRequestRef = NextSequence();
    uint8_t msg[20] = {};
    PutHeader(msg, zox::msg::kUserListReq, m_nListRequestRef, 0xFFFFFFFFu);
    PutU32(msg + 16, startIndex);
    const int rc = m_host.SendUdp(msg, sizeof msg);
    if (rc > 0)
        WriteLog("login: send request to get user list.");
    else
        WriteLog("login: failed to send request to get user list!");
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
    if (n < 736) {
        WriteLog("login: response received to get group list, but incorrect length(%u)!", unsigned(n));
        return;
    }
    // A late answer to an earlier request (after a re-send) would store its page twice.
    if (GetU32(d + 12) != m_nListRequestRef) {
        WriteLog("login: response received to get group list, but reference(%#x) mismatch!", GetU32(d + 12));
        return;
    }
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (d[16] != 0) {
        WriteLog("login: response received to get group list, but result failed!");
        FailList(kLoadGroupFailed);
        return;
    }
    const uint32_t next = GetU32(d + 20);
    const uint32_t total = GetU32(d + 24);
    const uint32_t count = GetU32(d + 28);
    const bool more = next != 0 && total >= next;
    if (more && next <= m_nGroupStart) {
        WriteLog("login: response received to get group list, but next index(%u) does not advance!", next);
        FailList(kLoadGroupFailed);
        return;
    }
    WriteLog("login: response received to get group list (%d), and result success.", int(count));
    const uint32_t used = std::min(count, kMaxGroupsPerPage);
    for (uint32_t i = 0; i < used; ++i) {
        const uint8_t *entry = d + 32 + 44 * i;
        ST_ZOX_SYSTEM_GROUP group;
        group.groupId = GetU32(entry);
        group.groupName = FieldText(entry + 4, 32);
        DecodeBcdDigits(entry + 36, 8, group.groupNumber);
        if (m_pCache)
            m_pCache->InsertSystemGroup(group);
    }
    if (more) {
        RequestGroupList(next);
    } else {
        RequestUserList(1);
        c_nLoginState = kLoginUsers;
        SetSplashText("Loading user data ...");
    }
    ArmStepTimers();
}

void CLoginSession::OnUserListResponse(const uint8_t *d, std::size_t n)
{
    if (c_nLoginState != kLoginUsers) {
        WriteLog("login: response received to get user list, but state(%u) mismatch!", unsigned(c_nLoginState));
        return;
    }
    if (n < 32) {
        WriteLog("login: response received to get user list, but incorrect length(%u)!", unsigned(n));
        return;
    }
    if (GetU32(d + 12) != m_nListRequestRef) {
        WriteLog("login: response received to get user list, but reference(%#x) mismatch!", GetU32(d + 12));
        return;
    }
    Stop(EN_ZOX_LOGIN_TIMER::Login);
    Stop(EN_ZOX_LOGIN_TIMER::Retry);
    if (d[16] != 0) {
        WriteLog("login: response received to get user list, but result failed!");
        FailList(kLoadUserFailed);
        return;
    }
    const uint32_t next = GetU32(d + 20);
    const uint32_t total = GetU32(d + 24);
    const uint32_t count = GetU32(d + 28);
    if (uint64_t(n) < 32 + 144 * uint64_t(count)) {
        WriteLog("login: response received to get user list, but incorrect length(%u)!", unsigned(n));
        FailList(kLoadUserFailed);
        return;
    }
    const bool more = next != 0 && total >= next;
    if (more && next <= m_nUserStart) {
        WriteLog("login: response received to get user list, but next index(%u) does not advance!", next);
        FailList(kLoadUserFailed);
        return;
    }
    WriteLog("login: response received to get user list (%d), and result success.", int(count));
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    users.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t *e = d + 32 + 144 * std::size_t(i);
        ST_ZOX_SYSTEM_USER user;
        if (DecodeBcdDigits(e, 8, user.userNumber) != 0) {
            WriteLog("login: failed to convert user number (%d).", int(i));
            continue;
        }
        user.regState = e[11];
        user.callState = GetU32(e + 12);
        user.vpState = GetU32(e + 16);
        user.dcFlag = e[23];
        if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), user.userNumber, true)) {
            line->regState = user.regState;
            line->callState = user.callState;
        }
        user.displayName = FieldText(e + 44, 32);
        user.dispatcher = e[39];
        switch (e[43]) {
        case 0:
            user.isMobile = 1;
            break;
        case 2:
            user.isMobile = 2;
            break;
        default:
            user.isMobile = 0;
            break;
        }
        user.priority = e[140];
        user.callRef = CallRefText(e + 29, user.callState);
        for (int m = 0; m < 64; ++m) {
            if (e[76 + m] != 0xFF) {
                ST_ZOX_GROUP_MEMBER member;
                member.groupId = e[76 + m];
                member.userNumber = user.userNumber;
                members.push_back(std::move(member));
            }
        }
        users.push_back(std::move(user));
    }
    if (m_pCache && !users.empty()) {
        const int userCount = int(users.size());
        if (m_pCache->InsertSystemUsers(std::move(users)) != 0)
            WriteLog("login: failed to insert userlist (%d) info", userCount);
        if (!members.empty()) {
            const int memberCount = int(members.size());
            if (m_pCache->InsertGroupMembers(std::move(members)) != 0)
                WriteLog("login: failed to insert gmlist (%d) info", memberCount);
        }
    }
    if (more) {
        RequestUserList(next);
        ArmStepTimers();
        return;
    }
    WriteLog("login: system info sync complete.");
    SyncPlatforms();
}

// ---------------------------------------------------------------- platform steps

void CLoginSession::SyncPlatforms()
{
    if (m_settings.uapEnabled && c_nLoginState < kLoginUapSync) {
        c_nLoginState = kLoginUapSync;
        SetSplashText("Sync platform user info ...");
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
        SetSplashText("Sync platform device info ...");
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
    if (c_nLoginState != kLoginUapSync)
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
    if (n < 52) {
        WriteLog("login: user state notify received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    std::string number;
    if (m_pCache) {
        if (DecodeBcdDigits(d + 16, 8, number) != 0) {
            WriteLog("login: user state notify received, but convert user number failed!");
        } else {
            const uint8_t regState = d[27];
            const uint32_t callState = GetU32(d + 28);
            const uint32_t vpState = GetU32(d + 32);
            const uint8_t dcFlag = d[39];
            const std::string callRef = CallRefText(d + 45, callState);
            if (ST_ZOX_SYSTEM_LINE *line = FindLine(SystemLines(), number, true)) {
                line->callRef = callState != 0 ? callRef : std::string();
                if (line->regState != regState || line->callState != callState) {
                    line->regState = regState;
                    line->callState = callState;
                    m_host.RemoveUserFromLine(number, regState, line->callRef, callState);
                } else if (callState == 0) {
                    m_host.RemoveUserFromLine(number, regState, line->callRef, callState);
                }
                WriteLog("login: line state notify received, %s-%d-%#x-%d-%s.", number.c_str(), int(regState),
                         callState, int(dcFlag), line->callRef.c_str());
            } else {
                ST_ZOX_SYSTEM_USER user;
                if (m_pCache->GetSystemUser(number, user) != 0) {
                    WriteLog("login: user state notify received, but query user(%s) failed!", number.c_str());
                } else if (user.regState != regState || user.callState != callState || user.vpState != vpState ||
                           user.dcFlag != dcFlag || user.callRef != callRef) {
                    user.regState = regState;
                    user.callState = callState;
                    user.vpState = vpState;
                    user.dcFlag = dcFlag;
                    user.callRef = callState != 0 ? callRef : std::string();
                    if (m_pCache->UpdateUserState(user) != 0) {
                        WriteLog("login: user state notify received, but update state(%s-%d-%#x-%#x-%d-%s) failed!",
                                 number.c_str(), int(regState), callState, vpState, int(dcFlag),
                                 user.callRef.c_str());
                    } else {
                        m_host.OnUserSessionEvent(user);
                        WriteLog("login: user state notify received, %s-%d-%#x-%#x-%d-%s.", number.c_str(),
                                 int(regState), callState, vpState, int(dcFlag), user.callRef.c_str());
                    }
                }
            }
        }
    }
    uint8_t reply[20] = {};
    PutHeader(reply, zox::msg::kUserStateNotifyRsp, GetU32(d + 12), GetU32(d + 8));
    if (m_host.SendUdp(reply, sizeof reply) < 1)
        WriteLog("login: failed to send user state notify response!");
    else
        WriteLog("login: send user state notify response.");
}

void CLoginSession::OnLineServiceNotify(const uint8_t *d, std::size_t n)
{
    if (n < 36) {
        WriteLog("login: line service notify received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    const uint32_t type = GetU32(d + 16);
    std::string line, user;
    if (DecodeBcdDigits(d + 20, 8, line) != 0)
        WriteLog("login: line service notify received, but convert line number failed!");
    else if (DecodeBcdDigits(d + 28, 8, user) != 0)
        WriteLog("login: line service notify received, type(%u) and line(%s), but convert user number failed!", type,
                 line.c_str());
    else
        WriteLog("login: line service notify received, type(%u), line(%s) and user(%s).", type, line.c_str(),
                 user.c_str());
    uint8_t reply[20] = {};
    PutHeader(reply, zox::msg::kLineServiceNotifyRsp, GetU32(d + 12), GetU32(d + 8));
    if (m_host.SendUdp(reply, sizeof reply) > 0)
        WriteLog("login: send line service notify response.");
    else
        WriteLog("login: failed to send line service notify response!");
}

void CLoginSession::OnOpNotify(const uint8_t *d, std::size_t n)
{
    if (n < 48) {
        WriteLog("login: OpNotifyMsg received, but incorrect length(%u)!", unsigned(n));
        return;
    }
    std::string caller, callee;
    DecodeBcdDigits(d + 16, 8, caller);
    DecodeBcdDigits(d + 24, 8, callee);
    WriteLog("login: OpNotifyMsg received, OpType:%u! OpAction:%u  Caller:%s  Callee:%s!", GetU32(d + 32),
             GetU32(d + 36), caller.c_str(), callee.c_str());
}

bool CLoginSession::IsLineUser(const std::string &lineNumber, const std::string &callRef) const
{
    for (const ST_ZOX_SYSTEM_LINE &line : SystemLines())
        if (line.status == 1 && line.lineName == lineNumber && line.callRef == callRef)
            return true;
    return false;
}
