#include "medialib/RtspStack.h"
#include "medialib/MediaLog.h"
#include "medialib/RtspParser.h"

#include <glib.h>
#include <gst/rtsp/gstrtspmessage.h>
#include <gst/rtsp/gstrtsptransport.h>
#include <gst/rtsp/gstrtspdefs.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
std::atomic<uint64_t> g_nextRtspSessionId{1};

// Logs a dropped input at most once a second per kind.
void LogDrop(std::atomic<int64_t> &last, const char *fmt, const char *what)
{
    int64_t now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    int64_t prev = last.load();
    if (now != prev && last.compare_exchange_strong(prev, now))
        MediaLogWarn(fmt, what);
}
std::atomic<int64_t> g_lastParseLog{0}, g_lastFrameLog{0};
} // namespace

struct trtsp_stack_t {
    std::atomic<int> refs{1};
    trtsp_stack_callback_f callback = nullptr;
    std::string localIp;
    in_addr localAddr{};
    const void *userdata = nullptr;
    std::mutex lock;
    bool started = false;
    std::vector<trtsp_session_t *> sessions; // not referenced: a session leaves on its release
};

struct trtsp_session_t {
    std::atomic<int> refs{1};
    trtsp_stack_t *stack = nullptr;
    std::string user, password, agent;
    bool hasCredentials = false;
    const void *userdata = nullptr;
    uint64_t id = 0;

    // Connection: fd and reader under connLock; writes under writeLock.
    std::mutex connLock;
    int fd = -1;
    std::thread reader;
    std::mutex writeLock;
    int writeFd = -1; // writeLock

    // Requests sent: CSeq -> (method, carried credentials), the last 32.
    std::mutex sentLock;
    std::map<uint32_t, std::pair<std::string, bool>> sent;

    // The server's last challenge (authLock).
    std::mutex authLock;
    bool challenged = false;
    bool digest = false;
    std::string realm, nonce, opaque;

    // Interleaved channels of audio (index 0) and video (1); -1 = none.
    std::mutex sinkLock;
    int channel[2] = {-1, -1};
    trtsp_interleaved_sink_f sink = nullptr;
    void *sinkData = nullptr;
};

