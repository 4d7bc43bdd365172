#include "medialib/MediaSessionMgr.h"
#include "medialib/MediaDefaults.h"
#include "medialib/MediaLog.h"
#include "medialib/MediaStartup.h"
#include "medialib/RtspStack.h"
#include "medialib/Tbcp.h"
#include "medialib/VideoSizeFilter.h"

#include <gio/gio.h>
#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>
#include <xcb/xcb.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <deque>
#include <chrono>
#include <algorithm>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Guards the user callbacks of one manager: once closed, no callback starts and
// close() waits for the running ones.
class CallbackGate {
public:
    bool enter()
    {
        std::lock_guard<std::mutex> lk(m_lock);
        if (m_closed)
            return false;
        ++m_active;
        return true;
    }
    void leave()
    {
        std::lock_guard<std::mutex> lk(m_lock);
        if (--m_active == 0)
            m_cv.notify_all();
    }
    // `self` = 1 when the caller itself runs inside one of the callbacks.
    void close(int self)
    {
        std::unique_lock<std::mutex> lk(m_lock);
        m_closed = true;
        m_cv.wait(lk, [&] { return m_active <= self; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    int m_active = 0;
    bool m_closed = false;
};

thread_local const tmedia_session_mgr_t *t_inCallbackOf = nullptr;

// Link lists of every manager (sources and targets of shares and forwards) and
// the out-path appsrc pointers are read and changed under this lock.
std::mutex g_linkLock;
std::atomic<uint64_t> g_nextSessionId{1};

struct Medium {
    int type = 0;     // 2 or 4
    unsigned rtpId = 0; // rtpbin session
    GSocket *rtpSock = nullptr, *rtcpSock = nullptr;
    uint16_t localPort = 0;
    std::string remoteIp;
    uint16_t remotePort = 0;
    int64_t codec = 0;
    GstElement *rtpSink = nullptr, *rtcpSink = nullptr, *funnel = nullptr;
    // RTP over the RTSP connection: the received packets enter here (rtspLock).
    GstElement *rtspRtpSrc = nullptr, *rtspRtcpSrc = nullptr;
    int seqnumBase = -1; // first sequence number announced by the sender (RTSP RTP-Info)
    std::atomic<uint64_t> rxPackets{0}, rxBytes{0}, txPackets{0}, txBytes{0};
    // Audio timing (diagnostics): decoded buffers handed to the output and when the
    // last one was; when each captured buffer left the source, until its packet is sent.
    std::atomic<uint64_t> buffersOut{0};
    std::atomic<int64_t> lastOutNs{0};
    std::mutex timingLock;
    std::deque<int64_t> capturedNs;
    std::vector<int64_t> sendDelaysNs;
};

struct Link {
    tmedia_session_mgr_t *target;
    bool forward; // forward (listed by forward ids) or share
};

} // namespace

struct tmedia_session_t {
    tmedia_session_mgr_t *mgr = nullptr;
    uint64_t id = 0;
};

struct tmedia_session_mgr_t {
    std::atomic<int> refs{1};
    std::mutex api;
    int media = 0, sendMedia = 0, recvMedia = 0;
    std::string localIp;
    Medium audio, video;
    bool rtcpEnabled = true;
    GstElement *pipeline = nullptr, *rtpbin = nullptr;
    bool started = false, stopped = false;
    std::atomic<bool> running{false};
    uint32_t ssrc = 0;

    CallbackGate gate;
    tmedia_session_rtcp_onevent_cb_f rtcpCb = nullptr;
    const void *rtcpData = nullptr;
    tmedia_session_videosize_cb_f sizeCb = nullptr;
    const void *sizeData = nullptr;

    // The audio peer as the RTCP thread sees it (talk-burst answers); written under
    // both `api` and this lock, read by the RTCP thread under this lock only.
    std::mutex tbcpAddrLock;
    std::string tbcpIp;
    uint16_t tbcpPort = 0;

    // Floor control of PTT audio.
    bool floorControl = false;
    GstElement *micValve = nullptr;
    std::atomic<bool> floorOpen{false};

    // Video.
    uintptr_t localWnd = 0, remoteWnd = 0;
    bool keepAspect = false;
    // Scaling of received pictures to the window they are drawn into (window sinks
    // draw at the picture's own size): the window as the streaming thread reads it,
    // the size the pictures are scaled to, and a count of pictures between checks.
    std::atomic<uintptr_t> drawWnd{0};
    GstElement *scaler = nullptr, *scaleCaps = nullptr;
    int scaledWidth = 0, scaledHeight = 0; // received video's streaming thread only
    unsigned scaleTick = 0;                // the same
    int cameraId = 0;
    std::mutex psLock;
    std::vector<uint8_t> sps, pps;
    bool injectPending = false;
    std::atomic<uint64_t> framesDecoded{0};
    VideoSizeFilter sizeFilter; // decoder thread only
    GstElement *remoteSink = nullptr, *localSink = nullptr, *encoder = nullptr, *recvParse = nullptr;
    GstElement *outSrc = nullptr; // g_linkLock

    // Recording.
    std::mutex recLock;
    int recFd = -1;
    bool recWaitKey = false;
    bool recFailed = false;
    std::chrono::steady_clock::time_point recStart;
    bool recWaitLogged = false;

    // Links (g_linkLock).
    std::vector<Link> targets;
    std::vector<tmedia_session_mgr_t *> sources; // last = the one sent
    bool outWaitKey = true;
    std::atomic<bool> keyRequestCamera{false}, keyRequestRecv{false};

    tmedia_session_t videoSession;

    // RTP and RTCP carried on an RTSP connection ("rtsp-ctx"), referenced.
    trtsp_session_t *rtspCtx = nullptr;
    std::mutex rtspLock;
    std::vector<uint8_t> vps;
    GstClockTime lastSlicePts = GST_CLOCK_TIME_NONE; // received video's streaming thread only
    GstBuffer *heldPiece = nullptr;                  // the same
    int markerMode = 0;                              // the same: 0 unknown, 1 markers, 2 none
};

namespace {

bool hasVideo(const tmedia_session_mgr_t *m) { return (m->media & tmedia_video) != 0; }
bool hasAudio(const tmedia_session_mgr_t *m) { return (m->media & tmedia_audio) != 0; }

Medium *mediumOf(tmedia_session_mgr_t *m, int media)
{
    if (media == tmedia_audio && hasAudio(m))
        return &m->audio;
    if (media == tmedia_video && hasVideo(m))
        return &m->video;
    return nullptr;
}

void mgrRef(tmedia_session_mgr_t *m) { m->refs.fetch_add(1); }

// ---- sockets ----------------------------------------------------------------

GSocket *wrapFd(int fd)
{
    GError *err = nullptr;
    GSocket *s = g_socket_new_from_fd(fd, &err);
    if (!s) {
        MediaLogError("media: socket wrap failed: %s", err ? err->message : "?");
        if (err)
            g_error_free(err);
        ::close(fd);
    }
    return s;
}

int bindUdp(in_addr addr, uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = addr;
    sa.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Binds an even RTP port and the odd RTCP port above it.
bool bindPair(const std::string &ip, Medium &m)
{
    in_addr addr{};
    if (::inet_pton(AF_INET, ip.c_str(), &addr) != 1)
        return false;
    for (int attempt = 0; attempt < 200; ++attempt) {
        int rtp = bindUdp(addr, 0);
        if (rtp < 0)
            return false;
        sockaddr_in sa{};
        socklen_t len = sizeof sa;
        ::getsockname(rtp, reinterpret_cast<sockaddr *>(&sa), &len);
        uint16_t port = ntohs(sa.sin_port);
        if (port % 2 != 0 || port == 65534) {
            ::close(rtp);
            continue;
        }
        int rtcp = bindUdp(addr, uint16_t(port + 1));
        if (rtcp < 0) {
            ::close(rtp);
            continue;
        }
        m.rtpSock = wrapFd(rtp);
        m.rtcpSock = wrapFd(rtcp);
        if (!m.rtpSock || !m.rtcpSock)
            return false;
        m.localPort = port;
        return true;
    }
    return false;
}

void closeSockets(Medium &m)
{
    if (m.rtpSock)
        g_object_unref(m.rtpSock);
    if (m.rtcpSock)
        g_object_unref(m.rtcpSock);
    m.rtpSock = m.rtcpSock = nullptr;
}

bool sendTo(GSocket *sock, const std::string &ip, uint16_t port, const uint8_t *data, size_t len)
{
    if (!sock || ip.empty() || port == 0)
        return false;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (::inet_pton(AF_INET, ip.c_str(), &sa.sin_addr) != 1)
        return false;
    ssize_t n = ::sendto(g_socket_get_fd(sock), data, len, 0, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
    return n == ssize_t(len);
}

// ---- elements ---------------------------------------------------------------

GstElement *make(const char *factory, const char *name = nullptr)
{
    GstElement *e = gst_element_factory_make(factory, name);
    if (!e)
        MediaLogError("media: cannot create element %s", factory);
    return e;
}

bool addLink(GstElement *bin, std::initializer_list<GstElement *> chain)
{
    for (GstElement *e : chain)
        if (!e)
            return false;
    for (GstElement *e : chain)
        gst_bin_add(GST_BIN(bin), e);
    GstElement *prev = nullptr;
    for (GstElement *e : chain) {
        if (prev && !gst_element_link(prev, e)) {
            MediaLogError("media: cannot link %s to %s", GST_ELEMENT_NAME(prev), GST_ELEMENT_NAME(e));
            return false;
        }
        prev = e;
    }
    return true;
}

GstElement *capsFilter(const char *caps)
{
    GstElement *f = make("capsfilter");
    if (f) {
        GstCaps *c = gst_caps_from_string(caps);
        g_object_set(f, "caps", c, nullptr);
        gst_caps_unref(c);
    }
    return f;
}

bool linkPads(GstElement *src, const char *srcPad, GstElement *sink, const char *sinkPad)
{
    GstPad *sp = gst_element_get_static_pad(src, srcPad);
    if (!sp)
        sp = gst_element_request_pad_simple(src, srcPad);
    GstPad *dp = gst_element_get_static_pad(sink, sinkPad);
    if (!dp)
        dp = gst_element_request_pad_simple(sink, sinkPad);
    bool ok = sp && dp && gst_pad_link(sp, dp) == GST_PAD_LINK_OK;
    if (!ok)
        MediaLogError("media: cannot link pad %s to %s", srcPad, sinkPad);
    if (sp)
        gst_object_unref(sp);
    if (dp)
        gst_object_unref(dp);
    return ok;
}

bool displayAvailable()
{
    const char *d = std::getenv("DISPLAY");
    return d && *d;
}

GstElement *makeVideoSink(uintptr_t window, bool keepAspect, bool *isOverlay)
{
    *isOverlay = false;
    if (window && displayAvailable()) {
        GstElement *s = gst_element_factory_make("ximagesink", nullptr);
        if (s) {
            g_object_set(s, "force-aspect-ratio", gboolean(keepAspect), "sync", FALSE, nullptr);
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(s), guintptr(window));
            *isOverlay = true;
            return s;
        }
    }
    GstElement *f = make("fakesink");
    if (f)
        g_object_set(f, "sync", FALSE, "async", FALSE, nullptr);
    return f;
}

// Size of a native window, from a connection of our own to the display (kept for the
// life of the process). False when there is no display or no such window.
bool nativeWindowSize(uintptr_t window, int &width, int &height)
{
    static std::mutex lock;
    static xcb_connection_t *conn = nullptr;
    static bool unavailable = false;
    if (!window || window > 0xFFFFFFFFu)
        return false;
    std::lock_guard<std::mutex> lk(lock);
    if (!conn && !unavailable) {
        conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn)) {
            xcb_disconnect(conn);
            conn = nullptr;
            unavailable = true;
            MediaLogWarn("media: no display connection for window sizes; videos are drawn unscaled");
        }
    }
    if (!conn)
        return false;
    xcb_get_geometry_reply_t *r = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, xcb_window_t(window)), nullptr);
    if (!r)
        return false; // the window is gone (the reply is an error)
    width = r->width;
    height = r->height;
    free(r);
    return width > 0 && height > 0;
}

