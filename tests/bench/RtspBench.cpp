// RTSP previews through the console's RTSP client, side by side with GStreamer's own
// players on the same server (the tests' gst-rtsp-server, run as a separate process).
//
// 1. Preview request -> first decoded frame: CRtspClient::PlayVideo against playbin
//    (fakesink) on the same URL, alternating, each from a fresh RTSP session of a
//    server that encodes per client (a key frame starts every stream).
// 2. CPU of N previews (UDP) against N bare receivers in one gst-launch-1.0 process
//    (rtspsrc ! rtph264depay ! h264parse ! avdec_h264 ! fakesink), both at once,
//    from a server that encodes once for all clients. Left out of both figures: the
//    server (a process of its own), rendering (both decode into fakesink; the video
//    wall's benchmark, video_wall_live bench, compares rendering into windows).
//
//   rtsp_bench [latency rounds, default 10] [CPU seconds, default 10] [N, default 16]
//   (0 rounds or 0 seconds leaves that part out)
#include "BenchProcess.h"
#include "core/MediaLibrary.h"
#include "medialib/MediaLaunch.h"
#include "tests/support/ConsoleEnv.h"
#include "video/RtspClient.h"
#include "video/RtspSession.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class BenchSource : public IRtspClientSource {
public:
    std::map<std::string, ST_ZOX_RTSP_CAMERA> cameras;
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &c) override
    {
        auto it = cameras.find(cid);
        if (it == cameras.end())
            return -2;
        c = it->second;
        return 0;
    }
    int GetDisplayName(const std::string &, std::string &) override { return -1; }
    int GetVehicleRtsp(const std::string &, std::string &, std::string &, uint16_t &) override { return -1; }
};

// A tile that only answers for its window.
struct NullTile : IVideoTile {
    int state = 0;
    void SetUser(const std::string &, const std::string &, int) override {}
    void SetService(EN_ZOX_VIDEOWND_SERVICE) override {}
    void SetState(EN_ZOX_VIDEOWND_STATE s) override { state = s; }
    void SetSelected(bool) override {}
    uintptr_t GetHandle() override { return 1; }
    void SetVideoSize(uint32_t, uint32_t) override {}
    void SetRecording(bool) override {}
    void SetSoundEnable(bool) override {}
    void SetSoundOpen(bool) override {}
    void SetVideoKarCallback(const void *, VideoKarCallback) override {}
    void Clone(IVideoTile *) override {}
};

int64_t framesOf(CRtspClient &client, const std::string &cid)
{
    int64_t n = 0;
    tmedia_session_mgr_t *m = client.GetMediaSession(2, cid);
    if (!m || tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_consumer, "decoder-frames-count", &n) != 0)
        return 0;
    return n;
}

ST_ZOX_RTSP_CAMERA camera(uint32_t cid, uint16_t port, int transport)
{
    ST_ZOX_RTSP_CAMERA c;
    c.cid = cid;
    c.cname = "bench";
    c.ip = "127.0.0.1";
    c.port = port;
    c.main_url = "rtsp://127.0.0.1:" + std::to_string(port) + "/test";
    c.transport = transport;
    return c;
}

struct Stats {
    double median = 0, mean = 0, min = 0, max = 0;
};
Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.mean = std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    s.min = v.front();
    s.max = v.back();
    return s;
}

void latency(CRtspClient &client, BenchSource &source, int rounds)
{
    const uint16_t port = 18554;
    pid_t server = zoxbench::Spawn(std::string(ZOX_BINARY_DIR) + "/bin/rtsp_test_server " + std::to_string(port) + " h264 0 640 480");
    if (!zoxbench::WaitServer(port)) {
        std::printf("latency: server did not start\n");
        zoxbench::Stop(server);
        return;
    }
    for (int t : {0, 1}) {
        std::vector<double> ours, bare;
        source.cameras["1"] = camera(1, port, t);
        std::string uri = "rtsp://127.0.0.1:" + std::to_string(port) + "/test";
        // Each start waits until the server has finished with the previous session
        // (its teardown competes with the next set-up otherwise, and the two players
        // alternate, so the one started second would always pay for it).
        const auto settle = 250ms;
        for (int r = 0; r < rounds; ++r) {
            NullTile tile;
            zoxtest::PumpFor(settle);
            auto t0 = Clock::now();
            if (client.PlayVideo(2, "1", &tile) != 0)
                break;
            zoxtest::PumpUntil([&] { return framesOf(client, "1") >= 1; }, 5000ms);
            ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            client.StopVideo(2, "1");
            zoxtest::PumpUntil([&] { return client.SessionCount() == 0; }, 5000ms);

            std::string err;
            zoxtest::PumpFor(settle);
            t0 = Clock::now();
            // playbin's rtspsrc takes TCP-interleaved from the scheme rtspt://.
            MediaLaunch *pb = MediaLaunchStart("playbin uri=" + (t ? "rtspt" + uri.substr(4) : uri) +
                                                   " video-sink=\"fakesink sync=false\" audio-sink=fakesink",
                                               &err);
            if (!pb)
                break;
            auto end = Clock::now() + 5s;
            while (MediaLaunchBufferCount(pb, "video-sink") < 1 && Clock::now() < end)
                std::this_thread::sleep_for(1ms);
            bare.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            MediaLaunchStop(pb);
        }
        Stats o = stats(ours), b = stats(bare);
        std::printf("first frame (%s, %d rounds): ours median %.0f ms (mean %.0f, %.0f-%.0f)  playbin median %.0f ms "
                    "(mean %.0f, %.0f-%.0f)  ratio %.2f\n",
                    t ? "TCP-interleaved" : "UDP", int(ours.size()), o.median, o.mean, o.min, o.max,
                    b.median, b.mean, b.min, b.max, b.median > 0 ? o.median / b.median : 0.0);
        std::fflush(stdout);
    }
    zoxbench::Stop(server);
}

