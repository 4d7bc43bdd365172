// RTSP previews against gst-rtsp-server on 127.0.0.1, started by the tests: UDP and
// TCP-interleaved H.264 and H.265 with Basic and Digest authentication, a server that
// goes away mid-stream and comes back, a stop during set-up, and a recording.
#include "core/MediaLibrary.h"
#include "medialib/MediaDefaults.h"
#include "medialib/MediaLaunch.h"
#include "server/RtspTestServer.h"
#include "tests/support/ConsoleEnv.h"
#include "video/RtspClient.h"
#include "video/RtspSessions.h"
#include "VideoTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

using namespace std::chrono_literals;

namespace {

class FakeSource : public IRtspClientSource {
public:
    std::map<std::string, ST_ZOX_RTSP_CAMERA> cameras;
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        auto it = cameras.find(cid);
        if (it == cameras.end())
            return -2;
        camera = it->second;
        return 0;
    }
    int GetDisplayName(const std::string &, std::string &) override { return -1; }
    int GetVehicleRtsp(const std::string &, std::string &, std::string &, uint16_t &) override { return -1; }
};

class RtspLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        unsetenv("DISPLAY");
        env = std::make_unique<zoxtest::ConsoleEnv>("127.0.0.1", "127.0.0.2", "[Video]\nRecordPath=rec\n");
        ASSERT_TRUE(InitMediaLibrary());
        client = std::make_unique<CRtspClient>(&source);
        ASSERT_EQ(client->Start(), 0);
    }
    void TearDown() override
    {
        client.reset();
        zoxtest::PumpFor(50ms); // sessions handed over for destruction
        env.reset();
    }

    void AddCamera(const RtspTestServer &server, int transport, const RtspTestServerOptions &o)
    {
        ST_ZOX_RTSP_CAMERA c;
        c.cid = 17;
        c.cname = "Gate";
        c.ip = "127.0.0.1";
        c.port = server.Port();
        c.main_url = server.Url();
        c.transport = transport;
        c.enabled = 1;
        if (!o.auth.empty()) {
            c.username = o.user;
            c.password = o.password;
        }
        source.cameras["17"] = c;
    }

    int64_t Frames()
    {
        int64_t n = -1;
        tmedia_session_mgr_t *m = client->GetMediaSession(2, "17");
        if (m)
            tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_consumer, "decoder-frames-count", &n);
        return n;
    }

    bool WaitPlaying(int64_t minFrames, std::chrono::milliseconds timeout = 12000ms)
    {
        return zoxtest::PumpUntil([&] { return tile.state == 2 && Frames() >= minFrames; }, timeout);
    }

    bool WaitEnded(std::chrono::milliseconds timeout = 10000ms)
    {
        return zoxtest::PumpUntil([&] { return client->SessionCount() == 0 && tile.state == 0; }, timeout);
    }

    FakeSource source;
    std::unique_ptr<zoxtest::ConsoleEnv> env;
    std::unique_ptr<CRtspClient> client;
    FakeTile tile;
};

struct PreviewCase {
    const char *name;
    const char *media;
    int transport;
    const char *auth;
};

class RtspLivePreview : public RtspLive, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(RtspLivePreview, PlaysThenStops)
{
    const PreviewCase &c = GetParam();
    RtspTestServerOptions o;
    o.media = c.media;
    o.auth = c.auth;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, c.transport, o);

    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(10)) << "state " << client->FindSession(2, "17", 4)->GetState() << " frames " << Frames();
    EXPECT_TRUE(client->IsPlaying(2, "17"));
    EXPECT_EQ(tile.service, ZOX_VIDEOWND_RTSP);
    EXPECT_EQ(tile.number, "17");
    EXPECT_EQ(tile.name, "Gate");
    EXPECT_EQ(tile.userType, 2);
    EXPECT_TRUE(zoxtest::PumpUntil([&] { return tile.width == 320 && tile.height == 240; }, 2000ms));
    // A second preview of a playing camera is refused and changes nothing.
    FakeTile other;
    EXPECT_EQ(client->PlayVideo(2, "17", &other), -1);
    EXPECT_EQ(other.state, 0);

    client->StopVideo(2, "17");
    ASSERT_TRUE(WaitEnded());
    EXPECT_FALSE(tile.selected);
    EXPECT_FALSE(client->IsPlaying(2, "17"));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, RtspLivePreview,
    ::testing::Values(PreviewCase{"h264_udp", "h264", 0, ""}, PreviewCase{"h264_tcp_basic", "h264", 1, "basic"},
                      PreviewCase{"h264_udp_digest", "h264", 0, "digest"}, PreviewCase{"h265_tcp_digest", "h265", 1, "digest"},
                      PreviewCase{"h265_udp_basic", "h265", 0, "basic"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(RtspLive, WrongPasswordEndsTheSession)
{
    RtspTestServerOptions o;
    o.auth = "digest";
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    o.password = "wrong";
    AddCamera(server, 1, o);
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitEnded());
}

TEST_F(RtspLive, ServerGoneMidStreamRebuildsWhenItReturns)
{
    RtspTestServerOptions o;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    uint16_t port = server.Port();
    AddCamera(server, 1, o);
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));
    CRtspSession *session = client->FindSession(2, "17", 4);
    ASSERT_EQ(client->ToggleRecord(2, "17"), 0);
    std::string firstFile = session->GetRecordFile();

    server.Stop();
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return session->GetState() != ZOX_RTSP_PLAYING; }, 3000ms));
    zoxtest::PumpFor(500ms);
    ASSERT_TRUE(server.Start(port));
    // Set up again, with a new media session playing into the same tile.
    ASSERT_TRUE(zoxtest::PumpUntil(
        [&] { return session->GetState() == ZOX_RTSP_PLAYING && tile.state == 2 && Frames() >= 5; }, 10000ms))
        << env->LogText();
    EXPECT_EQ(client->FindSession(2, "17", 4), session);
    // The recording goes on into a new file after the rebuild.
    EXPECT_TRUE(session->IsRecording());
    EXPECT_NE(session->GetRecordFile(), firstFile);
    EXPECT_EQ(client->FindSession(2, "17", 4)->GetState(), ZOX_RTSP_PLAYING);
    client->StopVideo(2, "17");
    ASSERT_TRUE(WaitEnded());
}

