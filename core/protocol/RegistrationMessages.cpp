#include "core/protocol/RegistrationMessages.h"

#include <algorithm>
#include <cstring>

#include "core/Log.h"
#include "core/NumberUtils.h"
#include "core/TextConv.h"
#include "core/protocol/WireBytes.h"

namespace zox::proto {

using wire::GetU32;
using wire::PutU32;

namespace {

Bytes withHeader(std::size_t size, const DispatchMessageHeader &header)
{
    Bytes out(size, 0);
    header.Write(out.data());
    return out;
}

void putTbcd(uint8_t *p, const TbcdNumber &n) { std::memcpy(p, n.data(), n.size()); }

TbcdNumber getTbcd(const uint8_t *p)
{
    TbcdNumber n;
    std::memcpy(n.data(), p, n.size());
    return n;
}

void putText(uint8_t *p, std::size_t field, const std::string &text)
{
    std::memcpy(p, text.data(), std::min(field, text.size()));
}

// Common start of every parser: minimum length and header.
bool start(const uint8_t *data, std::size_t length, std::size_t minLength, DispatchMessageHeader &header)
{
    if (!data || length < minLength || length < kDispatchHeaderSize)
        return false;
    return DispatchMessageHeader::Read(data, length, header);
}

} // namespace

Bytes BuildHeaderOnly(const DispatchMessageHeader &header) { return withHeader(kDispatchHeaderSize, header); }

Bytes BuildRegisterRequest(const RegisterRequest &msg)
{
    Bytes out = withHeader(kRegisterRequestLength, msg.header);
    std::memcpy(out.data() + 16, &msg.regIpAddr, 4); // already in network order
    wire::PutU16(out.data() + 20, msg.udpPort);
    putTbcd(out.data() + 24, msg.account);
    PutU32(out.data() + 32, msg.type);
    return out;
}

int ParseRegisterRequest(const uint8_t *data, std::size_t length, RegisterRequest &out)
{
    RegisterRequest m;
    if (!start(data, length, kRegisterRequestLength, m.header))
        return kParseTooShort;
    std::memcpy(&m.regIpAddr, data + 16, 4);
    m.udpPort = wire::GetU16(data + 20);
    m.account = getTbcd(data + 24);
    m.type = GetU32(data + 32);
    out = m;
    return kParseOk;
}

Bytes BuildRegisterResponse(const RegisterResponse &msg)
{
    Bytes out = withHeader(kRegisterResponseMinLength, msg.header);
    out[16] = msg.result;
    putTbcd(out.data() + 20, msg.ownNumber);
    PutU32(out.data() + 36, msg.priorityWord);
    PutU32(out.data() + 40, msg.secondId);
    return out;
}

int ParseRegisterResponse(const uint8_t *data, std::size_t length, RegisterResponse &out)
{
    RegisterResponse m;
    if (!start(data, length, kRegisterResponseMinLength, m.header))
        return kParseTooShort;
    m.result = data[16];
    m.ownNumber = getTbcd(data + 20);
    m.priorityWord = GetU32(data + 36);
    m.secondId = GetU32(data + 40);
    out = m;
    return kParseOk;
}

Bytes BuildAuthRequest(const AuthRequest &msg)
{
    std::size_t size = std::max<std::size_t>(kAuthRequestMinLength, 64 + msg.challenge2.size());
    Bytes out = withHeader(size, msg.header);
    std::size_t n1 = std::min(msg.challenge1.size(), kFirstChallengeField);
    PutU32(out.data() + 20, uint32_t(n1));
    std::copy_n(msg.challenge1.begin(), n1, out.begin() + 24);
    PutU32(out.data() + 60, uint32_t(msg.challenge2.size()));
    std::copy(msg.challenge2.begin(), msg.challenge2.end(), out.begin() + 64);
    return out;
}

int ParseAuthRequest(const uint8_t *data, std::size_t length, AuthRequest &out)
{
    AuthRequest m;
    if (!start(data, length, kAuthRequestMinLength, m.header))
        return kParseTooShort;
    uint32_t n1 = GetU32(data + 20);
    uint32_t n2 = GetU32(data + 60);
    if (n1 > kFirstChallengeField || n2 > length - 64) {
        WriteLog("login: auth request refused, challenge lengths (%u, %u) exceed the datagram (%zu bytes)!", n1,
                 n2, length);
        return kParseMalformed;
    }
    m.challenge1.assign(data + 24, data + 24 + n1);
    m.challenge2.assign(data + 64, data + 64 + n2);
    out = std::move(m);
    return kParseOk;
}

Bytes BuildAuthResponse(const AuthResponse &msg)
{
    Bytes out = withHeader(kAuthResponseLength, msg.header);
    PutU32(out.data() + 20, 1);
    PutU32(out.data() + 24, 32);
    std::copy(msg.digestA.begin(), msg.digestA.end(), out.begin() + 28);
    PutU32(out.data() + 60, 1);
    PutU32(out.data() + 64, 32);
    std::copy(msg.digestB.begin(), msg.digestB.end(), out.begin() + 68);
    return out;
}

int ParseAuthResponse(const uint8_t *data, std::size_t length, AuthResponse &out)
{
    AuthResponse m;
    if (!start(data, length, kAuthResponseLength, m.header))
        return kParseTooShort;
    std::copy_n(data + 28, 16, m.digestA.begin());
    std::copy_n(data + 68, 16, m.digestB.begin());
    out = m;
    return kParseOk;
}

Bytes BuildResultResponse(const ResultResponse &msg)
{
    Bytes out = withHeader(kHeartbeatResponseMinLength, msg.header);
    out[16] = msg.result;
    return out;
}

int ParseResultResponse(const uint8_t *data, std::size_t length, ResultResponse &out)
{
    ResultResponse m;
    if (!start(data, length, kHeartbeatResponseMinLength, m.header))
        return kParseTooShort;
    m.result = data[16];
    out = m;
    return kParseOk;
}

Bytes BuildLineConfigRequest(const LineConfigRequest &msg)
{
    Bytes out = withHeader(kLineConfigRequestLength, msg.header);
    std::size_t n = std::min(msg.entries.size(), kMaxLineEntries);
    PutU32(out.data() + 16, uint32_t(n));
    for (std::size_t i = 0; i < n; ++i) {
        uint8_t *e = out.data() + 20 + 16 * i;
        PutU32(e, msg.entries[i].flag);
        putTbcd(e + 4, msg.entries[i].lineNumber);
    }
    return out;
}

int ParseLineConfigRequest(const uint8_t *data, std::size_t length, LineConfigRequest &out)
{
    LineConfigRequest m;
    if (!start(data, length, kLineConfigRequestLength, m.header))
        return kParseTooShort;
    uint32_t n = std::min<uint32_t>(GetU32(data + 16), kMaxLineEntries);
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t *e = data + 20 + 16 * i;
        m.entries.push_back({GetU32(e), getTbcd(e + 4)});
    }
    out = std::move(m);
    return kParseOk;
}

