#pragma once
// Process-wide media defaults, set at start-up from the configuration and read by
// every media session created afterwards.

struct MediaDefaults {
    bool videoJitterBuffer = true;
    bool videoPacketRetransmit = false;
    bool keepAspectRatio = false;
    int rtpBufferSize = 0;
    int prefVideoSize = 8; // index into the video-size table
    int videoFps = 20;
    int aspectX = 0, aspectY = 0;
};

// A copy of the current defaults.
MediaDefaults tmedia_defaults_get();

int tmedia_defaults_set_videojb_enabled(int enabled);
int tmedia_defaults_set_videopkt_retrans(int enabled);
int tmedia_defaults_set_video_keep_aspect_ratio(int enabled);
int tmedia_defaults_set_rtpbuff_size(int bytes);
int tmedia_defaults_set_pref_video_size(int index);
int tmedia_defaults_set_video_fps(int fps);
int tmedia_defaults_set_video_aspect_ratio(int x, int y);
