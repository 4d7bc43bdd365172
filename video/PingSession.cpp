#include "video/PingSession.h"
#include "core/Log.h"
#include "video/RtspSession.h"

#include <cerrno>
#include <chrono>
#include <strings.h>

namespace {
uint16_t RowPort(int port) { return port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0; }
} // namespace

CPingSession::CPingSession(const ST_ZOX_RTSP_CAMERA &row, IPingSessionOwner *owner, const PingTiming &timing)
    : m_cid(row.cid), m_auth(row.auth != 0), m_online(row.status != 0), m_enabled(row.enabled != 0), m_host(row.ip),
      m_port(RowPort(row.port)), m_url(row.main_url), m_user(row.username), m_password(row.password),
      m_owner(owner), m_timing(timing)
{
    if (!m_enabled)
        return;
    // Each step runs whatever became of the one before: a check without a stack or a
    // session still polls, and its failing OPTIONS take an online camera offline.
    CreateStack();
    CreateSession();
    StartStack();
    StartWorkThread();
    StartPollTimer(m_timing.firstMs);
}

CPingSession::~CPingSession()
{
    // Every thread that could call into the check ends before anything it uses is
    // released: the timer, then the worker, then the stack's reader.
    Stop();
    tsk_timer_manager_destroy(&m_timerManager);
    // A poll that ran while stopping may have started the stack again.
    if (m_stack)
        trtsp_stack_stop(m_stack);
    Destroy();
    if (m_session) {
        trtsp_session_join(m_session);
        tsk_object_unref(m_session);
        m_session = nullptr;
    }
    if (m_stack) {
        tsk_object_unref(m_stack);
        m_stack = nullptr;
    }
    WriteLog("ping-session[%u]:: destroy.", m_cid);
}

void CPingSession::Stop()
{
    m_stopping = true;
    if (m_timerManager) {
        std::lock_guard<std::mutex> lk(m_timerLock);
        if (m_pollTimer)
            tsk_timer_manager_cancel(m_timerManager, m_pollTimer);
        m_pollTimer = 0;
    }
    if (m_stack)
        trtsp_stack_stop(m_stack);
}

void CPingSession::CancelBlockingWork()
{
    // A send blocked in its connect or write ends when the stack closes its connection.
    if (m_stack)
        trtsp_stack_stop(m_stack);
}

int64_t CPingSession::NowMs()
{
    using namespace std::chrono;
    int64_t ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return ms > 0 ? ms : 1;
}

int CPingSession::CreateStack()
{
    const std::string ip = RtspClientIpText();
    m_stack = trtsp_stack_create(&CPingSession::OnStackEvent, ip.c_str(), this);
    if (!m_stack) {
        WriteLog("ping-session[%u]:: create rtsp stack failed.", m_cid);
        return -1;
    }
    return 0;
}

int CPingSession::CreateSession()
{
    if (!m_stack) {
        WriteLog("ping-session[%u]:: no rtsp stack to create session.", m_cid);
        return -1;
    }
    m_session = m_auth ? trtsp_session_create(m_stack, m_user.c_str(), m_password.c_str(), "zox-client", this)
                       : trtsp_session_create(m_stack, nullptr, nullptr, "zox-client", this);
    if (!m_session) {
        WriteLog("ping-session[%u]:: create rtsp session exception!", m_cid);
        return -1;
    }
    return 0;
}

int CPingSession::StartStack()
{
    const int rc = m_stack ? trtsp_stack_start(m_stack) : -1;
    WriteLog("ping-session[%u]:: start rtsp stack %s.", m_cid, rc == 0 ? "success" : "failed");
    return rc;
}

int CPingSession::StartWorkThread()
{
    if (Create() != 0) {
        WriteLog("ping-session[%u]:: failed to create work thread.", m_cid);
        return -1;
    }
    m_handlers[WM_RTSP_SEND_OPTIONS] = &CPingSession::SendOptions;
    return 0;
}

int CPingSession::StartPollTimer(uint64_t periodMs)
{
    if (!m_timerManager) {
        m_timerManager = tsk_timer_manager_create();
        if (!m_timerManager) {
            WriteLog("ping-session[%u]:: failed to create timer manager.", m_cid);
            return -1;
        }
        if (tsk_timer_manager_start(m_timerManager) != 0) {
            WriteLog("ping-session[%u]:: failed to start timer", m_cid);
            return -1;
        }
    }
    // Under the lock: a short period may fire before the id is kept.
    std::lock_guard<std::mutex> lk(m_timerLock);
    if (m_stopping)
        return -1;
    m_pollTimer = tsk_timer_manager_schedule(m_timerManager, periodMs, &CPingSession::OnTimer, this);
    if (m_pollTimer == 0) {
        WriteLog("ping-session[%u]:: failed to start poll timer", m_cid);
        return -1;
    }
    return 0;
}

int CPingSession::SendOptions()
{
    const int cseq = ++m_cseq;
    if (m_stopping)
        return 0;
    if (!m_session) {
        WriteLog("ping-session[%u]:: no session created!", m_cid);
        // Counted like a send that found nobody: a camera without a session goes
        // offline once three polls passed.
        ++m_sentSinceClose;
        return -1;
    }
    m_sending = true;
    const trtsp_headers_t headers = {{"CSeq", std::to_string(cseq)}};
    errno = 0;
    if (trtsp_action_perform(m_session, m_host.c_str(), m_port, m_url.c_str(), "OPTIONS", kSendTimeoutMs, headers) ==
        0) {
        WriteLog("ping-session[%u]:: send rtsp options message success.", m_cid);
    } else {
        const int error = errno;
        WriteLog("ping-session[%u]:: failed to send rtsp options message!", m_cid);
        OnSendError(error);
    }
    m_sending = false;
    ++m_sentSinceClose;
    return 0;
}