Bytes BuildLineConfigResponse(const LineConfigResponse &msg)
{
    Bytes out = withHeader(kLineConfigResponseMinLength, msg.header);
    out[16] = msg.result;
    PutU32(out.data() + 20, msg.count);
    std::size_t n = std::min(msg.entries.size(), kMaxLineEntries);
    for (std::size_t i = 0; i < n; ++i) {
        uint8_t *e = out.data() + 24 + 16 * i;
        PutU32(e, msg.entries[i].reserved);
        putTbcd(e + 4, msg.entries[i].lineNumber);
        PutU32(e + 12, msg.entries[i].status);
    }
    return out;
}

int ParseLineConfigResponse(const uint8_t *data, std::size_t length, LineConfigResponse &out)
{
    LineConfigResponse m;
    if (!start(data, length, kLineConfigResponseMinLength, m.header))
        return kParseTooShort;
    m.result = data[16];
    m.count = GetU32(data + 20);
    uint32_t n = std::min<uint32_t>(m.count, kMaxLineEntries);
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t *e = data + 24 + 16 * i;
        m.entries.push_back({GetU32(e), getTbcd(e + 4), GetU32(e + 12)});
    }
    out = std::move(m);
    return kParseOk;
}

Bytes BuildGetListRequest(const GetListRequest &msg)
{
    Bytes out = withHeader(kGetListRequestLength, msg.header);
    PutU32(out.data() + 16, msg.startIndex);
    return out;
}

int ParseGetListRequest(const uint8_t *data, std::size_t length, GetListRequest &out)
{
    GetListRequest m;
    if (!start(data, length, kGetListRequestLength, m.header))
        return kParseTooShort;
    m.startIndex = GetU32(data + 16);
    out = m;
    return kParseOk;
}

Bytes BuildGroupListResponse(const GroupListResponse &msg)
{
    Bytes out = withHeader(kGroupListResponseMinLength, msg.header);
    out[16] = msg.result;
    PutU32(out.data() + 20, msg.nextIndex);
    PutU32(out.data() + 24, msg.total);
    PutU32(out.data() + 28, msg.count);
    std::size_t n = std::min(msg.entries.size(), kMaxGroupEntries);
    for (std::size_t i = 0; i < n; ++i) {
        uint8_t *e = out.data() + 32 + 44 * i;
        PutU32(e, msg.entries[i].groupId);
        putText(e + 4, 32, msg.entries[i].groupName);
        putTbcd(e + 36, msg.entries[i].groupNumber);
    }
    return out;
}

