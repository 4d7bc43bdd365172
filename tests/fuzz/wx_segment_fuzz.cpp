// Chat messages the dispatch server relays to the console's chat bridge: the segment
// of a message request (its length field, base64 text and the decoded head).
#include <cstddef>
#include <cstdint>

#include "platforms/NetWxProxy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t area[kWxSegmentArea];
    size_t decoded = 0;
    if (ReadChatSegment(data, size, area, decoded) == EN_WX_SEGMENT_READ::Ok) {
        if (decoded <= kWxSegmentHead || decoded > kWxSegmentArea)
            __builtin_trap();
        ST_WX_INBOX_INFO info;
        FillInboxInfo(area, decoded, info);
    }
    // The decoder alone, on the whole input and into a buffer just too small.
    uint8_t out[64];
    int n = Base64Decode(reinterpret_cast<const char *>(data), size, out, sizeof out);
    if (n > int(sizeof out))
        __builtin_trap();
    return 0;
}
