#include "medialib/MediaDefaults.h"

#include <mutex>

namespace {
std::mutex g_lock;
MediaDefaults g_defaults;

template <typename F>
int update(F f)
{
    std::lock_guard<std::mutex> lk(g_lock);
    f(g_defaults);
    return 0;
}
} // namespace

MediaDefaults tmedia_defaults_get()
{
    std::lock_guard<std::mutex> lk(g_lock);
    return g_defaults;
}

int tmedia_defaults_set_videojb_enabled(int enabled) { return update([&](MediaDefaults &d) { d.videoJitterBuffer = enabled != 0; }); }
int tmedia_defaults_set_videopkt_retrans(int enabled) { return update([&](MediaDefaults &d) { d.videoPacketRetransmit = enabled != 0; }); }
int tmedia_defaults_set_video_keep_aspect_ratio(int enabled) { return update([&](MediaDefaults &d) { d.keepAspectRatio = enabled != 0; }); }
int tmedia_defaults_set_rtpbuff_size(int bytes) { return update([&](MediaDefaults &d) { d.rtpBufferSize = bytes; }); }
int tmedia_defaults_set_pref_video_size(int index)
{
    if (index < 0 || index > 14)
        return -1;
    return update([&](MediaDefaults &d) { d.prefVideoSize = index; });
}
int tmedia_defaults_set_video_fps(int fps) { return update([&](MediaDefaults &d) { d.videoFps = fps; }); }
int tmedia_defaults_set_video_aspect_ratio(int x, int y) { return update([&](MediaDefaults &d) { d.aspectX = x; d.aspectY = y; }); }
