#include "video/RtspSession.h"
#include "core/Log.h"
#include "core/MediaLibrary.h"
#include "core/SystemConfig.h"
#include "medialib/Sdp.h"
#include "video/UiThread.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <strings.h>

namespace {

int64_t NowSeconds() { return int64_t(std::time(nullptr)); }

std::string TrimBlanks(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The value of "name=" inside an fmtp text, up to the next ';' (trimmed), or empty.
std::string FmtpValue(const std::string &fmtp, const char *name)
{
    std::string key = std::string(name) + "=";
    size_t p = 0;
    while ((p = fmtp.find(key, p)) != std::string::npos) {
        if (p == 0 || fmtp[p - 1] == ';' || fmtp[p - 1] == ' ') {
            size_t b = p + key.size();
            size_t e = fmtp.find(';', b);
            return TrimBlanks(fmtp.substr(b, e == std::string::npos ? std::string::npos : e - b));
        }
        p += key.size();
    }
    return {};
}

CRtspSession *Self(const void *s) { return const_cast<CRtspSession *>(static_cast<const CRtspSession *>(s)); }
const trtsp_message_t *Msg(const void *m) { return static_cast<const trtsp_message_t *>(m); }

constexpr int kRequestTimeoutMs = 2500;

} // namespace

std::string RtspClientIpText()
{
    if (!g_pSystemConfig)
        return {};
    in_addr a{};
    a.s_addr = g_pSystemConfig->GetRtspClientIp();
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &a, text, sizeof text))
        return {};
    return text;
}

CRtspSession::CRtspSession(const std::string &host, uint16_t port, int transport, const std::string &url,
                           const std::string &user, const std::string &password)
    : m_host(host), m_port(port), m_url(url), m_user(user), m_password(password)
{
    m_transport = transport != 0 ? 1 : 0;
    m_fsm = tsk_fsm_create(ZOX_RTSP_IDLE, ZOX_RTSP_TERMINATED);
}

CRtspSession::~CRtspSession() { Shutdown(); }

void CRtspSession::Shutdown()
{
    if (m_shutdown.exchange(true))
        return;
    {
        std::lock_guard<std::mutex> lk(m_waitLock);
        m_waitCv.notify_all();
    }
    // Every thread that could enter the session ends first: worker, timers, reader.
    Destroy();
    {
        std::lock_guard<std::mutex> lk(m_timerLock);
        m_monitorTimer = m_pollTimer = 0;
    }
    tsk_timer_manager_t *timers;
    {
        std::lock_guard<std::mutex> lk(m_timerLock);
        timers = m_timers;
        m_timers = nullptr;
    }
    tsk_timer_manager_destroy(&timers);
    if (m_stack)
        trtsp_stack_stop(m_stack);
    trtsp_session_join(m_session);
    Stop();
    tsk_object_unref(m_session);
    m_session = nullptr;
    tsk_object_unref(m_stack);
    m_stack = nullptr;
    tsk_object_unref(m_fsm);
    m_fsm = nullptr;
    WriteLog("rtsp-session[%s]:: destroy.", Id());
}

void CRtspSession::CancelBlockingWork()
{
    std::lock_guard<std::mutex> lk(m_waitLock);
    m_waitCv.notify_all();
}

tmedia_session_mgr_t *CRtspSession::GetSessionManager()
{
    std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
    return m_media;
}

void CRtspSession::SetTimerPeriods(uint64_t monitorMs, uint64_t pollMs)
{
    m_monitorMs = monitorMs;
    m_pollMs = pollMs;
}

void CRtspSession::SetRebuildBackoff(int firstWaitMs, int tries)
{
    m_rebuildFirstWaitMs = firstWaitMs;
    m_rebuildTries = tries;
}

int CRtspSession::CreateStack()
{
    if (m_stack)
        return 0;
    std::string ip = RtspClientIpText();
    m_stack = trtsp_stack_create(&CRtspSession::OnStackEvent, ip.c_str(), this);
    if (!m_stack) {
        WriteLog("rtsp-session[%s]:: create rtsp stack failed.", Id());
        return -1;
    }
    return 0;
}

int CRtspSession::CreateSession()
{
    if (!m_stack)
        return -1;
    if (m_session)
        return 0;
    bool creds = !m_user.empty();
    m_session = trtsp_session_create(m_stack, creds ? m_user.c_str() : nullptr, creds ? m_password.c_str() : nullptr,
                                     m_agent.c_str(), this);
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: create rtsp session exception!", Id());
        return -2;
    }
    return 0;
}

int CRtspSession::StartWorkThread()
{
    if (Create() != 0) {
        WriteLog("rtsp-session[%s]:: failed to create work thread.", Id());
        return -1;
    }
    m_handlers[WM_RTSP_SEND_OPTIONS] = &CRtspSession::SendOptions;
    m_handlers[WM_RTSP_SEND_DESCRIBE] = &CRtspSession::SendDescribe;
    m_handlers[WM_RTSP_SEND_SETUP] = &CRtspSession::SendSetup;
    m_handlers[WM_RTSP_SEND_PLAY] = &CRtspSession::SendPlay;
    m_handlers[WM_RTSP_SEND_TEARDOWN] = &CRtspSession::SendTeardown;
    m_handlers[WM_RTSP_REBUILD] = &CRtspSession::Rebuild;
    m_handlers[WM_RTSP_OPEN_AUDIO] = &CRtspSession::SendSetParameter;
    return 0;
}