void CPingSession::OnSendError(int error)
{
    WriteLog("ping-session[%u]:: get last error %d.", m_cid, error);
    // The connection is gone under the send: close as a transport close does, so that
    // the next poll starts the stack again.
    if (error == ENOTSOCK || error == ECONNRESET || error == ESHUTDOWN || error == EPIPE) {
        if (m_session) {
            WriteLog("ping-session[%u]:: trtsp_session_closefd", m_cid);
            trtsp_stack_stop(m_stack);
            m_closeTime = NowMs();
            m_sentSinceClose = 0;
        }
    }
}

int CPingSession::OnStackEvent(const trtsp_event_t *e)
{
    if (!e || !e->userdata)
        return 0;
    auto *self = const_cast<CPingSession *>(static_cast<const CPingSession *>(e->userdata));
    switch (e->type) {
    case trtsp_event_message: self->OnResponse(e); break;
    case trtsp_event_auth_failed: self->OnAuthFailed(e); break;
    case trtsp_event_closed: WriteLog("ping-session[%u]:: recv trtsp_event_closed", self->m_cid); break;
    case trtsp_event_transport_error:
        WriteLog("ping-session[%u]:: recv trtsp_event_transport_error", self->m_cid);
        break;
    case trtsp_event_transport_closed:
        WriteLog("ping-session[%u]:: recv trtsp_event_transport_closed", self->m_cid);
        self->OnClosed();
        break;
    default: break;
    }
    return 0;
}

void CPingSession::OnResponse(const trtsp_event_t *e)
{
    const trtsp_message_t *m = e->message;
    if (!m)
        return;
    if (m->kind != trtsp_message_response) {
        WriteLog("ping-session[%u]:: recv rtsp request wiht method(%s)!", m_cid, m->method.c_str());
        return;
    }
    m_lastReplyTime = NowMs();
    m_closeTime = 0;
    WriteLog("ping-session[%u]:: recv rtsp %s %u %s.", m_cid, e->method.c_str(), static_cast<unsigned>(m->status),
             m->reason.c_str());
    if (strcasecmp(e->method.c_str(), "OPTIONS") == 0)
        OnOptionsResponse(m->status);
}

void CPingSession::OnAuthFailed(const trtsp_event_t *e)
{
    const trtsp_message_t *m = e->message;
    if (!m)
        return;
    if (m->kind != trtsp_message_response) {
        WriteLog("ping-session[%u]:: recv rtsp request wiht method(%s)!", m_cid, m->method.c_str());
        return;
    }
    WriteLog("ping-session[%u]:: recv rtsp %s %u %s.", m_cid, e->method.c_str(), static_cast<unsigned>(m->status),
             m->reason.c_str());
    if (strcasecmp(e->method.c_str(), "OPTIONS") == 0)
        OnOptionsResponse(m->status);
}

void CPingSession::OnClosed()
{
    if (m_stack)
        trtsp_stack_stop(m_stack);
    m_closeTime = NowMs();
    m_sentSinceClose = 0;
}

void CPingSession::OnOptionsResponse(int status)
{
    if (status == 200) {
        bool wasOnline = false;
        if (m_online.compare_exchange_strong(wasOnline, true)) {
            if (m_owner)
                m_owner->OnCameraState(m_cid, 1);
            WriteLog("ping-session[%u]:: set camera state online.", m_cid);
        }
    } else if (status == 401) {
        // One repetition per poll; it carries the credentials that the challenge asked for.
        if (m_count401.fetch_add(1) == 0)
            Post(WM_RTSP_SEND_OPTIONS);
    }
}

int CPingSession::OnTimer(const void *arg, tsk_timer_id_t id)
{
    auto *self = const_cast<CPingSession *>(static_cast<const CPingSession *>(arg));
    if (self)
        self->OnPollTimer(id);
    return 0;
}

void CPingSession::OnPollTimer(tsk_timer_id_t id)
{
    {
        std::lock_guard<std::mutex> lk(m_timerLock);
        if (id != m_pollTimer) {
            WriteLog("ping-session[%u]:: unknown timer out.", m_cid);
            return;
        }
        m_pollTimer = 0;
    }
    WriteLog("ping-session[%u]:: poll timer out.", m_cid);
    if (m_stopping)
        return;

    if (!m_sending && !(m_owner && m_owner->IsPlaying(kOwnerCamera, std::to_string(m_cid)))) {
        if (m_closeTime != 0 && m_stack)
            trtsp_stack_start(m_stack);
        // Cleared before the request goes: a 401 to it may come back before this
        // thread would get to it, and its repetition must still be the only one.
        m_count401 = 0;
        Post(WM_RTSP_SEND_OPTIONS);
    }

    uint64_t next = m_timing.pollMs;
    if (m_online) {
        const int64_t closeTime = m_closeTime;
        const int64_t lastReply = m_lastReplyTime;
        if (closeTime < lastReply || m_sentSinceClose < kUnansweredLimit) {
            next = m_timing.healthyMs;
        } else {
            m_online = false;
            m_closeTime = 0;
            if (m_owner)
                m_owner->OnCameraState(m_cid, 0);
            WriteLog("ping-session[%u]:: set camera state offline.", m_cid);
        }
    }
    StartPollTimer(next);
}
