#include "core/protocol/NoticeMessages.h"

#include <algorithm>
#include <cstring>

#include "core/protocol/WireBytes.h"

namespace zox::proto {

using wire::GetU32;
using wire::PutU32;

Bytes BuildUserStateNotice(const UserStateNotice &msg)
{
    Bytes out(kUserStateNoticeMinLength, 0);
    msg.header.Write(out.data());
    std::memcpy(out.data() + 16, msg.userNumber.data(), 8);
    PutU32(out.data() + 24, msg.regState);
    PutU32(out.data() + 28, msg.callState);
    PutU32(out.data() + 32, msg.vpState);
    PutU32(out.data() + 36, msg.dcFlag);
    std::copy(msg.callRef.begin(), msg.callRef.end(), out.begin() + 45);
    return out;
}

int ParseUserStateNotice(const uint8_t *data, std::size_t length, UserStateNotice &out)
{
    UserStateNotice m;
    if (!data || length < kUserStateNoticeMinLength || !DispatchMessageHeader::Read(data, length, m.header))
        return kParseTooShort;
    std::memcpy(m.userNumber.data(), data + 16, 8);
    m.regState = data[27];
    m.callState = GetU32(data + 28);
    m.vpState = GetU32(data + 32);
    m.dcFlag = data[39];
    std::copy_n(data + 45, 4, m.callRef.begin());
    out = m;
    return kParseOk;
}

Bytes BuildLineServiceNotice(const LineServiceNotice &msg)
{
    Bytes out(kLineServiceNoticeMinLength, 0);
    msg.header.Write(out.data());
    PutU32(out.data() + 16, msg.serviceType);
    std::memcpy(out.data() + 20, msg.lineNumber.data(), 8);
    std::memcpy(out.data() + 28, msg.userNumber.data(), 8);
    return out;
}

int ParseLineServiceNotice(const uint8_t *data, std::size_t length, LineServiceNotice &out)
{
    LineServiceNotice m;
    if (!data || length < kLineServiceNoticeMinLength || !DispatchMessageHeader::Read(data, length, m.header))
        return kParseTooShort;
    m.serviceType = GetU32(data + 16);
    std::memcpy(m.lineNumber.data(), data + 20, 8);
    std::memcpy(m.userNumber.data(), data + 28, 8);
    out = m;
    return kParseOk;
}

Bytes BuildNoticeReply(uint32_t ownUserId, uint32_t replyCode, const DispatchMessageHeader &notice)
{
    Bytes out(kNoticeReplyLength, 0);
    DispatchMessageHeader h {ownUserId, replyCode, notice.receiverRef, notice.senderRef};
    h.Write(out.data());
    return out;
}

int ParseNoticeReply(const uint8_t *data, std::size_t length, DispatchMessageHeader &out)
{
    DispatchMessageHeader h;
    if (!data || length < kNoticeReplyLength || !DispatchMessageHeader::Read(data, length, h))
        return kParseTooShort;
    out = h;
    return kParseOk;
}

} // namespace zox::proto
