#pragma once
// The media-library layer: start and stop of the media layer with the configured
// defaults, and the session-manager calls that dispatch sessions, RTSP sessions and
// video forwarding share. Every wrapper tolerates a missing manager (-1, or 0 / none
// where said) and logs nothing; the callers log and decide.
#include "medialib/MediaSessionMgr.h"

#include <cstdint>
#include <netinet/in.h>

// Media masks.
inline constexpr int kMediaAudio = tmedia_audio;
inline constexpr int kMediaVideo = tmedia_video;
inline constexpr int kMediaAudioVideo = tmedia_audiovideo;

// True when the media layer runs (started now or before); false on failure.
// Needs g_pSystemConfig. Runs on the user-interface thread.
bool InitMediaLibrary();
void ExitMediaLibrary();
bool IsMediaLibraryStarted();

// A new manager (owned by the caller, released with ReleaseMediaSession), or null.
// sendMask / recvMask: the media sent from the console's own devices and the media
// received (6 2 for a voice call with the console's camera, 2 2 voice, 0 4 video).
tmedia_session_mgr_t *CreateMediaSession(int mediaMask, in_addr localIp, int sendMask, int recvMask,
                                         uint32_t rtcpEnabled);
// Stops a started manager and releases it. No callback of it runs afterwards.
void ReleaseMediaSession(tmedia_session_mgr_t *mgr);
int StartMediaSession(tmedia_session_mgr_t *mgr);
int GetMediaLocalPort(tmedia_session_mgr_t *mgr, int mediaMask, uint16_t *port);
int SetMediaRemoteAddress(tmedia_session_mgr_t *mgr, int mediaMask, in_addr remoteIp, uint16_t port);
// The three further values are passed as 0 by every caller and not used.
int SetMediaCodecs(tmedia_session_mgr_t *mgr, int mediaMask, int64_t codecs, int reserved1 = 0, int reserved2 = 0,
                   int reserved3 = 0);
// Native window ids (X11); the local one shows the camera, the remote one the received video.
int SetMediaLocalWindow(tmedia_session_mgr_t *mgr, uintptr_t window);
int SetMediaRemoteWindow(tmedia_session_mgr_t *mgr, uintptr_t window);
// Talk-burst callback on the audio medium with the dispatch session as user data.
int SetMediaRtcpCallback(tmedia_session_mgr_t *mgr, const void *session, tmedia_session_rtcp_onevent_cb_f cb);
// Sends a talk-burst message (0 request, 4 release) on the audio medium.
int SendMediaRtcpEvent(tmedia_session_mgr_t *mgr, uint8_t subtype);
int SetMediaVideoSizeCallback(tmedia_session_mgr_t *mgr, const void *data, tmedia_session_videosize_cb_f cb);

int AddVideoShareSession(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other);
int RemoveVideoShareSession(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other);
int AddVideoForward(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other);
int RemoveVideoForward(tmedia_session_mgr_t *mgr, tmedia_session_mgr_t *other);
// Ids of the video sessions `mgr` forwards to; the number written, -1 without video.
int GetVideoForwardSid(tmedia_session_mgr_t *mgr, uint64_t *ids, int capacity);
// Id of the manager's video session; 0 for none.
uint64_t GetMediaSessionId(tmedia_session_mgr_t *mgr);
