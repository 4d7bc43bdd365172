// The camera online check against gst-rtsp-server (online, offline when the server
// goes away, online again when it is back) and against a small responder on loopback
// (401 to everything, previews, disabled cameras), and the RTSP client's set of checks.
#include "FakeRtspResponder.h"
#include "VideoTestSupport.h"
#include "core/MediaLibrary.h"
#include "server/RtspTestServer.h"
#include "tests/support/ConsoleEnv.h"
#include "video/PingSession.h"
#include "video/RtspClient.h"

#include <gtest/gtest.h>

#include <QObject>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Short periods: first poll, usual poll, healthy camera.
const PingTiming kFast{50, 150, 450};

struct StateNote {
    uint32_t cid;
    int online;
    Clock::time_point at;
};

class FakeOwner : public IPingSessionOwner {
public:
    std::atomic<bool> playing{false};
    std::atomic<int> playingAsked{0};
    bool IsPlaying(int ownerType, const std::string &number) override
    {
        ++playingAsked;
        EXPECT_EQ(ownerType, 2);
        EXPECT_EQ(number, "17");
        return playing;
    }
    void OnCameraState(uint32_t cid, int online) override
    {
        std::lock_guard<std::mutex> lk(lock);
        notes.push_back({cid, online, Clock::now()});
    }
    std::vector<StateNote> Notes()
    {
        std::lock_guard<std::mutex> lk(lock);
        return notes;
    }
    bool WaitFor(int online, size_t index, std::chrono::milliseconds timeout)
    {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            auto n = Notes();
            if (n.size() > index && n[index].online == online)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

private:
    std::mutex lock;
    std::vector<StateNote> notes;
};

bool WaitUntil(const std::function<bool()> &pred, std::chrono::milliseconds timeout)
{
    const auto end = Clock::now() + timeout;
    while (!pred()) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

ST_ZOX_RTSP_CAMERA Camera(uint16_t port, const std::string &url, int status, int enabled = 1)
{
    ST_ZOX_RTSP_CAMERA c;
    c.cid = 17;
    c.cname = "Gate";
    c.ip = "127.0.0.1";
    c.port = port;
    c.main_url = url;
    c.status = status;
    c.enabled = enabled;
    return c;
}

size_t CountLines(const std::string &log, const std::string &needle)
{
    size_t n = 0;
    for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1))
        ++n;
    return n;
}

class PingSessionTest : public ::testing::Test {
protected:
    void SetUp() override { env = std::make_unique<zoxtest::ConsoleEnv>(); }
    void TearDown() override { env.reset(); }
    std::unique_ptr<zoxtest::ConsoleEnv> env;
    FakeOwner owner;
};

} // namespace

TEST_F(PingSessionTest, LiveCameraGoesOnlineThenOfflineWhenTheServerStopsAndBackWhenItReturns)
{
    auto server = std::make_unique<RtspTestServer>();
    ASSERT_TRUE(server->Start());
    const uint16_t port = server->Port();
    CPingSession check(Camera(port, server->Url(), 0), &owner, kFast);
    ASSERT_TRUE(owner.WaitFor(1, 0, 5000ms));
    EXPECT_TRUE(check.IsOnline());
    EXPECT_EQ(owner.Notes()[0].cid, 17u);

    // A healthy camera stays online and is not announced again.
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(owner.Notes().size(), 1u);

    const auto stopped = Clock::now();
    server->Stop();
    server.reset();
    ASSERT_TRUE(owner.WaitFor(0, 1, 8000ms));
    EXPECT_FALSE(check.IsOnline());
    // Offline needs three unanswered OPTIONS after the close, each a poll apart: the
    // earliest is the poll that sends the third, two healthy periods after the first.
    EXPECT_GE(owner.Notes()[1].at - stopped, 2 * std::chrono::milliseconds(kFast.healthyMs) - 50ms);
    const std::string log = env->LogText();
    EXPECT_NE(log.find("ping-session[17]:: recv trtsp_event_transport_closed"), std::string::npos);
    EXPECT_GE(CountLines(log, "ping-session[17]:: failed to send rtsp options message!"), 3u);
    EXPECT_NE(log.find("ping-session[17]:: set camera state offline."), std::string::npos);

    // The stack stopped by the close is started again by a poll: the camera comes back.
    RtspTestServer again;
    ASSERT_TRUE(again.Start(port));
    EXPECT_TRUE(owner.WaitFor(1, 2, 5000ms));
}

