// Talk-burst control datagrams as they arrive on the RTCP port.
#include <cstddef>
#include <cstdint>

#include "medialib/Tbcp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TbcpScan scan;
    size_t seen = 0;
    ParseTbcpDatagram(data, size, &scan, [&](const TbcpMessage &m) {
        // Every byte of a delivered body must lie inside the datagram.
        if (m.bodySize && (m.body < data || m.body + m.bodySize > data + size))
            __builtin_trap();
        for (size_t i = 0; i < m.bodySize; ++i)
            seen += m.body[i];
    });
    return seen == size_t(-1);
}
