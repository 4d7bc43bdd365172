#include "medialib/Tbcp.h"

#include <cstring>

namespace {
constexpr char kName[4] = {'P', 'o', 'C', '1'};

uint32_t be32(const uint8_t *p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

struct Packet {
    const uint8_t *p;
    size_t len;      // whole packet, header included
    size_t payload;  // bytes after the 4-byte header, padding removed
};

// Splits off one packet at data[0..size); false when malformed.
bool nextPacket(const uint8_t *data, size_t size, Packet *out)
{
    if (size < 4)
        return false;
    if ((data[0] >> 6) != 2)
        return false;
    size_t len = (size_t(data[2]) << 8 | data[3]) * 4 + 4;
    if (len > size)
        return false;
    size_t payload = len - 4;
    if (data[0] & 0x20) { // padding: the last byte counts the padding bytes
        uint8_t pad = data[len - 1];
        if (pad == 0 || pad > payload)
            return false;
        payload -= pad;
    }
    *out = {data, len, payload};
    return true;
}
} // namespace

bool ParseTbcpDatagram(const uint8_t *data, size_t size, TbcpScan *scan,
                       const std::function<void(const TbcpMessage &)> &onMessage)
{
    TbcpScan counts;
    if (!data || size == 0)
        return false;
    // First pass: the whole datagram must be well formed.
    size_t off = 0;
    while (off < size) {
        Packet pk;
        if (!nextPacket(data + off, size - off, &pk))
            return false;
        bool tbcp = pk.p[1] == kRtcpTypeApp && pk.payload >= 8 && std::memcmp(pk.p + 8, kName, 4) == 0;
        if (tbcp)
            ++counts.tbcpCount;
        else
            ++counts.otherCount;
        off += pk.len;
    }
    // Second pass: deliver.
    off = 0;
    while (off < size) {
        Packet pk;
        nextPacket(data + off, size - off, &pk);
        if (pk.p[1] == kRtcpTypeApp && pk.payload >= 8 && std::memcmp(pk.p + 8, kName, 4) == 0) {
            TbcpMessage m;
            m.subtype = pk.p[0] & 0x1F;
            m.ssrc = be32(pk.p + 4);
            m.body = pk.p + kTbcpHeaderSize;
            m.bodySize = pk.payload - 8;
            if (onMessage)
                onMessage(m);
        }
        off += pk.len;
    }
    if (scan)
        *scan = counts;
    return true;
}

size_t BuildTbcpPacket(uint8_t subtype, uint32_t ssrc, const uint8_t *body, size_t bodySize,
                       uint8_t *out, size_t capacity)
{
    if (subtype > 31 || (bodySize && !body))
        return 0;
    size_t padded = (bodySize + 3) & ~size_t(3);
    size_t len = kTbcpHeaderSize + padded;
    if (!out || len > capacity || len / 4 - 1 > 0xFFFF)
        return 0;
    out[0] = uint8_t(0x80 | subtype);
    out[1] = kRtcpTypeApp;
    out[2] = uint8_t((len / 4 - 1) >> 8);
    out[3] = uint8_t(len / 4 - 1);
    out[4] = uint8_t(ssrc >> 24);
    out[5] = uint8_t(ssrc >> 16);
    out[6] = uint8_t(ssrc >> 8);
    out[7] = uint8_t(ssrc);
    std::memcpy(out + 8, kName, 4);
    if (bodySize)
        std::memcpy(out + kTbcpHeaderSize, body, bodySize);
    std::memset(out + kTbcpHeaderSize + bodySize, 0, padded - bodySize);
    return len;
}
