#pragma once
// Media session managers: one per call or stream, each one GStreamer pipeline
// around an RTP bin. Local RTP/RTCP ports (even/odd pair) are bound when the
// manager is created; the same sockets send (symmetric RTP).
//
// Threads: every function may be called from any thread; calls on one manager are
// serialised. Callbacks run on media threads and must not block; they never run
// after tmedia_session_mgr_stop or the last tsk_object_unref returned. A callback
// must not stop or release its own manager.
#include <cstddef>
#include <cstdint>

// Media masks.
enum tmedia_type_t : int {
    tmedia_none = 0,
    tmedia_audio = 2,
    tmedia_video = 4,
    tmedia_audiovideo = 6,
};

// Codec flags (set_codecs).
inline constexpr int64_t tmedia_codec_id_amr_nb_oa = 0x1;
inline constexpr int64_t tmedia_codec_id_pcma = 0x20;
inline constexpr int64_t tmedia_codec_id_ilbc = 0x80; // no encoder here: sent as PCMA
inline constexpr int64_t tmedia_codec_id_h264 = 0x100000;
inline constexpr int64_t tmedia_codec_id_h265 = 0x8000000;

// Option targets.
enum tmedia_param_target_t : int {
    tmedia_ppt_consumer = 0, // the renderer (video window, speakers)
    tmedia_ppt_producer = 1, // the capture side (camera, microphone)
    tmedia_ppt_session = 2,
    tmedia_ppt_manager = 3,
};

// Talk-burst event kind handed to the RTCP callback.
inline constexpr int tmedia_rtcp_event_tbcp = 1;

struct tmedia_session_mgr_t;
struct tmedia_session_t; // one medium of a manager (the video session), referenced

// (user data, kind, subtype, body after the APP name, body size)
typedef int (*tmedia_session_rtcp_onevent_cb_f)(const void *usrdata, int kind, uint8_t subtype,
                                                 const void *body, size_t size);
// (user data, decoded width, decoded height): never called with a zero size.
typedef int (*tmedia_session_videosize_cb_f)(const void *usrdata, uint32_t width, uint32_t height);

// Creates a manager for `media` on the local IPv4 address (dotted text). send_media
// and recv_media say which media the console sends from its own devices (microphone,
// camera) and which it receives and plays; both are limited to `media`.
// Null when a port pair cannot be bound or the layer is not started.
tmedia_session_mgr_t *tmedia_session_mgr_create(int media, const char *local_ip, int send_media,
                                                int recv_media);
// 0 when the local description (bound ports) is ready.
int tmedia_session_mgr_get_lo(tmedia_session_mgr_t *mgr);
int tmedia_session_mgr_start(tmedia_session_mgr_t *mgr);
// Stops the pipeline; no callback runs once it returned. A stopped manager stays stopped.
int tmedia_session_mgr_stop(tmedia_session_mgr_t *mgr);
bool tmedia_session_mgr_is_started(const tmedia_session_mgr_t *mgr);

int tmedia_session_mgr_get_localport(tmedia_session_mgr_t *mgr, int media, uint16_t *port);
// Remote RTP address of one medium (RTCP goes to port + 1); port 0 = not sent.
int tmedia_session_mgr_set_ro(tmedia_session_mgr_t *mgr, int media, const char *remote_ip, uint16_t port);
int tmedia_session_mgr_set_codecs(tmedia_session_mgr_t *mgr, int media, int64_t codecs);

// Options. Keys:
//   manager: "rtcp-enabled" (int), "force-idr" (int)
//   audio or video, before start: "seqnum-base" (int, the sender's first sequence number)
//   video producer: "camera-id" (int, device index), "local-hwnd" (window)
//   video consumer: "keep-aspect-ratio" (int, any time), "remote-hwnd" (window, any time)
//   video session: "sps", "pps", "vps" (base64 text of one parameter set each; "vps" H.265)
// 0 = applied, -1 unknown key, wrong medium or bad value.
int tmedia_session_mgr_set_int32(tmedia_session_mgr_t *mgr, int media, int target, const char *key, int32_t value);
int tmedia_session_mgr_set_str(tmedia_session_mgr_t *mgr, int media, int target, const char *key, const char *value);
// Manager option "rtsp-ctx" (before start): an RTSP session (medialib/RtspStack.h)
// whose connection carries this manager's RTP and RTCP ($-framed, on the channels set
// with trtsp_session_set_interleaved); the manager holds a reference until released.
int tmedia_session_mgr_set_ptr(tmedia_session_mgr_t *mgr, int media, int target, const char *key, void *value);
// A native window id (X11 window); 0 = no window, the video is discarded.
int tmedia_session_mgr_set_wnd(tmedia_session_mgr_t *mgr, int media, int target, const char *key, uintptr_t window);
// "decoder-frames-count" (video): frames decoded since start.
// "audio-buffers-out", "audio-last-out-ns" (audio): decoded buffers handed to the
// output since start, and when the last one was (steady clock, ns).
int tmedia_session_mgr_get_int64(tmedia_session_mgr_t *mgr, int media, int target, const char *key, int64_t *value);