int ParseGroupListResponse(const uint8_t *data, std::size_t length, GroupListResponse &out)
{
    GroupListResponse m;
    if (!start(data, length, kGroupListResponseMinLength, m.header))
        return kParseTooShort;
    m.result = data[16];
    m.nextIndex = GetU32(data + 20);
    m.total = GetU32(data + 24);
    m.count = GetU32(data + 28);
    uint32_t n = std::min<uint32_t>(m.count, kMaxGroupEntries);
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t *e = data + 32 + 44 * i;
        m.entries.push_back({GetU32(e), ToValidUtf8(wire::GetText(e + 4, 32)), getTbcd(e + 36)});
    }
    out = std::move(m);
    return kParseOk;
}

uint8_t UserListEntry::IsMobile() const
{
    switch (terminalKind) {
    case 0:
        return 1;
    case 2:
        return 2;
    default:
        return 0;
    }
}

std::vector<uint8_t> UserListEntry::GroupIds() const
{
    std::vector<uint8_t> ids;
    bool seen[256] = {};
    for (uint8_t g : groupSlots) {
        if (g == 0xFF || seen[g])
            continue;
        seen[g] = true;
        ids.push_back(g);
    }
    return ids;
}

std::string UserListEntry::CallRefText() const { return CallReferenceText(callRef, callState); }

Bytes BuildUserListResponse(const UserListResponse &msg)
{
    Bytes out = withHeader(32 + kUserEntrySize * msg.entries.size(), msg.header);
    out[16] = msg.result;
    PutU32(out.data() + 20, msg.nextIndex);
    PutU32(out.data() + 24, msg.total);
    PutU32(out.data() + 28, uint32_t(msg.entries.size()));
    for (std::size_t i = 0; i < msg.entries.size(); ++i) {
        const UserListEntry &u = msg.entries[i];
        uint8_t *e = out.data() + 32 + kUserEntrySize * i;
        putTbcd(e, u.userNumber);
        PutU32(e + 8, u.regState);
        PutU32(e + 12, u.callState);
        PutU32(e + 16, u.vpState);
        PutU32(e + 20, u.dcFlag);
        std::copy(u.callRef.begin(), u.callRef.end(), e + 29);
        PutU32(e + 36, u.dispatcher);
        PutU32(e + 40, u.terminalKind);
        putText(e + 44, 32, u.displayName);
        std::copy(u.groupSlots.begin(), u.groupSlots.end(), e + 76);
        e[140] = u.priority;
    }
    return out;
}

int ParseUserListResponse(const uint8_t *data, std::size_t length, UserListResponse &out)
{
    UserListResponse m;
    if (!start(data, length, kUserListResponseMinLength, m.header))
        return kParseTooShort;
    m.result = data[16];
    m.nextIndex = GetU32(data + 20);
    m.total = GetU32(data + 24);
    m.count = GetU32(data + 28);
    // 64-bit arithmetic: 32 + 144 * count cannot wrap for any 32-bit count.
    if (uint64_t(length) < 32 + uint64_t(kUserEntrySize) * m.count)
        return kParseTooShort;
    m.entries.reserve(m.count);
    for (uint32_t i = 0; i < m.count; ++i) {
        const uint8_t *e = data + 32 + kUserEntrySize * i;
        UserListEntry u;
        u.userNumber = getTbcd(e);
        u.regState = e[11];
        u.callState = GetU32(e + 12);
        u.vpState = GetU32(e + 16);
        u.dcFlag = e[23];
        std::copy_n(e + 29, 4, u.callRef.begin());
        u.dispatcher = e[39];
        u.terminalKind = e[43];
        u.displayName = ToValidUtf8(wire::GetText(e + 44, 32));
        std::copy_n(e + 76, 64, u.groupSlots.begin());
        u.priority = e[140];
        m.entries.push_back(std::move(u));
    }
    out = std::move(m);
    return kParseOk;
}

int ParseResetIndicator(const uint8_t *data, std::size_t length, DispatchMessageHeader &out)
{
    DispatchMessageHeader h;
    if (!start(data, length, kResetIndicatorMinLength, h))
        return kParseTooShort;
    out = h;
    return kParseOk;
}

Bytes BuildOperationNotice(const OperationNotice &msg)
{
    Bytes out = withHeader(kOperationNoticeMinLength, msg.header);
    putTbcd(out.data() + 16, msg.caller);
    putTbcd(out.data() + 24, msg.callee);
    PutU32(out.data() + 32, msg.type);
    PutU32(out.data() + 36, msg.action);
    return out;
}

int ParseOperationNotice(const uint8_t *data, std::size_t length, OperationNotice &out)
{
    OperationNotice m;
    if (!start(data, length, kOperationNoticeMinLength, m.header))
        return kParseTooShort;
    m.caller = getTbcd(data + 16);
    m.callee = getTbcd(data + 24);
    m.type = GetU32(data + 32);
    m.action = GetU32(data + 36);
    out = m;
    return kParseOk;
}

std::string CallReferenceText(const std::array<uint8_t, 4> &callRef, uint32_t callState)
{
    if (callState == 0)
        return {};
    std::string text = BytesToHex(callRef.data(), callRef.size());
    if (text == "00000000" || text == "0")
        return {};
    return text;
}

} // namespace zox::proto
