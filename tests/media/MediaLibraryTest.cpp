// The media-library layer's start-up, shut-down and wrappers.
#include "MediaTestSupport.h"
#include "core/Log.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <sstream>

using namespace mediatest;

namespace {
std::string logText(const zoxtest::TempDir &dir)
{
    std::ifstream f(dir / "log/log.txt");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

size_t countOf(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}
} // namespace

// Each test leaves the layer stopped and no log open, even when it fails half-way:
// the layer and the log are process-wide.
class MediaLibrary : public ::testing::Test {
protected:
    void TearDown() override
    {
        ExitMediaLibrary();
        CloseLogFile();
        g_pSystemConfig = nullptr;
    }
};

TEST_F(MediaLibrary, NothingBeforeStartUp)
{
    EXPECT_FALSE(IsMediaLibraryStarted());
    EXPECT_EQ(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1), nullptr);
    ExitMediaLibrary(); // not started: nothing happens
    EXPECT_FALSE(IsMediaLibraryStarted());
}

TEST_F(MediaLibrary, MissingManagerIsToleratedByEveryWrapper)
{
    ReleaseMediaSession(nullptr);
    uint16_t port = 0;
    EXPECT_EQ(StartMediaSession(nullptr), -1);
    EXPECT_EQ(GetMediaLocalPort(nullptr, 2, &port), -1);
    EXPECT_EQ(SetMediaRemoteAddress(nullptr, 2, ip("127.0.0.1"), 5000), -1);
    EXPECT_EQ(SetMediaCodecs(nullptr, 2, 0x20), -1);
    EXPECT_EQ(SetMediaLocalWindow(nullptr, 1), -1);
    EXPECT_EQ(SetMediaRemoteWindow(nullptr, 1), -1);
    EXPECT_EQ(SetMediaRtcpCallback(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(SendMediaRtcpEvent(nullptr, 0), -1);
    EXPECT_EQ(SetMediaVideoSizeCallback(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(AddVideoShareSession(nullptr, nullptr), -1);
    EXPECT_EQ(RemoveVideoShareSession(nullptr, nullptr), -1);
    EXPECT_EQ(AddVideoForward(nullptr, nullptr), -1);
    EXPECT_EQ(RemoveVideoForward(nullptr, nullptr), -1);
    EXPECT_EQ(GetVideoForwardSid(nullptr, nullptr, 16), -1);
    EXPECT_EQ(GetMediaSessionId(nullptr), 0u);
}

TEST_F(MediaLibrary, StartOnceStopOnceWithLogLines)
{
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    OpenLogAtStart("test");
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    ASSERT_TRUE(InitMediaLibrary());
    ASSERT_TRUE(InitMediaLibrary());
    EXPECT_TRUE(IsMediaLibraryStarted());
    MediaDefaults d = tmedia_defaults_get();
    EXPECT_EQ(d.rtpBufferSize, 0x400000);
    ExitMediaLibrary();
    ExitMediaLibrary();
    EXPECT_FALSE(IsMediaLibraryStarted());
    ASSERT_TRUE(InitMediaLibrary()); // may start again
    ExitMediaLibrary();
    CloseLogFile();
    std::string log = logText(dir);
    EXPECT_EQ(countOf(log, "tlib: tnet_startup and tdav_init success."), 2u);
    EXPECT_EQ(countOf(log, "tlib: tdav_deinit and tnet_cleanup."), 2u);
}

TEST_F(MediaLibrary, IlbcFallsBackToPcmaWithOneLogLine)
{
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    OpenLogAtStart("test");
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    ASSERT_TRUE(InitMediaLibrary());
    tmedia_session_mgr_t *m = CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1);
    ASSERT_TRUE(m);
    EXPECT_EQ(SetMediaCodecs(m, kMediaAudio, tmedia_codec_id_ilbc), 0);
    EXPECT_EQ(SetMediaCodecs(m, kMediaAudio, tmedia_codec_id_h264), -1); // not an audio codec
    EXPECT_EQ(SetMediaCodecs(m, kMediaVideo, tmedia_codec_id_h264), -1); // no video here
    ReleaseMediaSession(m);
    CloseLogFile();
    EXPECT_EQ(countOf(logText(dir), "iLBC"), 1u);
}

#include "core/SystemConfig.h"
#include "medialib/MediaStartup.h"

namespace {
// Starts the layer with a configuration file of the given text.
MediaDefaults startWith(const zoxtest::TempDir &dir, const std::string &ini)
{
    dir.write("data/zoxcfg.ini", ini);
    CSystemConfig config;
    g_pSystemConfig = &config;
    // Values the start-up must leave alone unless the configuration asks otherwise.
    tmedia_defaults_set_videojb_enabled(0);
    tmedia_defaults_set_videopkt_retrans(1);
    tmedia_defaults_set_video_keep_aspect_ratio(1);
    EXPECT_TRUE(InitMediaLibrary());
    g_pSystemConfig = nullptr;
    return tmedia_defaults_get();
}
} // namespace

TEST_F(MediaLibrary, DefaultsFromTheConfiguration)
{
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    MediaDefaults d = startWith(dir, "[Video]\nResolution=12\nFPS=15\nDAR=16:9\n[Debug]\nWriteLogLevel=3\n");
    // Jitter buffer on, retransmission and keep-aspect off: the three stay as they were.
    EXPECT_FALSE(d.videoJitterBuffer);
    EXPECT_TRUE(d.videoPacketRetransmit);
    EXPECT_TRUE(d.keepAspectRatio);
    EXPECT_EQ(d.prefVideoSize, 12);
    EXPECT_EQ(d.videoFps, 15);
    EXPECT_EQ(d.aspectX, 16);
    EXPECT_EQ(d.aspectY, 9);
    EXPECT_EQ(d.rtpBufferSize, 4194304);
    EXPECT_EQ(tsk_debug_get_level(), 3);
    ExitMediaLibrary();

    tmedia_defaults_set_videojb_enabled(1);
    tmedia_defaults_set_videopkt_retrans(0);
    tmedia_defaults_set_video_keep_aspect_ratio(0);
    dir.write("data/zoxcfg.ini", "[Video]\nJitterBuffer=0\nVideoPktLossRetry=1\nKeepAspectRatio=1\n");
    CSystemConfig config;
    g_pSystemConfig = &config;
    ASSERT_TRUE(InitMediaLibrary());
    g_pSystemConfig = nullptr;
    d = tmedia_defaults_get();
    EXPECT_FALSE(d.videoJitterBuffer);
    EXPECT_TRUE(d.videoPacketRetransmit);
    EXPECT_TRUE(d.keepAspectRatio);
}
