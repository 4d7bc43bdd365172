// CPU of receiving and decoding N 640x480 H.264 RTP streams through our media
// sessions, side by side with bare gst-launch-1.0 pipelines decoding the same
// streams. One sender process encodes a single test pattern once and sends every
// packet to all 2N receivers, so both sides decode identical streams.
//
//   media_bench [seconds per round, default 10] [N ...,  default 1 4 16]
#include "core/MediaLibrary.h"
#include "medialib/MediaDefaults.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double selfCpu()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6 + ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
}

double procCpu(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(f, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream in(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

pid_t spawn(const std::string &pipeline)
{
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string cmd = "exec gst-launch-1.0 -q " + pipeline;
        execl("/bin/sh", "sh", "-c", cmd.c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGINT);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

uint16_t freeEvenPort()
{
    for (;;) {
        int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        socklen_t len = sizeof sa;
        getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
        close(fd);
        uint16_t p = ntohs(sa.sin_port);
        if (p % 2 == 0)
            return p;
    }
}

void round(int n, int seconds)
{
    in_addr lo{};
    inet_pton(AF_INET, "127.0.0.1", &lo);
    std::vector<tmedia_session_mgr_t *> sessions;
    std::vector<uint16_t> ours, bare;
    for (int i = 0; i < n; ++i) {
        tmedia_session_mgr_t *m = CreateMediaSession(kMediaVideo, lo, 0, 4, 1);
        uint16_t p = 0;
        GetMediaLocalPort(m, kMediaVideo, &p);
        SetMediaCodecs(m, kMediaVideo, tmedia_codec_id_h264);
        SetMediaRemoteAddress(m, kMediaVideo, lo, 0);
        StartMediaSession(m);
        sessions.push_back(m);
        ours.push_back(p);
        bare.push_back(freeEvenPort());
    }
    std::string decoders;
    for (uint16_t p : bare) {
        decoders += " udpsrc address=127.0.0.1 port=" + std::to_string(p) +
                    " caps=\"application/x-rtp,media=video,clock-rate=90000,encoding-name=H264,payload=96\""
                    " ! rtpjitterbuffer latency=200 ! rtph264depay ! h264parse ! avdec_h264 max-threads=2"
                    " ! fakesink sync=false";
    }
    std::string clients;
    for (uint16_t p : ours)
        clients += (clients.empty() ? "" : ",") + std::string("127.0.0.1:") + std::to_string(p);
    for (uint16_t p : bare)
        clients += ",127.0.0.1:" + std::to_string(p);
    pid_t bareDec = spawn(decoders);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    pid_t sender = spawn("videotestsrc is-live=true pattern=ball ! video/x-raw,width=640,height=480,framerate=25/1"
                         " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=50 bitrate=1200"
                         " ! rtph264pay pt=96 config-interval=-1 mtu=1400 ! multiudpsink clients=" + clients);
    std::this_thread::sleep_for(std::chrono::seconds(4)); // warm-up
    int64_t framesBefore = 0, framesAfter = 0;
    for (auto *m : sessions) {
        int64_t f = 0;
        tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_manager, "decoder-frames-count", &f);
        framesBefore += f;
    }
    double ours0 = selfCpu(), bare0 = procCpu(bareDec);
    auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    double oursCpu = selfCpu() - ours0, bareCpu = procCpu(bareDec) - bare0;
    for (auto *m : sessions) {
        int64_t f = 0;
        tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_manager, "decoder-frames-count", &f);
        framesAfter += f;
    }
    stop(sender);
    stop(bareDec);
    for (auto *m : sessions)
        ReleaseMediaSession(m);
    std::printf("N=%2d  ours %6.1f%% CPU  bare %6.1f%% CPU  ratio %.3f  frames/s per stream (ours) %.1f\n", n,
                100 * oursCpu / wall, 100 * bareCpu / wall, bareCpu > 0 ? oursCpu / bareCpu : 0.0,
                double(framesAfter - framesBefore) / wall / n);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    unsetenv("DISPLAY");
    if (!InitMediaLibrary()) {
        std::fprintf(stderr, "media layer failed to start\n");
        return 1;
    }
    int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1, 4, 16};
    std::printf("receive + decode of 640x480 H.264 at 25 fps, %d s per round, %u cores\n", seconds,
                std::thread::hardware_concurrency());
    for (int n : counts)
        round(n, seconds);
    ExitMediaLibrary();
    return 0;
}