namespace {

void StackRef(trtsp_stack_t *s) { s->refs.fetch_add(1); }

void Raise(trtsp_session_t *s, int type, const std::string &method, const trtsp_message_t *msg)
{
    trtsp_stack_t *st = s->stack;
    if (!st->callback)
        return;
    trtsp_event_t e;
    e.type = type;
    e.session = s;
    e.userdata = s->userdata ? s->userdata : st->userdata;
    e.method = method;
    e.message = msg;
    st->callback(&e);
}

std::string LowerTransText(GstRTSPLowerTrans t)
{
    if (t & GST_RTSP_LOWER_TRANS_TCP)
        return "TCP";
    if (t & (GST_RTSP_LOWER_TRANS_UDP | GST_RTSP_LOWER_TRANS_UDP_MCAST))
        return "UDP";
    return "";
}

std::string ProfileText(GstRTSPProfile p)
{
    switch (p) {
    case GST_RTSP_PROFILE_AVP: return "AVP";
    case GST_RTSP_PROFILE_SAVP: return "SAVP";
    case GST_RTSP_PROFILE_AVPF: return "AVPF";
    case GST_RTSP_PROFILE_SAVPF: return "SAVPF";
    default: return "";
    }
}

uint16_t PortValue(gint v) { return v > 0 && v <= 65535 ? uint16_t(v) : 0; }

bool ParseTransport(const std::string &text, trtsp_transport_t &out)
{
    // Only the first of a comma-separated list of transports is the chosen one.
    std::string first = text.substr(0, text.find(','));
    GstRTSPTransport *t = nullptr;
    if (gst_rtsp_transport_new(&t) != GST_RTSP_OK)
        return false;
    bool ok = gst_rtsp_transport_parse(first.c_str(), t) == GST_RTSP_OK;
    if (ok) {
        out.protocol = t->trans == GST_RTSP_TRANS_RTP ? "RTP" : (t->trans == GST_RTSP_TRANS_RDT ? "RDT" : "");
        out.profile = ProfileText(t->profile);
        out.cast = (t->lower_transport & GST_RTSP_LOWER_TRANS_UDP_MCAST) ? "multicast" : "unicast";
        out.lower = LowerTransText(t->lower_transport);
        out.server_port[0] = PortValue(t->server_port.min);
        out.server_port[1] = PortValue(t->server_port.max);
        out.interleaved[0] = t->interleaved.min >= 0 && t->interleaved.min <= 255 ? uint16_t(t->interleaved.min) : 0;
        out.interleaved[1] = t->interleaved.max >= 0 && t->interleaved.max <= 255 ? uint16_t(t->interleaved.max) : 0;
    }
    gst_rtsp_transport_free(t);
    return ok;
}

// Keeps the server's challenge of a 401 (Digest preferred over Basic).
void TakeChallenge(trtsp_session_t *s, const RtspParsedMessage &m)
{
    GstRTSPMessage *msg = nullptr;
    if (gst_rtsp_message_new_response(&msg, GST_RTSP_STS_UNAUTHORIZED, nullptr, nullptr) != GST_RTSP_OK)
        return;
    for (const auto &h : m.headers)
        if (strcasecmp(h.first.c_str(), "WWW-Authenticate") == 0)
            gst_rtsp_message_add_header(msg, GST_RTSP_HDR_WWW_AUTHENTICATE, h.second.c_str());
    GstRTSPAuthCredential **creds = gst_rtsp_message_parse_auth_credentials(msg, GST_RTSP_HDR_WWW_AUTHENTICATE);
    bool found = false, digest = false;
    std::string realm, nonce, opaque;
    for (GstRTSPAuthCredential **c = creds; c && *c; ++c) {
        bool isDigest = (*c)->scheme == GST_RTSP_AUTH_DIGEST;
        if ((*c)->scheme != GST_RTSP_AUTH_BASIC && !isDigest)
            continue;
        if (found && digest)
            break;
        if (found && !isDigest)
            continue;
        found = true;
        digest = isDigest;
        realm.clear();
        nonce.clear();
        opaque.clear();
        for (GstRTSPAuthParam **p = (*c)->params; p && *p; ++p) {
            if (!(*p)->name || !(*p)->value)
                continue;
            if (g_ascii_strcasecmp((*p)->name, "realm") == 0)
                realm = (*p)->value;
            else if (g_ascii_strcasecmp((*p)->name, "nonce") == 0)
                nonce = (*p)->value;
            else if (g_ascii_strcasecmp((*p)->name, "opaque") == 0)
                opaque = (*p)->value;
        }
    }
    if (creds)
        gst_rtsp_auth_credentials_free(creds);
    gst_rtsp_message_free(msg);
    if (!found || (digest && nonce.empty()))
        return;
    // Each goes back inside a quoted string of the Authorization header.
    auto quotable = [](const std::string &v) {
        return std::none_of(v.begin(), v.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '"'; });
    };
    if (!quotable(realm) || !quotable(nonce) || !quotable(opaque)) {
        LogDrop(g_lastParseLog, "rtsp: %s challenge with control characters or quotes ignored", digest ? "Digest" : "Basic");
        return;
    }
    std::lock_guard<std::mutex> lk(s->authLock);
    s->challenged = true;
    s->digest = digest;
    s->realm = realm;
    s->nonce = nonce;
    s->opaque = opaque;
}

// The Authorization value for a request, or empty.
std::string Authorization(trtsp_session_t *s, const char *method, const char *url)
{
    if (!s->hasCredentials)
        return {};
    std::lock_guard<std::mutex> lk(s->authLock);
    if (!s->challenged)
        return {};
    if (!s->digest) {
        std::string up = s->user + ":" + s->password;
        gchar *b64 = g_base64_encode(reinterpret_cast<const guchar *>(up.data()), up.size());
        std::string v = std::string("Basic ") + b64;
        g_free(b64);
        return v;
    }
    gchar *resp = gst_rtsp_generate_digest_auth_response(nullptr, method, s->realm.c_str(), s->user.c_str(),
                                                         s->password.c_str(), url, s->nonce.c_str());
    if (!resp)
        return {};
    std::string v = "Digest username=\"" + s->user + "\", realm=\"" + s->realm + "\", nonce=\"" + s->nonce +
                    "\", uri=\"" + url + "\", response=\"" + resp + "\"";
    if (!s->opaque.empty())
        v += ", opaque=\"" + s->opaque + "\"";
    g_free(resp);
    return v;
}

