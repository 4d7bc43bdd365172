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

// The video-size table: index 0 to 14 <-> capture width and height.
inline constexpr int kMediaVideoSizeCount = 15;
// 0 and the size of the index; -1 for an index outside the table (outputs untouched).
int tmedia_video_get_size(int index, unsigned *width, unsigned *height);
// 0 and the index of exactly this size; -1 when the table has no such size.
int tmedia_video_get_pref_size(unsigned width, unsigned height, int *index);