void cpu(CRtspClient &client, BenchSource &source, int seconds, int n)
{
    const uint16_t port = 18556;
    pid_t server = zoxbench::Spawn(std::string(ZOX_BINARY_DIR) + "/bin/rtsp_test_server " + std::to_string(port) + " h264 1 640 480");
    if (!zoxbench::WaitServer(port)) {
        std::printf("cpu: server did not start\n");
        zoxbench::Stop(server);
        return;
    }
    std::vector<NullTile> tiles(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string cid = std::to_string(100 + i);
        source.cameras[cid] = camera(uint32_t(100 + i), port, 0);
        client.PlayVideo(2, cid, &tiles[size_t(i)]);
    }
    // The bare receivers connect once every preview shows pictures: 2 x N clients
    // joining the shared stream at the same moment sometimes stall the test server.
    auto allShowing = [&] {
        for (int i = 0; i < n; ++i)
            if (framesOf(client, std::to_string(100 + i)) < 1)
                return false;
        return true;
    };
    zoxtest::PumpUntil(allShowing, 10000ms);
    std::string bareLine = "gst-launch-1.0 -q";
    for (int i = 0; i < n; ++i)
        bareLine += " rtspsrc location=rtsp://127.0.0.1:" + std::to_string(port) +
                    "/test protocols=udp latency=200 ! rtph264depay ! h264parse ! avdec_h264 max-threads=2 ! fakesink sync=false";
    pid_t bare = zoxbench::Spawn(bareLine);
    zoxtest::PumpFor(4000ms); // warm-up
    int playing = 0;
    int64_t before = 0;
    for (int i = 0; i < n; ++i) {
        before += framesOf(client, std::to_string(100 + i));
        playing += client.IsPlaying(2, std::to_string(100 + i)) ? 1 : 0;
    }
    double ours0 = zoxbench::SelfCpu(), bare0 = zoxbench::ProcCpu(bare);
    auto t0 = Clock::now();
    // The measured time passes in an event loop, as it does in the program (the
    // polling pump of the set-up would add its own wake-ups to our figure).
    {
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    double oursCpu = zoxbench::SelfCpu() - ours0, bareCpu = zoxbench::ProcCpu(bare) - bare0;
    int64_t after = 0;
    for (int i = 0; i < n; ++i)
        after += framesOf(client, std::to_string(100 + i));
    zoxbench::Stop(bare);
    for (int i = 0; i < n; ++i)
        client.StopVideo(2, std::to_string(100 + i));
    zoxtest::PumpUntil([&] { return client.SessionCount() == 0; }, 10000ms);
    zoxbench::Stop(server);
    double fps = double(after - before) / wall / n;
    if (fps < 22.5 || bareCpu <= 0)
        std::printf("CPU run not valid: the stream stalled (%.1f frames/s per preview, bare CPU %.2f s)\n", fps, bareCpu);
    std::printf("CPU, %d previews (%d playing) 640x480 25 fps H.264 over UDP, %.0f s: ours %.1f%%  bare %.1f%%  ratio %.3f  "
                "frames/s per preview (ours) %.1f\n",
                n, playing, wall, 100 * oursCpu / wall, 100 * bareCpu / wall, bareCpu > 0 ? oursCpu / bareCpu : 0.0,
                fps);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    unsetenv("DISPLAY");
    int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    int n = argc > 3 ? std::atoi(argv[3]) : 16;
    zoxtest::ConsoleEnv env;
    if (!InitMediaLibrary()) {
        std::fprintf(stderr, "media layer failed to start\n");
        return 1;
    }
    BenchSource source;
    {
        CRtspClient client(&source);
        if (client.Start() != 0) {
            std::fprintf(stderr, "RTSP client failed to start\n");
            return 1;
        }
        if (rounds > 0)
            latency(client, source, rounds);
        if (seconds > 0 && n > 0)
            cpu(client, source, seconds, n);
    }
    zoxtest::PumpFor(100ms);
    ExitMediaLibrary();
    return 0;
}
