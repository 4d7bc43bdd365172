#include "core/MediaLibrary.h"

#include "core/Log.h"
#include "core/SystemConfig.h"
#include "medialib/MediaDefaults.h"
#include "medialib/MediaStartup.h"

#include <arpa/inet.h>
#include <atomic>

namespace {
std::atomic<bool> g_started{false};

std::string dotted(in_addr a)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}
} // namespace

bool InitMediaLibrary()
{
    if (g_started)
        return true;
    if (g_pSystemConfig) {
        const CSystemConfig &c = *g_pSystemConfig;
        if (!c.GetJitterBuffer())
            tmedia_defaults_set_videojb_enabled(0);
        if (c.GetVideoPktLossRetry())
            tmedia_defaults_set_videopkt_retrans(1);
        if (c.IsKeepAspectRatio())
            tmedia_defaults_set_video_keep_aspect_ratio(1);
        tsk_debug_set_level(int(c.GetLogLevel()));
    }
    tsk_debug_set_info_cb(WriteMediaLog);
    tsk_debug_set_warn_cb(WriteMediaLog);
    tsk_debug_set_error_cb(WriteMediaLog);
    tsk_debug_set_fatal_cb(WriteMediaLog);
    tmedia_defaults_set_rtpbuff_size(0x400000);
    if (g_pSystemConfig) {
        const CSystemConfig &c = *g_pSystemConfig;
        tmedia_defaults_set_pref_video_size(int(c.GetResolution()));
        tmedia_defaults_set_video_fps(int(c.GetFps()));
        tmedia_defaults_set_video_aspect_ratio(c.GetDarX(), c.GetDarY());
    }
    int rc = tnet_startup();
    if (rc != 0) {
        WriteLog("tlib: tnet_startup failed with error code=%d", rc);
        return false;
    }
    rc = tdav_init();
    if (rc != 0) {
        WriteLog("tlib: tdav_init failed with error code=%d", rc);
        return false;
    }
    WriteLog("tlib: tnet_startup and tdav_init success.");
    g_started = true;
    return true;
}

void ExitMediaLibrary()
{
    if (!g_started)
        return;
    tdav_deinit();
    tnet_cleanup();
    WriteLog("tlib: tdav_deinit and tnet_cleanup.");
    g_started = false;
}

bool IsMediaLibraryStarted() { return g_started; }

tmedia_session_mgr_t *CreateMediaSession(int mediaMask, in_addr localIp, int sendMask, int recvMask, uint32_t rtcpEnabled)
{
    if (!g_started)
        return nullptr;
    tmedia_session_mgr_t *mgr = tmedia_session_mgr_create(mediaMask, dotted(localIp).c_str(), sendMask, recvMask);
    if (!mgr)
        return nullptr;
    if (tmedia_session_mgr_set_int32(mgr, mediaMask, tmedia_ppt_manager, "rtcp-enabled", int32_t(rtcpEnabled)) != 0 ||
        tmedia_session_mgr_get_lo(mgr) != 0) {
        tsk_object_unref(mgr);
        return nullptr;
    }
    return mgr;
}

void ReleaseMediaSession(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return;
    // Stop even a manager whose start failed half-way: its callbacks end here.
    tmedia_session_mgr_stop(mgr);
    tsk_object_unref(mgr);
}

int StartMediaSession(tmedia_session_mgr_t *mgr) { return mgr ? tmedia_session_mgr_start(mgr) : -1; }

int GetMediaLocalPort(tmedia_session_mgr_t *mgr, int mediaMask, uint16_t *port)
{
    return mgr ? tmedia_session_mgr_get_localport(mgr, mediaMask, port) : -1;
}

int SetMediaRemoteAddress(tmedia_session_mgr_t *mgr, int mediaMask, in_addr remoteIp, uint16_t port)
{
    return mgr ? tmedia_session_mgr_set_ro(mgr, mediaMask, dotted(remoteIp).c_str(), port) : -1;
}