void CRtspSession::InstallTable(EN_ZOX_RTSP_TABLE table)
{
    std::vector<tsk_fsm_entry_t> entries;
    for (const ST_ZOX_RTSP_TRANSITION &t : RtspTransitionTable(table)) {
        tsk_fsm_cond cond = tsk_fsm_cond_always;
        switch (t.condition) {
        case ZOX_RTSP_COND_ALWAYS: cond = tsk_fsm_cond_always; break;
        case ZOX_RTSP_COND_IS_SET_UP: cond = &CRtspSession::IsSetUp; break;
        case ZOX_RTSP_COND_IS_NOT_SET_UP: cond = &CRtspSession::IsNotSetUp; break;
        case ZOX_RTSP_COND_CAN_REBUILD: cond = &CRtspSession::CanRebuild; break;
        }
        tsk_fsm_exec exec = tsk_fsm_exec_nothing;
        switch (t.action) {
        case ZOX_RTSP_ACT_NOTHING: exec = tsk_fsm_exec_nothing; break;
        case ZOX_RTSP_ACT_POST_OPTIONS: exec = &CRtspSession::PostOptions; break;
        case ZOX_RTSP_ACT_POST_DESCRIBE: exec = &CRtspSession::PostDescribe; break;
        case ZOX_RTSP_ACT_POST_SETUP: exec = &CRtspSession::PostSetup; break;
        case ZOX_RTSP_ACT_POST_PLAY: exec = &CRtspSession::PostPlay; break;
        case ZOX_RTSP_ACT_POST_SET_PARAMETER: exec = &CRtspSession::PostSetParameter; break;
        case ZOX_RTSP_ACT_POST_TEARDOWN: exec = &CRtspSession::PostTeardown; break;
        case ZOX_RTSP_ACT_POST_REBUILD: exec = &CRtspSession::PostRebuild; break;
        case ZOX_RTSP_ACT_OPTIONS_REPLY: exec = &CRtspSession::OnOptionsReply; break;
        case ZOX_RTSP_ACT_DESCRIBE_REPLY: exec = &CRtspSession::OnDescribeReply; break;
        case ZOX_RTSP_ACT_SETUP_VIDEO_REPLY: exec = &CRtspSession::OnSetupVideoReply; break;
        case ZOX_RTSP_ACT_SETUP_AUDIO_REPLY: exec = &CRtspSession::OnSetupAudioReply; break;
        case ZOX_RTSP_ACT_PLAY_REPLY: exec = &CRtspSession::OnPlayReply; break;
        case ZOX_RTSP_ACT_OPEN_MEDIA: exec = &CRtspSession::OpenMedia; break;
        case ZOX_RTSP_ACT_TERMINATE: exec = &CRtspSession::Terminate; break;
        }
        entries.push_back({t.from == kRtspAnyState ? tsk_fsm_state_any : t.from, t.event, cond,
                           t.to == kRtspAnyState ? tsk_fsm_state_any : t.to, exec, t.description});
    }
    tsk_fsm_set(m_fsm, entries);
    m_hasTable = true;
}

int CRtspSession::SetTerminatedCallback(tsk_fsm_onterminated_f callback, const void *data)
{
    if (!m_fsm)
        return -1;
    return tsk_fsm_set_callback_terminated(m_fsm, callback, data);
}

int CRtspSession::Act(int event, const trtsp_message_t *message)
{
    if (!m_fsm)
        return -1;
    return tsk_fsm_act(m_fsm, event, this, message, this, message);
}

// ---- CSeq -------------------------------------------------------------------

std::string CRtspSession::NextCSeq(const std::string &method)
{
    uint32_t n = uint32_t(++m_cseq);
    std::lock_guard<std::mutex> lk(m_cseqLock);
    for (int i = 3; i >= 0; --i)
        if (m_cseqTable[i].used)
            m_cseqTable[i + 1] = m_cseqTable[i];
    m_cseqTable[0] = ST_ZOX_RTSP_CSEQ{1, n, method};
    return std::to_string(n);
}

std::string CRtspSession::TakeCSeqMethod(uint32_t cseq)
{
    std::lock_guard<std::mutex> lk(m_cseqLock);
    for (auto &e : m_cseqTable) {
        if (e.used && e.cseq == cseq) {
            e.used = 0;
            return e.method;
        }
    }
    return {};
}

// ---- requests (worker) -------------------------------------------------------

std::string CRtspSession::BuildSetupUrl() const
{
    if (!m_videoControl.empty() && m_videoControl.find(m_url) != std::string::npos)
        return m_videoControl;
    std::string base = m_url;
    if (!base.empty() && base.back() == '?')
        base.pop_back();
    return base + "/" + m_videoControl;
}

std::string CRtspSession::BuildTransport() const
{
    if (m_transport == 1)
        return "RTP/AVP/TCP;unicast;interleaved=" + std::to_string(m_videoChannel) + "-" +
               std::to_string(m_videoChannel + 1);
    return "RTP/AVP;unicast;client_port=" + std::to_string(m_localVideoPort) + "-" +
           std::to_string(m_localVideoPort + 1);
}

int CRtspSession::Send(const char *method, const std::string &url, const trtsp_headers_t &extra, const char *okText,
                       const char *failText)
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    trtsp_headers_t headers;
    headers.emplace_back("CSeq", NextCSeq(method));
    headers.insert(headers.end(), extra.begin(), extra.end());
    if (trtsp_action_perform(m_session, m_host.c_str(), m_port, url.c_str(), method, kRequestTimeoutMs, headers) == 0) {
        WriteLog(okText, Id());
        return 0;
    }
    WriteLog(failText, Id());
    return -1;
}

int CRtspSession::SendOptions()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("OPTIONS", m_url, {}, "rtsp-session[%s]:: send rtsp options message success.",
                  "rtsp-session[%s]:: failed to send rtsp options message!");
    if (rc != 0)
        Act(ZOX_RTSP_EV_OPTIONS_FAILED, nullptr);
    return rc;
}

int CRtspSession::SendDescribe()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("DESCRIBE", m_url, {{"Accept", "application/sdp"}}, "rtsp-session[%s]:: send rtsp describe message success.",
                  "rtsp-session[%s]:: failed to send rtsp describe message!");
    if (rc != 0)
        Act(ZOX_RTSP_EV_DESCRIBE_FAILED, nullptr);
    return rc;
}