TEST_F(PingSessionTest, CameraThatTheCacheHadOnlineIsNotAnnouncedAgain)
{
    FakeRtspResponder camera(200);
    CPingSession check(Camera(camera.Port(), camera.Url(), 1), &owner, kFast);
    ASSERT_TRUE(WaitUntil([&] { return camera.RequestCount() >= 2; }, 5000ms));
    // A healthy online camera is asked once a healthy period, not once a usual one.
    const size_t before = camera.RequestCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * kFast.healthyMs));
    const size_t asked = camera.RequestCount() - before;
    EXPECT_GE(asked, 2u);
    EXPECT_LE(asked, 4u);
    EXPECT_TRUE(owner.Notes().empty());
    EXPECT_TRUE(check.IsOnline());
    const auto requests = camera.Requests();
    // OPTIONS to the stream URL, CSeq from 2 upwards, as the console's agent.
    EXPECT_EQ(requests[0].rfind("OPTIONS " + camera.Url() + " RTSP/1.0\r\n", 0), 0u) << requests[0];
    EXPECT_NE(requests[0].find("CSeq: 2\r\n"), std::string::npos) << requests[0];
    EXPECT_NE(requests[1].find("CSeq: 3\r\n"), std::string::npos) << requests[1];
    EXPECT_NE(requests[0].find("User-Agent: zox-client\r\n"), std::string::npos);
}

struct UnauthorizedCase {
    const char *name;
    int auth;
    int status;
};

void PrintTo(const UnauthorizedCase &c, std::ostream *os) { *os << c.name; }

class PingSessionUnauthorized : public PingSessionTest, public ::testing::WithParamInterface<UnauthorizedCase> {};

