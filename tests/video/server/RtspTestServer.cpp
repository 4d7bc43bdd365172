#include "RtspTestServer.h"

#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include <condition_variable>
#include <mutex>
#include <thread>

struct RtspTestServer::Impl {
    GMainContext *context = nullptr;
    GMainLoop *loop = nullptr;
    GstRTSPServer *server = nullptr;
    guint source = 0;
    std::thread thread;
};

namespace {
std::string LaunchLine(const RtspTestServerOptions &o)
{
    std::string cfg = o.inbandParameterSets ? " config-interval=-1" : "";
    std::string video;
    std::string raw = "videotestsrc is-live=true pattern=" + o.pattern + " ! video/x-raw,width=" + std::to_string(o.width) +
                      ",height=" + std::to_string(o.height) + ",framerate=" + std::to_string(o.fps) + "/1";
    if (o.media.find("h265") != std::string::npos)
        video = raw + " ! x265enc tune=zerolatency speed-preset=ultrafast key-int-max=" + std::to_string(o.keyInterval) +
                " ! rtph265pay name=pay0 pt=96" + cfg;
    else if (o.media.find("h264") != std::string::npos)
        video = raw + " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=" + std::to_string(o.keyInterval) +
                " ! rtph264pay name=pay0 pt=96" + cfg;
    std::string audio;
    if (o.media.find("pcma") != std::string::npos)
        audio = std::string("audiotestsrc is-live=true ! audio/x-raw,rate=8000,channels=1 ! alawenc ! rtppcmapay name=") +
                (video.empty() ? "pay0" : "pay1") + " pt=8";
    std::string line = "( " + video + (video.empty() || audio.empty() ? "" : " ") + audio + " )";
    return line;
}

GstRTSPFilterResult RemoveClient(GstRTSPServer *, GstRTSPClient *, gpointer) { return GST_RTSP_FILTER_REMOVE; }
} // namespace

RtspTestServer::RtspTestServer(RtspTestServerOptions options) : m_impl(new Impl), m_options(std::move(options))
{
    gst_init(nullptr, nullptr);
}

RtspTestServer::~RtspTestServer() { Stop(); }

std::string RtspTestServer::Url() const { return "rtsp://127.0.0.1:" + std::to_string(m_port) + "/test"; }

bool RtspTestServer::Start(uint16_t port)
{
    Stop();
    Impl &d = *m_impl;
    d.context = g_main_context_new();
    d.loop = g_main_loop_new(d.context, FALSE);
    d.server = gst_rtsp_server_new();
    gst_rtsp_server_set_address(d.server, "127.0.0.1");
    gst_rtsp_server_set_service(d.server, std::to_string(port).c_str());
    GstRTSPMountPoints *mounts = gst_rtsp_server_get_mount_points(d.server);
    GstRTSPMediaFactory *factory = gst_rtsp_media_factory_new();
    gst_rtsp_media_factory_set_launch(factory, LaunchLine(m_options).c_str());
    gst_rtsp_media_factory_set_shared(factory, m_options.shared ? TRUE : FALSE);
    if (!m_options.auth.empty()) {
        GstRTSPAuth *auth = gst_rtsp_auth_new();
        GstRTSPToken *token = gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, "user", nullptr);
        if (m_options.auth == "basic") {
            gchar *basic = gst_rtsp_auth_make_basic(m_options.user.c_str(), m_options.password.c_str());
            gst_rtsp_auth_add_basic(auth, basic, token);
            g_free(basic);
            gst_rtsp_auth_set_supported_methods(auth, GST_RTSP_AUTH_BASIC);
        } else {
            gst_rtsp_auth_add_digest(auth, m_options.user.c_str(), m_options.password.c_str(), token);
            gst_rtsp_auth_set_supported_methods(auth, GST_RTSP_AUTH_DIGEST);
        }
        gst_rtsp_token_unref(token);
        gst_rtsp_server_set_auth(d.server, auth);
        g_object_unref(auth);
        gst_rtsp_media_factory_add_role(factory, "user", GST_RTSP_PERM_MEDIA_FACTORY_ACCESS, G_TYPE_BOOLEAN, TRUE,
                                        GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT, G_TYPE_BOOLEAN, TRUE, nullptr);
    }
    gst_rtsp_mount_points_add_factory(mounts, "/test", factory);
    g_object_unref(mounts);
    GError *err = nullptr;
    GSource *src = gst_rtsp_server_create_source(d.server, nullptr, &err);
    if (!src) {
        if (err)
            g_error_free(err);
        g_object_unref(d.server);
        d.server = nullptr;
        g_main_loop_unref(d.loop);
        g_main_context_unref(d.context);
        d.loop = nullptr;
        d.context = nullptr;
        return false;
    }
    d.source = g_source_attach(src, d.context);
    g_source_unref(src);
    m_port = uint16_t(gst_rtsp_server_get_bound_port(d.server));
    d.thread = std::thread([loop = d.loop, ctx = d.context] {
        g_main_context_push_thread_default(ctx);
        g_main_loop_run(loop);
        g_main_context_pop_thread_default(ctx);
    });
    return true;
}

void RtspTestServer::Stop()
{
    Impl &d = *m_impl;
    if (!d.server)
        return;
    // Drop every client (their media stop), then stop listening.
    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
    struct Ctx {
        Impl *d;
        std::mutex *lock;
        std::condition_variable *cv;
        bool *done;
    } ctx{&d, &lock, &cv, &done};
    g_main_context_invoke(
        d.context,
        [](gpointer p) -> gboolean {
            auto *c = static_cast<Ctx *>(p);
            gst_rtsp_server_client_filter(c->d->server, RemoveClient, nullptr);
            GSource *s = g_main_context_find_source_by_id(c->d->context, c->d->source);
            if (s)
                g_source_destroy(s);
            std::lock_guard<std::mutex> lk(*c->lock);
            *c->done = true;
            c->cv->notify_all();
            return G_SOURCE_REMOVE;
        },
        &ctx);
    {
        std::unique_lock<std::mutex> lk(lock);
        cv.wait_for(lk, std::chrono::seconds(5), [&] { return done; });
    }
    g_main_loop_quit(d.loop);
    if (d.thread.joinable())
        d.thread.join();
    g_object_unref(d.server);
    d.server = nullptr;
    g_main_loop_unref(d.loop);
    d.loop = nullptr;
    g_main_context_unref(d.context);
    d.context = nullptr;
}