int CRtspSession::SendSetup()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("SETUP", BuildSetupUrl(), {{"Transport", BuildTransport()}},
                  "rtsp-session[%s]:: send rtsp setup message success.", "rtsp-session[%s]:: failed to send rtsp setup message!");
    if (rc != 0)
        Act(ZOX_RTSP_EV_SETUP_VIDEO_FAILED, nullptr);
    return rc;
}

int CRtspSession::SendPlay()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("PLAY", m_url, {{"Session", m_sessionId}, {"Range", "npt=0.000-"}},
                  "rtsp-session[%s]:: send rtsp play message success.", "rtsp-session[%s]:: failed to send rtsp play message!");
    if (rc != 0)
        Act(ZOX_RTSP_EV_PLAY_FAILED, nullptr);
    return rc;
}

int CRtspSession::SendSetParameter()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("SET_PARAMETER", m_url, {{"Session", m_sessionId}, {"OpenAudio", "1"}},
                  "rtsp-session[%s]:: send rtsp set_parameter message success.",
                  "rtsp-session[%s]:: failed to send rtsp set_parameter message!");
    if (rc != 0)
        Act(ZOX_RTSP_EV_SET_PARAMETER_NOT_SENT, nullptr);
    return rc;
}

int CRtspSession::SendTeardown()
{
    if (!m_session) {
        WriteLog("rtsp-session[%s]:: no session created!", Id());
        return -1;
    }
    int rc = Send("TEARDOWN", m_url, {{"Session", m_sessionId}}, "rtsp-session[%s]:: send rtsp teardown message success.",
                  "rtsp-session[%s]:: failed to send rtsp teardown message!");
    Act(ZOX_RTSP_EV_TEARDOWN_DONE, nullptr);
    return rc;
}

// Sends DESCRIBE again while the preview goes on with its media open. While the server
// cannot be reached the tries are spaced out (doubling waits) and bounded; then the
// preview ends as a stop does.
int CRtspSession::Rebuild()
{
    m_rebuilding = true;
    int wait = m_rebuildFirstWaitMs;
    int tries = 0;
    bool givenUp = false;
    while (m_previewing && m_mediaOpen && !m_shutdown) {
        if (SendDescribe() == 0)
            break;
        if (++tries >= m_rebuildTries) {
            givenUp = true;
            break;
        }
        std::unique_lock<std::mutex> lk(m_waitLock);
        m_waitCv.wait_for(lk, std::chrono::milliseconds(wait), [this] { return !m_previewing || m_shutdown; });
        wait = std::min(wait * 2, 2000);
    }
    m_rebuilding = false;
    if (givenUp && m_previewing && !m_shutdown) {
        WriteLog("rtsp-session[%s]:: server unreachable after %d tries, camera offline, preview ended.", Id(), tries);
        m_previewing = false;
        Act(ZOX_RTSP_EV_STOP, nullptr);
    }
    return 0;
}

// ---- stack events ------------------------------------------------------------

int CRtspSession::OnStackEvent(const trtsp_event_t *e)
{
    if (!e)
        return 0;
    auto *s = const_cast<CRtspSession *>(static_cast<const CRtspSession *>(e->userdata));
    if (!s || s->m_shutdown)
        return 0;
    switch (e->type) {
    case trtsp_event_message:
        s->OnResponse(e);
        break;
    case trtsp_event_auth_failed:
        s->OnAuthFailed(e);
        break;
    case trtsp_event_closed:
        WriteLog("rtsp-session[%s]:: recv trtsp_event_closed", s->Id());
        break;
    case trtsp_event_transport_error:
        WriteLog("rtsp-session[%s]:: recv trtsp_event_transport_error", s->Id());
        break;
    case trtsp_event_transport_closed:
        WriteLog("rtsp-session[%s]:: recv trtsp_event_transport_closed", s->Id());
        s->Act(ZOX_RTSP_EV_TRANSPORT_CLOSED, nullptr);
        break;
    default:
        break;
    }
    return 0;
}

bool CRtspSession::MatchResponse(const trtsp_event_t *e, std::string &method)
{
    const trtsp_message_t *m = e->message;
    if (!m || m->kind != trtsp_message_response) {
        WriteLog("rtsp-session[%s]:: not respone rtsp request wiht method(%s)!", Id(), m ? m->method.c_str() : "");
        return false;
    }
    if (!m->has_cseq) {
        WriteLog("rtsp-session[%s]:: failed to match rtsp response without cseq!", Id());
        return false;
    }
    method = TakeCSeqMethod(m->cseq);
    if (method.empty())
        method = e->method;
    if (method.empty()) {
        WriteLog("rtsp-session[%s]:: failed to match rtsp response without method!", Id());
        return false;
    }
    WriteLog("rtsp-session[%s]:: recv rtsp %s %u %s.", Id(), method.c_str(), unsigned(m->status), m->reason.c_str());
    return true;
}

void CRtspSession::OnResponse(const trtsp_event_t *e)
{
    std::string method;
    if (!MatchResponse(e, method))
        return;
    if (e->message->status == 200 && !m_connected) {
        m_connected = true;
        OnConnectionChanged(true);
    }
    static const struct {
        const char *method;
        int event;
    } kEvents[] = {{"OPTIONS", ZOX_RTSP_EV_OPTIONS_REPLY},   {"DESCRIBE", ZOX_RTSP_EV_DESCRIBE_REPLY},
                   {"SETUP", ZOX_RTSP_EV_SETUP_REPLY},       {"PLAY", ZOX_RTSP_EV_PLAY_REPLY},
                   {"SET_PARAMETER", ZOX_RTSP_EV_SET_PARAMETER_REPLY}, {"TEARDOWN", ZOX_RTSP_EV_TEARDOWN_REPLY}};
    for (const auto &k : kEvents) {
        if (strcasecmp(method.c_str(), k.method) == 0) {
            Act(k.event, e->message);
            return;
        }
    }
}

