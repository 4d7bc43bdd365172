// Session descriptions of DESCRIBE replies, asked the way the media sessions ask them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "medialib/Sdp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    tsdp_message_t *sdp = tsdp_message_parse(data, size);
    if (!sdp)
        return 0;
    size_t seen = 0;
    for (const char *media : {"video", "audio", "application"}) {
        const tsdp_header_M_t *m = tsdp_message_find_media(sdp, media);
        for (const char *a : {"control", "rtpmap", "fmtp", "framerate", "sendonly", "recvonly"}) {
            if (const char *v = tsdp_header_M_findA(m, a))
                seen += std::strlen(v);
        }
        for (const char *fmt : {"96", "97", "8", "0", "26"})
            seen += tsdp_header_M_have_fmt(m, fmt);
    }
    tsk_object_unref(sdp);
    return seen == size_t(-1);
}