int SetMediaCodecs(tmedia_session_mgr_t *mgr, int mediaMask, int64_t codecs, int, int, int)
{
    if (!mgr)
        return -1;
    if (mediaMask == kMediaAudio && (codecs & tmedia_codec_id_ilbc)) {
        WriteLog("tlib: iLBC has no encoder on this platform, PCMA is used.");
        codecs = (codecs & ~tmedia_codec_id_ilbc) | tmedia_codec_id_pcma;
    }
    return tmedia_session_mgr_set_codecs(mgr, mediaMask, codecs);
}

int SetMediaLocalWindow(tmedia_session_mgr_t *mgr, uintptr_t window)
{
    return mgr ? tmedia_session_mgr_set_wnd(mgr, kMediaVideo, tmedia_ppt_producer, "local-hwnd", window) : -1;
}

int SetMediaRemoteWindow(tmedia_session_mgr_t *mgr, uintptr_t window)
{
    return mgr ? tmedia_session_mgr_set_wnd(mgr, kMediaVideo, tmedia_ppt_consumer, "remote-hwnd", window) : -1;
}

int SetMediaRtcpCallback(tmedia_session_mgr_t *mgr, const void *session, tmedia_session_rtcp_onevent_cb_f cb)
{
    return mgr ? tmedia_session_mgr_set_onrtcp_cbfn(mgr, kMediaAudio, session, cb) : -1;
}

int SendMediaRtcpEvent(tmedia_session_mgr_t *mgr, uint8_t subtype)
{
    return mgr ? tmedia_session_mgr_send_rtcp_event(mgr, kMediaAudio, tmedia_rtcp_event_tbcp, subtype) : -1;
}

int SetMediaVideoSizeCallback(tmedia_session_mgr_t *mgr, const void *data, tmedia_session_videosize_cb_f cb)
{
    return mgr ? tmedia_session_mgr_set_videosize_cbfn(mgr, data, cb) : -1;
}

int AddVideoShareSession(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other)
{
    if (!mgr || !other)
        return -1;
    tmedia_session_t *video = tmedia_session_mgr_find(other, kMediaVideo);
    if (!video)
        return -1;
    int r = tmedia_session_mgr_add_video_share_session(mgr, video);
    if (r == 0)
        tmedia_session_mgr_set_int32(other, kMediaVideo, tmedia_ppt_manager, "force-idr", 1);
    tsk_object_unref(video);
    return r;
}

int RemoveVideoShareSession(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other)
{
    if (!mgr || !other)
        return -1;
    tmedia_session_t *video = tmedia_session_mgr_find(other, kMediaVideo);
    if (!video)
        return -1;
    int r = tmedia_session_mgr_remove_video_share_session(mgr, video);
    tsk_object_unref(video);
    return r;
}

namespace {
template <typename F>
int withBothVideo(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other, F f)
{
    if (!mgr || !other)
        return -1;
    tmedia_session_t *a = tmedia_session_mgr_find(mgr, kMediaVideo);
    tmedia_session_t *b = tmedia_session_mgr_find(other, kMediaVideo);
    int r = a && b ? f(a, b) : -1;
    tsk_object_unref(a);
    tsk_object_unref(b);
    return r;
}
} // namespace

int AddVideoForward(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other)
{
    return withBothVideo(mgr, other, tmedia_session_add_video_forward);
}

int RemoveVideoForward(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other)
{
    return withBothVideo(mgr, other, tmedia_session_remove_video_forward);
}

int GetVideoForwardSid(tmedia_session_mgr_t *mgr, uint64_t *ids, int capacity)
{
    if (!mgr || capacity < 0)
        return -1;
    tmedia_session_t *video = tmedia_session_mgr_find(mgr, kMediaVideo);
    if (!video)
        return -1;
    int n = tmedia_session_get_video_forward_sid(video, ids, size_t(capacity));
    tsk_object_unref(video);
    return n;
}

uint64_t GetMediaSessionId(tmedia_session_mgr_t *mgr)
{
    if (!mgr)
        return 0;
    tmedia_session_t *video = tmedia_session_mgr_find(mgr, kMediaVideo);
    if (!video)
        return 0;
    uint64_t id = tmedia_session_get_id(video);
    tsk_object_unref(video);
    return id;
}
