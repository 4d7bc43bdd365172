#include "medialib/MediaLaunch.h"

#include <gst/gst.h>

#include <atomic>

struct MediaLaunch {
    GstElement *pipeline = nullptr;
    std::atomic<uint64_t> buffers{0};
    bool counting = false;
};

namespace {
bool waitEos(GstElement *pipeline, int timeoutMs, std::string *error)
{
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *msg = gst_bus_timed_pop_filtered(bus, GstClockTime(timeoutMs) * GST_MSECOND,
                                                 GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    if (!msg) {
        if (error)
            *error = "time limit";
        return false;
    }
    bool eos = GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (!eos && error) {
        GError *err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        *error = err ? err->message : "error";
        if (err)
            g_error_free(err);
    }
    gst_message_unref(msg);
    return eos;
}
} // namespace

MediaLaunch *MediaLaunchStart(const std::string &description, std::string *error)
{
    GError *err = nullptr;
    GstElement *p = gst_parse_launch(description.c_str(), &err);
    if (!p || err) {
        if (error)
            *error = err ? err->message : "parse failed";
        if (err)
            g_error_free(err);
        if (p)
            gst_object_unref(p);
        return nullptr;
    }
    if (gst_element_set_state(p, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        if (error)
            *error = "cannot play";
        gst_element_set_state(p, GST_STATE_NULL);
        gst_object_unref(p);
        return nullptr;
    }
    auto *l = new MediaLaunch;
    l->pipeline = p;
    return l;
}

uint64_t MediaLaunchBufferCount(MediaLaunch *launch, const char *element)
{
    if (!launch || !element)
        return 0;
    if (!launch->counting) {
        GstElement *e = gst_bin_get_by_name(GST_BIN(launch->pipeline), element);
        if (!e && g_object_class_find_property(G_OBJECT_GET_CLASS(launch->pipeline), element))
            g_object_get(launch->pipeline, element, &e, nullptr);
        if (!e)
            return 0;
        if (GstPad *p = gst_element_get_static_pad(e, "sink")) {
            gst_pad_add_probe(
                p, GST_PAD_PROBE_TYPE_BUFFER,
                [](GstPad *, GstPadProbeInfo *, gpointer d) -> GstPadProbeReturn {
                    static_cast<MediaLaunch *>(d)->buffers.fetch_add(1);
                    return GST_PAD_PROBE_OK;
                },
                launch, nullptr);
            gst_object_unref(p);
            launch->counting = true;
        }
        gst_object_unref(e);
    }
    return launch->buffers.load();
}

bool MediaLaunchWaitEos(MediaLaunch *launch, int timeoutMs, std::string *error)
{
    return launch && waitEos(launch->pipeline, timeoutMs, error);
}

std::string MediaLaunchPadCaps(MediaLaunch *launch, const char *element, const char *pad)
{
    if (!launch || !element || !pad)
        return {};
    GstElement *e = gst_bin_get_by_name(GST_BIN(launch->pipeline), element);
    if (!e)
        return {};
    std::string text;
    if (GstPad *p = gst_element_get_static_pad(e, pad)) {
        if (GstCaps *caps = gst_pad_get_current_caps(p)) {
            gchar *t = gst_caps_to_string(caps);
            text = t;
            g_free(t);
            gst_caps_unref(caps);
        }
        gst_object_unref(p);
    }
    gst_object_unref(e);
    return text;
}

bool MediaLaunchSetInt(MediaLaunch *launch, const char *element, const char *property, int value)
{
    if (!launch || !element || !property)
        return false;
    GstElement *e = gst_bin_get_by_name(GST_BIN(launch->pipeline), element);
    if (!e)
        return false;
    bool ok = g_object_class_find_property(G_OBJECT_GET_CLASS(e), property) != nullptr;
    if (ok)
        g_object_set(e, property, value, nullptr);
    gst_object_unref(e);
    return ok;
}

void MediaLaunchStop(MediaLaunch *launch)
{
    if (!launch)
        return;
    gst_element_set_state(launch->pipeline, GST_STATE_NULL);
    gst_object_unref(launch->pipeline);
    delete launch;
}

namespace {
struct DecodeCount {
    std::atomic<uint64_t> frames{0};
    std::atomic<int> width{0}, height{0};
};

GstPadProbeReturn decodeProbe(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *c = static_cast<DecodeCount *>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        c->frames++;
    } else if (GstEvent *ev = GST_PAD_PROBE_INFO_EVENT(info); ev && GST_EVENT_TYPE(ev) == GST_EVENT_CAPS) {
        GstCaps *caps = nullptr;
        gst_event_parse_caps(ev, &caps);
        int w = 0, h = 0;
        if (caps && gst_caps_get_size(caps)) {
            gst_structure_get_int(gst_caps_get_structure(caps, 0), "width", &w);
            gst_structure_get_int(gst_caps_get_structure(caps, 0), "height", &h);
        }
        c->width = w;
        c->height = h;
    }
    return GST_PAD_PROBE_OK;
}
} // namespace

MediaFileCheck MediaDecodeFile(const std::string &path, bool h265, int timeoutMs)
{
    MediaFileCheck r;
    GstElement *p = gst_pipeline_new(nullptr);
    GstElement *src = gst_element_factory_make("filesrc", nullptr);
    GstElement *parse = gst_element_factory_make(h265 ? "h265parse" : "h264parse", nullptr);
    GstElement *dec = gst_element_factory_make(h265 ? "avdec_h265" : "avdec_h264", nullptr);
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    if (!p || !src || !parse || !dec || !sink) {
        r.error = "missing element";
        for (GstElement *e : {p, src, parse, dec, sink})
            if (e)
                gst_object_unref(e);
        return r;
    }
    g_object_set(src, "location", path.c_str(), nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(p), src, parse, dec, sink, nullptr);
    DecodeCount count;
    if (!gst_element_link_many(src, parse, dec, sink, nullptr)) {
        r.error = "link failed";
    } else {
        GstPad *pad = gst_element_get_static_pad(dec, "src");
        gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                          decodeProbe, &count, nullptr);
        gst_object_unref(pad);
        if (gst_element_set_state(p, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            r.error = "cannot play";
        else
            r.ok = waitEos(p, timeoutMs, &r.error);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(p);
    r.frames = count.frames;
    r.width = unsigned(count.width.load());
    r.height = unsigned(count.height.load());
    return r;
}
