#pragma once
// Messages of the registration family 0x5001: registration, authentication, heartbeat,
// line configuration, group and user lists, reset indicator, operation notice.
//
// Every message has a builder (bytes exactly as they go on the wire, reserved bytes zero)
// and a parser. A parser reads only bytes inside the datagram: it returns kParseTooShort
// for a datagram below the message's minimum length (the caller logs it with its own
// line) and kParseMalformed when a field claims more bytes than the datagram holds.
// Longer datagrams are accepted; their extra bytes are not read.
//
// Number fields stay as their 8 TBCD bytes here; the login window decodes them. Names
// in the lists are taken as valid UTF-8 (ToValidUtf8).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/protocol/DispatchMessageHeader.h"
#include "core/protocol/MessageCodes.h"

namespace zox::proto {

using Bytes = std::vector<uint8_t>;
using TbcdNumber = std::array<uint8_t, 8>;
using Digest = std::array<uint8_t, 16>;

// A number field holding no digits (all nibbles 0xF).
inline constexpr TbcdNumber kEmptyTbcd = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// A message that is the header alone (heartbeat request, reset indicator).
Bytes BuildHeaderOnly(const DispatchMessageHeader &header);

// Register request 0x50010001, 36 bytes. type 0 logs in, 1 logs out.
struct RegisterRequest {
    DispatchMessageHeader header; // own user id, code, sequence value, 0xFFFFFFFF
    uint32_t regIpAddr = 0;       // as stored (network order): its four bytes go out as they lie
    uint16_t udpPort = 8888;
    TbcdNumber account = kEmptyTbcd;
    uint32_t type = 0;
};
Bytes BuildRegisterRequest(const RegisterRequest &msg);
int ParseRegisterRequest(const uint8_t *data, std::size_t length, RegisterRequest &out);

// Register response 0x50010002, at least 48 bytes.
struct RegisterResponse {
    DispatchMessageHeader header; // senderId = the console's user id
    uint8_t result = 0;
    TbcdNumber ownNumber = kEmptyTbcd;
    uint32_t priorityWord = 0; // the console keeps its low-order byte
    uint32_t secondId = 0;     // not used by the console
    uint8_t Priority() const { return uint8_t(priorityWord); }
};
Bytes BuildRegisterResponse(const RegisterResponse &msg);
int ParseRegisterResponse(const uint8_t *data, std::size_t length, RegisterResponse &out);

// Auth request 0x50010003, at least 96 bytes. The first challenge has a 36-byte field;
// the second runs to the end of the datagram.
inline constexpr std::size_t kFirstChallengeField = 36;
struct AuthRequest {
    DispatchMessageHeader header; // senderId and senderRef are answered in the response
    Bytes challenge1;             // at most 36 bytes
    Bytes challenge2;
};
// The built datagram is padded with zero bytes to 96 when the second challenge is short.
Bytes BuildAuthRequest(const AuthRequest &msg);
// kParseMalformed (and a log line) when a challenge length reaches beyond its field or
// beyond the end of the datagram; nothing is read then.
int ParseAuthRequest(const uint8_t *data, std::size_t length, AuthRequest &out);

// Auth response 0x50010004, 100 bytes.
struct AuthResponse {
    DispatchMessageHeader header; // request's +0, code, sequence value, request's +8
    Digest digestA {};            // realm and the first challenge
    Digest digestB {};            // password and the second challenge
};
Bytes BuildAuthResponse(const AuthResponse &msg);
int ParseAuthResponse(const uint8_t *data, std::size_t length, AuthResponse &out);

// A response whose only field is the result at +16 (heartbeat response 0x50010006,
// at least 20 bytes).
struct ResultResponse {
    DispatchMessageHeader header;
    uint8_t result = 0;
};
Bytes BuildResultResponse(const ResultResponse &msg);
int ParseResultResponse(const uint8_t *data, std::size_t length, ResultResponse &out);

// Line configuration request 0x50010007, 324 bytes, at most 19 entries.
inline constexpr std::size_t kMaxLineEntries = 19;
struct LineConfigEntry {
    uint32_t flag = 0; // 1 when the line's softPhone flag is 0, else 0
    TbcdNumber lineNumber = kEmptyTbcd;
};
struct LineConfigRequest {
    DispatchMessageHeader header;
    std::vector<LineConfigEntry> entries; // entries past the 19th are not sent
};
Bytes BuildLineConfigRequest(const LineConfigRequest &msg);
int ParseLineConfigRequest(const uint8_t *data, std::size_t length, LineConfigRequest &out);

// Line configuration response 0x50010008, at least 328 bytes; the first min(count, 19)
// entries are read.
struct LineConfigAnswer {
    uint32_t reserved = 0;
    TbcdNumber lineNumber = kEmptyTbcd;
    uint32_t status = 0; // 0 accepted, other values refused
};
struct LineConfigResponse {
    DispatchMessageHeader header;
    uint8_t result = 0;
    uint32_t count = 0;                   // as the datagram says
    std::vector<LineConfigAnswer> entries; // the entries read
};
// count is written as given; at most 19 entries are written.
Bytes BuildLineConfigResponse(const LineConfigResponse &msg);
int ParseLineConfigResponse(const uint8_t *data, std::size_t length, LineConfigResponse &out);

// Get user list 0x5001000B and get group list 0x5001000F, 20 bytes each.
struct GetListRequest {
    DispatchMessageHeader header;
    uint32_t startIndex = 1;
};
Bytes BuildGetListRequest(const GetListRequest &msg);
int ParseGetListRequest(const uint8_t *data, std::size_t length, GetListRequest &out);

// Group list response 0x50010010, at least 736 bytes; up to 16 entries of 44 bytes.
inline constexpr std::size_t kMaxGroupEntries = 16;
struct GroupListEntry {
    uint32_t groupId = 0;
    std::string groupName; // at most 32 bytes, valid UTF-8
    TbcdNumber groupNumber = kEmptyTbcd;
};
struct GroupListResponse {
    DispatchMessageHeader header;
    uint8_t result = 0;
    uint32_t nextIndex = 0; // 0 when there is no further page
    uint32_t total = 0;
    uint32_t count = 0;                  // as the datagram says
    std::vector<GroupListEntry> entries; // the first min(count, 16)
};
Bytes BuildGroupListResponse(const GroupListResponse &msg);
int ParseGroupListResponse(const uint8_t *data, std::size_t length, GroupListResponse &out);

// User list response 0x5001000C: at least 32 bytes, and the datagram holds all count
// entries of 144 bytes (the test is made in 64 bits, so no count can wrap it).
inline constexpr std::size_t kUserEntrySize = 144;
struct UserListEntry {
    TbcdNumber userNumber = kEmptyTbcd;
    uint8_t regState = 0; // low-order byte of the u32
    uint32_t callState = 0;
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;                  // low-order byte of the u32
    std::array<uint8_t, 4> callRef {};   // bytes 5 to 8 of the call-reference block
    uint8_t dispatcher = 0;              // low-order byte of the u32
    uint8_t terminalKind = 0;            // low-order byte of the u32
    std::string displayName;             // at most 32 bytes, valid UTF-8
    std::array<uint8_t, 64> groupSlots;  // one group id a byte, 0xFF empty
    uint8_t priority = 0;

