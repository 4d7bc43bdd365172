// The tests' RTSP server as a program of its own (for the benchmark, and to try the
// console by hand): rtsp_test_server [port] [h264|h265|pcma] [shared 0|1] [width height]
// Serves rtsp://127.0.0.1:<port>/test until SIGINT or SIGTERM.
#include "RtspTestServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }
} // namespace

int main(int argc, char **argv)
{
    RtspTestServerOptions o;
    uint16_t port = argc > 1 ? uint16_t(std::atoi(argv[1])) : 8554;
    if (argc > 2)
        o.media = argv[2];
    if (argc > 3)
        o.shared = std::atoi(argv[3]) != 0;
    if (argc > 5) {
        o.width = std::atoi(argv[4]);
        o.height = std::atoi(argv[5]);
    }
    RtspTestServer server(o);
    if (!server.Start(port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("%s\n", server.Url().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!g_stop)
        pause();
    server.Stop();
    return 0;
}