// ---- probes -----------------------------------------------------------------

// Before each picture goes to the scaler, now and then: the window's size becomes the
// size the pictures are scaled to (a tile resized by a layout change, a video moved
// into another window).
GstPadProbeReturn scaleToWindowProbe(GstPad *, GstPadProbeInfo *, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    constexpr unsigned kPicturesBetweenChecks = 10;
    if (m->scaleTick++ % kPicturesBetweenChecks != 0)
        return GST_PAD_PROBE_OK;
    int w = 0, h = 0;
    if (!nativeWindowSize(m->drawWnd.load(), w, h) || (w == m->scaledWidth && h == m->scaledHeight))
        return GST_PAD_PROBE_OK;
    m->scaledWidth = w;
    m->scaledHeight = h;
    GstCaps *c = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, w, "height", G_TYPE_INT, h,
                                     "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    g_object_set(m->scaleCaps, "caps", c, nullptr);
    gst_caps_unref(c);
    return GST_PAD_PROBE_OK;
}

// Adds the buffers a probe sees (one buffer or a list) to a packet and a byte count.
GstPadProbeReturn countBuffers(GstPadProbeInfo *info, std::atomic<uint64_t> &packets, std::atomic<uint64_t> &bytes)
{
    auto add = [&](GstBuffer *b) {
        packets.fetch_add(1, std::memory_order_relaxed);
        bytes.fetch_add(gst_buffer_get_size(b), std::memory_order_relaxed);
    };
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER)
        add(GST_PAD_PROBE_INFO_BUFFER(info));
    else if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList *l = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
        for (guint i = 0; i < gst_buffer_list_length(l); ++i)
            add(gst_buffer_list_get(l, i));
    }
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn countProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<Medium *>(data);
    return countBuffers(info, m->rxPackets, m->rxBytes);
}

int64_t monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr std::size_t kMaxTimings = 100000;

GstPadProbeReturn countTxProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<Medium *>(data);
    if (m->type == tmedia_audio) {
        const int64_t now = monotonicNs();
        std::lock_guard<std::mutex> lk(m->timingLock);
        if (!m->capturedNs.empty()) {
            if (m->sendDelaysNs.size() < kMaxTimings)
                m->sendDelaysNs.push_back(now - m->capturedNs.front());
            m->capturedNs.pop_front();
        }
    }
    return countBuffers(info, m->txPackets, m->txBytes);
}

GstPadProbeReturn capturedProbe(GstPad *, GstPadProbeInfo *, gpointer data)
{
    auto *m = static_cast<Medium *>(data);
    const int64_t now = monotonicNs();
    std::lock_guard<std::mutex> lk(m->timingLock);
    if (m->capturedNs.size() < kMaxTimings)
        m->capturedNs.push_back(now);
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn playedProbe(GstPad *, GstPadProbeInfo *, gpointer data)
{
    auto *m = static_cast<Medium *>(data);
    m->lastOutNs = monotonicNs();
    m->buffersOut.fetch_add(1);
    return GST_PAD_PROBE_OK;
}

void addProbe(GstElement *e, const char *pad, GstPadProbeType type, GstPadProbeCallback cb, gpointer data)
{
    GstPad *p = gst_element_get_static_pad(e, pad);
    if (p) {
        gst_pad_add_probe(p, type, cb, data, nullptr);
        gst_object_unref(p);
    }
}

void setMicOpen(tmedia_session_mgr_t *m, bool open)
{
    m->floorOpen = open;
    if (m->micValve)
        g_object_set(m->micValve, "drop", gboolean(!open), nullptr);
}

void sendTbcp(tmedia_session_mgr_t *m, uint8_t subtype, const uint8_t *body, size_t size)
{
    uint8_t pkt[1500];
    size_t n = BuildTbcpPacket(subtype, m->ssrc, body, size, pkt, sizeof pkt);
    std::string ip;
    uint16_t port = 0;
    {
        std::lock_guard<std::mutex> lk(m->tbcpAddrLock);
        ip = m->tbcpIp;
        port = m->tbcpPort;
    }
    if (n && port)
        sendTo(m->audio.rtcpSock, ip, uint16_t(port + 1), pkt, n);
}

void onTbcp(tmedia_session_mgr_t *m, const TbcpMessage &msg)
{
    uint8_t reported = msg.subtype;
    switch (msg.subtype) {
    case kTbcpGranted:
        if (m->floorControl)
            setMicOpen(m, true);
        break;
    case kTbcpRelease:
    case kTbcpIdle:
        if (m->floorControl)
            setMicOpen(m, false);
        break;
    case kTbcpRevoke:
        if (m->floorControl)
            setMicOpen(m, false);
        sendTbcp(m, kTbcpRelease, nullptr, 0);
        break;
    case kTbcpTakenWithAck: {
        uint8_t ack[4] = {kTbcpTakenWithAck, 0, 0, 0};
        sendTbcp(m, kTbcpAck, ack, sizeof ack);
        reported = kTbcpTaken;
        break;
    }
    default:
        break;
    }
    if (!m->rtcpCb || !m->gate.enter())
        return;
    t_inCallbackOf = m;
    m->rtcpCb(m->rtcpData, tmedia_rtcp_event_tbcp, reported, msg.body, msg.bodySize);
    t_inCallbackOf = nullptr;
    m->gate.leave();
}

GstPadProbeReturn rtcpProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    if (!(GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER))
        return GST_PAD_PROBE_OK;
    GstBuffer *buf = GST_PAD_PROBE_INFO_BUFFER(info);
    GstMapInfo map;
    if (!gst_buffer_map(buf, &map, GST_MAP_READ))
        return GST_PAD_PROBE_DROP;
    TbcpScan scan;
    std::vector<TbcpMessage> msgs;
    bool ok = ParseTbcpDatagram(map.data, map.size, &scan, [&](const TbcpMessage &msg) { msgs.push_back(msg); });
    GstPadProbeReturn ret = GST_PAD_PROBE_OK;
    if (!ok) {
        MediaLogWarn("media: malformed RTCP datagram (%zu bytes) dropped", size_t(map.size));
        ret = GST_PAD_PROBE_DROP;
    } else {
        for (const TbcpMessage &msg : msgs)
            onTbcp(m, msg);
        if (scan.otherCount == 0)
            ret = GST_PAD_PROBE_DROP; // talk-burst only: nothing for the RTP session
    }
    gst_buffer_unmap(buf, &map);
    return ret;
}

