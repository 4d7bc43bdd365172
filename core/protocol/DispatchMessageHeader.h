#pragma once
// The 16-byte header that every datagram of the dispatch protocol begins with:
//   +0 sender id, +4 message code (0x50, family, 0x00, code), +8 sender reference,
//   +12 receiver reference (0xFFFFFFFF in a message that answers nothing). Big-endian.
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kDispatchHeaderSize = 16;
inline constexpr uint32_t kNoReference = 0xFFFFFFFF;

// Message groups (the high 16 bits of a message code).
inline constexpr uint16_t kGroupRegistration = 0x5001;
inline constexpr uint16_t kGroupCall = 0x5002;
inline constexpr uint16_t kGroupNotice = 0x5003;
inline constexpr uint16_t kGroupVideoPush = 0x5004;
inline constexpr uint16_t kGroupChat = 0x5005;

struct DispatchMessageHeader {
    uint32_t senderId = 0;
    uint32_t messageCode = 0;
    uint32_t senderRef = 0;
    uint32_t receiverRef = kNoReference;

    // Writes the 16 bytes at out.
    void Write(uint8_t *out) const;
    // Reads the header of a datagram; false when it has fewer than 16 bytes.
    static bool Read(const uint8_t *data, std::size_t length, DispatchMessageHeader &out);
};

inline constexpr uint16_t MessageGroup(uint32_t messageCode) { return uint16_t(messageCode >> 16); }

// Results of the message parsers.
inline constexpr int kParseOk = 0;
inline constexpr int kParseTooShort = -1;  // fewer bytes than the message's minimum length
inline constexpr int kParseMalformed = -2; // a field claims bytes the datagram does not hold
