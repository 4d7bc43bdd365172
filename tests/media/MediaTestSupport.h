#pragma once
// Shared set-up of the media tests: no sound device, the test-pattern camera, no
// display (renderers discard), the media layer started.
#include "core/MediaLibrary.h"
#include "medialib/MediaDefaults.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace mediatest {

inline in_addr ip(const char *text)
{
    in_addr a{};
    inet_pton(AF_INET, text, &a);
    return a;
}

template <typename Pred>
bool waitFor(Pred pred, int ms = 5000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

inline void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

inline uint16_t localPort(tmedia_session_mgr_t *m, int media)
{
    uint16_t p = 0;
    EXPECT_EQ(GetMediaLocalPort(m, media, &p), 0);
    return p;
}

inline tmedia_session_stats_t stats(tmedia_session_mgr_t *m, int media)
{
    tmedia_session_stats_t s;
    tmedia_session_mgr_get_stats(m, media, &s);
    return s;
}

inline int64_t framesDecoded(tmedia_session_mgr_t *m)
{
    int64_t n = -1;
    tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_manager, "decoder-frames-count", &n);
    return n;
}

class MediaFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        setenv("ZOX_MEDIA_CAMERA", "test", 1);
        unsetenv("DISPLAY");
        ASSERT_TRUE(InitMediaLibrary());
        tmedia_defaults_set_pref_video_size(4); // 320 x 240 keeps the tests light
        tmedia_defaults_set_video_fps(25);
    }
    // Every test finds the layer stopped, whatever the one before it did.
    void TearDown() override { ExitMediaLibrary(); }
};

// Releases a manager at the end of a scope.
struct MgrGuard {
    tmedia_session_mgr_t *m;
    explicit MgrGuard(tmedia_session_mgr_t *mgr) : m(mgr) {}
    ~MgrGuard() { ReleaseMediaSession(m); }
    MgrGuard(const MgrGuard &) = delete;
    MgrGuard &operator=(const MgrGuard &) = delete;
    operator tmedia_session_mgr_t *() const { return m; }
};

} // namespace mediatest