GstPadProbeReturn decodedProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        m->framesDecoded.fetch_add(1, std::memory_order_relaxed);
        return GST_PAD_PROBE_OK;
    }
    GstEvent *ev = GST_PAD_PROBE_INFO_EVENT(info);
    if (!ev || GST_EVENT_TYPE(ev) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps *caps = nullptr;
    gst_event_parse_caps(ev, &caps);
    int w = 0, h = 0;
    if (caps && gst_caps_get_size(caps) > 0) {
        GstStructure *s = gst_caps_get_structure(caps, 0);
        gst_structure_get_int(s, "width", &w);
        gst_structure_get_int(s, "height", &h);
    }
    if (w < 0 || h < 0 || !m->sizeFilter.Accept(uint32_t(w), uint32_t(h)))
        return GST_PAD_PROBE_OK;
    MediaLogInfo("media: decoded video size %dx%d", w, h);
    if (m->sizeCb && m->gate.enter()) {
        t_inCallbackOf = m;
        m->sizeCb(m->sizeData, uint32_t(w), uint32_t(h));
        t_inCallbackOf = nullptr;
        m->gate.leave();
    }
    return GST_PAD_PROBE_OK;
}

// Parameter sets from the stream description go in front of the first received
// access unit so that the parser and the decoder know them.
GstPadProbeReturn injectProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    std::vector<uint8_t> prefix;
    {
        std::lock_guard<std::mutex> lk(m->psLock);
        if (!m->injectPending)
            return GST_PAD_PROBE_OK;
        static const uint8_t sc[4] = {0, 0, 0, 1};
        for (const auto *ps : {&m->vps, &m->sps, &m->pps}) {
            if (ps->empty())
                continue;
            prefix.insert(prefix.end(), sc, sc + 4);
            prefix.insert(prefix.end(), ps->begin(), ps->end());
        }
        m->injectPending = false;
    }
    if (prefix.empty())
        return GST_PAD_PROBE_OK;
    GstBuffer *buf = GST_PAD_PROBE_INFO_BUFFER(info);
    GstBuffer *head = gst_buffer_new_memdup(prefix.data(), prefix.size());
    buf = gst_buffer_make_writable(buf);
    gst_buffer_prepend_memory(buf, gst_buffer_get_all_memory(head));
    gst_buffer_unref(head);
    GST_PAD_PROBE_INFO_DATA(info) = buf;
    return GST_PAD_PROBE_OK;
}

// The depayloader may hand out one picture in pieces (it starts a new buffer at
// parameter sets that a sender repeats between the slices of a key frame); the parser,
// told that buffers are access units, would take each piece for a picture. Pieces
// are joined up to the buffer that carries the RTP marker of the picture's last
// packet. A sender found not to set marker bits (a picture ends without one) has its
// stream passed as it comes.
GstPadProbeReturn wholePictureProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    GstBuffer *buf = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buf)
        return GST_PAD_PROBE_OK;
    bool marker = GST_BUFFER_FLAG_IS_SET(buf, GST_BUFFER_FLAG_MARKER);
    if (marker)
        m->markerMode = 1;
    if (m->markerMode == 2)
        return GST_PAD_PROBE_OK;
    GstClockTime pts = GST_BUFFER_PTS(buf);
    if (m->heldPiece && GST_BUFFER_PTS(m->heldPiece) != pts) {
        // The end of the held picture was lost (it cannot be decoded whole), or the
        // sender sets no markers at all.
        gst_buffer_unref(m->heldPiece);
        m->heldPiece = nullptr;
        if (m->markerMode == 0) {
            m->markerMode = 2;
            return GST_PAD_PROBE_OK;
        }
    }
    if (m->heldPiece) {
        GstBuffer *joined = gst_buffer_append(m->heldPiece, gst_buffer_ref(buf));
        m->heldPiece = nullptr;
        gst_buffer_copy_into(joined, buf, GstBufferCopyFlags(GST_BUFFER_COPY_FLAGS | GST_BUFFER_COPY_TIMESTAMPS), 0, -1);
        gst_buffer_unref(buf);
        buf = joined;
        GST_PAD_PROBE_INFO_DATA(info) = buf;
    }
    if (marker)
        return GST_PAD_PROBE_OK;
    if (gst_buffer_get_size(buf) > 8 * 1024 * 1024) {
        MediaLogWarn("media: picture without end over 8 MB dropped");
        return GST_PAD_PROBE_DROP;
    }
    m->heldPiece = buf; // the probe's reference
    GST_PAD_PROBE_INFO_DATA(info) = nullptr;
    return GST_PAD_PROBE_HANDLED;
}

// A sender that repeats its parameter sets in front of every slice of a key frame
// (a payloader set to send them with each key frame, and an encoder that cuts its
// pictures into slices) puts them between the slices of one picture; the parser then
// starts a new access unit at each of them and every slice is decoded as one more
// picture. Parameter sets that come after a slice of the same picture are dropped.
template <bool H265>
GstPadProbeReturn midPictureHeadersProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    GstBuffer *buf = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buf)
        return GST_PAD_PROBE_OK;
    GstClockTime pts = GST_BUFFER_PTS(buf);
    bool samePicture = m->lastSlicePts != GST_CLOCK_TIME_NONE && (pts == GST_CLOCK_TIME_NONE || pts == m->lastSlicePts);
    GstMapInfo map;
    if (!gst_buffer_map(buf, &map, GST_MAP_READ))
        return GST_PAD_PROBE_OK;
    // NAL units: [start of start code, start of next start code).
    std::vector<std::pair<size_t, size_t>> nals;
    const uint8_t *p = map.data;
    size_t n = map.size;
    size_t cur = SIZE_MAX;
    for (size_t i = 0; i + 2 < n; ++i) {
        if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) {
            size_t begin = (i > 0 && p[i - 1] == 0) ? i - 1 : i;
            if (cur != SIZE_MAX)
                nals.emplace_back(cur, begin);
            cur = begin;
            i += 2;
        }
    }
    if (cur != SIZE_MAX)
        nals.emplace_back(cur, n);
    bool drop = false, slice = false;
    std::vector<bool> keep(nals.size(), true);
    for (size_t k = 0; k < nals.size(); ++k) {
        size_t hdr = nals[k].first + (p[nals[k].first + 2] == 1 ? 3 : 4);
        if (hdr >= nals[k].second)
            continue;
        int type = H265 ? (p[hdr] >> 1) & 0x3F : p[hdr] & 0x1F;
        bool isSlice = H265 ? type <= 31 : (type >= 1 && type <= 5);
        bool isParam = H265 ? (type >= 32 && type <= 34) : (type == 7 || type == 8);
        if (isParam && (samePicture || slice)) {
            keep[k] = false;
            drop = true;
        }
        if (isSlice)
            slice = true;
    }
    if (slice && pts != GST_CLOCK_TIME_NONE)
        m->lastSlicePts = pts;
    if (!drop) {
        gst_buffer_unmap(buf, &map);
        return GST_PAD_PROBE_OK;
    }
    std::vector<uint8_t> kept;
    kept.reserve(n);
    for (size_t k = 0; k < nals.size(); ++k)
        if (keep[k])
            kept.insert(kept.end(), p + nals[k].first, p + nals[k].second);
    gst_buffer_unmap(buf, &map);
    if (kept.empty())
        return GST_PAD_PROBE_DROP;
    GstBuffer *out = gst_buffer_new_memdup(kept.data(), kept.size());
    gst_buffer_copy_into(out, buf, GstBufferCopyFlags(GST_BUFFER_COPY_FLAGS | GST_BUFFER_COPY_TIMESTAMPS | GST_BUFFER_COPY_META), 0, -1);
    gst_buffer_unref(buf);
    GST_PAD_PROBE_INFO_DATA(info) = out;
    return GST_PAD_PROBE_OK;
}

void pushOut(tmedia_session_mgr_t *target, GstBuffer *buf, bool key)
{
    // g_linkLock held.
    if (!target->outSrc)
        return;
    if (target->outWaitKey) {
        if (!key)
            return;
        target->outWaitKey = false;
    }
    GstBuffer *copy = gst_buffer_copy(buf);
    GST_BUFFER_PTS(copy) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DTS(copy) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(copy) = GST_CLOCK_TIME_NONE;
    gst_app_src_push_buffer(GST_APP_SRC(target->outSrc), copy);
}