void OnParsedMessage(trtsp_session_t *s, RtspParsedMessage &&m)
{
    trtsp_message_t msg;
    msg.kind = m.response ? trtsp_message_response : trtsp_message_request;
    msg.status = m.status;
    msg.reason = m.reason;
    msg.method = m.method;
    if (const std::string *v = m.Header("CSeq")) {
        char *end = nullptr;
        unsigned long n = std::strtoul(v->c_str(), &end, 10);
        if (!v->empty() && end && *end == 0 && n <= 0xFFFFFFFFul) {
            msg.has_cseq = true;
            msg.cseq = uint32_t(n);
        }
    }
    if (const std::string *v = m.Header("Session")) {
        msg.has_session = true;
        msg.session = v->substr(0, v->find(';'));
    }
    if (const std::string *v = m.Header("Transport"))
        msg.has_transport = ParseTransport(*v, msg.transport);
    if (const std::string *v = m.Header("Content-Type")) {
        msg.has_content_type = true;
        msg.content_type = *v;
    }
    msg.content = std::move(m.content);
    msg.headers = std::move(m.headers);
    m.headers = msg.headers; // TakeChallenge reads them below

    std::string method;
    bool carriedCredentials = false;
    if (msg.kind == trtsp_message_response && msg.has_cseq) {
        std::lock_guard<std::mutex> lk(s->sentLock);
        auto it = s->sent.find(msg.cseq);
        if (it != s->sent.end()) {
            method = it->second.first;
            carriedCredentials = it->second.second;
        }
    }
    int type = trtsp_event_message;
    if (msg.kind == trtsp_message_response && msg.status == 401) {
        TakeChallenge(s, m);
        if (carriedCredentials)
            type = trtsp_event_auth_failed;
    }
    Raise(s, type, method, &msg);
}

void OnFrame(trtsp_session_t *s, uint8_t channel, const uint8_t *data, size_t size)
{
    std::lock_guard<std::mutex> lk(s->sinkLock);
    int media = 0;
    bool rtcp = false;
    for (int i = 0; i < 2; ++i) {
        if (s->channel[i] < 0)
            continue;
        if (channel == s->channel[i] || channel == s->channel[i] + 1) {
            media = i == 0 ? 2 : 4;
            rtcp = channel != s->channel[i];
            break;
        }
    }
    if (!media || !s->sink) {
        LogDrop(g_lastFrameLog, "rtsp: interleaved frame on channel %s without a receiver dropped",
                std::to_string(channel).c_str());
        return;
    }
    s->sink(s->sinkData, media, rtcp, data, size);
}

void ReaderProc(trtsp_session_t *s, int fd)
{
    RtspParser parser([s](RtspParsedMessage &&m) { OnParsedMessage(s, std::move(m)); },
                      [s](uint8_t ch, const uint8_t *d, size_t n) { OnFrame(s, ch, d, n); });
    std::vector<uint8_t> buf(64 * 1024);
    bool error = false;
    for (;;) {
        // Acknowledge at once what arrives. A server that sends small segments with
        // Nagle's rule on (the PLAY reply, then the stream's parameter sets, each a
        // frame of its own) waits for our ACK before the next one; the kernel's delayed
        // ACK would hold each of them up to 40 ms. The option does not stay set: it is
        // renewed before every read.
        int quick = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &quick, sizeof quick);
        ssize_t n = ::recv(fd, buf.data(), buf.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0;
            break;
        }
        if (!parser.Feed(buf.data(), size_t(n))) {
            LogDrop(g_lastParseLog, "rtsp: malformed data from the server (%s), connection closed", parser.Error().c_str());
            error = true;
            break;
        }
    }
    {
        std::lock_guard<std::mutex> wl(s->writeLock);
        s->writeFd = -1;
    }
    {
        std::lock_guard<std::mutex> lk(s->connLock);
        ::close(fd);
        s->fd = -1;
    }
    if (error)
        Raise(s, trtsp_event_transport_error, std::string(), nullptr);
    Raise(s, trtsp_event_transport_closed, std::string(), nullptr);
}

