#include "medialib/Sdp.h"

#include <gst/sdp/gstsdpmessage.h>

#include <cstring>

struct tsdp_message_t {
    GstSDPMessage *sdp = nullptr;
};

namespace {
constexpr size_t kMaxSdp = 64 * 1024;
}

tsdp_message_t *tsdp_message_parse(const void *data, size_t size)
{
    if (!data || size == 0 || size > kMaxSdp)
        return nullptr;
    // A description is text: no NUL inside.
    if (std::memchr(data, 0, size))
        return nullptr;
    GstSDPMessage *sdp = nullptr;
    if (gst_sdp_message_new(&sdp) != GST_SDP_OK)
        return nullptr;
    if (gst_sdp_message_parse_buffer(static_cast<const guint8 *>(data), guint(size), sdp) != GST_SDP_OK ||
        gst_sdp_message_medias_len(sdp) == 0) {
        gst_sdp_message_free(sdp);
        return nullptr;
    }
    auto *m = new tsdp_message_t;
    m->sdp = sdp;
    return m;
}

const tsdp_header_M_t *tsdp_message_find_media(const tsdp_message_t *sdp, const char *media)
{
    if (!sdp || !media)
        return nullptr;
    guint n = gst_sdp_message_medias_len(sdp->sdp);
    for (guint i = 0; i < n; ++i) {
        const GstSDPMedia *m = gst_sdp_message_get_media(sdp->sdp, i);
        const gchar *name = gst_sdp_media_get_media(m);
        if (name && g_ascii_strcasecmp(name, media) == 0)
            return reinterpret_cast<const tsdp_header_M_t *>(m);
    }
    return nullptr;
}

const char *tsdp_header_M_findA(const tsdp_header_M_t *m, const char *name)
{
    if (!m || !name)
        return nullptr;
    const char *v = gst_sdp_media_get_attribute_val(reinterpret_cast<const GstSDPMedia *>(m), name);
    if (v)
        return v;
    // A flag attribute has no value: present means "".
    const GstSDPMedia *media = reinterpret_cast<const GstSDPMedia *>(m);
    for (guint i = 0; i < gst_sdp_media_attributes_len(media); ++i) {
        const GstSDPAttribute *a = gst_sdp_media_get_attribute(media, i);
        if (a && a->key && std::strcmp(a->key, name) == 0)
            return "";
    }
    return nullptr;
}

bool tsdp_header_M_have_fmt(const tsdp_header_M_t *m, const char *fmt)
{
    if (!m || !fmt)
        return false;
    const GstSDPMedia *media = reinterpret_cast<const GstSDPMedia *>(m);
    for (guint i = 0; i < gst_sdp_media_formats_len(media); ++i) {
        const gchar *f = gst_sdp_media_get_format(media, i);
        if (f && std::strcmp(f, fmt) == 0)
            return true;
    }
    return false;
}

void tsk_object_unref(tsdp_message_t *sdp)
{
    if (!sdp)
        return;
    gst_sdp_message_free(sdp->sdp);
    delete sdp;
}