void CRtspSession::OnAuthFailed(const trtsp_event_t *e)
{
    std::string method;
    if (!MatchResponse(e, method))
        return;
    if (strcasecmp(method.c_str(), "OPTIONS") == 0)
        Act(ZOX_RTSP_EV_OPTIONS_REPLY, e->message);
    else if (strcasecmp(method.c_str(), "DESCRIBE") == 0)
        Act(ZOX_RTSP_EV_DESCRIBE_REPLY, e->message);
}

// ---- conditions and actions ---------------------------------------------------

bool CRtspSession::IsSetUp(const void *s, const void *)
{
    CRtspSession *self = Self(s);
    int st = self->GetState();
    return self->m_setUp && st > 4 && st < 14;
}

bool CRtspSession::IsNotSetUp(const void *s, const void *m) { return !IsSetUp(s, m); }

bool CRtspSession::CanRebuild(const void *s, const void *)
{
    CRtspSession *self = Self(s);
    return self->m_previewing && self->m_mediaOpen && !self->m_rebuilding;
}

int CRtspSession::PostOptions(const void *s, const void *) { return Self(s)->Post(WM_RTSP_SEND_OPTIONS); }
int CRtspSession::PostDescribe(const void *s, const void *) { return Self(s)->Post(WM_RTSP_SEND_DESCRIBE); }
int CRtspSession::PostSetup(const void *s, const void *) { return Self(s)->Post(WM_RTSP_SEND_SETUP); }
int CRtspSession::PostPlay(const void *s, const void *) { return Self(s)->Post(WM_RTSP_SEND_PLAY); }
int CRtspSession::PostSetParameter(const void *s, const void *) { return Self(s)->Post(WM_RTSP_OPEN_AUDIO); }
int CRtspSession::PostTeardown(const void *s, const void *) { return Self(s)->Post(WM_RTSP_SEND_TEARDOWN); }

int CRtspSession::PostRebuild(const void *s, const void *)
{
    CRtspSession *self = Self(s);
    // A rebuild that stalls is ended by the monitor, as a start is.
    if (self->ScheduleTimer(self->m_monitorMs, true) != 0)
        WriteLog("rtsp-session[%s]:: failed to create timer", self->Id());
    return self->Post(WM_RTSP_REBUILD);
}

int CRtspSession::OnOptionsReply(const void *s, const void *m)
{
    CRtspSession *self = Self(s);
    const trtsp_message_t *msg = Msg(m);
    int status = msg ? msg->status : 0;
    if (status == 200) {
        self->m_options401 = 0;
        return self->Act(ZOX_RTSP_EV_OPTIONS_OK, msg);
    }
    if (status == 401)
        return self->Act(self->m_options401++ == 0 ? ZOX_RTSP_EV_OPTIONS_CHALLENGE : ZOX_RTSP_EV_OPTIONS_FAILED, msg);
    return self->Act(ZOX_RTSP_EV_OPTIONS_FAILED, msg);
}

int CRtspSession::OnDescribeReply(const void *s, const void *m)
{
    CRtspSession *self = Self(s);
    return self->Act(self->DescribeReply(Msg(m)), Msg(m));
}

int CRtspSession::DescribeReply(const trtsp_message_t *m)
{
    int status = m ? m->status : 0;
    if (status == 401)
        return ++m_describe401 == 1 ? ZOX_RTSP_EV_DESCRIBE_CHALLENGE : ZOX_RTSP_EV_DESCRIBE_FAILED;
    if (status != 200)
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    if (m->content.empty() || !m->has_content_type) {
        WriteLog("rtsp-session[%s]:: describe resp without content.", Id());
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    }
    if (strcasecmp(m->content_type.c_str(), "application/sdp") != 0) {
        WriteLog("rtsp-session[%s]:: describe resp without sdp.", Id());
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    }
    size_t end = m->content.find("\r\n\r\n");
    std::string text = end == std::string::npos ? m->content : m->content.substr(0, end + 2);
    tsdp_message_t *sdp = tsdp_message_parse(text.data(), text.size());
    if (!sdp) {
        WriteLog("rtsp-session[%s]:: parse describe sdp failed.", Id());
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    }
    bool audio = (m_mediaKinds & 2) && ParseAudioMedia(sdp);
    bool video = (m_mediaKinds & 4) && ParseVideoMedia(sdp);
    tsk_object_unref(sdp);
    if (!audio && !video) {
        WriteLog("rtsp-session[%s]:: no describe sdp got.", Id());
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    }
    if ((m_mediaKinds & 4) && !video) {
        WriteLog("rtsp-session[%s]:: no describe video sdp got.", Id());
        return ZOX_RTSP_EV_DESCRIBE_FAILED;
    }
    m_audioChannel = 0;
    m_videoChannel = audio && video ? 2 : 0;
    return CreateMediaSession() == 0 ? ZOX_RTSP_EV_DESCRIBE_OK : ZOX_RTSP_EV_DESCRIBE_FAILED;
}

bool CRtspSession::ParseVideoMedia(tsdp_message_t *sdp)
{
    const tsdp_header_M_t *m = tsdp_message_find_media(sdp, "video");
    if (!m)
        return false;
    m_videoCodec = 0x100000;
    m_videoControl.clear();
    m_sps.clear();
    m_pps.clear();
    m_vps.clear();
    if (const char *rtpmap = tsdp_header_M_findA(m, "rtpmap")) {
        WriteLog("rtsp-session[%s]:: rtpmap=%s", Id(), rtpmap);
        if (std::strstr(rtpmap, "H265"))
            m_videoCodec = 0x8000000;
    }
    if (const char *fmtpText = tsdp_header_M_findA(m, "fmtp")) {
        WriteLog("rtsp-session[%s]:: fmtp=%s", Id(), fmtpText);
        std::string fmtp = fmtpText;
        size_t at = fmtp.find("sprop-parameter-sets");
        if (at != std::string::npos) {
            size_t eq = fmtp.find('=', at);
            size_t comma = eq == std::string::npos ? eq : fmtp.find(',', eq + 1);
            if (eq != std::string::npos && comma != std::string::npos) {
                m_sps = TrimBlanks(fmtp.substr(eq + 1, comma - eq - 1));
                size_t semi = fmtp.find(';', comma + 1);
                m_pps = TrimBlanks(fmtp.substr(comma + 1, semi == std::string::npos ? std::string::npos : semi - comma - 1));
            }
        }
        if (m_videoCodec == 0x8000000) {
            // H.265 gives its three parameter sets one by one.
            m_vps = FmtpValue(fmtp, "sprop-vps");
            m_sps = FmtpValue(fmtp, "sprop-sps");
            m_pps = FmtpValue(fmtp, "sprop-pps");
        }
    }
    const char *control = tsdp_header_M_findA(m, "control");
    if (!control || !*control)
        return false;
    m_videoControl = control;
    WriteLog("rtsp-session[%s]:: video control=%s", Id(), control);
    return true;
}

