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

namespace {
struct VideoSize {
    unsigned width, height;
};
// Our sizes, smallest first; index 8 (the configuration's default) is VGA.
constexpr VideoSize kVideoSizes[kMediaVideoSizeCount] = {
    {128, 96},   {160, 120},  {176, 144},  {320, 180},  {320, 240},
    {352, 288},  {424, 240},  {640, 360},  {640, 480},  {800, 600},
    {960, 540},  {1024, 768}, {1280, 720}, {1280, 960}, {1920, 1080},
};
} // namespace

int tmedia_video_get_size(int index, unsigned *width, unsigned *height)
{
    if (index < 0 || index >= kMediaVideoSizeCount)
        return -1;
    if (width)
        *width = kVideoSizes[index].width;
    if (height)
        *height = kVideoSizes[index].height;
    return 0;
}

int tmedia_video_get_pref_size(unsigned width, unsigned height, int *index)
{
    for (int i = 0; i < kMediaVideoSizeCount; ++i) {
        if (kVideoSizes[i].width == width && kVideoSizes[i].height == height) {
            if (index)
                *index = i;
            return 0;
        }
    }
    return -1;
}