int ConnectTo(const in_addr &local, const char *host, uint16_t port, int timeoutMs)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (!host || ::inet_pton(AF_INET, host, &to.sin_addr) != 1 || port == 0)
        return -1;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr = local;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0) {
        ::close(fd);
        return -1;
    }
    int rc = ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to);
    if (rc != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    if (rc != 0) {
        pollfd p{fd, POLLOUT, 0};
        int err = 0;
        socklen_t len = sizeof err;
        if (::poll(&p, 1, timeoutMs > 0 ? timeoutMs : 2500) != 1 ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
            ::close(fd);
            return -1;
        }
    }
    int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    timeval tv{};
    int ms = timeoutMs > 0 ? timeoutMs : 2500;
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool SendAll(int fd, const uint8_t *p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

bool StackStarted(trtsp_stack_t *st)
{
    std::lock_guard<std::mutex> lk(st->lock);
    return st->started;
}

// Shuts the connection down; its reader closes it and raises transport-closed.
void ShutdownConnection(trtsp_session_t *s)
{
    std::lock_guard<std::mutex> lk(s->connLock);
    if (s->fd >= 0)
        ::shutdown(s->fd, SHUT_RDWR);
}

void JoinReader(trtsp_session_t *s)
{
    std::thread t;
    {
        std::lock_guard<std::mutex> lk(s->connLock);
        t = std::move(s->reader);
    }
    if (!t.joinable())
        return;
    if (t.get_id() == std::this_thread::get_id())
        t.detach(); // released from its own callback: it ends right after
    else
        t.join();
}

} // namespace

trtsp_stack_t *trtsp_stack_create(trtsp_stack_callback_f callback, const char *local_ip, const void *userdata)
{
    in_addr a{};
    if (!local_ip || ::inet_pton(AF_INET, local_ip, &a) != 1)
        return nullptr;
    auto *st = new trtsp_stack_t;
    st->callback = callback;
    st->localIp = local_ip;
    st->localAddr = a;
    st->userdata = userdata;
    return st;
}

int trtsp_stack_start(trtsp_stack_t *stack)
{
    if (!stack)
        return -1;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = stack->localAddr;
    int rc = ::bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
    ::close(fd);
    if (rc != 0) {
        MediaLogError("rtsp: cannot bind to %s (errno %d)", stack->localIp.c_str(), errno);
        return -1;
    }
    std::lock_guard<std::mutex> lk(stack->lock);
    stack->started = true;
    return 0;
}

int trtsp_stack_stop(trtsp_stack_t *stack)
{
    if (!stack)
        return -1;
    std::vector<trtsp_session_t *> sessions;
    {
        std::lock_guard<std::mutex> lk(stack->lock);
        stack->started = false;
        sessions = stack->sessions;
        for (trtsp_session_t *s : sessions)
            s->refs.fetch_add(1);
    }
    for (trtsp_session_t *s : sessions) {
        ShutdownConnection(s);
        tsk_object_unref(s);
    }
    return 0;
}

trtsp_session_t *trtsp_session_create(trtsp_stack_t *stack, const char *user, const char *password,
                                      const char *user_agent, const void *userdata)
{
    if (!stack)
        return nullptr;
    auto *s = new trtsp_session_t;
    StackRef(stack);
    s->stack = stack;
    s->hasCredentials = user && *user;
    if (s->hasCredentials) {
        s->user = user;
        s->password = password ? password : "";
    }
    s->agent = user_agent ? user_agent : "";
    s->userdata = userdata;
    s->id = g_nextRtspSessionId.fetch_add(1);
    std::lock_guard<std::mutex> lk(stack->lock);
    stack->sessions.push_back(s);
    return s;
}

const void *trtsp_session_get_userdata(const trtsp_session_t *session) { return session ? session->userdata : nullptr; }
uint64_t trtsp_session_get_id(const trtsp_session_t *session) { return session ? session->id : 0; }

int trtsp_action_perform(trtsp_session_t *s, const char *host, uint16_t port, const char *url, const char *method,
                         int timeout_ms, const trtsp_headers_t &headers)
{
    if (!s || !url || !method || !*method)
        return -1;
    if (!StackStarted(s->stack))
        return -1;
    // CR or LF inside a value would end the header: refuse such a request.
    auto clean = [](const std::string &v) { return v.find_first_of("\r\n") == std::string::npos; };
    if (!clean(url) || !clean(method) || std::strchr(url, ' '))
        return -1;
    for (const auto &h : headers)
        if (!clean(h.first) || !clean(h.second) || h.first.empty())
            return -1;

    // Connect when no connection is open (again after a close).
    int fd;
    {
        std::unique_lock<std::mutex> lk(s->connLock);
        fd = s->fd;
        if (fd < 0) {
            std::thread old = std::move(s->reader);
            lk.unlock();
            if (old.joinable()) {
                if (old.get_id() == std::this_thread::get_id())
                    old.detach();
                else
                    old.join();
            }
            int nfd = ConnectTo(s->stack->localAddr, host, port, timeout_ms);
            if (nfd < 0)
                return -1;
            lk.lock();
            if (s->fd >= 0 || !StackStarted(s->stack)) {
                // Another request connected meanwhile, or the stack was stopped.
                ::close(nfd);
                if (s->fd < 0)
                    return -1;
            } else {
                s->fd = nfd;
                {
                    std::lock_guard<std::mutex> wl(s->writeLock);
                    s->writeFd = nfd;
                }
                s->reader = std::thread(ReaderProc, s, nfd);
            }
            fd = s->fd;
        }
    }

    std::string text = std::string(method) + " " + url + " RTSP/1.0\r\n";
    uint32_t cseq = 0;
    bool hasCseq = false;
    for (const auto &h : headers) {
        text += h.first + ": " + h.second + "\r\n";
        if (strcasecmp(h.first.c_str(), "CSeq") == 0) {
            hasCseq = true;
            cseq = uint32_t(std::strtoul(h.second.c_str(), nullptr, 10));
        }
    }
    std::string auth = Authorization(s, method, url);
    if (!auth.empty())
        text += "Authorization: " + auth + "\r\n";
    if (!s->agent.empty())
        text += "User-Agent: " + s->agent + "\r\n";
    text += "\r\n";
    if (hasCseq) {
        std::lock_guard<std::mutex> lk(s->sentLock);
        s->sent[cseq] = {method, !auth.empty()};
        while (s->sent.size() > 32)
            s->sent.erase(s->sent.begin());
    }
    std::lock_guard<std::mutex> wl(s->writeLock);
    if (s->writeFd != fd || fd < 0)
        return -1;
    if (!SendAll(fd, reinterpret_cast<const uint8_t *>(text.data()), text.size())) {
        ::shutdown(fd, SHUT_RDWR); // the reader closes it and reports
        return -1;
    }
    return 0;
}

int trtsp_session_set_interleaved(trtsp_session_t *s, int media, int channel)
{
    if (!s || (media != 2 && media != 4) || channel < 0 || channel > 254)
        return -1;
    std::lock_guard<std::mutex> lk(s->sinkLock);
    s->channel[media == 2 ? 0 : 1] = channel;
    return 0;
}

void trtsp_session_set_interleaved_sink(trtsp_session_t *s, trtsp_interleaved_sink_f sink, void *userdata)
{
    if (!s)
        return;
    std::lock_guard<std::mutex> lk(s->sinkLock);
    s->sink = sink;
    s->sinkData = userdata;
}

bool trtsp_session_send_interleaved(trtsp_session_t *s, int media, bool rtcp, const uint8_t *data, size_t size)
{
    if (!s || !data || size == 0 || size > 65535)
        return false;
    int ch;
    {
        std::lock_guard<std::mutex> lk(s->sinkLock);
        int base = media == 2 ? s->channel[0] : media == 4 ? s->channel[1] : -1;
        if (base < 0)
            return false;
        ch = base + (rtcp ? 1 : 0);
    }
    uint8_t head[4] = {'$', uint8_t(ch), uint8_t(size >> 8), uint8_t(size & 0xFF)};
    std::lock_guard<std::mutex> wl(s->writeLock);
    if (s->writeFd < 0)
        return false;
    // Never block a media thread for long: a frame that cannot go at once is dropped.
    iovec iov[2] = {{head, 4}, {const_cast<uint8_t *>(data), size}};
    msghdr mh{};
    mh.msg_iov = iov;
    mh.msg_iovlen = 2;
    ssize_t w = ::sendmsg(s->writeFd, &mh, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (w == ssize_t(size + 4))
        return true;
    if (w > 0) {
        // Part of the frame went out: the rest must follow or the stream is broken.
        size_t done = size_t(w);
        if (done < 4 && !SendAll(s->writeFd, head + done, 4 - done))
            return false;
        size_t off = done > 4 ? done - 4 : 0;
        return SendAll(s->writeFd, data + off, size - off);
    }
    return false;
}

void trtsp_session_join(trtsp_session_t *s)
{
    if (s)
        JoinReader(s);
}

void trtsp_session_ref(trtsp_session_t *s)
{
    if (s)
        s->refs.fetch_add(1);
}

void tsk_object_unref(trtsp_session_t *s)
{
    if (!s || s->refs.fetch_sub(1) != 1)
        return;
    trtsp_stack_t *st = s->stack;
    {
        std::lock_guard<std::mutex> lk(st->lock);
        std::erase(st->sessions, s);
    }
    ShutdownConnection(s);
    JoinReader(s);
    tsk_object_unref(st);
    delete s;
}

void tsk_object_unref(trtsp_stack_t *st)
{
    if (!st || st->refs.fetch_sub(1) != 1)
        return;
    delete st;
}