bool CRtspSession::ParseAudioMedia(tsdp_message_t *sdp)
{
    const tsdp_header_M_t *m = tsdp_message_find_media(sdp, "audio");
    if (!m)
        return false;
    m_audioCodec = 0;
    if (tsdp_header_M_have_fmt(m, "8")) {
        m_audioCodec = 32;
    } else if (const char *rtpmap = tsdp_header_M_findA(m, "rtpmap")) {
        std::string text = rtpmap;
        for (char &c : text)
            if (c == '/')
                c = ' ';
        int pt = 0, rate = 0, channels = 0;
        char name[64] = {};
        int n = std::sscanf(text.c_str(), "%d %63s %d %d", &pt, name, &rate, &channels);
        // With or without the channel count, an AMR map selects AMR.
        if ((n == 4 || n == 3) && strcasecmp(name, "AMR") == 0)
            m_audioCodec = 1;
    }
    if (m_audioCodec == 0)
        return false;
    const char *control = tsdp_header_M_findA(m, "control");
    if (!control || !*control)
        return false;
    m_audioControl = control;
    WriteLog("rtsp-session[%s]:: audio control=%s", Id(), control);
    return true;
}

int CRtspSession::SetupReply(const trtsp_message_t *m, bool video)
{
    int ok = video ? ZOX_RTSP_EV_SETUP_VIDEO_OK : ZOX_RTSP_EV_SETUP_AUDIO_OK;
    int fail = video ? ZOX_RTSP_EV_SETUP_VIDEO_FAILED : ZOX_RTSP_EV_SETUP_AUDIO_FAILED;
    if (!m || m->status != 200)
        return fail;
    m_setUp = true;
    if (m->has_session && !m->session.empty())
        m_sessionId = m->session;
    uint16_t &serverPort = video ? m_videoServerPort : m_audioServerPort;
    uint16_t &channel = video ? m_videoChannel : m_audioChannel;
    if (m->has_transport) {
        const trtsp_transport_t &t = m->transport;
        WriteLog("rtsp-session[%s]:: %s/%s; %s; server_port: %u-%u; interleaved: %u-%u", Id(), t.protocol.c_str(),
                 t.profile.c_str(), t.cast.c_str(), t.server_port[0], t.server_port[1], t.interleaved[0], t.interleaved[1]);
        serverPort = t.server_port[0];
        channel = t.interleaved[0];
        if (strcasecmp(t.lower.c_str(), "TCP") == 0)
            m_transport = 1;
        else if (strcasecmp(t.lower.c_str(), "UDP") == 0)
            m_transport = 0;
    }
    return !m_sessionId.empty() && (m_transport == 1 || serverPort != 0) ? ok : fail;
}

int CRtspSession::OnSetupVideoReply(const void *s, const void *m)
{
    CRtspSession *self = Self(s);
    return self->Act(self->SetupReply(Msg(m), true), Msg(m));
}

int CRtspSession::OnSetupAudioReply(const void *s, const void *m)
{
    CRtspSession *self = Self(s);
    return self->Act(self->SetupReply(Msg(m), false), Msg(m));
}

// The first sequence number of each stream from the PLAY reply's RTP-Info
// ("url=...;seq=N;rtptime=T, url=...").
void CRtspSession::TakeRtpInfo(const trtsp_message_t *m)
{
    m_videoSeq = m_audioSeq = -1;
    if (!m)
        return;
    const std::string *info = nullptr;
    for (const auto &h : m->headers)
        if (strcasecmp(h.first.c_str(), "RTP-Info") == 0)
            info = &h.second;
    if (!info)
        return;
    size_t from = 0;
    while (from < info->size()) {
        size_t end = info->find(',', from);
        std::string item = info->substr(from, end == std::string::npos ? std::string::npos : end - from);
        from = end == std::string::npos ? info->size() : end + 1;
        size_t u = item.find("url=");
        size_t q = item.find("seq=");
        if (u == std::string::npos || q == std::string::npos)
            continue;
        std::string url = item.substr(u + 4, item.find(';', u) == std::string::npos ? std::string::npos : item.find(';', u) - u - 4);
        char *stop = nullptr;
        long seq = std::strtol(item.c_str() + q + 4, &stop, 10);
        if (stop == item.c_str() + q + 4 || seq < 0 || seq > 65535)
            continue;
        auto endsWith = [&](const std::string &control) {
            return !control.empty() && url.size() >= control.size() &&
                   url.compare(url.size() - control.size(), control.size(), control) == 0;
        };
        if (endsWith(m_videoControl))
            m_videoSeq = int(seq);
        else if (endsWith(m_audioControl))
            m_audioSeq = int(seq);
    }
}

int CRtspSession::OnPlayReply(const void *s, const void *m)
{
    const trtsp_message_t *msg = Msg(m);
    if (msg && msg->status == 200)
        Self(s)->TakeRtpInfo(msg);
    return Self(s)->Act(msg && msg->status == 200 ? ZOX_RTSP_EV_PLAY_OK : ZOX_RTSP_EV_PLAY_FAILED, msg);
}

