#include "tests/support/FakeLoginServer.h"

#include "core/LoginDigest.h"

#include <algorithm>
#include <cstring>

namespace zoxtest {

CFakeLoginServer::CFakeLoginServer()
{
    for (std::size_t i = 0; i < m_challenge1.size(); ++i)
        m_challenge1[i] = uint8_t('a' + i % 26);
    for (std::size_t i = 0; i < m_challenge2.size(); ++i)
        m_challenge2[i] = uint8_t(0x30 + i);
}

void CFakeLoginServer::PutU32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

uint32_t CFakeLoginServer::GetU32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void CFakeLoginServer::PutBcd(uint8_t *p, const std::string &number)
{
    std::memset(p, 0xFF, 8);
    for (std::size_t i = 0; i < number.size() && i < 16; ++i) {
        const uint8_t d = uint8_t(number[i] - '0');
        p[i / 2] = (i % 2 == 0) ? uint8_t((p[i / 2] & 0xF0) | d) : uint8_t((p[i / 2] & 0x0F) | (d << 4));
    }
}

std::string CFakeLoginServer::GetBcd(const uint8_t *p)
{
    std::string s;
    for (int i = 0; i < 16; ++i) {
        const uint8_t n = (i % 2 == 0) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4);
        if (n > 9)
            break;
        s.push_back(char('0' + n));
    }
    return s;
}

namespace {
Bytes Header(std::size_t size, uint32_t sender, uint32_t code, uint32_t ref, uint32_t replyTo)
{
    Bytes b(size, 0);
    CFakeLoginServer::PutU32(b.data(), sender);
    CFakeLoginServer::PutU32(b.data() + 4, code);
    CFakeLoginServer::PutU32(b.data() + 8, ref);
    CFakeLoginServer::PutU32(b.data() + 12, replyTo);
    return b;
}
} // namespace

Bytes CFakeLoginServer::MakeAuthRequest(uint32_t replyTo)
{
    Bytes b = Header(64 + m_challenge2.size(), 0x5E, 0x50010003, ++m_seq, replyTo);
    lastAuthRef = m_seq;
    PutU32(b.data() + 20, uint32_t(m_challenge1.size()));
    std::memcpy(b.data() + 24, m_challenge1.data(), m_challenge1.size());
    PutU32(b.data() + 60, uint32_t(m_challenge2.size()));
    std::memcpy(b.data() + 64, m_challenge2.data(), m_challenge2.size());
    return b;
}

Bytes CFakeLoginServer::MakeRegisterResponse(uint32_t replyTo, uint8_t result)
{
    Bytes b = Header(48, consoleUserId, 0x50010002, ++m_seq, replyTo);
    b[16] = result;
    PutBcd(b.data() + 20, ownNumber);
    PutU32(b.data() + 36, priorityWord);
    PutU32(b.data() + 40, 0x1234);
    return b;
}

Bytes CFakeLoginServer::MakeHeartbeatResponse(uint32_t replyTo, uint8_t result)
{
    Bytes b = Header(20, 0x5E, 0x50010006, ++m_seq, replyTo);
    b[16] = result;
    return b;
}

Bytes CFakeLoginServer::MakeGroupListPage(uint32_t replyTo, uint32_t start)
{
    Bytes b = Header(736, 0x5E, 0x50010010, ++m_seq, replyTo);
    b[16] = groupListResult;
    const uint32_t total = uint32_t(groups.size());
    const uint32_t per = std::min<uint32_t>(groupsPerPage, 16);
    const uint32_t first = start == 0 ? 0 : start - 1;
    uint32_t count = 0;
    for (uint32_t i = first; i < total && count < per; ++i, ++count) {
        uint8_t *e = b.data() + 32 + 44 * count;
        PutU32(e, groups[i].id);
        std::memcpy(e + 4, groups[i].name.data(), std::min<std::size_t>(groups[i].name.size(), 32));
        PutBcd(e + 36, groups[i].number);
    }
    const uint32_t next = first + count < total ? first + count + 1 : 0;
    PutU32(b.data() + 20, next);
    PutU32(b.data() + 24, total);
    PutU32(b.data() + 28, count);
    return b;
}