TEST_F(RtspLive, ServerThatNeverReturnsEndsThePreview)
{
    RtspTestServerOptions o;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, 1, o);
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));
    client->FindSession(2, "17", 4)->SetRebuildBackoff(50, 3);
    server.Stop();
    ASSERT_TRUE(WaitEnded(5000ms));
    EXPECT_NE(env->LogText().find("camera offline"), std::string::npos);
}

TEST_F(RtspLive, StopDuringSetUpEndsAndANewPreviewStarts)
{
    RtspTestServerOptions o;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, 0, o);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
        client->StopVideo(2, "17");
        ASSERT_TRUE(WaitEnded()) << "round " << i;
    }
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));
}

// A preview started again the moment the stopped session has terminated - before its
// end is reported and it leaves the client - plays on a session of its own.
TEST_F(RtspLive, PreviewRestartedAsItsStopEndsPlays)
{
    RtspTestServerOptions o;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, 1, o);
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));

    client->StopVideo(2, "17");
    // No pumping here: a session that left the client is destroyed only by the pump.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    bool caughtEnding = false;
    for (;;) {
        CRtspSession *s = client->FindSession(2, "17", 4);
        if (!s)
            break;
        if (s->GetState() == ZOX_RTSP_TERMINATED) {
            caughtEnding = true;
            break;
        }
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(100us);
    }
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    EXPECT_TRUE(WaitPlaying(5)) << "restarted " << (caughtEnding ? "while the old session was ending" : "after it left");
    EXPECT_EQ(client->SessionCount(), 1u);
    client->StopVideo(2, "17");
    EXPECT_TRUE(WaitEnded());
}

TEST_F(RtspLive, MovedVideoPlaysInTheNewTile)
{
    RtspTestServerOptions o;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, 1, o);
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));
    FakeTile moved;
    moved.handle = 0x5678;
    ASSERT_EQ(client->MoveVideo(2, "17", &moved), 0);
    EXPECT_EQ(moved.state, 2);
    EXPECT_EQ(moved.number, "17");
    EXPECT_EQ(tile.state, 0);
    EXPECT_EQ(client->MoveVideo(2, "17", nullptr), -2);
    EXPECT_EQ(client->MoveVideo(2, "18", &moved), -1);
    client->StopVideo(2, "17");
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return client->SessionCount() == 0 && moved.state == 0; }, 6000ms));
}

TEST_F(RtspLive, RecordingOfAPreviewDecodes)
{
    RtspTestServerOptions o;
    o.keyInterval = 10;
    RtspTestServer server(o);
    ASSERT_TRUE(server.Start());
    AddCamera(server, 1, o);
    EXPECT_EQ(client->ToggleRecord(2, "17"), -1); // nothing plays
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(WaitPlaying(5));
    ASSERT_EQ(client->ToggleRecord(2, "17"), 0);
    zoxtest::PumpFor(2000ms);
    EXPECT_TRUE(tile.recording);
    std::string file = client->FindSession(2, "17", 4)->GetRecordFile();
    ASSERT_EQ(client->ToggleRecord(2, "17"), 0);
    zoxtest::PumpFor(50ms);
    EXPECT_FALSE(tile.recording);
    EXPECT_NE(file.find("/camera17_"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 4), ".264");
    MediaFileCheck check = MediaDecodeFile(file, false, 5000);
    EXPECT_TRUE(check.ok) << check.error;
    EXPECT_GT(check.frames, 20u);
    client->StopVideo(2, "17");
    ASSERT_TRUE(WaitEnded());
}

} // namespace