int CRtspSession::OpenMedia(const void *s, const void *m)
{
    CRtspSession *self = Self(s);
    if (self->StartMediaSession() != 0)
        return self->Act(ZOX_RTSP_EV_MEDIA_FAILED, Msg(m));
    self->CancelTimer(true);
    if (self->ScheduleTimer(self->m_pollMs, false) != 0)
        WriteLog("rtsp-session[%s]:: failed to create timer", self->Id());
    self->Act(ZOX_RTSP_EV_MEDIA_OPENED, Msg(m));
    bool autoRecord = g_pSystemConfig && g_pSystemConfig->IsAutoRecord();
    if ((self->m_mediaKinds & 4) && (autoRecord || self->m_recordAfterRebuild)) {
        self->m_recordAfterRebuild = false;
        self->ToggleRecord();
    }
    return 0;
}

int CRtspSession::Terminate(const void *s, const void *)
{
    CRtspSession *self = Self(s);
    WriteLog("rtsp-session[%s]:: rtsp session terminated.", self->Id());
    self->Stop();
    return 0;
}

// ---- media -------------------------------------------------------------------

void CRtspSession::ReleaseMedia()
{
    tmedia_session_mgr_t *media;
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        media = m_media;
        m_media = nullptr;
    }
    ReleaseMediaSession(media);
}

int CRtspSession::CreateMediaSession()
{
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        if (m_media && IsRecording()) {
            // The recording goes on in a new file once the media is open again.
            StopRecord();
            m_recordAfterRebuild = true;
        }
    }
    ReleaseMedia();
    m_mediaOpen = false;
    m_mediaStartTime = 0;
    m_lastFramesLow = m_lastFramesHigh = 0;
    std::string ip = RtspClientIpText();
    in_addr local{};
    inet_pton(AF_INET, ip.c_str(), &local);
    tmedia_session_mgr_t *mgr = ::CreateMediaSession(m_mediaKinds, local, 0, m_mediaKinds, 1);
    if (!mgr) {
        WriteLog("rtsp-session[%s]:: session mgr create failed!", Id());
        return -1;
    }
    if (m_transport == 1 && tmedia_session_mgr_set_ptr(mgr, m_mediaKinds, tmedia_ppt_manager, "rtsp-ctx", m_session) != 0) {
        WriteLog("rtsp-session[%s]:: session mgr set rtsp context failed!", Id());
        ReleaseMediaSession(mgr);
        return -2;
    }
    if (tmedia_session_mgr_get_lo(mgr) != 0) {
        WriteLog("rtsp-session[%s]:: session mgr get local offer failed!", Id());
        ReleaseMediaSession(mgr);
        return -3;
    }
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        m_media = mgr;
    }
    if (m_transport == 1)
        return 0;
    int rc = 0;
    if (m_mediaKinds & 2) {
        rc = GetMediaLocalPort(mgr, kMediaAudio, &m_localAudioPort);
        if (rc == 0)
            WriteLog("rtsp-session[%s]:: session mgr create success, local audio port: %d.", Id(), m_localAudioPort);
        else
            WriteLog("rtsp-session[%s]:: session mgr get local audio port failed!", Id());
    }
    if (m_mediaKinds & 4) {
        rc = GetMediaLocalPort(mgr, kMediaVideo, &m_localVideoPort);
        if (rc == 0)
            WriteLog("rtsp-session[%s]:: session mgr create success, local video port: %d.", Id(), m_localVideoPort);
        else
            WriteLog("rtsp-session[%s]:: session mgr get local video port failed!", Id());
    }
    return rc;
}

void CRtspSession::PostTile(std::function<void(IVideoTile *)> change)
{
    IVideoTile *tile = m_tile.load();
    if (!tile)
        return;
    // The tile may be freed by its owner before the change runs.
    PostToUi([tile, change = std::move(change)] {
        if (IsVideoTileAlive(tile))
            change(tile);
    });
}