bool writeAll(int fd, const uint8_t *p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

void recordAccessUnit(tmedia_session_mgr_t *m, GstBuffer *buf, bool key)
{
    std::lock_guard<std::mutex> lk(m->recLock);
    if (m->recFd < 0 || m->recFailed)
        return;
    if (m->recWaitKey) {
        if (!key) {
            // A camera that ignores key-frame requests and sends them seldom leaves a
            // short recording empty: say so once.
            auto waited = std::chrono::steady_clock::now() - m->recStart;
            if (!m->recWaitLogged && waited > std::chrono::seconds(3)) {
                m->recWaitLogged = true;
                MediaLogWarn("media: recording has waited %lld s for its first key frame",
                             (long long)std::chrono::duration_cast<std::chrono::seconds>(waited).count());
            }
            return;
        }
        m->recWaitKey = false;
    }
    GstMapInfo map;
    if (!gst_buffer_map(buf, &map, GST_MAP_READ))
        return;
    bool ok = true;
    // An access unit may start with a 3-byte start code: the file always uses 4.
    if (map.size >= 3 && map.data[0] == 0 && map.data[1] == 0 && map.data[2] == 1) {
        static const uint8_t zero = 0;
        ok = writeAll(m->recFd, &zero, 1);
    }
    ok = ok && writeAll(m->recFd, map.data, map.size);
    gst_buffer_unmap(buf, &map);
    if (!ok) {
        MediaLogError("media: recording write failed (errno %d), recording stopped", errno);
        m->recFailed = true;
    }
}

// Asks for a key frame at the camera's encoder and from the sender of the received
// video. Only flags are set here (any thread, any lock held); each tap sends the
// request upstream from its own streaming thread with the next access unit.
void requestKeyFrame(tmedia_session_mgr_t *m)
{
    m->keyRequestCamera = true;
    m->keyRequestRecv = true;
}

void sendKeyUnitRequest(GstElement *e)
{
    if (!e)
        return;
    GstPad *p = gst_element_get_static_pad(e, "src");
    if (p) {
        gst_pad_send_event(p, gst_video_event_new_upstream_force_key_unit(GST_CLOCK_TIME_NONE, TRUE, 0));
        gst_object_unref(p);
    }
}

struct TapData {
    tmedia_session_mgr_t *mgr;
    bool camera;
};

// Each encoded access unit of the received video or of the camera.
GstPadProbeReturn tapProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *td = static_cast<TapData *>(data);
    tmedia_session_mgr_t *m = td->mgr;
    GstBuffer *buf = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buf)
        return GST_PAD_PROBE_OK;
    bool key = !GST_BUFFER_FLAG_IS_SET(buf, GST_BUFFER_FLAG_DELTA_UNIT);
    if (td->camera ? m->keyRequestCamera.exchange(false) : m->keyRequestRecv.exchange(false))
        sendKeyUnitRequest(td->camera ? m->encoder : m->recvParse);
    bool primary = td->camera == !(m->recvMedia & tmedia_video);
    if (primary)
        recordAccessUnit(m, buf, key);
    std::lock_guard<std::mutex> lk(g_linkLock);
    if (td->camera && m->sources.empty())
        pushOut(m, buf, key);
    if (primary) {
        for (const Link &l : m->targets) {
            if (!l.target->sources.empty() && l.target->sources.back() == m)
                pushOut(l.target, buf, key);
        }
    }
    return GST_PAD_PROBE_OK;
}

// The peer asked for a key frame (a picture loss indication reached the payloader):
// pass the request to whatever feeds the out path.
GstPadProbeReturn outKeyRequestProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    GstEvent *ev = GST_PAD_PROBE_INFO_EVENT(info);
    if (!ev || !gst_video_event_is_force_key_unit(ev))
        return GST_PAD_PROBE_OK;
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    std::lock_guard<std::mutex> lk(g_linkLock);
    m->outWaitKey = true;
    if (!m->sources.empty())
        requestKeyFrame(m->sources.back());
    else
        requestKeyFrame(m);
    return GST_PAD_PROBE_DROP;
}

// ---- pipeline ---------------------------------------------------------------

