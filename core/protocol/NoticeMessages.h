#pragma once
// Messages of the notice family 0x5003: user state notice, line service notice, and the
// console's replies to both (the notice's two references exchanged, no sequence value).
// Builders and parsers as in core/protocol/RegistrationMessages.h.
#include "core/protocol/RegistrationMessages.h"

namespace zox::proto {

// User state notice 0x50030001, at least 52 bytes.
struct UserStateNotice {
    DispatchMessageHeader header; // senderRef and receiverRef are answered in the reply
    TbcdNumber userNumber = kEmptyTbcd;
    uint8_t regState = 0; // low-order byte of the u32
    uint32_t callState = 0;
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;                // low-order byte of the u32
    std::array<uint8_t, 4> callRef {}; // datagram bytes 45 to 48
    std::string CallRefText() const { return CallReferenceText(callRef, callState); }
};
Bytes BuildUserStateNotice(const UserStateNotice &msg);
int ParseUserStateNotice(const uint8_t *data, std::size_t length, UserStateNotice &out);

// Line service notice 0x50030005, at least 36 bytes.
struct LineServiceNotice {
    DispatchMessageHeader header;
    uint32_t serviceType = 0;
    TbcdNumber lineNumber = kEmptyTbcd;
    TbcdNumber userNumber = kEmptyTbcd;
};
Bytes BuildLineServiceNotice(const LineServiceNotice &msg);
int ParseLineServiceNotice(const uint8_t *data, std::size_t length, LineServiceNotice &out);

// Replies 0x50030002 and 0x50030006, 20 bytes: own user id, the reply code, the notice's
// receiver reference, the notice's sender reference, four zero bytes.
Bytes BuildNoticeReply(uint32_t ownUserId, uint32_t replyCode, const DispatchMessageHeader &notice);
// The reply's header; kParseTooShort below 20 bytes.
int ParseNoticeReply(const uint8_t *data, std::size_t length, DispatchMessageHeader &out);

} // namespace zox::proto