int CRtspSession::StartMediaSession()
{
    std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
    if (!m_media)
        return -9;
    if (m_mediaOpen)
        return 0;
    in_addr remote{};
    remote.s_addr = inet_addr(m_host.c_str());
    if (m_mediaKinds & 2) {
        if (SetMediaCodecs(m_media, kMediaAudio, m_audioCodec) != 0) {
            WriteLog("rtsp-session[%s]:: set audio codecs exception!", Id());
            return -1;
        }
        if (SetMediaRemoteAddress(m_media, kMediaAudio, remote, m_audioServerPort) != 0) {
            WriteLog("rtsp-session[%s]:: set remote audio addr exception!", Id());
            return -2;
        }
    }
    if (m_mediaKinds & 4) {
        if (SetMediaCodecs(m_media, kMediaVideo, m_videoCodec) != 0) {
            WriteLog("rtsp-session[%s]:: set video codecs exception!", Id());
            return -3;
        }
        if (SetMediaRemoteAddress(m_media, kMediaVideo, remote, m_videoServerPort) != 0) {
            WriteLog("rtsp-session[%s]:: set remote video addr exception!", Id());
            return -4;
        }
        uintptr_t wnd = m_tileHandle.load();
        if (!m_tile.load() || !wnd) {
            WriteLog("rtsp-session[%s]:: no remote video window!", Id());
            return -6;
        }
        if (SetMediaRemoteWindow(m_media, wnd) != 0) {
            WriteLog("rtsp-session[%s]:: set remote video window exception!", Id());
            return -5;
        }
        if (SetMediaVideoSizeCallback(m_media, this, &CRtspSession::OnVideoSize) != 0) {
            WriteLog("rtsp-session[%s]:: subscribe video-size event exception!", Id());
            return -7;
        }
        std::string name = m_name, number = m_number;
        int owner = m_ownerType;
        const void *self = this;
        PostTile([self, name, number, owner](IVideoTile *t) {
            t->SetVideoKarCallback(self, &CRtspSession::OnKeepAspectRatio);
            t->SetUser(name, number, owner);
            t->SetService(ZOX_VIDEOWND_RTSP);
            if (owner == 1)
                t->SetSoundEnable(true);
        });
    }
    if (m_transport == 1) {
        // Only the media this session plays get a channel: a channel of a medium that
        // is not played would take the other's packets.
        if ((m_mediaKinds & 2) && trtsp_session_set_interleaved(m_session, 2, m_audioChannel) != 0)
            WriteLog("rtsp-session[%s]:: set rtspp_interleaved exception!", Id());
        if ((m_mediaKinds & 4) && trtsp_session_set_interleaved(m_session, 4, m_videoChannel) != 0)
            WriteLog("rtsp-session[%s]:: set rtspp_interleaved exception!", Id());
    }
    if (m_mediaKinds & 4) {
        // Parameter sets of the description go to the decoder ahead of the stream.
        if (!m_vps.empty())
            tmedia_session_mgr_set_str(m_media, kMediaVideo, tmedia_ppt_session, "vps", m_vps.c_str());
        if (!m_sps.empty())
            tmedia_session_mgr_set_str(m_media, kMediaVideo, tmedia_ppt_session, "sps", m_sps.c_str());
        if (!m_pps.empty())
            tmedia_session_mgr_set_str(m_media, kMediaVideo, tmedia_ppt_session, "pps", m_pps.c_str());
    }
    if ((m_mediaKinds & 4) && m_videoSeq >= 0)
        tmedia_session_mgr_set_int32(m_media, kMediaVideo, tmedia_ppt_session, "seqnum-base", m_videoSeq);
    if ((m_mediaKinds & 2) && m_audioSeq >= 0)
        tmedia_session_mgr_set_int32(m_media, kMediaAudio, tmedia_ppt_session, "seqnum-base", m_audioSeq);
    if (::StartMediaSession(m_media) != 0) {
        WriteLog("rtsp-session[%s]:: start session exception!", Id());
        return -8;
    }
    if (m_mediaKinds & 2)
        PostTile([](IVideoTile *t) { t->SetSoundOpen(true); });
    if (m_mediaKinds & 4)
        PostTile([](IVideoTile *t) { t->SetState(ZOX_VIDEOWND_PLAYING); });
    m_mediaOpen = true;
    m_mediaStartTime = NowSeconds();
    return 0;
}

void CRtspSession::CloseMedia()
{
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        StopRecord();
    }
    if (m_tile.load()) {
        if (m_mediaKinds & 4)
            PostTile([](IVideoTile *t) {
                t->SetRecording(false);
                t->SetSelected(false);
                t->SetState(ZOX_VIDEOWND_FREE);
            });
        else
            PostTile([](IVideoTile *t) { t->SetSoundOpen(false); });
        m_tile = nullptr;
        m_tileHandle = 0;
    }
    ReleaseMedia();
    m_mediaOpen = false;
    m_mediaStartTime = 0;
}

int CRtspSession::OnVideoSize(const void *data, uint32_t width, uint32_t height)
{
    Self(data)->PostTile([width, height](IVideoTile *t) { t->SetVideoSize(width, height); });
    return 0;
}

int CRtspSession::OnKeepAspectRatio(const void *data, int keep)
{
    CRtspSession *self = Self(data);
    WriteLog("rtsp-session[%s]:: set keep-aspect-ratio: %d", self->Id(), keep);
    std::lock_guard<std::recursive_mutex> lk(self->m_mediaLock);
    if (self->m_media)
        tmedia_session_mgr_set_int32(self->m_media, kMediaVideo, tmedia_ppt_consumer, "keep-aspect-ratio", keep);
    return 0;
}

// ---- timers --------------------------------------------------------------------

int CRtspSession::ScheduleTimer(uint64_t periodMs, bool monitor)
{
    std::lock_guard<std::mutex> lk(m_timerLock);
    if (m_shutdown)
        return -1;
    if (!m_timers) {
        m_timers = tsk_timer_manager_create();
        if (!m_timers) {
            WriteLog("rtsp-session[%s]:: failed to create timer manager.", Id());
            return -1;
        }
        if (tsk_timer_manager_start(m_timers) != 0) {
            WriteLog("rtsp-session[%s]:: failed to start timer", Id());
            return -1;
        }
    }
    tsk_timer_id_t &id = monitor ? m_monitorTimer : m_pollTimer;
    if (id)
        tsk_timer_manager_cancel(m_timers, id);
    id = tsk_timer_manager_schedule(m_timers, periodMs, &CRtspSession::OnTimer, this);
    if (!id) {
        WriteLog("rtsp-session[%s]:: failed to start timer", Id());
        return -1;
    }
    return 0;
}

void CRtspSession::CancelTimer(bool monitor)
{
    std::lock_guard<std::mutex> lk(m_timerLock);
    tsk_timer_id_t &id = monitor ? m_monitorTimer : m_pollTimer;
    if (id && m_timers)
        tsk_timer_manager_cancel(m_timers, id);
    id = 0;
}

int CRtspSession::OnTimer(const void *arg, tsk_timer_id_t id)
{
    CRtspSession *self = Self(arg);
    if (self->m_shutdown)
        return 0;
    bool monitor = false, poll = false;
    {
        std::lock_guard<std::mutex> lk(self->m_timerLock);
        if (id == self->m_monitorTimer) {
            monitor = true;
            self->m_monitorTimer = 0;
        } else if (id == self->m_pollTimer) {
            poll = true;
            self->m_pollTimer = 0;
        }
    }
    if (monitor) {
        WriteLog("rtsp-session[%s]:: monitor timer out.", self->Id());
        self->Act(ZOX_RTSP_EV_TIMEOUT, nullptr);
    } else if (poll) {
        WriteLog("rtsp-session[%s]:: poll timer out.", self->Id());
        if (!self->m_previewing || !self->m_mediaOpen)
            return 0;
        bool grew = self->CheckDecodedFrames();
        int64_t since = NowSeconds() - self->m_mediaStartTime.load();
        if (!grew && !self->m_rebuilding && since * 1000 > int64_t(self->m_pollMs))
            self->Act(ZOX_RTSP_EV_NO_NEW_FRAMES, nullptr);
        if (self->ScheduleTimer(self->m_pollMs, false) != 0)
            WriteLog("rtsp-session[%s]:: failed to create timer", self->Id());
    } else {
        WriteLog("rtsp-session[%s]:: unknown timer out.", self->Id());
    }
    return 0;
}