Bytes CFakeLoginServer::MakeUserListPage(uint32_t replyTo, uint32_t start)
{
    const uint32_t total = uint32_t(users.size());
    const uint32_t first = start == 0 ? 0 : start - 1;
    const uint32_t count = first < total ? std::min(usersPerPage, total - first) : 0;
    Bytes b = Header(32 + 144 * std::size_t(count), 0x5E, 0x5001000C, ++m_seq, replyTo);
    b[16] = userListResult;
    for (uint32_t k = 0; k < count; ++k) {
        const FakeUser &u = users[first + k];
        uint8_t *e = b.data() + 32 + 144 * std::size_t(k);
        PutBcd(e, u.number);
        PutU32(e + 8, u.regState);
        PutU32(e + 12, u.callState);
        PutU32(e + 16, u.vpState);
        PutU32(e + 20, u.dcFlag);
        std::memcpy(e + 29, u.callRef.data(), 4);
        PutU32(e + 36, u.dispatcher);
        PutU32(e + 40, u.terminalKind);
        std::memcpy(e + 44, u.name.data(), std::min<std::size_t>(u.name.size(), 32));
        std::memset(e + 76, 0xFF, 64);
        for (std::size_t g = 0; g < u.groups.size() && g < 64; ++g)
            e[76 + g] = u.groups[g];
        e[140] = u.priority;
    }
    const uint32_t next = first + count < total ? first + count + 1 : 0;
    PutU32(b.data() + 20, next);
    PutU32(b.data() + 24, total);
    PutU32(b.data() + 28, count);
    return b;
}

std::vector<Bytes> CFakeLoginServer::Handle(const uint8_t *d, std::size_t n)
{
    std::vector<Bytes> out;
    if (n < 16)
        return out;
    const uint32_t code = GetU32(d + 4);
    const uint32_t ref = GetU32(d + 8);
    switch (code) {
    case 0x50010001: // register request
        if (n < 36)
            break;
        registerTypes.push_back(GetU32(d + 32));
        registerSequences.push_back(ref);
        if (GetU32(d + 32) != 0)
            break;
        if (GetBcd(d + 24) != account) {
            out.push_back(MakeRegisterResponse(ref, 1));
        } else if (requireAuth) {
            out.push_back(MakeAuthRequest(ref));
        } else {
            out.push_back(MakeRegisterResponse(ref, registerResult));
        }
        break;
    case 0x50010004: { // auth response
        if (n < 100)
            break;
        ++authResponses;
        uint8_t a[16], b[16];
        ComputeAuthDigests(password.data(), password.size(), m_challenge1.data(), m_challenge1.size(),
                           m_challenge2.data(), m_challenge2.size(), a, b);
        const bool ok = GetU32(d + 12) == lastAuthRef && std::memcmp(d + 28, a, 16) == 0 &&
                        std::memcmp(d + 68, b, 16) == 0 && GetU32(d + 20) == 1 && GetU32(d + 24) == 32;
        if (!ok)
            ++authFailures;
        out.push_back(MakeRegisterResponse(ref, ok ? registerResult : 1));
        break;
    }
    case 0x50010005: // heartbeat
        ++heartbeats;
        if (answerHeartbeats)
            out.push_back(MakeHeartbeatResponse(ref));
        break;
    case 0x50010007: { // line configuration
        if (n < 324)
            break;
        ++lineConfigs;
        proposedLines.clear();
        const uint32_t count = std::min<uint32_t>(GetU32(d + 16), 19);
        Bytes b = Header(328, 0x5E, 0x50010008, ++m_seq, ref);
        b[16] = lineConfigResult;
        PutU32(b.data() + 20, count);
        for (uint32_t i = 0; i < count; ++i) {
            const std::string line = GetBcd(d + 20 + 16 * i + 4);
            proposedLines.push_back(line);
            uint8_t *e = b.data() + 24 + 16 * i;
            PutBcd(e + 4, line);
            PutU32(e + 12, refusedLines.count(line) ? 1 : 0);
        }
        if (answerLists)
            out.push_back(b);
        break;
    }
    case 0x5001000F: // group list
        if (n < 20)
            break;
        groupRequests.push_back(GetU32(d + 16));
        if (answerLists)
            out.push_back(MakeGroupListPage(ref, GetU32(d + 16)));
        break;
    case 0x5001000B: // user list
        if (n < 20)
            break;
        userRequests.push_back(GetU32(d + 16));
        if (answerLists)
            out.push_back(MakeUserListPage(ref, GetU32(d + 16)));
        break;
    case 0x50030002:
    case 0x50030006:
        noticeReplies.emplace_back(d, d + n);
        break;
    default:
        unknown.emplace_back(d, d + n);
        break;
    }
    return out;
}