GstBusSyncReply busHandler(GstBus *, GstMessage *msg, gpointer)
{
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_WARNING: {
        GError *err = nullptr;
        gchar *dbg = nullptr;
        bool error = GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR;
        if (error)
            gst_message_parse_error(msg, &err, &dbg);
        else
            gst_message_parse_warning(msg, &err, &dbg);
        const char *who = GST_MESSAGE_SRC(msg) ? GST_OBJECT_NAME(GST_MESSAGE_SRC(msg)) : "?";
        if (error)
            MediaLogError("media: error from %s: %s", who, err ? err->message : "?");
        else
            MediaLogWarn("media: warning from %s: %s", who, err ? err->message : "?");
        if (err)
            g_error_free(err);
        g_free(dbg);
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

const char *audioEncodingName(int64_t codec) { return (codec & tmedia_codec_id_amr_nb_oa) && !(codec & tmedia_codec_id_pcma) ? "AMR" : "PCMA"; }
bool videoIsH265(int64_t codec) { return (codec & tmedia_codec_id_h265) && !(codec & tmedia_codec_id_h264); }

GstCaps *rtpCapsFor(tmedia_session_mgr_t *m, unsigned sessionId, int pt)
{
    GstCaps *c;
    if (sessionId == m->audio.rtpId && hasAudio(m)) {
        if (std::strcmp(audioEncodingName(m->audio.codec), "AMR") == 0)
            c = gst_caps_new_simple("application/x-rtp", "media", G_TYPE_STRING, "audio", "clock-rate", G_TYPE_INT, 8000,
                                    "encoding-name", G_TYPE_STRING, "AMR", "encoding-params", G_TYPE_STRING, "1",
                                    "octet-align", G_TYPE_STRING, "1", nullptr);
        else
            c = gst_caps_new_simple("application/x-rtp", "media", G_TYPE_STRING, "audio", "clock-rate", G_TYPE_INT, 8000,
                                    "encoding-name", G_TYPE_STRING, "PCMA", nullptr);
    } else {
        c = gst_caps_new_simple("application/x-rtp", "media", G_TYPE_STRING, "video", "clock-rate", G_TYPE_INT, 90000,
                                "encoding-name", G_TYPE_STRING, videoIsH265(m->video.codec) ? "H265" : "H264",
                                "rtcp-fb-nack-pli", G_TYPE_BOOLEAN, TRUE, "rtcp-fb-ccm-fir", G_TYPE_BOOLEAN, TRUE, nullptr);
    }
    if (pt >= 0)
        gst_caps_set_simple(c, "payload", G_TYPE_INT, pt, nullptr);
    // With the first sequence number known the jitter buffer passes the first packet
    // at once instead of waiting its latency for earlier ones.
    const Medium &med = sessionId == m->audio.rtpId && hasAudio(m) ? m->audio : m->video;
    if (med.seqnumBase >= 0)
        gst_caps_set_simple(c, "seqnum-base", G_TYPE_UINT, guint(med.seqnumBase), nullptr);
    return c;
}

GstCaps *onRequestPtMap(GstElement *, guint session, guint pt, gpointer data)
{
    return rtpCapsFor(static_cast<tmedia_session_mgr_t *>(data), session, int(pt));
}

// Receive latency of audio, on its own: PCMA comes in 20 ms packets, and three of
// them absorb loopback and LAN jitter; video keeps the configured jitter setting.
constexpr guint kAudioLatencyMs = 60;

void onNewJitterBuffer(GstElement *, GstElement *jitterbuffer, guint session, guint, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    if (hasAudio(m) && session == m->audio.rtpId)
        g_object_set(jitterbuffer, "latency", kAudioLatencyMs, nullptr);
}

void onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(data);
    gchar *name = gst_pad_get_name(pad);
    unsigned sid = 0, ssrc = 0, pt = 0;
    bool rtp = std::sscanf(name, "recv_rtp_src_%u_%u_%u", &sid, &ssrc, &pt) == 3;
    g_free(name);
    if (!rtp)
        return;
    Medium *med = nullptr;
    if (hasAudio(m) && sid == m->audio.rtpId)
        med = &m->audio;
    else if (hasVideo(m) && sid == m->video.rtpId)
        med = &m->video;
    if (!med || !med->funnel) {
        // Nothing plays this medium: let the packets go.
        return;
    }
    GstPad *sink = gst_element_request_pad_simple(med->funnel, "sink_%u");
    if (sink) {
        if (gst_pad_link(pad, sink) != GST_PAD_LINK_OK)
            MediaLogError("media: cannot link received stream of session %u", sid);
        gst_object_unref(sink);
    }
    MediaLogInfo("media: receiving ssrc %u pt %u on session %u", ssrc, pt, sid);
}

// The packets of one medium that arrive on the RTSP connection.
void rtspSink(void *userdata, int media, bool rtcp, const uint8_t *data, size_t size)
{
    auto *m = static_cast<tmedia_session_mgr_t *>(userdata);
    if (!data || size == 0)
        return;
    std::lock_guard<std::mutex> lk(m->rtspLock);
    Medium *med = media == tmedia_audio && hasAudio(m) ? &m->audio : media == tmedia_video && hasVideo(m) ? &m->video : nullptr;
    GstElement *src = med ? (rtcp ? med->rtspRtcpSrc : med->rtspRtpSrc) : nullptr;
    if (!src)
        return;
    gst_app_src_push_buffer(GST_APP_SRC(src), gst_buffer_new_memdup(data, size));
}

GstFlowReturn rtspRtcpOut(GstAppSink *sink, gpointer data)
{
    auto *med = static_cast<Medium *>(data);
    GstSample *sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    auto *m = static_cast<tmedia_session_mgr_t *>(g_object_get_data(G_OBJECT(sink), "zox-mgr"));
    GstBuffer *buf = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (m && buf && gst_buffer_map(buf, &map, GST_MAP_READ)) {
        trtsp_session_send_interleaved(m->rtspCtx, med->type, true, map.data, map.size);
        gst_buffer_unmap(buf, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

bool addUdpIn(tmedia_session_mgr_t *m, Medium &med, bool rtcp, bool receive)
{
    GstElement *src;
    if (m->rtspCtx) {
        src = make("appsrc");
        if (!src)
            return false;
        g_object_set(src, "is-live", TRUE, "do-timestamp", TRUE, "format", GST_FORMAT_TIME, "block", FALSE,
                     "max-bytes", guint64(8 << 20), nullptr);
        gst_util_set_object_arg(G_OBJECT(src), "leaky-type", "downstream");
        std::lock_guard<std::mutex> lk(m->rtspLock);
        (rtcp ? med.rtspRtcpSrc : med.rtspRtpSrc) = src;
    } else {
        src = make("udpsrc");
        if (!src)
            return false;
        g_object_set(src, "socket", rtcp ? med.rtcpSock : med.rtpSock, "close-socket", FALSE, nullptr);
        MediaDefaults d = tmedia_defaults_get();
        if (!rtcp && d.rtpBufferSize > 0)
            g_object_set(src, "buffer-size", d.rtpBufferSize, nullptr);
    }
    gst_bin_add(GST_BIN(m->pipeline), src);
    if (rtcp) {
        GstCaps *c = gst_caps_from_string("application/x-rtcp");
        g_object_set(src, "caps", c, nullptr);
        gst_caps_unref(c);
        if (med.type == tmedia_audio && !m->rtspCtx)
            addProbe(src, "src", GST_PAD_PROBE_TYPE_BUFFER, rtcpProbe, m);
        std::string pad = "recv_rtcp_sink_" + std::to_string(med.rtpId);
        return linkPads(src, "src", m->rtpbin, pad.c_str());
    }
    GstCaps *c = rtpCapsFor(m, med.rtpId, -1);
    g_object_set(src, "caps", c, nullptr);
    gst_caps_unref(c);
    addProbe(src, "src", GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST), countProbe, &med);
    if (!receive) {
        // Symmetric RTP still needs the socket read: drain into a sink.
        GstElement *fs = make("fakesink");
        if (!fs)
            return false;
        g_object_set(fs, "sync", FALSE, "async", FALSE, nullptr);
        gst_bin_add(GST_BIN(m->pipeline), fs);
        return gst_element_link(src, fs);
    }
    std::string pad = "recv_rtp_sink_" + std::to_string(med.rtpId);
    return linkPads(src, "src", m->rtpbin, pad.c_str());
}

GstElement *makeUdpOut(Medium &med, bool rtcp)
{
    GstElement *sink = make("udpsink");
    if (!sink)
        return nullptr;
    g_object_set(sink, "socket", rtcp ? med.rtcpSock : med.rtpSock, "close-socket", FALSE, "sync", FALSE, "async",
                 FALSE, "host", med.remoteIp.c_str(), "port", int(rtcp ? med.remotePort + 1 : med.remotePort), nullptr);
    return sink;
}

bool buildRtcpOut(tmedia_session_mgr_t *m, Medium &med)
{
    if (m->rtcpEnabled && m->rtspCtx) {
        // Receiver reports go back on the RTSP connection.
        GstElement *sink = make("appsink");
        if (!sink)
            return false;
        g_object_set(sink, "sync", FALSE, "async", FALSE, "max-buffers", 16, "drop", TRUE, nullptr);
        g_object_set_data(G_OBJECT(sink), "zox-mgr", m);
        GstAppSinkCallbacks cbs{};
        cbs.new_sample = rtspRtcpOut;
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &cbs, &med, nullptr);
        gst_bin_add(GST_BIN(m->pipeline), sink);
        std::string pad = "send_rtcp_src_" + std::to_string(med.rtpId);
        return linkPads(m->rtpbin, pad.c_str(), sink, "sink");
    }
    if (!m->rtcpEnabled || med.remotePort == 0)
        return true;
    med.rtcpSink = makeUdpOut(med, true);
    if (!med.rtcpSink)
        return false;
    gst_bin_add(GST_BIN(m->pipeline), med.rtcpSink);
    std::string pad = "send_rtcp_src_" + std::to_string(med.rtpId);
    return linkPads(m->rtpbin, pad.c_str(), med.rtcpSink, "sink");
}

bool buildRtpOut(tmedia_session_mgr_t *m, Medium &med, GstElement *last)
{
    std::string in = "send_rtp_sink_" + std::to_string(med.rtpId);
    std::string out = "send_rtp_src_" + std::to_string(med.rtpId);
    if (!linkPads(last, "src", m->rtpbin, in.c_str()))
        return false;
    med.rtpSink = makeUdpOut(med, false);
    if (!med.rtpSink)
        return false;
    gst_bin_add(GST_BIN(m->pipeline), med.rtpSink);
    addProbe(med.rtpSink, "sink", GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
             countTxProbe, &med);
    return linkPads(m->rtpbin, out.c_str(), med.rtpSink, "sink");
}

bool buildAudio(tmedia_session_mgr_t *m)
{
    Medium &a = m->audio;
    bool devices = tmedia_audio_devices_present();
    bool receive = (m->recvMedia & tmedia_audio) != 0;
    if (!addUdpIn(m, a, false, receive) || !addUdpIn(m, a, true, true))
        return false;
    if (receive) {
        bool amr = std::strcmp(audioEncodingName(a.codec), "AMR") == 0;
        a.funnel = make("funnel");
        GstElement *depay = make(amr ? "rtpamrdepay" : "rtppcmadepay");
        GstElement *dec = make(amr ? "amrnbdec" : "alawdec");
        GstElement *sink;
        if (devices) {
            sink = make("pulsesink");
            if (!addLink(m->pipeline, {a.funnel, depay, dec, make("audioconvert"), make("audioresample"), sink}))
                return false;
        } else {
            sink = make("fakesink");
            if (sink)
                g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
            if (!addLink(m->pipeline, {a.funnel, depay, dec, sink}))
                return false;
        }
        addProbe(sink, "sink", GST_PAD_PROBE_TYPE_BUFFER, playedProbe, &a);
    }
    if ((m->sendMedia & tmedia_audio) && a.remotePort != 0) {
        GstElement *src;
        if (devices) {
            src = make("pulsesrc");
        } else {
            src = make("audiotestsrc");
            if (src)
                g_object_set(src, "wave", 4 /* silence */, "is-live", TRUE, "samplesperbuffer", 160, nullptr);
        }
        if (src)
            addProbe(src, "src", GST_PAD_PROBE_TYPE_BUFFER, capturedProbe, &a);
        GstElement *pay = make("rtppcmapay");
        if (pay)
            g_object_set(pay, "pt", 8, "min-ptime", gint64(20000000), "max-ptime", gint64(20000000), "ssrc",
                         guint(m->ssrc), nullptr);
        GstElement *valve = nullptr;
        if (m->floorControl) {
            valve = make("valve");
            if (valve)
                g_object_set(valve, "drop", gboolean(!m->floorOpen.load()), nullptr);
            m->micValve = valve;
        }
        GstElement *last = valve ? valve : pay;
        bool ok = valve ? addLink(m->pipeline, {src, make("audioconvert"), make("audioresample"),
                                                capsFilter("audio/x-raw,rate=8000,channels=1"), make("alawenc"), pay, valve})
                        : addLink(m->pipeline, {src, make("audioconvert"), make("audioresample"),
                                                capsFilter("audio/x-raw,rate=8000,channels=1"), make("alawenc"), pay});
        if (!ok || !buildRtpOut(m, a, last))
            return false;
    }
    // Reports and talk-burst packets carry the SSRC of the audio RTP, so that a floor
    // server can link the requester to its stream.
    GObject *session = nullptr;
    g_signal_emit_by_name(m->rtpbin, "get-internal-session", guint(a.rtpId), &session);
    if (session) {
        g_object_set(session, "internal-ssrc", guint(m->ssrc), nullptr);
        g_object_unref(session);
    }
    return buildRtcpOut(m, a);
}

bool buildCamera(tmedia_session_mgr_t *m, TapData *tap)
{
    MediaDefaults d = tmedia_defaults_get();
    unsigned w = 640, h = 480;
    tmedia_video_get_size(d.prefVideoSize, &w, &h);
    int fps = d.videoFps > 0 ? d.videoFps : 20;
    GstElement *src = nullptr;
    const char *cam = std::getenv("ZOX_MEDIA_CAMERA");
    std::string device = "/dev/video" + std::to_string(m->cameraId);
    if (cam && std::strcmp(cam, "test") == 0) {
        src = make("videotestsrc");
        if (src)
            g_object_set(src, "is-live", TRUE, nullptr);
    } else if (::access(device.c_str(), R_OK) == 0) {
        src = make("v4l2src");
        if (src)
            g_object_set(src, "device", device.c_str(), nullptr);
    } else {
        MediaLogWarn("media: no camera %s, sending black pictures", device.c_str());
        src = make("videotestsrc");
        if (src)
            g_object_set(src, "is-live", TRUE, "pattern", 2 /* black */, nullptr);
    }
    char caps[160];
    std::snprintf(caps, sizeof caps, "video/x-raw,format=I420,width=%u,height=%u,framerate=%d/1", w, h, fps);
    GstElement *tee = make("tee");
    if (!addLink(m->pipeline, {src, make("videoconvert"), make("videoscale"), make("videorate"), capsFilter(caps), tee}))
        return false;
    GstElement *q = make("queue");
    if (q)
        g_object_set(q, "leaky", 2, "max-size-buffers", 3, nullptr);
    m->encoder = make("x264enc");
    if (m->encoder) {
        unsigned kbps = unsigned(uint64_t(w) * h * unsigned(fps) * 13 / 100000);
        if (kbps < 64)
            kbps = 64;
        g_object_set(m->encoder, "bitrate", kbps, "key-int-max", fps * 2, "threads", 2, nullptr);
        gst_util_set_object_arg(G_OBJECT(m->encoder), "tune", "zerolatency");
        gst_util_set_object_arg(G_OBJECT(m->encoder), "speed-preset", "ultrafast");
    }
    GstElement *parse = make("h264parse");
    if (parse)
        g_object_set(parse, "config-interval", -1, nullptr);
    GstElement *fs = make("fakesink");
    if (fs)
        g_object_set(fs, "sync", FALSE, "async", FALSE, nullptr);
    if (!addLink(m->pipeline, {q, m->encoder,
                               capsFilter("video/x-h264,profile=constrained-baseline,stream-format=byte-stream"),
                               parse, capsFilter("video/x-h264,stream-format=byte-stream,alignment=au"), fs}))
        return false;
    if (!gst_element_link(tee, q))
        return false;
    tap->mgr = m;
    tap->camera = true;
    addProbe(parse, "src", GST_PAD_PROBE_TYPE_BUFFER, tapProbe, tap);
    if (m->localWnd && displayAvailable()) {
        bool overlay = false;
        GstElement *q2 = make("queue");
        if (q2)
            g_object_set(q2, "leaky", 2, "max-size-buffers", 3, nullptr);
        m->localSink = makeVideoSink(m->localWnd, true, &overlay);
        if (!addLink(m->pipeline, {q2, make("videoconvert"), m->localSink}) || !gst_element_link(tee, q2))
            return false;
    }
    return true;
}

bool buildVideo(tmedia_session_mgr_t *m, TapData *recvTap, TapData *camTap)
{
    Medium &v = m->video;
    bool receive = (m->recvMedia & tmedia_video) != 0;
    bool h265 = videoIsH265(v.codec);
    if (!addUdpIn(m, v, false, receive) || !addUdpIn(m, v, true, true))
        return false;
    if (receive) {
        v.funnel = make("funnel");
        GstElement *depay = make(h265 ? "rtph265depay" : "rtph264depay");
        GstElement *bs = capsFilter(h265 ? "video/x-h265,stream-format=byte-stream,alignment=au"
                                         : "video/x-h264,stream-format=byte-stream,alignment=au");
        m->recvParse = make(h265 ? "h265parse" : "h264parse");
        if (m->recvParse)
            g_object_set(m->recvParse, "config-interval", -1, nullptr);
        GstElement *bs2 = capsFilter(h265 ? "video/x-h265,stream-format=byte-stream,alignment=au"
                                          : "video/x-h264,stream-format=byte-stream,alignment=au");
        GstElement *dec = make(h265 ? "avdec_h265" : "avdec_h264");
        if (dec)
            g_object_set(dec, "max-threads", 2, nullptr);
        bool overlay = false;
        m->remoteSink = makeVideoSink(m->remoteWnd, m->keepAspect, &overlay);
        if (dec && overlay) {
            // Decoding into its own padded pictures, the decoder hands them on in a
            // layout that the converter in front of a window does not read as such
            // (the chroma is taken from the luma's padding rows: green pictures, seen
            // with 640x360 streams). Decoded pictures are copied out whole instead.
            g_object_set(dec, "direct-rendering", FALSE, nullptr);
        }
        bool ok;
        if (overlay) {
            // The window sink draws pictures at their own size: they are scaled to the
            // window first, with black borders when the aspect ratio is kept.
            m->scaler = make("videoscale");
            m->scaleCaps = make("capsfilter");
            if (m->scaler)
                g_object_set(m->scaler, "add-borders", gboolean(m->keepAspect), nullptr);
            m->drawWnd = m->remoteWnd;
            ok = addLink(m->pipeline, {v.funnel, depay, bs, m->recvParse, bs2, dec, m->scaler, m->scaleCaps,
                                       make("videoconvert"), m->remoteSink});
            if (ok)
                addProbe(m->scaler, "sink", GST_PAD_PROBE_TYPE_BUFFER, scaleToWindowProbe, m);
        } else {
            ok = addLink(m->pipeline, {v.funnel, depay, bs, m->recvParse, bs2, dec, m->remoteSink});
        }
        if (!ok)
            return false;
        addProbe(bs, "src", GST_PAD_PROBE_TYPE_BUFFER, injectProbe, m);
        addProbe(bs, "src", GST_PAD_PROBE_TYPE_BUFFER, wholePictureProbe, m);
        addProbe(bs, "src", GST_PAD_PROBE_TYPE_BUFFER, h265 ? midPictureHeadersProbe<true> : midPictureHeadersProbe<false>, m);
        recvTap->mgr = m;
        recvTap->camera = false;
        addProbe(bs2, "src", GST_PAD_PROBE_TYPE_BUFFER, tapProbe, recvTap);
        addProbe(dec, "src", GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                 decodedProbe, m);
    }
    if (m->sendMedia & tmedia_video) {
        if (!buildCamera(m, camTap))
            return false;
    }
    // The out path carries the camera, shared or forwarded video to the peer.
    if (v.remotePort != 0 && !h265) {
        GstElement *src = make("appsrc");
        if (!src)
            return false;
        GstCaps *c = gst_caps_from_string("video/x-h264,stream-format=byte-stream,alignment=au");
        g_object_set(src, "caps", c, "format", GST_FORMAT_TIME, "is-live", TRUE, "do-timestamp", TRUE, "block", FALSE,
                     "max-bytes", guint64(4 << 20), nullptr);
        gst_util_set_object_arg(G_OBJECT(src), "leaky-type", "downstream");
        gst_caps_unref(c);
        GstElement *pay = make("rtph264pay");
        if (pay) {
            g_object_set(pay, "pt", 96, "config-interval", -1, "mtu", 1400, nullptr);
            gst_util_set_object_arg(G_OBJECT(pay), "aggregate-mode", "zero-latency");
        }
        if (!addLink(m->pipeline, {src, pay}) || !buildRtpOut(m, v, pay))
            return false;
        addProbe(src, "src", GST_PAD_PROBE_TYPE_EVENT_UPSTREAM, outKeyRequestProbe, m);
        std::lock_guard<std::mutex> lk(g_linkLock);
        m->outSrc = src;
        m->outWaitKey = true;
    }
    return buildRtcpOut(m, v);
}

// Per-manager tap contexts live as long as the manager.
struct Taps {
    TapData recv{}, camera{};
};

void unlinkAll(tmedia_session_mgr_t *m)
{
    std::lock_guard<std::mutex> lk(g_linkLock);
    for (const Link &l : m->targets) {
        auto &s = l.target->sources;
        bool wasActive = !s.empty() && s.back() == m;
        std::erase(s, m);
        if (wasActive)
            l.target->outWaitKey = true;
    }
    m->targets.clear();
    for (tmedia_session_mgr_t *src : m->sources)
        std::erase_if(src->targets, [&](const Link &l) { return l.target == m; });
    m->sources.clear();
    m->outSrc = nullptr;
}

std::vector<uint8_t> base64Decode(const char *text)
{
    std::vector<uint8_t> out;
    if (!text)
        return out;
    gsize len = 0;
    std::string t(text);
    // g_base64_decode accepts anything; keep only the alphabet and check the length.
    for (char c : t) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '='))
            return out;
    }
    // Descriptions often leave out the padding.
    if (t.empty() || t.size() % 4 == 1)
        return out;
    while (t.size() % 4)
        t += '=';
    guchar *raw = g_base64_decode(t.c_str(), &len);
    if (raw) {
        out.assign(raw, raw + len);
        g_free(raw);
    }
    return out;
}