bool CRtspSession::CheckDecodedFrames()
{
    int64_t count = 0;
    int rc;
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        rc = m_media ? tmedia_session_mgr_get_int64(m_media, kMediaVideo, tmedia_ppt_consumer, "decoder-frames-count", &count)
                     : -1;
    }
    if (rc != 0) {
        WriteLog("rtsp-session[%s]:: failed to get decoder frames count.", Id());
        return true;
    }
    WriteLog("rtsp-session[%s]:: get decoder frames count %u.", Id(), unsigned(count));
    uint64_t last = (uint64_t(m_lastFramesHigh) << 32) | m_lastFramesLow;
    if (uint64_t(count) > last) {
        m_lastFramesLow = uint32_t(uint64_t(count));
        m_lastFramesHigh = uint32_t(uint64_t(count) >> 32);
        return true;
    }
    return false;
}

// ---- preview operations (user-interface thread) -----------------------------------

int CRtspSession::StartStack()
{
    int rc = m_stack ? trtsp_stack_start(m_stack) : -1;
    WriteLog("rtsp-session[%s]:: start rtsp stack %s.", Id(), rc == 0 ? "success" : "failed");
    return rc;
}

int CRtspSession::StartPreview(IVideoTile *tile)
{
    int state = GetState();
    if (state != ZOX_RTSP_IDLE && state != ZOX_RTSP_TERMINATED) {
        WriteLog("rtsp-session[%s]:: failed to start preview in state[%d].", Id(), state);
        return -1;
    }
    if (state == ZOX_RTSP_TERMINATED && tsk_fsm_set_current_state(m_fsm, ZOX_RTSP_IDLE) != 0) {
        WriteLog("rtsp-session[%s]:: failed to start preview, can't reset state[%d].", Id(), state);
        return -2;
    }
    WriteLog("rtsp-session[%s]:: start preview ...", Id());
    m_previewing = true;
    m_setUp = false;
    m_options401 = 0;
    m_describe401 = 0;
    m_tile = tile;
    m_tileHandle = tile ? tile->GetHandle() : 0;
    if (tile && (m_mediaKinds & 4))
        tile->SetState(ZOX_VIDEOWND_STARTING);
    StartStack();
    if (ScheduleTimer(m_monitorMs, true) != 0)
        WriteLog("rtsp-session[%s]:: failed to create timer", Id());
    Act(ZOX_RTSP_EV_START, nullptr);
    return 0;
}

int CRtspSession::StopPreview()
{
    WriteLog("rtsp-session[%s]:: stop preview ...", Id());
    m_previewing = false;
    {
        std::lock_guard<std::mutex> lk(m_waitLock);
        m_waitCv.notify_all();
    }
    Act(ZOX_RTSP_EV_STOP, nullptr);
    return 0;
}

bool CRtspSession::IsPreviewing()
{
    int state = GetState();
    return m_previewing && state != ZOX_RTSP_IDLE && state != ZOX_RTSP_TERMINATED;
}

void CRtspSession::DetachTile(IVideoTile *tile)
{
    std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
    IVideoTile *expected = tile;
    if (!tile || !m_tile.compare_exchange_strong(expected, nullptr))
        return;
    if (m_mediaOpen && m_media)
        SetMediaRemoteWindow(m_media, 0);
    m_tileHandle = 0;
}

int CRtspSession::SetVideoWindow(IVideoTile *tile)
{
    if (!tile) {
        WriteLog("rtsp-session[%s]:: set video window exception for invalid param", Id());
        return -2;
    }
    IVideoTile *old = m_tile.load();
    if (old)
        tile->Clone(old);
    uintptr_t wnd = tile->GetHandle();
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        if (m_mediaOpen && m_media && SetMediaRemoteWindow(m_media, wnd) != 0) {
            WriteLog("rtsp-session[%s]:: set remote video window exception!", Id());
            if (old) {
                tile->SetSelected(false);
                tile->SetState(ZOX_VIDEOWND_FREE);
            }
            return -1;
        }
        // The new window shows the video before the old tile is given up.
        m_tile = tile;
        m_tileHandle = wnd;
    }
    if (old && old != tile) {
        old->SetSelected(false);
        old->SetState(ZOX_VIDEOWND_FREE);
    }
    return 0;
}

int CRtspSession::ToggleRecord()
{
    if (!(m_mediaKinds & 4))
        return -1;
    int rc;
    bool recording;
    {
        std::lock_guard<std::recursive_mutex> lk(m_mediaLock);
        if (IsRecording()) {
            rc = StopRecord();
        } else if (GetState() == ZOX_RTSP_PLAYING) {
            rc = StartRecord(m_number, m_ownerType == 2 ? "camera" : "", m_videoCodec == 0x8000000 ? ".265" : ".264");
        } else {
            return -1;
        }
        recording = IsRecording();
    }
    PostTile([recording](IVideoTile *t) { t->SetRecording(recording); });
    return rc;
}

// ---- stop ------------------------------------------------------------------------

void CRtspSession::Stop()
{
    m_previewing = false;
    {
        std::lock_guard<std::mutex> lk(m_waitLock);
        m_waitCv.notify_all();
    }
    CancelTimer(true);
    CancelTimer(false);
    CloseMedia();
    if (m_stack) {
        trtsp_stack_stop(m_stack);
        WriteLog("rtsp-session[%s]:: stop rtsp stack.", Id());
    }
}