    UserListEntry() { groupSlots.fill(0xFF); }
    // isMobile: terminal kind 0 -> 1, 2 -> 2, any other -> 0.
    uint8_t IsMobile() const;
    // The group ids of the used slots, in slot order, each once.
    std::vector<uint8_t> GroupIds() const;
    std::string CallRefText() const;
};
struct UserListResponse {
    DispatchMessageHeader header;
    uint8_t result = 0;
    uint32_t nextIndex = 0;
    uint32_t total = 0;
    uint32_t count = 0;
    std::vector<UserListEntry> entries;
};
// count = the number of entries.
Bytes BuildUserListResponse(const UserListResponse &msg);
int ParseUserListResponse(const uint8_t *data, std::size_t length, UserListResponse &out);

// Reset indicator 0x50010011: the header alone.
int ParseResetIndicator(const uint8_t *data, std::size_t length, DispatchMessageHeader &out);

// Operation notice 0x50010012, at least 48 bytes.
struct OperationNotice {
    DispatchMessageHeader header;
    TbcdNumber caller = kEmptyTbcd;
    TbcdNumber callee = kEmptyTbcd;
    uint32_t type = 0;
    uint32_t action = 0;
};
Bytes BuildOperationNotice(const OperationNotice &msg);
int ParseOperationNotice(const uint8_t *data, std::size_t length, OperationNotice &out);

// The text of a call reference: eight upper-case hexadecimal digits; empty when the
// call state is 0 or the reference is all zero.
std::string CallReferenceText(const std::array<uint8_t, 4> &callRef, uint32_t callState);

} // namespace zox::proto