void stopLocked(tmedia_session_mgr_t *m)
{
    // api lock held.
    m->gate.close(t_inCallbackOf == m ? 1 : 0);
    if (m->rtspCtx)
        trtsp_session_set_interleaved_sink(m->rtspCtx, nullptr, nullptr);
    {
        std::lock_guard<std::mutex> lk(m->rtspLock);
        for (Medium *med : {&m->audio, &m->video})
            med->rtspRtpSrc = med->rtspRtcpSrc = nullptr;
    }
    unlinkAll(m);
    {
        std::lock_guard<std::mutex> lk(m->recLock);
        if (m->recFd >= 0) {
            ::close(m->recFd);
            m->recFd = -1;
        }
    }
    if (m->pipeline) {
        gst_element_set_state(m->pipeline, GST_STATE_NULL);
        GstBus *bus = gst_element_get_bus(m->pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
    }
    m->running = false;
    m->stopped = true;
}

} // namespace

// ---- API --------------------------------------------------------------------

tmedia_session_mgr_t *tmedia_session_mgr_create(int media, const char *local_ip, int send_media, int recv_media)
{
    if (!tdav_is_started() || !local_ip)
        return nullptr;
    media &= tmedia_audiovideo;
    if (media == 0)
        return nullptr;
    auto *m = new tmedia_session_mgr_t;
    m->media = media;
    m->sendMedia = send_media & media;
    m->recvMedia = recv_media & media;
    m->localIp = local_ip;
    m->keepAspect = tmedia_defaults_get().keepAspectRatio;
    std::random_device rd;
    m->ssrc = rd();
    m->audio.type = tmedia_audio;
    m->audio.rtpId = 0;
    m->audio.codec = tmedia_codec_id_pcma;
    m->video.type = tmedia_video;
    m->video.rtpId = 1;
    m->video.codec = tmedia_codec_id_h264;
    m->videoSession.mgr = m;
    m->videoSession.id = g_nextSessionId.fetch_add(1);
    bool ok = true;
    if (hasAudio(m))
        ok = bindPair(m->localIp, m->audio);
    if (ok && hasVideo(m))
        ok = bindPair(m->localIp, m->video);
    if (!ok) {
        MediaLogError("media: cannot bind RTP ports on %s", local_ip);
        closeSockets(m->audio);
        closeSockets(m->video);
        delete m;
        return nullptr;
    }
    MediaLogInfo("media: session %llu created on %s (audio %u, video %u)", (unsigned long long)m->videoSession.id,
                 local_ip, m->audio.localPort, m->video.localPort);
    return m;
}

int tmedia_session_mgr_get_lo(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (hasAudio(mgr) && !mgr->audio.localPort)
        return -1;
    if (hasVideo(mgr) && !mgr->video.localPort)
        return -1;
    return 0;
}

