#pragma once
// The datagrams of the call-signalling family 0x5002 and the video-push family 0x5004.
//
// Every message is described once, as a layout: its code, its length (exact for what
// the console sends, minimum for what it receives) and a table of fields, each with
// its offset, its kind and the member of CallMessage that holds it. One writer and one
// reader serve every layout; bytes not named by a layout are zero.
//
// Numbers stay as their 8 TBCD bytes here; the sessions encode and decode them. A
// media block is a 20-byte address record, a u16 port and two zero bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/NumberUtils.h"
#include "core/protocol/DispatchMessageHeader.h"

namespace zox::call {

using Bytes = std::vector<uint8_t>;
using TbcdNumber = std::array<uint8_t, 8>;

// Message codes.
inline constexpr uint32_t kSetupRequest = 0x50020001;
inline constexpr uint32_t kSetupResponse = 0x50020002;
inline constexpr uint32_t kModifyRequest = 0x50020003;
inline constexpr uint32_t kModifyResponse = 0x50020004;
inline constexpr uint32_t kReleaseRequest = 0x50020005;
inline constexpr uint32_t kReleaseResponse = 0x50020006;
inline constexpr uint32_t kJoinRequest = 0x50020007;
inline constexpr uint32_t kJoinResponse = 0x50020008;
inline constexpr uint32_t kVpNotify = 0x50040001;
inline constexpr uint32_t kVpNotifyResponse = 0x50040002;
inline constexpr uint32_t kVpSetupRequest = 0x50040003;
inline constexpr uint32_t kVpSetupResponse = 0x50040004;
inline constexpr uint32_t kVpReleaseRequest = 0x50040005;
inline constexpr uint32_t kVpReleaseResponse = 0x50040006;

inline constexpr std::size_t kNumberSize = 8;
inline constexpr std::size_t kMediaBlockSize = 24;

struct MediaBlock {
    MediaAddressRecord record {};
    uint16_t port = 0;
    bool present = false; // written only when present; set by the reader
};

// Every field any message of the two families carries. Which of them a message uses,
// and where, is its layout's business.
struct CallMessage {
    DispatchMessageHeader header;
    uint32_t result = 0;      // one byte at 16 in responses
    uint32_t serviceType = 0; // the service type, release type, answered type or push kind
    uint32_t mediaCode = 0;   // 0 audio, 1 video, 3 PTT audio
    uint32_t groupFlag = 0;   // group setups: 1 at 132 and at 140
    uint32_t memberCount = 0; // as written or read; the member list may be shorter
    uint32_t groupId = 0;     // the group of a group call (byte order per layout)
    uint32_t destinationId = 0;
    uint32_t pushInstance = 0; // a received push notice: the session instance the console is to use
    TbcdNumber lineNumber {}; // the console's dispatch line (zero bytes when not given)
    TbcdNumber target {};     // the number the message is about
    MediaBlock audio, audioCopy, video, videoCopy;
    std::vector<TbcdNumber> members;
};

enum class FieldKind : uint8_t {
    U8,         // u32 member, one byte
    U32,        // big-endian
    U32Little,  // little-endian
    Number,     // TbcdNumber member, 8 bytes
    Block,      // MediaBlock member, 24 bytes
    Members,    // the member list, 8 bytes each, as many as memberCount says
};

struct FieldDef {
    uint16_t offset;
    FieldKind kind;
    uint32_t CallMessage::*word = nullptr;
    TbcdNumber CallMessage::*number = nullptr;
    MediaBlock CallMessage::*block = nullptr;
};

struct MessageLayout {
    const char *name;
    uint32_t code;
    std::size_t length;       // what the console writes (without members), and the least it reads
    bool growsWithMembers;    // the members follow the fixed part and lengthen the message
    std::size_t maxMembers;   // members written at most
    std::span<const FieldDef> fields;
};

// The layouts, one per message and direction where the two differ.
extern const MessageLayout kSetupRequestLayout;
extern const MessageLayout kSetupResponseLayout;
extern const MessageLayout kModifyRequestLayout;
extern const MessageLayout kModifyResponseLayout;
extern const MessageLayout kReleaseRequestLayout;
extern const MessageLayout kReleaseResponseLayout;
extern const MessageLayout kJoinRequestLayout;
extern const MessageLayout kJoinResponseLayout;
extern const MessageLayout kVpNotifyLayout;         // as the console sends it
extern const MessageLayout kVpNotifyInLayout;       // as the console reads it
extern const MessageLayout kVpNotifyResponseLayout;
extern const MessageLayout kVpSetupRequestLayout;
extern const MessageLayout kVpSetupResponseLayout;
extern const MessageLayout kVpReleaseRequestLayout;
extern const MessageLayout kVpReleaseResponseLayout;

// The layout that reads a received message of this code; null for a code the console
// does not read.
const MessageLayout *InboundLayout(uint32_t code);

// The bytes of the message: the layout's length plus 8 bytes per member when the
// members grow it. The header's code is the layout's code. Members past maxMembers are
// not written.
Bytes WriteMessage(const MessageLayout &layout, const CallMessage &msg);

// Reads every field of the layout. kParseTooShort below the layout's length (nothing
// read); kParseMalformed when the members the count announces reach past the datagram
// (the fixed fields are read, no member is); kParseOk otherwise.
int ReadMessage(const MessageLayout &layout, const uint8_t *data, std::size_t length, CallMessage &out);

// The header of an answer made without a session: the request's receiver reference
// becomes the sender reference and its sender reference the receiver reference.
DispatchMessageHeader SwappedAnswerHeader(uint32_t ownId, uint32_t code, const DispatchMessageHeader &request);

// The session sender reference: 0, the low byte of the service type, the instance (u16).
inline uint32_t SessionSenderRef(uint32_t serviceType, int32_t instance)
{
    return (uint32_t(serviceType & 0xFF) << 16) | uint32_t(uint16_t(instance));
}

} // namespace zox::call