TEST_P(PingSessionUnauthorized, AtMostTwoOptionsPerPollAndTheStateStays)
{
    const UnauthorizedCase &c = GetParam();
    FakeRtspResponder camera(401);
    ST_ZOX_RTSP_CAMERA row = Camera(camera.Port(), camera.Url(), c.status);
    row.auth = c.auth;
    row.username = "admin";
    row.password = "s3cret";
    {
        CPingSession check(row, &owner, kFast);
        std::this_thread::sleep_for(1500ms);
        check.Stop();
        std::this_thread::sleep_for(100ms); // replies on their way
        EXPECT_EQ(check.IsOnline(), c.status != 0);
    }
    EXPECT_TRUE(owner.Notes().empty());
    const std::string log = env->LogText();
    const size_t polls = CountLines(log, "ping-session[17]:: poll timer out.");
    const auto requests = camera.Requests();
    ASSERT_GE(polls, 3u);
    EXPECT_LE(requests.size(), 2 * polls);
    // Each poll's 401 is repeated once.
    EXPECT_GE(requests.size(), 2 * (polls - 1));
    const size_t withCredentials = std::count_if(requests.begin(), requests.end(), [](const std::string &r) {
        return r.find("Authorization: Basic ") != std::string::npos;
    });
    if (c.auth)
        EXPECT_GE(withCredentials, polls - 1);
    else
        EXPECT_EQ(withCredentials, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cameras, PingSessionUnauthorized,
                         ::testing::Values(UnauthorizedCase{"with_credentials_offline", 1, 0},
                                           UnauthorizedCase{"without_credentials_online", 0, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PingSessionTest, PreviewedCameraGetsNoOptionsUntilThePreviewEnds)
{
    FakeRtspResponder camera(200);
    owner.playing = true;
    CPingSession check(Camera(camera.Port(), camera.Url(), 0), &owner, kFast);
    ASSERT_TRUE(WaitUntil([&] { return owner.playingAsked >= 4; }, 5000ms));
    EXPECT_EQ(camera.RequestCount(), 0u);
    EXPECT_TRUE(owner.Notes().empty());

    owner.playing = false;
    EXPECT_TRUE(owner.WaitFor(1, 0, 5000ms));
}

TEST_F(PingSessionTest, UnreachableCameraThatTheCacheHadOnlineGoesOfflineAfterThreeTries)
{
    uint16_t closedPort;
    {
        FakeRtspResponder gone(200); // a port that nothing listens on afterwards
        closedPort = gone.Port();
    }
    CPingSession check(Camera(closedPort, "rtsp://127.0.0.1:" + std::to_string(closedPort) + "/s", 1), &owner,
                       kFast);
    ASSERT_TRUE(owner.WaitFor(0, 0, 6000ms));
    EXPECT_FALSE(check.IsOnline());
    EXPECT_GE(CountLines(env->LogText(), "ping-session[17]:: failed to send rtsp options message!"), 3u);
}

TEST_F(PingSessionTest, DisabledCameraHasNothingRunning)
{
    FakeRtspResponder camera(200);
    {
        CPingSession check(Camera(camera.Port(), camera.Url(), 0, 0), &owner, kFast);
        EXPECT_FALSE(check.HasStack());
        EXPECT_FALSE(check.HasTimerManager());
        EXPECT_FALSE(check.IsRunning());
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_EQ(camera.RequestCount(), 0u);
    EXPECT_TRUE(owner.Notes().empty());
    EXPECT_EQ(owner.playingAsked, 0);
}

TEST_F(PingSessionTest, DestroyedWhileItsThreadsAreBusy)
{
    // A camera that never answers and a check polled as fast as it can: destruction
    // must end the timer, the worker and the reader before the check goes away.
    FakeRtspResponder silent(0);
    FakeRtspResponder answering(200);
    for (int i = 0; i < 20; ++i) {
        const FakeRtspResponder &peer = i % 2 ? silent : answering;
        CPingSession check(Camera(peer.Port(), peer.Url(), i % 3 == 0), &owner, PingTiming{1, 1, 1});
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * (i % 4)));
    }
    SUCCEED();
}

// --- The RTSP client's checks ---------------------------------------------------

namespace {

class CameraSource : public IRtspClientSource {
public:
    std::map<std::string, ST_ZOX_RTSP_CAMERA> rows;
    bool failReads = false;
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        auto it = rows.find(cid);
        if (failReads || it == rows.end())
            return -1;
        camera = it->second;
        return 0;
    }
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras) override
    {
        if (failReads)
            return -1;
        cameras.clear();
        for (auto &kv : rows)
            cameras.push_back(kv.second);
        return 0;
    }
    int GetDisplayName(const std::string &, std::string &) override { return -1; }
    int GetVehicleRtsp(const std::string &, std::string &, std::string &, uint16_t &) override { return -1; }
};

class StateWindow : public QObject {
public:
    std::vector<std::pair<uintptr_t, intptr_t>> states;

protected:
    void customEvent(QEvent *e) override
    {
        if (const CWindowMessage *m = CWindowMessage::From(e))
            if (m->message == WM_CAMERA_STATE)
                states.emplace_back(m->wParam, m->lParam);
    }
};

ST_ZOX_RTSP_CAMERA Row(uint32_t cid, int enabled, const std::string &url = "rtsp://127.0.0.1:1/x")
{
    ST_ZOX_RTSP_CAMERA c = Camera(1, url, 0, enabled);
    c.cid = cid;
    return c;
}

} // namespace