int tmedia_session_mgr_start(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (mgr->started || mgr->stopped)
        return mgr->started && !mgr->stopped ? 0 : -1;
    mgr->pipeline = gst_pipeline_new(nullptr);
    mgr->rtpbin = make("rtpbin");
    if (!mgr->pipeline || !mgr->rtpbin)
        return -1;
    MediaDefaults d = tmedia_defaults_get();
    g_object_set(mgr->rtpbin, "latency", guint(d.videoJitterBuffer ? 200 : 40), "do-retransmission",
                 gboolean(d.videoPacketRetransmit), nullptr);
    // Feedback profile: a lost picture or a recording start asks the sender for a
    // key frame at once (picture loss indication).
    gst_util_set_object_arg(G_OBJECT(mgr->rtpbin), "rtp-profile", "avpf");
    gst_bin_add(GST_BIN(mgr->pipeline), mgr->rtpbin);
    g_signal_connect(mgr->rtpbin, "request-pt-map", G_CALLBACK(onRequestPtMap), mgr);
    g_signal_connect(mgr->rtpbin, "pad-added", G_CALLBACK(onPadAdded), mgr);
    g_signal_connect(mgr->rtpbin, "new-jitterbuffer", G_CALLBACK(onNewJitterBuffer), mgr);
    GstBus *bus = gst_element_get_bus(mgr->pipeline);
    gst_bus_set_sync_handler(bus, busHandler, mgr, nullptr);
    gst_object_unref(bus);

    static_assert(sizeof(Taps) > 0);
    auto *taps = static_cast<Taps *>(g_object_get_data(G_OBJECT(mgr->pipeline), "zox-taps"));
    if (!taps) {
        taps = new Taps;
        g_object_set_data_full(G_OBJECT(mgr->pipeline), "zox-taps", taps, [](gpointer p) { delete static_cast<Taps *>(p); });
    }
    bool ok = true;
    if (hasAudio(mgr))
        ok = buildAudio(mgr);
    if (ok && hasVideo(mgr))
        ok = buildVideo(mgr, &taps->recv, &taps->camera);
    if (ok) {
        GstStateChangeReturn r = gst_element_set_state(mgr->pipeline, GST_STATE_PLAYING);
        ok = r != GST_STATE_CHANGE_FAILURE;
    }
    mgr->started = true;
    if (!ok) {
        MediaLogError("media: session %llu failed to start", (unsigned long long)mgr->videoSession.id);
        stopLocked(mgr);
        return -1;
    }
    mgr->running = true;
    if (mgr->rtspCtx)
        trtsp_session_set_interleaved_sink(mgr->rtspCtx, rtspSink, mgr);
    {
        std::lock_guard<std::mutex> lk2(g_linkLock);
        if (!mgr->sources.empty())
            requestKeyFrame(mgr->sources.back());
    }
    MediaLogInfo("media: session %llu started", (unsigned long long)mgr->videoSession.id);
    return 0;
}

int tmedia_session_mgr_stop(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return -1;
    if (t_inCallbackOf == mgr) {
        // Stopping the pipeline from its own thread would wait for itself: no more
        // callbacks from now on, the rest on a helper thread.
        MediaLogError("media: session stopped inside its own callback");
        mgr->gate.close(1);
        mgrRef(mgr);
        std::thread([mgr] {
            tmedia_session_mgr_stop(mgr);
            tsk_object_unref(mgr);
        }).detach();
        return 0;
    }
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!mgr->stopped)
        stopLocked(mgr);
    return 0;
}

bool tmedia_session_mgr_is_started(const tmedia_session_mgr_t *mgr) { return mgr && mgr->running.load(); }

int tmedia_session_mgr_get_localport(tmedia_session_mgr_t *mgr, int media, uint16_t *port)
{
    if (!mgr || !port)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    Medium *med = mediumOf(mgr, media);
    if (!med || !med->localPort)
        return -1;
    *port = med->localPort;
    return 0;
}

int tmedia_session_mgr_set_ro(tmedia_session_mgr_t *mgr, int media, const char *remote_ip, uint16_t port)
{
    if (!mgr || !remote_ip)
        return -1;
    in_addr a{};
    if (::inet_pton(AF_INET, remote_ip, &a) != 1)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    Medium *med = mediumOf(mgr, media);
    if (!med)
        return -1;
    med->remoteIp = remote_ip;
    med->remotePort = port;
    if (med == &mgr->audio) {
        std::lock_guard<std::mutex> lk2(mgr->tbcpAddrLock);
        mgr->tbcpIp = remote_ip;
        mgr->tbcpPort = port;
    }
    // A started session keeps its branches; it follows a moved peer.
    if (med->rtpSink)
        g_object_set(med->rtpSink, "host", remote_ip, "port", int(port), nullptr);
    if (med->rtcpSink)
        g_object_set(med->rtcpSink, "host", remote_ip, "port", int(port) + 1, nullptr);
    return 0;
}

int tmedia_session_mgr_set_codecs(tmedia_session_mgr_t *mgr, int media, int64_t codecs)
{
    if (!mgr)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (mgr->started)
        return -1;
    Medium *med = mediumOf(mgr, media);
    if (!med)
        return -1;
    if (media == tmedia_audio) {
        if (codecs & tmedia_codec_id_ilbc) {
            MediaLogInfo("media: iLBC asked, PCMA used");
            codecs = (codecs & ~tmedia_codec_id_ilbc) | tmedia_codec_id_pcma;
        }
        if (!(codecs & (tmedia_codec_id_pcma | tmedia_codec_id_amr_nb_oa)))
            return -1;
    } else if (!(codecs & (tmedia_codec_id_h264 | tmedia_codec_id_h265))) {
        return -1;
    }
    med->codec = codecs;
    return 0;
}

int tmedia_session_mgr_set_int32(tmedia_session_mgr_t *mgr, int media, int target, const char *key, int32_t value)
{
    if (!mgr || !key)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    std::string k = key;
    if (k == "rtcp-enabled") {
        if (mgr->started)
            return -1;
        mgr->rtcpEnabled = value != 0;
        return 0;
    }
    if (k == "force-idr") {
        if (!hasVideo(mgr))
            return -1;
        std::lock_guard<std::mutex> lk2(g_linkLock);
        mgr->outWaitKey = mgr->outSrc != nullptr;
        if (!mgr->sources.empty())
            requestKeyFrame(mgr->sources.back());
        else
            requestKeyFrame(mgr);
        return 0;
    }
    if (k == "seqnum-base") {
        Medium *med = mediumOf(mgr, media);
        if (!med || mgr->started || value < 0 || value > 65535)
            return -1;
        med->seqnumBase = value;
        return 0;
    }
    if (media != tmedia_video || !hasVideo(mgr))
        return -1;
    if (k == "camera-id") {
        if (value < 0 || value > 63 || mgr->started)
            return -1;
        mgr->cameraId = value;
        return 0;
    }
    if (k == "keep-aspect-ratio") {
        mgr->keepAspect = value != 0;
        if (mgr->remoteSink && g_object_class_find_property(G_OBJECT_GET_CLASS(mgr->remoteSink), "force-aspect-ratio"))
            g_object_set(mgr->remoteSink, "force-aspect-ratio", gboolean(mgr->keepAspect), nullptr);
        if (mgr->scaler)
            g_object_set(mgr->scaler, "add-borders", gboolean(mgr->keepAspect), nullptr);
        return 0;
    }
    return -1;
}

int tmedia_session_mgr_set_str(tmedia_session_mgr_t *mgr, int media, int target, const char *key, const char *value)
{
    if (!mgr || !key || !value || media != tmedia_video)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasVideo(mgr))
        return -1;
    std::string k = key;
    if (k != "sps" && k != "pps" && k != "vps")
        return -1;
    std::vector<uint8_t> raw = base64Decode(value);
    if (raw.empty() || raw.size() > 1024) {
        MediaLogWarn("media: %s rejected (not base64 or too long)", key);
        return -1;
    }
    std::lock_guard<std::mutex> lk2(mgr->psLock);
    (k == "sps" ? mgr->sps : k == "pps" ? mgr->pps : mgr->vps) = std::move(raw);
    mgr->injectPending = true;
    return 0;
}

int tmedia_session_mgr_set_ptr(tmedia_session_mgr_t *mgr, int media, int target, const char *key, void *value)
{
    if (!mgr || !key || !value || std::strcmp(key, "rtsp-ctx") != 0)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (mgr->started || mgr->rtspCtx)
        return -1;
    mgr->rtspCtx = static_cast<trtsp_session_t *>(value);
    trtsp_session_ref(mgr->rtspCtx);
    return 0;
}

int tmedia_session_mgr_set_wnd(tmedia_session_mgr_t *mgr, int media, int target, const char *key, uintptr_t window)
{
    if (!mgr || !key || media != tmedia_video)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasVideo(mgr))
        return -1;
    std::string k = key;
    GstElement *sink;
    if (k == "local-hwnd") {
        mgr->localWnd = window;
        sink = mgr->localSink;
    } else if (k == "remote-hwnd") {
        mgr->remoteWnd = window;
        mgr->drawWnd = window;
        sink = mgr->remoteSink;
    } else {
        return -1;
    }
    // A started renderer moves to the new window at once.
    if (sink && GST_IS_VIDEO_OVERLAY(sink) && window) {
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), guintptr(window));
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(sink));
    }
    return 0;
}

int tmedia_session_mgr_get_int64(tmedia_session_mgr_t *mgr, int media, int target, const char *key, int64_t *value)
{
    if (mgr && key && value && media == tmedia_audio && hasAudio(mgr)) {
        if (std::strcmp(key, "audio-buffers-out") == 0) {
            *value = int64_t(mgr->audio.buffersOut.load());
            return 0;
        }
        if (std::strcmp(key, "audio-last-out-ns") == 0) {
            *value = mgr->audio.lastOutNs.load();
            return 0;
        }
        return -1;
    }
    if (!mgr || !key || !value || !hasVideo(mgr))
        return -1;
    if (std::strcmp(key, "decoder-frames-count") != 0)
        return -1;
    *value = int64_t(mgr->framesDecoded.load());
    return 0;
}

