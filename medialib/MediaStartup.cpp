#include "medialib/MediaStartup.h"
#include "medialib/MediaLog.h"

#include <gst/gst.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::mutex g_lock;
bool g_gstReady = false;
std::atomic<bool> g_started{false};
thread_local int t_errno = 0;

bool fileExists(const std::string &p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}
} // namespace

int tnet_startup()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        t_errno = errno;
        return t_errno ? t_errno : -1;
    }
    ::close(fd);
    return 0;
}

int tnet_cleanup() { return 0; }

int tnet_geterrno() { return t_errno; }

int tdav_init()
{
    std::lock_guard<std::mutex> lk(g_lock);
    if (!g_gstReady) {
        GError *err = nullptr;
        if (!gst_init_check(nullptr, nullptr, &err)) {
            MediaLogError("media: GStreamer failed to start: %s", err ? err->message : "unknown");
            if (err)
                g_error_free(err);
            return 1;
        }
        g_gstReady = true;
    }
    static const char *const kNeeded[] = {"rtpbin", "udpsrc", "udpsink", "rtppcmadepay", "rtppcmapay",
                                          "alawenc", "alawdec", "rtph264depay", "rtph264pay",
                                          "h264parse", "avdec_h264", "x264enc", "appsrc",
                                          "audiotestsrc", "videotestsrc", "fakesink", "valve", "funnel"};
    for (const char *name : kNeeded) {
        GstElementFactory *f = gst_element_factory_find(name);
        if (!f) {
            MediaLogError("media: element %s is missing", name);
            return 2;
        }
        gst_object_unref(f);
    }
    g_started = true;
    return 0;
}

int tdav_deinit()
{
    // GStreamer stays initialised: it cannot be started twice in one process.
    g_started = false;
    return 0;
}

bool tdav_is_started() { return g_started.load(); }

bool tmedia_audio_devices_present()
{
    const char *env = std::getenv("ZOX_MEDIA_AUDIO");
    if (env && std::strcmp(env, "none") == 0)
        return false;
    if (env && std::strcmp(env, "pulse") == 0)
        return true;
    GstElementFactory *f = gst_element_factory_find("pulsesrc");
    if (!f)
        return false;
    gst_object_unref(f);
    if (const char *server = std::getenv("PULSE_SERVER"); server && *server)
        return true;
    std::string runtime;
    if (const char *xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg)
        runtime = xdg;
    else
        runtime = "/run/user/" + std::to_string(::getuid());
    return fileExists(runtime + "/pulse/native") || fileExists("/var/run/pulse/native");
}