TEST_F(PingSessionTest, ClientKeepsOneCheckPerEnabledCamera)
{
    CameraSource source;
    source.rows = {{"5", Row(5, 1)}, {"6", Row(6, 0)}, {"7", Row(7, 1)}};
    CRtspClient client(&source);
    client.SetPingTiming({60000, 60000, 60000});
    ASSERT_EQ(client.Start(), 0);
    ASSERT_EQ(client.LoadCameras(), 0);
    EXPECT_EQ(client.PingSessionCount(), 2u);
    EXPECT_EQ(client.FindPingSession(6), nullptr);
    CPingSession *five = client.FindPingSession(5);
    ASSERT_NE(five, nullptr);

    // Adding a camera keeps the running checks and starts the new one's.
    source.rows["8"] = Row(8, 1);
    ASSERT_EQ(client.AddCameraPingSessions(), 0);
    EXPECT_EQ(client.PingSessionCount(), 3u);
    EXPECT_EQ(client.FindPingSession(5), five);
    ASSERT_NE(client.FindPingSession(8), nullptr);

    // Reload: disabled -> no check; enabled -> a new check; unreadable -> unchanged.
    source.rows["7"].enabled = 0;
    EXPECT_EQ(client.ReloadCamera(7), 0);
    EXPECT_EQ(client.FindPingSession(7), nullptr);
    source.rows["6"].enabled = 1;
    EXPECT_EQ(client.ReloadCamera(6), 0);
    EXPECT_NE(client.FindPingSession(6), nullptr);
    CPingSession *eight = client.FindPingSession(8);
    source.failReads = true;
    EXPECT_EQ(client.ReloadCamera(8), -1);
    EXPECT_EQ(client.FindPingSession(8), eight);
    EXPECT_EQ(client.LoadCameras(), -1);
    EXPECT_EQ(client.PingSessionCount(), 3u);
}

TEST_F(PingSessionTest, ClientPostsTheCameraStateToItsWindow)
{
    FakeRtspResponder camera(200);
    CameraSource source;
    ST_ZOX_RTSP_CAMERA row = Camera(camera.Port(), camera.Url(), 0);
    source.rows["17"] = row;
    StateWindow window;
    CRtspClient client(&source);
    client.SetCameraStateWindow(&window);
    client.SetPingTiming(kFast);
    ASSERT_EQ(client.Start(), 0);
    ASSERT_EQ(client.LoadCameras(), 0);
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return !window.states.empty(); }, 5000ms));
    EXPECT_EQ(window.states[0], (std::pair<uintptr_t, intptr_t>(17, 1)));
}

TEST_F(PingSessionTest, ClientsPreviewHoldsBackItsCheck)
{
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    unsetenv("DISPLAY");
    ASSERT_TRUE(InitMediaLibrary());
    RtspTestServer server;
    ASSERT_TRUE(server.Start());
    CameraSource source;
    source.rows["17"] = Camera(server.Port(), server.Url(), 1);
    {
        CRtspClient client(&source);
        client.SetPingTiming(kFast);
        ASSERT_EQ(client.Start(), 0);
        ASSERT_EQ(client.LoadCameras(), 0);
        const std::string sent = "ping-session[17]:: send rtsp options message success.";
        ASSERT_TRUE(WaitUntil([&] { return CountLines(env->LogText(), sent) >= 1; }, 5000ms));

        FakeTile tile;
        ASSERT_EQ(client.PlayVideo(2, "17", &tile), 0);
        ASSERT_TRUE(zoxtest::PumpUntil([&] { return client.IsPlaying(2, "17") && tile.state == 2; }, 12000ms));
        zoxtest::PumpFor(std::chrono::milliseconds(kFast.healthyMs)); // a poll that began before
        const size_t before = CountLines(env->LogText(), sent);
        zoxtest::PumpFor(std::chrono::milliseconds(3 * kFast.healthyMs));
        EXPECT_EQ(CountLines(env->LogText(), sent), before);

        client.StopVideo(2, "17");
        EXPECT_TRUE(zoxtest::PumpUntil([&] { return CountLines(env->LogText(), sent) > before; }, 5000ms));
    }
    zoxtest::PumpFor(50ms); // sessions handed over for destruction
}
