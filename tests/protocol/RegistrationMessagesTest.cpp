// Golden bytes of every message of the registration (0x5001) and notice (0x5003)
// families: built bytes equal the fixture, parsed fields equal the fixture's; then the
// minimum lengths and the fields that claim more than the datagram holds.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <functional>

#include "core/protocol/NoticeMessages.h"
#include "core/protocol/RegistrationMessages.h"
#include "core/protocol/WireBytes.h"
#include <memory>
#include "tests/protocol/WireFixture.h"

using namespace zox::proto;
using zoxtest::Fill;
using zoxtest::Hex;
using zoxtest::Text;
using zoxtest::operator+;

namespace {

const TbcdNumber k5000 = {0x05, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k8001 = {0x08, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k800101 = {0x08, 0x10, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k1001 = {0x01, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k1002 = {0x01, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k9001 = {0x09, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const TbcdNumber k9002 = {0x09, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

void ExpectHeader(const DispatchMessageHeader &h, uint32_t id, uint32_t code, uint32_t sref, uint32_t rref)
{
    EXPECT_EQ(h.senderId, id);
    EXPECT_EQ(h.messageCode, code);
    EXPECT_EQ(h.senderRef, sref);
    EXPECT_EQ(h.receiverRef, rref);
}

// --- fixtures -------------------------------------------------------------------------

Bytes RegisterRequestBytes()
{
    return Hex("00000007 50010001 00000001 FFFFFFFF  7F000001 22B8 0000  0500FFFFFFFFFFFF  00000001");
}
Bytes RegisterResponseBytes()
{
    return Hex("0000002A 50010002 11223344 00000001  00 000000  0810FFFFFFFFFFFF  0000000000000000"
               "00000005 00001234 00000000");
}
Bytes AuthRequestBytes()
{
    Bytes second;
    for (int i = 0; i < 32; ++i)
        second.push_back(uint8_t(0x10 + i));
    return Hex("0000002A 50010003 00000099 00000005  00000000  00000004") + Text("abcd", 36) +
           Hex("00000020") + second;
}
Bytes AuthResponseBytes()
{
    return Hex("0000002A 50010004 00000002 00000099  00000000  00000001 00000020"
               "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF") +
           Fill(16) + Hex("00000001 00000020 B0B1B2B3B4B5B6B7B8B9BABBBCBDBEBF") + Fill(16);
}
Bytes LineConfigRequestBytes()
{
    return Hex("0000002A 50010007 00000004 FFFFFFFF  00000002"
               "00000001 0810FFFFFFFFFFFF 00000000"
               "00000000 081010FFFFFFFFFF 00000000") +
           Fill(17 * 16);
}
Bytes LineConfigResponseBytes()
{
    return Hex("00000000 50010008 00000007 00000004  00000000  00000002"
               "00000000 0810FFFFFFFFFFFF 00000000"
               "00000000 081010FFFFFFFFFF 00000001") +
           Fill(17 * 16);
}
Bytes GroupListResponseBytes()
{
    return Hex("00000000 50010010 00000008 00000006  00000000  00000011 00000014 00000002") +
           Hex("00000003") + Text("North", 32) + Hex("0910FFFFFFFFFFFF") + Hex("0000000A") +
           Text("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32) + Hex("0920FFFFFFFFFFFF") + Fill(14 * 44);
}
Bytes UserListResponseBytes()
{
    Bytes e0 = Hex("0110FFFFFFFFFFFF 00000001 00000003 10000001 00000002"
                   "0000000000 0000012A 000000  00000001 00000000") +
               Text("Alice", 32) + Hex("0007") + Fill(62, 0xFF) + Hex("03 000000");
    Bytes e1 = Hex("0120FFFFFFFFFFFF 00000000 00000000 00000000 00000000"
                   "0000000000 00000000 000000  00000000 00000002") +
               Fill(32) + Fill(64, 0xFF) + Hex("08 000000");
    return Hex("00000000 5001000C 00000009 00000007  00000000  00000000 00000002 00000002") + e0 + e1;
}
Bytes OperationNoticeBytes()
{
    return Hex("00000000 50010012 00000009 FFFFFFFF  0110FFFFFFFFFFFF 0120FFFFFFFFFFFF"
               "00000001 00000002") +
           Fill(8);
}
Bytes UserStateNoticeBytes()
{
    return Hex("00000000 50030001 00000010 FFFFFFFF  0110FFFFFFFFFFFF  00000001 00000001 00000000 00000000"
               "0000000000 0000012A 000000");
}
Bytes LineServiceNoticeBytes()
{
    return Hex("00000000 50030005 00000011 00000022  0000002D  0810FFFFFFFFFFFF 0110FFFFFFFFFFFF");
}

} // namespace

TEST(RegistrationMessages, HeaderRoundTrip)
{
    Bytes b = Hex("0000002A 50020001 00000003 FFFFFFFF");
    DispatchMessageHeader h;
    ASSERT_TRUE(DispatchMessageHeader::Read(b.data(), b.size(), h));
    ExpectHeader(h, 0x2A, 0x50020001, 3, kNoReference);
    EXPECT_EQ(MessageGroup(h.messageCode), kGroupCall);
    EXPECT_EQ(BuildHeaderOnly(h), b);
    EXPECT_FALSE(DispatchMessageHeader::Read(b.data(), 15, h));
}

TEST(RegistrationMessages, RegisterRequest)
{
    RegisterRequest m;
    m.header = {7, kRegisterRequest, 1, kNoReference};
    m.regIpAddr = ::inet_addr("127.0.0.1");
    m.udpPort = 8888;
    m.account = k5000;
    m.type = 1;
    EXPECT_EQ(BuildRegisterRequest(m), RegisterRequestBytes());

    RegisterRequest p;
    Bytes b = RegisterRequestBytes();
    ASSERT_EQ(ParseRegisterRequest(b.data(), b.size(), p), kParseOk);
    ExpectHeader(p.header, 7, kRegisterRequest, 1, kNoReference);
    EXPECT_EQ(p.regIpAddr, ::inet_addr("127.0.0.1"));
    EXPECT_EQ(p.udpPort, 8888);
    EXPECT_EQ(p.account, k5000);
    EXPECT_EQ(p.type, 1u);
}

TEST(RegistrationMessages, RegisterResponse)
{
    RegisterResponse m;
    m.header = {0x2A, kRegisterResponse, 0x11223344, 1};
    m.result = 0;
    m.ownNumber = k8001;
    m.priorityWord = 5;
    m.secondId = 0x1234;
    EXPECT_EQ(BuildRegisterResponse(m), RegisterResponseBytes());

    Bytes b = RegisterResponseBytes();
    b[17] = 0x01; // only the byte at +16 is the result
    b[28] = 0xAA; // not read
    RegisterResponse p;
    ASSERT_EQ(ParseRegisterResponse(b.data(), b.size(), p), kParseOk);
    ExpectHeader(p.header, 0x2A, kRegisterResponse, 0x11223344, 1);
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.ownNumber, k8001);
    EXPECT_EQ(p.Priority(), 5);
    EXPECT_EQ(p.secondId, 0x1234u);
}

TEST(RegistrationMessages, AuthRequestAndResponse)
{
    AuthRequest m;
    m.header = {0x2A, kAuthRequest, 0x99, 5};
    m.challenge1 = {'a', 'b', 'c', 'd'};
    for (int i = 0; i < 32; ++i)
        m.challenge2.push_back(uint8_t(0x10 + i));
    EXPECT_EQ(BuildAuthRequest(m), AuthRequestBytes());

    Bytes b = AuthRequestBytes();
    AuthRequest p;
    ASSERT_EQ(ParseAuthRequest(b.data(), b.size(), p), kParseOk);
    ExpectHeader(p.header, 0x2A, kAuthRequest, 0x99, 5);
    EXPECT_EQ(p.challenge1, m.challenge1);
    EXPECT_EQ(p.challenge2, m.challenge2);

    AuthResponse r;
    r.header = {p.header.senderId, kAuthResponse, 2, p.header.senderRef};
    for (int i = 0; i < 16; ++i) {
        r.digestA[i] = uint8_t(0xA0 + i);
        r.digestB[i] = uint8_t(0xB0 + i);
    }
    EXPECT_EQ(BuildAuthResponse(r), AuthResponseBytes());
    Bytes rb = AuthResponseBytes();
    AuthResponse rp;
    ASSERT_EQ(ParseAuthResponse(rb.data(), rb.size(), rp), kParseOk);
    ExpectHeader(rp.header, 0x2A, kAuthResponse, 2, 0x99);
    EXPECT_EQ(rp.digestA, r.digestA);
    EXPECT_EQ(rp.digestB, r.digestB);
}

// Challenge lengths are checked against their field and the end of the datagram.
TEST(RegistrationMessages, AuthRequestChallengeLengths)
{
    struct Case {
        uint32_t len1, len2;
        std::size_t size;
        int expected;
    } cases[] = {
        {36, 32, 96, kParseOk},           // the first field filled exactly
        {37, 32, 96, kParseMalformed},     // one byte past the first field
        {0, 32, 96, kParseOk},            // empty first challenge
        {4, 33, 96, kParseMalformed},      // second challenge one past the end
        {4, 100, 164, kParseOk},           // a longer datagram carries a longer challenge
        {4, 0xFFFFFFFF, 96, kParseMalformed},
        {0xFFFFFFFF, 0, 96, kParseMalformed},
    };
    for (const Case &c : cases) {
        Bytes b = AuthRequestBytes();
        b.resize(c.size, 0x5A);
        zox::wire::PutU32(b.data() + 20, c.len1);
        zox::wire::PutU32(b.data() + 60, c.len2);
        AuthRequest p;
        p.challenge1 = {1, 2, 3};
        EXPECT_EQ(ParseAuthRequest(b.data(), b.size(), p), c.expected) << c.len1 << "/" << c.len2;
        if (c.expected == kParseOk) {
            EXPECT_EQ(p.challenge1.size(), c.len1);
            EXPECT_EQ(p.challenge2.size(), c.len2);
        } else {
            EXPECT_EQ(p.challenge1, (Bytes {1, 2, 3})); // output untouched
        }
    }
}

TEST(RegistrationMessages, HeartbeatRequestAndResponse)
{
    DispatchMessageHeader h {0x2A, kHeartbeatRequest, 3, kNoReference};
    EXPECT_EQ(BuildHeaderOnly(h), Hex("0000002A 50010005 00000003 FFFFFFFF"));

    ResultResponse r;
    r.header = {0, kHeartbeatResponse, 0x0B, 3};
    r.result = 1;
    Bytes fixture = Hex("00000000 50010006 0000000B 00000003 01000000");
    EXPECT_EQ(BuildResultResponse(r), fixture);
    ResultResponse p;
    ASSERT_EQ(ParseResultResponse(fixture.data(), fixture.size(), p), kParseOk);
    ExpectHeader(p.header, 0, kHeartbeatResponse, 0x0B, 3);
    EXPECT_EQ(p.result, 1);
}

TEST(RegistrationMessages, LineConfigRequestAndResponse)
{
    LineConfigRequest q;
    q.header = {0x2A, kLineConfigRequest, 4, kNoReference};
    q.entries = {{1, k8001}, {0, k800101}};
    EXPECT_EQ(BuildLineConfigRequest(q), LineConfigRequestBytes());
    Bytes qb = LineConfigRequestBytes();
    LineConfigRequest qp;
    ASSERT_EQ(ParseLineConfigRequest(qb.data(), qb.size(), qp), kParseOk);
    ASSERT_EQ(qp.entries.size(), 2u);
    EXPECT_EQ(qp.entries[0].flag, 1u);
    EXPECT_EQ(qp.entries[1].lineNumber, k800101);

    LineConfigResponse r;
    r.header = {0, kLineConfigResponse, 7, 4};
    r.count = 2;
    r.entries = {{0, k8001, 0}, {0, k800101, 1}};
    EXPECT_EQ(BuildLineConfigResponse(r), LineConfigResponseBytes());
    Bytes rb = LineConfigResponseBytes();
    LineConfigResponse rp;
    ASSERT_EQ(ParseLineConfigResponse(rb.data(), rb.size(), rp), kParseOk);
    ExpectHeader(rp.header, 0, kLineConfigResponse, 7, 4);
    EXPECT_EQ(rp.result, 0);
    ASSERT_EQ(rp.entries.size(), 2u);
    EXPECT_EQ(rp.entries[0].lineNumber, k8001);
    EXPECT_EQ(rp.entries[0].status, 0u);
    EXPECT_EQ(rp.entries[1].lineNumber, k800101);
    EXPECT_EQ(rp.entries[1].status, 1u);
}

TEST(RegistrationMessages, LineConfigResponseReadsAtMostNineteen)
{
    LineConfigResponse r;
    r.header = {0, kLineConfigResponse, 1, 1};
    r.count = 20;
    for (int i = 0; i < 19; ++i)
        r.entries.push_back({0, k8001, uint32_t(i)});
    Bytes b = BuildLineConfigResponse(r);
    ASSERT_EQ(b.size(), 328u);
    LineConfigResponse p;
    ASSERT_EQ(ParseLineConfigResponse(b.data(), b.size(), p), kParseOk);
    EXPECT_EQ(p.count, 20u);
    ASSERT_EQ(p.entries.size(), 19u);
    EXPECT_EQ(p.entries[18].status, 18u);

    // A request never carries more than 19 entries.
    LineConfigRequest q;
    q.entries.assign(25, {1, k8001});
    Bytes qb = BuildLineConfigRequest(q);
    EXPECT_EQ(qb.size(), 324u);
    EXPECT_EQ(zox::wire::GetU32(qb.data() + 16), 19u);
}

TEST(RegistrationMessages, ListRequests)
{
    GetListRequest u;
    u.header = {0x2A, kGetUserListRequest, 6, kNoReference};
    u.startIndex = 1;
    EXPECT_EQ(BuildGetListRequest(u), Hex("0000002A 5001000B 00000006 FFFFFFFF 00000001"));
    GetListRequest g;
    g.header = {0x2A, kGetGroupListRequest, 7, kNoReference};
    g.startIndex = 17;
    Bytes gb = Hex("0000002A 5001000F 00000007 FFFFFFFF 00000011");
    EXPECT_EQ(BuildGetListRequest(g), gb);
    GetListRequest p;
    ASSERT_EQ(ParseGetListRequest(gb.data(), gb.size(), p), kParseOk);
    EXPECT_EQ(p.header.messageCode, kGetGroupListRequest);
    EXPECT_EQ(p.startIndex, 17u);
}

TEST(RegistrationMessages, GroupListResponse)
{
    GroupListResponse m;
    m.header = {0, kGroupListResponse, 8, 6};
    m.nextIndex = 17;
    m.total = 20;
    m.count = 2;
    m.entries = {{3, "North", k9001}, {10, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", k9002}};
    EXPECT_EQ(BuildGroupListResponse(m), GroupListResponseBytes());

    Bytes b = GroupListResponseBytes();
    GroupListResponse p;
    ASSERT_EQ(ParseGroupListResponse(b.data(), b.size(), p), kParseOk);
    ExpectHeader(p.header, 0, kGroupListResponse, 8, 6);
    EXPECT_EQ(p.nextIndex, 17u);
    EXPECT_EQ(p.total, 20u);
    ASSERT_EQ(p.entries.size(), 2u);
    EXPECT_EQ(p.entries[0].groupId, 3u);
    EXPECT_EQ(p.entries[0].groupName, "North");
    EXPECT_EQ(p.entries[0].groupNumber, k9001);
    EXPECT_EQ(p.entries[1].groupName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"); // fills the field, no zero
    EXPECT_EQ(p.entries[1].groupNumber, k9002);

    // count 20: only the 16 entries of the page are read.
    zox::wire::PutU32(b.data() + 28, 20);
    ASSERT_EQ(ParseGroupListResponse(b.data(), b.size(), p), kParseOk);
    EXPECT_EQ(p.count, 20u);
    EXPECT_EQ(p.entries.size(), 16u);
}

TEST(RegistrationMessages, UserListResponse)
{
    UserListEntry a;
    a.userNumber = k1001;
    a.regState = 1;
    a.callState = 3;
    a.vpState = 0x10000001;
    a.dcFlag = 2;
    a.callRef = {0x00, 0x00, 0x01, 0x2A};
    a.dispatcher = 1;
    a.terminalKind = 0;
    a.displayName = "Alice";
    a.groupSlots[0] = 0;
    a.groupSlots[1] = 7;
    a.priority = 3;
    UserListEntry b;
    b.userNumber = k1002;
    b.terminalKind = 2;
    b.priority = 8;
    UserListResponse m;
    m.header = {0, kUserListResponse, 9, 7};
    m.total = 2;
    m.entries = {a, b};
    EXPECT_EQ(BuildUserListResponse(m), UserListResponseBytes());

    Bytes bytes = UserListResponseBytes();
    UserListResponse p;
    ASSERT_EQ(ParseUserListResponse(bytes.data(), bytes.size(), p), kParseOk);
    ExpectHeader(p.header, 0, kUserListResponse, 9, 7);
    EXPECT_EQ(p.nextIndex, 0u);
    EXPECT_EQ(p.total, 2u);
    ASSERT_EQ(p.entries.size(), 2u);
    const UserListEntry &u = p.entries[0];
    EXPECT_EQ(u.userNumber, k1001);
    EXPECT_EQ(u.regState, 1);
    EXPECT_EQ(u.callState, 3u);
    EXPECT_EQ(u.vpState, 0x10000001u);
    EXPECT_EQ(u.dcFlag, 2);
    EXPECT_EQ(u.CallRefText(), "0000012A");
    EXPECT_EQ(u.dispatcher, 1);
    EXPECT_EQ(u.IsMobile(), 1);
    EXPECT_EQ(u.displayName, "Alice");
    EXPECT_EQ(u.GroupIds(), (std::vector<uint8_t> {0, 7}));
    EXPECT_EQ(u.priority, 3);
    const UserListEntry &v = p.entries[1];
    EXPECT_EQ(v.CallRefText(), "");
    EXPECT_EQ(v.IsMobile(), 2);
    EXPECT_TRUE(v.GroupIds().empty());
    EXPECT_EQ(v.displayName, "");
    EXPECT_EQ(v.priority, 8);
}

TEST(RegistrationMessages, TerminalKindAndCallReference)
{
    UserListEntry e;
    for (auto [kind, mobile] : {std::pair<uint8_t, uint8_t> {0, 1}, {1, 0}, {2, 2}, {3, 0}, {255, 0}}) {
        e.terminalKind = kind;
        EXPECT_EQ(e.IsMobile(), mobile) << int(kind);
    }
    EXPECT_EQ(CallReferenceText({0, 0, 1, 0x2A}, 1), "0000012A");
    EXPECT_EQ(CallReferenceText({0, 0, 1, 0x2A}, 0), ""); // no call: no reference
    EXPECT_EQ(CallReferenceText({0, 0, 0, 0}, 3), "");
    EXPECT_EQ(CallReferenceText({0xAB, 0xCD, 0xEF, 0x01}, 0x00010000), "ABCDEF01");
}

TEST(RegistrationMessages, ResetIndicatorAndOperationNotice)
{
    Bytes reset = Hex("00000000 50010011 00000001 FFFFFFFF");
    DispatchMessageHeader h;
    ASSERT_EQ(ParseResetIndicator(reset.data(), reset.size(), h), kParseOk);
    EXPECT_EQ(h.messageCode, kResetIndicator);
    EXPECT_EQ(BuildHeaderOnly(h), reset);

    OperationNotice m;
    m.header = {0, kOperationNotice, 9, kNoReference};
    m.caller = k1001;
    m.callee = k1002;
    m.type = 1;
    m.action = 2;
    EXPECT_EQ(BuildOperationNotice(m), OperationNoticeBytes());
    Bytes b = OperationNoticeBytes();
    OperationNotice p;
    ASSERT_EQ(ParseOperationNotice(b.data(), b.size(), p), kParseOk);
    EXPECT_EQ(p.caller, k1001);
    EXPECT_EQ(p.callee, k1002);
    EXPECT_EQ(p.type, 1u);
    EXPECT_EQ(p.action, 2u);
}

TEST(NoticeMessages, UserStateNoticeAndReply)
{
    UserStateNotice m;
    m.header = {0, kUserStateNotice, 0x10, kNoReference};
    m.userNumber = k1001;
    m.regState = 1;
    m.callState = 1;
    m.callRef = {0, 0, 1, 0x2A};
    EXPECT_EQ(BuildUserStateNotice(m), UserStateNoticeBytes());

    Bytes b = UserStateNoticeBytes();
    b[24] = 0x77; // only the low-order byte of the state words is kept
    UserStateNotice p;
    ASSERT_EQ(ParseUserStateNotice(b.data(), b.size(), p), kParseOk);
    ExpectHeader(p.header, 0, kUserStateNotice, 0x10, kNoReference);
    EXPECT_EQ(p.userNumber, k1001);
    EXPECT_EQ(p.regState, 1);
    EXPECT_EQ(p.callState, 1u);
    EXPECT_EQ(p.vpState, 0u);
    EXPECT_EQ(p.dcFlag, 0);
    EXPECT_EQ(p.CallRefText(), "0000012A");

    // The reply exchanges the notice's two references.
    Bytes reply = BuildNoticeReply(0x2A, kUserStateNoticeReply, p.header);
    EXPECT_EQ(reply, Hex("0000002A 50030002 FFFFFFFF 00000010 00000000"));
    DispatchMessageHeader rh;
    ASSERT_EQ(ParseNoticeReply(reply.data(), reply.size(), rh), kParseOk);
    ExpectHeader(rh, 0x2A, kUserStateNoticeReply, kNoReference, 0x10);
}

TEST(NoticeMessages, LineServiceNoticeAndReply)
{
    LineServiceNotice m;
    m.header = {0, kLineServiceNotice, 0x11, 0x22};
    m.serviceType = 45;
    m.lineNumber = k8001;
    m.userNumber = k1001;
    EXPECT_EQ(BuildLineServiceNotice(m), LineServiceNoticeBytes());
    Bytes b = LineServiceNoticeBytes();
    LineServiceNotice p;
    ASSERT_EQ(ParseLineServiceNotice(b.data(), b.size(), p), kParseOk);
    EXPECT_EQ(p.serviceType, 45u);
    EXPECT_EQ(p.lineNumber, k8001);
    EXPECT_EQ(p.userNumber, k1001);
    EXPECT_EQ(BuildNoticeReply(0x2A, kLineServiceNoticeReply, p.header),
              Hex("0000002A 50030006 00000022 00000011 00000000"));
}

// Every parser refuses a datagram one byte shorter than its message's minimum length and
// accepts one of exactly that length.
TEST(RegistrationMessages, MinimumLengths)
{
    using Parser = std::function<int(const uint8_t *, std::size_t)>;
    struct Case {
        const char *name;
        Bytes fixture;
        std::size_t minimum;
        Parser parse;
    };
    const Case cases[] = {
        {"register request", RegisterRequestBytes(), 36,
         [](const uint8_t *d, std::size_t n) { RegisterRequest m; return ParseRegisterRequest(d, n, m); }},
        {"register response", RegisterResponseBytes(), 48,
         [](const uint8_t *d, std::size_t n) { RegisterResponse m; return ParseRegisterResponse(d, n, m); }},
        {"auth request", AuthRequestBytes(), 96,
         [](const uint8_t *d, std::size_t n) {
             AuthRequest m;
             int rc = ParseAuthRequest(d, n, m);
             return rc == kParseMalformed ? kParseOk : rc; // 95 bytes: too short before the lengths
         }},
        {"auth response", AuthResponseBytes(), 100,
         [](const uint8_t *d, std::size_t n) { AuthResponse m; return ParseAuthResponse(d, n, m); }},
        {"heartbeat response", Hex("00000000 50010006 00000001 00000001 00000000"), 20,
         [](const uint8_t *d, std::size_t n) { ResultResponse m; return ParseResultResponse(d, n, m); }},
        {"line configuration request", LineConfigRequestBytes(), 324,
         [](const uint8_t *d, std::size_t n) { LineConfigRequest m; return ParseLineConfigRequest(d, n, m); }},
        {"line configuration response", LineConfigResponseBytes(), 328,
         [](const uint8_t *d, std::size_t n) { LineConfigResponse m; return ParseLineConfigResponse(d, n, m); }},
        {"list request", Hex("0000002A 5001000B 00000006 FFFFFFFF 00000001"), 20,
         [](const uint8_t *d, std::size_t n) { GetListRequest m; return ParseGetListRequest(d, n, m); }},
        {"group list response", GroupListResponseBytes(), 736,
         [](const uint8_t *d, std::size_t n) { GroupListResponse m; return ParseGroupListResponse(d, n, m); }},
        {"user list response (count 2)", UserListResponseBytes(), 32 + 2 * 144,
         [](const uint8_t *d, std::size_t n) { UserListResponse m; return ParseUserListResponse(d, n, m); }},
        {"user list response (count 0)", Hex("00000000 5001000C 00000001 00000001 00000000 00000000 00000000 00000000"),
         32, [](const uint8_t *d, std::size_t n) { UserListResponse m; return ParseUserListResponse(d, n, m); }},
        {"reset indicator", Hex("00000000 50010011 00000001 FFFFFFFF"), 16,
         [](const uint8_t *d, std::size_t n) { DispatchMessageHeader h; return ParseResetIndicator(d, n, h); }},
        {"operation notice", OperationNoticeBytes(), 48,
         [](const uint8_t *d, std::size_t n) { OperationNotice m; return ParseOperationNotice(d, n, m); }},
        {"user state notice", UserStateNoticeBytes(), 52,
         [](const uint8_t *d, std::size_t n) { UserStateNotice m; return ParseUserStateNotice(d, n, m); }},
        {"line service notice", LineServiceNoticeBytes(), 36,
         [](const uint8_t *d, std::size_t n) { LineServiceNotice m; return ParseLineServiceNotice(d, n, m); }},
        {"notice reply", Hex("0000002A 50030002 FFFFFFFF 00000010 00000000"), 20,
         [](const uint8_t *d, std::size_t n) { DispatchMessageHeader h; return ParseNoticeReply(d, n, h); }},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(c.fixture.size(), c.minimum) << c.name;
        // The bytes of a short datagram are copied to a buffer of exactly that size, so
        // the sanitizers see any read past its end.
        Bytes exact(c.fixture.begin(), c.fixture.end());
        EXPECT_EQ(c.parse(exact.data(), exact.size()), kParseOk) << c.name;
        Bytes shorter(c.fixture.begin(), c.fixture.end() - 1);
        EXPECT_EQ(c.parse(shorter.data(), shorter.size()), kParseTooShort) << c.name;
        Bytes longer = c.fixture + Fill(7, 0xEE); // extra bytes are accepted
        EXPECT_EQ(c.parse(longer.data(), longer.size()), kParseOk) << c.name;
    }
    EXPECT_EQ(ParseRegisterRequest(nullptr, 36, *std::make_unique<RegisterRequest>()), kParseTooShort);
}

// The datagram must hold all count entries: 32 + 144 x 3 - 1 bytes with count 3 is too
// short, and a count whose 32-bit product wraps (29826162 x 144 = 2^32 + 32) is too.
TEST(RegistrationMessages, UserListCountMustFitTheDatagram)
{
    Bytes head = Hex("00000000 5001000C 00000001 00000001 00000000 00000000 00000003");
    struct Case {
        uint32_t count;
        std::size_t size;
        int expected;
    } cases[] = {
        {3, 32 + 144 * 3 - 1, kParseTooShort},
        {3, 32 + 144 * 3, kParseOk},
        {1, 32 + 144 * 3, kParseOk},
        {29826162u, 64, kParseTooShort},
        {0xFFFFFFFFu, 1500, kParseTooShort},
    };
    for (const Case &c : cases) {
        Bytes b = head + Hex("00000000");
        zox::wire::PutU32(b.data() + 28, c.count);
        b.resize(c.size, 0);
        UserListResponse p;
        EXPECT_EQ(ParseUserListResponse(b.data(), b.size(), p), c.expected) << c.count << " in " << c.size;
        if (c.expected == kParseOk) {
            EXPECT_EQ(p.entries.size(), c.count);
        }
    }
}