Bytes CFakeLoginServer::MakeUserStateNotify(const std::string &number, uint8_t regState, uint32_t callState,
                                            uint32_t vpState, uint8_t dcFlag, std::array<uint8_t, 4> callRef,
                                            uint32_t senderRef, uint32_t receiverRef)
{
    Bytes b = Header(52, 0x5E, 0x50030001, senderRef, receiverRef);
    PutBcd(b.data() + 16, number);
    PutU32(b.data() + 24, regState);
    PutU32(b.data() + 28, callState);
    PutU32(b.data() + 32, vpState);
    PutU32(b.data() + 36, dcFlag);
    std::memcpy(b.data() + 45, callRef.data(), 4);
    return b;
}

Bytes CFakeLoginServer::MakeLineServiceNotify(uint32_t type, const std::string &line, const std::string &user,
                                              uint32_t senderRef)
{
    Bytes b = Header(36, 0x5E, 0x50030005, senderRef, 0xFFFFFFFF);
    PutU32(b.data() + 16, type);
    PutBcd(b.data() + 20, line);
    PutBcd(b.data() + 28, user);
    return b;
}

Bytes CFakeLoginServer::MakeOpNotify(const std::string &caller, const std::string &callee, uint32_t type,
                                     uint32_t action)
{
    Bytes b = Header(48, 0x5E, 0x50010012, ++m_seq, 0xFFFFFFFF);
    PutBcd(b.data() + 16, caller);
    PutBcd(b.data() + 24, callee);
    PutU32(b.data() + 32, type);
    PutU32(b.data() + 36, action);
    return b;
}

Bytes CFakeLoginServer::MakeServerReset() { return Header(16, 0x5E, 0x50010011, ++m_seq, 0xFFFFFFFF); }

void CFakeLoginServer::Populate(int groupCount, int userCount, int groupsPerUser)
{
    groups.clear();
    users.clear();
    for (int g = 0; g < groupCount; ++g)
        groups.push_back({uint32_t(g + 1), "Group " + std::to_string(g + 1), std::to_string(9000 + g)});
    for (int u = 0; u < userCount; ++u) {
        FakeUser user;
        user.number = std::to_string(100000 + u);
        user.name = "User " + std::to_string(u);
        user.terminalKind = uint8_t(u % 3);
        user.regState = uint8_t(u % 4);
        user.priority = uint8_t(1 + u % 3); // 4 would hide the user from the lists
        for (int k = 0; k < groupsPerUser && groupCount > 0; ++k)
            user.groups.push_back(uint8_t(1 + (u + k * 37) % std::min(groupCount, 254)));
        std::sort(user.groups.begin(), user.groups.end());
        user.groups.erase(std::unique(user.groups.begin(), user.groups.end()), user.groups.end());
        users.push_back(std::move(user));
    }
}

} // namespace zoxtest
