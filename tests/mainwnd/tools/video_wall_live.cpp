// The video wall with sixteen live camera previews, on a real X display (xvfb-run).
//
//   video_wall_live screens [folder]   pictures of the wall in the 16-tile layout and of
//                                      one preview moved into a popup (video-wall-16.png,
//                                      video-popup.png; folder: docs/ of the sources); the
//                                      preview then moves back into the wall.
//   video_wall_live bench [seconds] [N]
//                                      CPU of N previews (default 16) of 1280x720 25 fps
//                                      H.264 on the wall against N bare GStreamer receivers
//                                      (rtspsrc ! rtph264depay ! h264parse ! avdec_h264 !
//                                      videoconvert ! ximagesink) in one gst-launch-1.0
//                                      process, both at once, from one server process that
//                                      encodes once for all clients. Left out: the server
//                                      and the X server (both sides draw into it). The
//                                      wall scales each picture to its tile before the
//                                      colour conversion; the bare receivers convert
//                                      and draw whole 1280x720 pictures into windows of
//                                      that size.
//
// Example: xvfb-run -s "-screen 0 1920x1080x24" build/bin/video_wall_live screens
#include "../../bench/BenchProcess.h"
#include "../live/LiveWall.h"

#include "tests/video/server/RtspTestServer.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace std::chrono_literals;

namespace {

bool RealDisplay()
{
    return QGuiApplication::platformName() == "xcb";
}

// What the screen shows where the main window is: the videos are drawn by the media
// layer into the tiles' windows, which a grab of the widgets would not see.
bool SaveScreen(TMainForm &form, const std::string &path)
{
    const QRect r = form.frameGeometry();
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
    const bool ok = !shot.isNull() && shot.save(QString::fromStdString(path));
    std::printf("%s %s\n", ok ? "saved" : "could not save", path.c_str());
    return ok;
}

int Screens(const std::string &folder)
{
    // 1280x720 colour bars: every tile shows the whole picture, scaled down.
    RtspTestServerOptions o;
    o.width = 1280;
    o.height = 720;
    o.pattern = "smpte";
    RtspTestServer server(o);
    if (!server.Start()) {
        std::fprintf(stderr, "the RTSP server did not start\n");
        return 1;
    }
    LiveWall wall;
    if (!wall.Open(server.Url(), 16, 1600, 900) || !wall.PlayAll()) {
        std::fprintf(stderr, "the wall could not start its previews\n");
        return 1;
    }
    if (!LiveWall::PumpUntil([&] { return wall.AllPlaying(25); }, 30s)) {
        std::fprintf(stderr, "not every preview plays\n");
        return 1;
    }
    // A preview that joined the stream between two key frames shows whole pictures
    // from the next key frame on (the server sends one every second).
    LiveWall::Pump(2500ms);
    TMainForm &form = wall.Form();
    bool ok = SaveScreen(form, folder + "/video-wall-16.png");

    const std::string moved = LiveWall::Id(wall.Cameras()[5]);
    form.PreviewVideo(CRtspClient::kOwnerCamera, moved);
    if (form.VideoPopups().size() != 1) {
        std::fprintf(stderr, "no popup opened\n");
        return 1;
    }
    TVideoPopupForm *popup = form.VideoPopups()[0];
    const int64_t atMove = wall.Frames(moved);
    LiveWall::PumpUntil([&] { return wall.Frames(moved) >= atMove + 25; }, 10s);
    LiveWall::Pump(1500ms); // the accept picture shows within a second
    ok = SaveScreen(form, folder + "/video-popup.png") && ok;
    std::printf("camera %s in the popup: %s\n", moved.c_str(),
                popup->VideoCtrl() && popup->VideoCtrl()->GetState() == ZOX_VIDEOWND_PLAYING ? "playing" : "NOT playing");

    popup->OnImageAcceptClick();
    const int64_t atReturn = wall.Frames(moved);
    const bool back = LiveWall::PumpUntil(
        [&] { return form.VideoPopups().empty() && wall.WallTileOf(moved) && wall.Frames(moved) >= atReturn + 25; }, 10s);
    std::printf("camera %s back on the wall: %s\n", moved.c_str(), back ? "playing" : "NOT playing");
    return ok && back ? 0 : 1;
}

int Bench(int seconds, int n)
{
    const uint16_t port = 18560;
    pid_t server = zoxbench::Spawn(std::string(ZOX_BINARY_DIR) + "/bin/rtsp_test_server " + std::to_string(port) +
                                   " h264 1 1280 720");
    if (!zoxbench::WaitServer(port)) {
        std::fprintf(stderr, "the RTSP server did not start\n");
        zoxbench::Stop(server);
        return 1;
    }
    const std::string url = "rtsp://127.0.0.1:" + std::to_string(port) + "/test";
    int rc = 1;
    {
        LiveWall wall;
        if (wall.Open(url, n, 1600, 900) && wall.PlayAll() && LiveWall::PumpUntil([&] { return wall.AllPlaying(); }, 30s)) {
            // The bare receivers join once the wall plays (2 x N clients joining the one
            // stream at the same moment sometimes stall the test server).
            std::string bareLine = "gst-launch-1.0 -q";
            for (int i = 0; i < n; ++i)
                bareLine += " rtspsrc location=" + url +
                            " protocols=udp latency=200 ! rtph264depay ! h264parse ! avdec_h264 max-threads=2 ! "
                            "videoconvert ! ximagesink sync=false";
            pid_t bare = zoxbench::Spawn(bareLine);
            LiveWall::Pump(5000ms); // warm-up
            int64_t before = 0;
            for (const ST_ZOX_RTSP_CAMERA &c : wall.Cameras())
                before += wall.Frames(LiveWall::Id(c));
            const double ours0 = zoxbench::SelfCpu(), bare0 = zoxbench::ProcCpu(bare);
            const auto t0 = std::chrono::steady_clock::now();
            {
                QEventLoop loop;
                QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
                loop.exec();
            }
            const double span = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const double ours = zoxbench::SelfCpu() - ours0, bareCpu = zoxbench::ProcCpu(bare) - bare0;
            int64_t after = 0;
            for (const ST_ZOX_RTSP_CAMERA &c : wall.Cameras())
                after += wall.Frames(LiveWall::Id(c));
            zoxbench::Stop(bare);
            const double fps = double(after - before) / span / n;
            if (fps < 22.5 || bareCpu <= 0)
                std::printf("run not valid: the stream stalled (%.1f frames/s per preview, bare CPU %.2f s)\n", fps,
                            bareCpu);
            std::printf("wall CPU, %d previews 1280x720 25 fps H.264 over UDP into ximagesink, %.0f s: ours %.1f%%  "
                        "bare %.1f%%  ratio %.3f  frames/s per preview (ours) %.1f\n",
                        n, span, 100 * ours / span, 100 * bareCpu / span, bareCpu > 0 ? ours / bareCpu : 0.0, fps);
            rc = 0;
        } else {
            std::fprintf(stderr, "the wall could not play its previews\n");
        }
    }
    zoxbench::Stop(server);
    return rc;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    zoxtest::uiApp();
    if (!RealDisplay()) {
        std::fprintf(stderr, "needs an X display (run it under xvfb-run)\n");
        return 2;
    }
    const std::string mode = argc > 1 ? argv[1] : "screens";
    if (mode == "screens")
        return Screens(argc > 2 ? argv[2] : std::string(ZOX_SOURCE_DIR) + "/docs");
    if (mode == "bench")
        return Bench(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10, argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 16) : 16);
    std::fprintf(stderr, "usage: video_wall_live screens [folder] | bench [seconds] [N]\n");
    return 2;
}