// Talk bursts on the audio medium. With a callback installed (before start) the
// microphone is gated by the floor: audio goes out only between Granted and
// Release / Revoke / Idle.
int tmedia_session_mgr_set_onrtcp_cbfn(tmedia_session_mgr_t *mgr, int media, const void *usrdata,
                                       tmedia_session_rtcp_onevent_cb_f cb);
// Sends one talk-burst message (kind 1) with an empty body to the remote audio RTCP port.
int tmedia_session_mgr_send_rtcp_event(tmedia_session_mgr_t *mgr, int media, int kind, uint8_t subtype);
// The same with application data after the name (a floor peer's Taken with the speaker).
int tmedia_session_mgr_send_rtcp_app(tmedia_session_mgr_t *mgr, int media, uint8_t subtype,
                                     const void *body, size_t size);

int tmedia_session_mgr_set_videosize_cbfn(tmedia_session_mgr_t *mgr, const void *usrdata,
                                          tmedia_session_videosize_cb_f cb);

// Records the video (received, or the camera when nothing is received) into `path`
// as an H.264/H.265 Annex-B byte stream starting at a key frame with its parameter
// sets. An existing file is never overwritten: -1. 0 = recording.
int tmedia_session_mgr_start_record(tmedia_session_mgr_t *mgr, const char *path);
int tmedia_session_mgr_stop_record(tmedia_session_mgr_t *mgr);
bool tmedia_session_mgr_is_recording(tmedia_session_mgr_t *mgr);

// The manager's session of one medium (only 4, video, is kept), referenced; null when none.
tmedia_session_t *tmedia_session_mgr_find(tmedia_session_mgr_t *mgr, int media);
// Sharing: the camera of `mgr` (or its received video) is also sent by `other`.
int tmedia_session_mgr_add_video_share_session(tmedia_session_mgr_t *mgr, tmedia_session_t *other);
int tmedia_session_mgr_remove_video_share_session(tmedia_session_mgr_t *mgr, tmedia_session_t *other);
// Forwarding: the video of `source` is sent by `target` in place of its own.
int tmedia_session_add_video_forward(tmedia_session_t *source, tmedia_session_t *target);
int tmedia_session_remove_video_forward(tmedia_session_t *source, tmedia_session_t *target);
// Ids of the sessions `source` forwards to; returns the number written.
int tmedia_session_get_video_forward_sid(tmedia_session_t *source, uint64_t *ids, size_t capacity);
uint64_t tmedia_session_get_id(tmedia_session_t *session);

// Counters of one medium (RTP only), for diagnostics and tests.
struct tmedia_session_stats_t {
    uint64_t rtpPacketsReceived = 0, rtpBytesReceived = 0;
    uint64_t rtpPacketsSent = 0, rtpBytesSent = 0;
};
int tmedia_session_mgr_get_stats(tmedia_session_mgr_t *mgr, int media, tmedia_session_stats_t *stats);

// Audio send timing (diagnostics): for each packet sent since the last call, the time
// from its samples leaving the source to the packet leaving for the wire (ns). Moves
// up to `capacity` of them out; the number written, -1 without audio.
int tmedia_session_mgr_take_audio_send_delays(tmedia_session_mgr_t *mgr, int64_t *delaysNs, size_t capacity);

// Releases one reference; the last one stops the manager and frees it. Null is allowed.
void tsk_object_unref(tmedia_session_mgr_t *mgr);
void tsk_object_unref(tmedia_session_t *session);
