#pragma once
// Talk-burst control (OMA PoC 1.0 TBCP): RTCP APP packets (type 204) named "PoC1",
// the message subtype in the 5-bit count field. Pure byte handling, no sockets.
#include <cstddef>
#include <cstdint>
#include <functional>

enum TbcpSubtype : uint8_t {
    kTbcpRequest = 0,
    kTbcpGranted = 1,
    kTbcpTaken = 2,
    kTbcpDeny = 3,
    kTbcpRelease = 4,
    kTbcpIdle = 5,
    kTbcpRevoke = 6,
    kTbcpAck = 7,
    kTbcpTakenWithAck = 18,
};

inline constexpr uint8_t kRtcpTypeApp = 204;
inline constexpr size_t kTbcpHeaderSize = 12; // RTCP header, SSRC, name

struct TbcpMessage {
    uint8_t subtype = 0;
    uint32_t ssrc = 0;
    const uint8_t *body = nullptr; // application data after the name (padding removed)
    size_t bodySize = 0;
};

struct TbcpScan {
    int tbcpCount = 0;   // "PoC1" APP packets found
    int otherCount = 0;  // any other RTCP packets (reports, other APP names)
};

// Checks a whole RTCP datagram (compound or single). When every packet is well
// formed (version 2, length inside the datagram, padding inside its packet) each
// "PoC1" APP packet is handed to onMessage in order and the counts are returned;
// a malformed datagram delivers nothing and gives false.
bool ParseTbcpDatagram(const uint8_t *data, size_t size, TbcpScan *scan,
                       const std::function<void(const TbcpMessage &)> &onMessage);

// Writes one non-compound APP packet; the body is padded with zeros to 32 bits.
// Returns the packet size, 0 when it does not fit or the subtype is above 31.
size_t BuildTbcpPacket(uint8_t subtype, uint32_t ssrc, const uint8_t *body, size_t bodySize,
                       uint8_t *out, size_t capacity);