int tmedia_session_mgr_set_onrtcp_cbfn(tmedia_session_mgr_t *mgr, int media, const void *usrdata,
                                       tmedia_session_rtcp_onevent_cb_f cb)
{
    if (!mgr || media != tmedia_audio)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasAudio(mgr) || mgr->started)
        return -1;
    mgr->rtcpCb = cb;
    mgr->rtcpData = usrdata;
    mgr->floorControl = cb != nullptr;
    return 0;
}

int tmedia_session_mgr_send_rtcp_app(tmedia_session_mgr_t *mgr, int media, uint8_t subtype, const void *body, size_t size)
{
    if (!mgr || media != tmedia_audio || subtype > 31 || size > 1400)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasAudio(mgr) || !mgr->running || mgr->audio.remotePort == 0)
        return -1;
    uint8_t pkt[1500];
    size_t n = BuildTbcpPacket(subtype, mgr->ssrc, static_cast<const uint8_t *>(body), size, pkt, sizeof pkt);
    if (!n)
        return -1;
    if (subtype == kTbcpRelease && mgr->floorControl)
        setMicOpen(mgr, false);
    if (!sendTo(mgr->audio.rtcpSock, mgr->audio.remoteIp, uint16_t(mgr->audio.remotePort + 1), pkt, n))
        return -1;
    return 0;
}

int tmedia_session_mgr_send_rtcp_event(tmedia_session_mgr_t *mgr, int media, int kind, uint8_t subtype)
{
    if (kind != tmedia_rtcp_event_tbcp)
        return -1;
    return tmedia_session_mgr_send_rtcp_app(mgr, media, subtype, nullptr, 0);
}

int tmedia_session_mgr_set_videosize_cbfn(tmedia_session_mgr_t *mgr, const void *usrdata, tmedia_session_videosize_cb_f cb)
{
    if (!mgr)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasVideo(mgr) || mgr->started)
        return -1;
    mgr->sizeCb = cb;
    mgr->sizeData = usrdata;
    return 0;
}

int tmedia_session_mgr_start_record(tmedia_session_mgr_t *mgr, const char *path)
{
    if (!mgr || !path || !*path)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->api);
    if (!hasVideo(mgr) || mgr->stopped)
        return -1;
    std::lock_guard<std::mutex> lk2(mgr->recLock);
    if (mgr->recFd >= 0)
        return -1;
    int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        MediaLogError("media: cannot create recording %s (errno %d)", path, errno);
        return -1;
    }
    mgr->recFd = fd;
    mgr->recWaitKey = true;
    mgr->recStart = std::chrono::steady_clock::now();
    mgr->recWaitLogged = false;
    mgr->recFailed = false;
    MediaLogInfo("media: recording into %s", path);
    {
        std::lock_guard<std::mutex> lk3(g_linkLock);
        if (mgr->running)
            requestKeyFrame(mgr);
    }
    return 0;
}

int tmedia_session_mgr_stop_record(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return -1;
    std::lock_guard<std::mutex> lk(mgr->recLock);
    if (mgr->recFd < 0)
        return 0;
    ::close(mgr->recFd);
    mgr->recFd = -1;
    return 0;
}

bool tmedia_session_mgr_is_recording(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return false;
    std::lock_guard<std::mutex> lk(mgr->recLock);
    return mgr->recFd >= 0;
}

tmedia_session_t *tmedia_session_mgr_find(tmedia_session_mgr_t *mgr, int media)
{
    if (!mgr || media != tmedia_video || !hasVideo(mgr))
        return nullptr;
    mgrRef(mgr);
    return &mgr->videoSession;
}

namespace {
int addLinkBetween(tmedia_session_mgr_t *src, tmedia_session_mgr_t *dst, bool forward)
{
    if (!src || !dst || !hasVideo(src) || !hasVideo(dst))
        return -1;
    int64_t srcCodec, dstCodec;
    {
        std::lock_guard<std::mutex> lk(src->api);
        if (src->stopped)
            return -1;
        srcCodec = src->video.codec;
    }
    {
        std::lock_guard<std::mutex> lk(dst->api);
        if (dst->stopped)
            return -1;
        dstCodec = dst->video.codec;
    }
    if (videoIsH265(srcCodec) && !videoIsH265(dstCodec)) {
        MediaLogWarn("media: H.265 video cannot go into an H.264 session");
        return -1;
    }
    std::lock_guard<std::mutex> lk(g_linkLock);
    for (Link &l : src->targets) {
        if (l.target == dst) {
            l.forward = l.forward || forward;
            return 0;
        }
    }
    src->targets.push_back({dst, forward});
    dst->sources.push_back(src);
    dst->outWaitKey = true;
    if (src->running)
        requestKeyFrame(src);
    return 0;
}

int removeLinkBetween(tmedia_session_mgr_t *src, tmedia_session_mgr_t *dst)
{
    if (!src || !dst || !hasVideo(src) || !hasVideo(dst))
        return -1;
    std::lock_guard<std::mutex> lk(g_linkLock);
    auto it = std::find_if(src->targets.begin(), src->targets.end(), [&](const Link &l) { return l.target == dst; });
    if (it == src->targets.end())
        return -1;
    src->targets.erase(it);
    bool wasActive = !dst->sources.empty() && dst->sources.back() == src;
    std::erase(dst->sources, src);
    if (wasActive) {
        dst->outWaitKey = true;
        if (!dst->sources.empty())
            requestKeyFrame(dst->sources.back());
        else if (dst->running)
            requestKeyFrame(dst);
    }
    return 0;
}
} // namespace

int tmedia_session_mgr_add_video_share_session(tmedia_session_mgr_t *mgr, tmedia_session_t *other)
{
    return other ? addLinkBetween(mgr, other->mgr, false) : -1;
}

int tmedia_session_mgr_remove_video_share_session(tmedia_session_mgr_t *mgr, tmedia_session_t *other)
{
    return other ? removeLinkBetween(mgr, other->mgr) : -1;
}

int tmedia_session_add_video_forward(tmedia_session_t *source, tmedia_session_t *target)
{
    return source && target ? addLinkBetween(source->mgr, target->mgr, true) : -1;
}

int tmedia_session_remove_video_forward(tmedia_session_t *source, tmedia_session_t *target)
{
    return source && target ? removeLinkBetween(source->mgr, target->mgr) : -1;
}

int tmedia_session_get_video_forward_sid(tmedia_session_t *source, uint64_t *ids, size_t capacity)
{
    if (!source || (!ids && capacity))
        return -1;
    std::lock_guard<std::mutex> lk(g_linkLock);
    size_t n = 0;
    for (const Link &l : source->mgr->targets) {
        if (!l.forward)
            continue;
        if (n >= capacity)
            break;
        ids[n++] = l.target->videoSession.id;
    }
    return int(n);
}

uint64_t tmedia_session_get_id(tmedia_session_t *session) { return session ? session->id : 0; }

int tmedia_session_mgr_get_stats(tmedia_session_mgr_t *mgr, int media, tmedia_session_stats_t *stats)
{
    if (!mgr || !stats)
        return -1;
    Medium *med = mediumOf(mgr, media);
    if (!med)
        return -1;
    stats->rtpPacketsReceived = med->rxPackets.load();
    stats->rtpBytesReceived = med->rxBytes.load();
    stats->rtpPacketsSent = med->txPackets.load();
    stats->rtpBytesSent = med->txBytes.load();
    return 0;
}

int tmedia_session_mgr_take_audio_send_delays(tmedia_session_mgr_t *mgr, int64_t *delaysNs, size_t capacity)
{
    if (!mgr || !hasAudio(mgr))
        return -1;
    std::lock_guard<std::mutex> lk(mgr->audio.timingLock);
    const size_t n = std::min(capacity, mgr->audio.sendDelaysNs.size());
    std::copy_n(mgr->audio.sendDelaysNs.begin(), n, delaysNs);
    mgr->audio.sendDelaysNs.erase(mgr->audio.sendDelaysNs.begin(), mgr->audio.sendDelaysNs.begin() + long(n));
    return int(n);
}

void tsk_object_unref(tmedia_session_mgr_t *mgr)
{
    if (!mgr || mgr->refs.fetch_sub(1) != 1)
        return;
    if (t_inCallbackOf == mgr) {
        MediaLogError("media: session released inside its own callback");
        mgr->gate.close(1);
        std::thread([mgr] {
            mgr->refs = 1;
            tsk_object_unref(mgr);
        }).detach();
        return;
    }
    {
        std::lock_guard<std::mutex> lk(mgr->api);
        if (!mgr->stopped)
            stopLocked(mgr);
    }
    if (mgr->pipeline)
        gst_object_unref(mgr->pipeline);
    closeSockets(mgr->audio);
    closeSockets(mgr->video);
    if (mgr->rtspCtx)
        tsk_object_unref(mgr->rtspCtx);
    if (mgr->heldPiece)
        gst_buffer_unref(mgr->heldPiece);
    MediaLogInfo("media: session %llu released", (unsigned long long)mgr->videoSession.id);
    delete mgr;
}

void tsk_object_unref(tmedia_session_t *session)
{
    if (session)
        tsk_object_unref(session->mgr);
}
