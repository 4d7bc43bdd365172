// The call-signalling and video-push datagrams byte for byte: what the sessions send
// (golden tables), what the console reads, the minimum lengths, member counts that
// reach past the datagram, and the answers made without a session.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/CallMessages.h"
#include "dispatch/DispatchSession.h"
#include "dispatch/SessionlessMessages.h"
#include "tests/protocol/WireFixture.h"

using namespace zox::call;
using namespace zoxtest;

namespace {

using Piece = std::pair<std::size_t, std::string>;

// A datagram of `size` zero bytes with the hexadecimal pieces written at their offsets.
std::vector<uint8_t> At(std::size_t size, const std::vector<Piece> &pieces)
{
    std::vector<uint8_t> out(size, 0);
    for (const auto &[offset, hex] : pieces) {
        const std::vector<uint8_t> b = Hex(hex);
        if (offset + b.size() > size)
            throw std::out_of_range("fixture piece past the end");
        std::copy(b.begin(), b.end(), out.begin() + offset);
    }
    return out;
}

const std::string kOwn = "0A0B0C0D";
// 10.1.2.3 with port 4000 (audio) or 5000 (video).
const std::string kAudioBlock = "00011800 0A010203 000000000000000000000000 0FA0 0000";
const std::string kVideoBlock = "00011800 0A010203 000000000000000000000000 1388 0000";
const std::string kLine5000 = "0500FFFFFFFFFFFF";
const std::string k3001 = "0310FFFFFFFFFFFF";
const std::string k3002 = "0320FFFFFFFFFFFF";

struct GoldenCase {
    const char *name;
    uint32_t serviceType;
    uint32_t mediaKind;
    bool hasMedia;
    std::function<int(CDispatchSession &, FakeSessionHost &)> send;
    std::vector<uint8_t> expected;
    const MessageLayout *layout; // reads it back
};

std::vector<GoldenCase> GoldenCases()
{
    return {
        {"VoiceCallWithMedia", 1, kMediaVoice, true,
         [](CDispatchSession &s, FakeSessionHost &) { s.AddMember("3001"); return s.SendSetupRequest(1); },
         At(216, {{0, kOwn + "50020001 00010021 FFFFFFFF 00000001"}, {24, kLine5000}, {32, kAudioBlock},
                  {56, kAudioBlock}, {136, "00000001"}, {208, k3001}}), &kSetupRequestLayout},
        {"VideoCallWithMedia", 1, kMediaVideoCall, true,
         [](CDispatchSession &s, FakeSessionHost &) { s.AddMember("3001"); return s.SendSetupRequest(1); },
         At(216, {{0, kOwn + "50020001 00010021 FFFFFFFF 00000001"}, {24, kLine5000}, {56, kVideoBlock},
                  {80, "00000001"}, {84, kVideoBlock}, {136, "00000001"}, {208, k3001}}), &kSetupRequestLayout},
        {"PttPrivateCallWithoutMedia", 31, kMediaPttAudio, false,
         [](CDispatchSession &s, FakeSessionHost &) {
             s.AddMember("3001");
             s.AddMember("3002");
             return s.SendSetupRequest(31);
         },
         At(224, {{0, kOwn + "50020001 001F0021 FFFFFFFF 0000001F"}, {24, kLine5000}, {136, "00000002"},
                  {208, k3001 + k3002}}), &kSetupRequestLayout},
        {"PttGroupCallOfGroup7", 32, kMediaPttAudio, true,
         [](CDispatchSession &s, FakeSessionHost &) {
             s.AddMember("3001");
             s.SetPeerGroup(7, "Patrol");
             return s.SendSetupRequest(32);
         },
         At(216, {{0, kOwn + "50020001 00200021 FFFFFFFF 00000020"}, {24, kLine5000}, {32, kAudioBlock},
                  {56, kAudioBlock}, {80, "00000003"}, {132, "00000001 00000001 00000001 07000000"},
                  {208, k3001}}), &kSetupRequestLayout},
        {"PttAddUserWithoutEncodableMember", 43, kMediaPttAudio, false,
         [](CDispatchSession &s, FakeSessionHost &) {
             s.AddMember("30x1");
             s.SetPeerGroup(0x0102, "Patrol");
             return s.SendSetupRequest(43);
         },
         At(208, {{0, kOwn + "50020001 002B0021 FFFFFFFF 0000002B"}, {24, kLine5000},
                  {132, "00000001 00000001 00000001 02010000"}}), &kSetupRequestLayout},
        {"ModifyRequestAddsMember", 14, kMediaVoice, false,
         [](CDispatchSession &s, FakeSessionHost &) { return s.SendModifyRequest(18, "3002"); },
         At(36, {{0, kOwn + "50020003 00120021 FFFFFFFF 00000012"}, {20, kLine5000 + k3002}}), &kModifyRequestLayout},
        {"ReleaseRequestOfCall", 1, kMediaVoice, false,
         [](CDispatchSession &s, FakeSessionHost &) { return s.SendReleaseRequest(3, "5000"); },
         At(40, {{0, kOwn + "50020005 00030021 FFFFFFFF 00000003"}, {20, kLine5000 + kLine5000}}), &kReleaseRequestLayout},
        {"ReleaseRequestOfGroupPttCall", 32, kMediaPttAudio, false,
         [](CDispatchSession &s, FakeSessionHost &) {
             s.SetPeerGroup(7, "Patrol");
             return s.SendReleaseRequest(42, "5000");
         },
         At(40, {{0, kOwn + "50020005 002A0021 FFFFFFFF 0000002A"}, {20, kLine5000}, {36, "00000007"}}), &kReleaseRequestLayout},
        {"ReleaseResponse", 1, kMediaVoice, false,
         [](CDispatchSession &s, FakeSessionHost &) { return s.SendReleaseResponse(0x11223344, 3); },
         At(24, {{0, kOwn + "50020006 00030021 11223344 00000000 00000003"}}), &kReleaseResponseLayout},
        {"JoinRequestMonitorWithMedia", 9, kMediaVoice, true,
         [](CDispatchSession &s, FakeSessionHost &) {
             s.SetPeerGroup(0x01020304, "");
             return s.SendJoinRequest(9, "3001");
         },
         At(88, {{0, kOwn + "50020007 00090021 FFFFFFFF 00000009"}, {20, kLine5000 + k3001}, {36, kAudioBlock},
                 {60, kAudioBlock}, {84, "01020304"}}), &kJoinRequestLayout},
        {"JoinRequestWithoutTarget", 34, kMediaPttAudio, false,
         [](CDispatchSession &s, FakeSessionHost &) { return s.SendJoinRequest(34, ""); },
         At(88, {{0, kOwn + "50020007 00220021 FFFFFFFF 00000022"}, {20, kLine5000}}), &kJoinRequestLayout},
        {"VpSetupRequestWithMedia", 1, kMediaVideoUpload, true,
         [](CDispatchSession &s, FakeSessionHost &) { s.AddMember("3001"); return s.SendVpSetupRequest(1); },
         At(76, {{0, kOwn + "50040003 00000021 FFFFFFFF"}, {16, k3001}, {24, kVideoBlock}, {72, "00000001"}}), &kVpSetupRequestLayout},
        {"VpSetupRequestWithoutMediaHasPortZero", 1, kMediaVideoUpload, false,
         [](CDispatchSession &s, FakeSessionHost &) { s.AddMember("3001"); return s.SendVpSetupRequest(1); },
         At(76, {{0, kOwn + "50040003 00000021 FFFFFFFF"},
                 {16, k3001},
                 {24, "00011800 0A010203 000000000000000000000000 0000 0000"},
                 {72, "00000001"}}), &kVpSetupRequestLayout},
        {"VpReleaseRequest", 1, kMediaVideoUpload, false,
         [](CDispatchSession &s, FakeSessionHost &) { return s.SendVpReleaseRequest(); },
         Hex(kOwn + "50040005 00000021 FFFFFFFF"), &kVpReleaseRequestLayout},
        {"VpNotifyToTwoTargets", 1, kMediaVideoUpload, false,
         [](CDispatchSession &s, FakeSessionHost &h) {
             s.AddMember("3001");
             return SendVpNotify(h, s, {"3002", "5000"});
         },
         At(164, {{0, kOwn + "50040001 00000021 FFFFFFFF 0000000C"}, {20, k3001}, {28, "00000002"},
                  {32, k3002 + kLine5000}}), &kVpNotifyLayout},
    };
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, SessionSendsTheseBytes)
{
    const GoldenCase &c = GetParam();
    FakeSessionHost host;
    CDispatchSession s(host, c.serviceType, c.mediaKind);
    ASSERT_EQ(s.GetInstance(), 33);
    s.SetLocalParty("5000", c.hasMedia, 0);
    ASSERT_EQ(c.send(s, host), 0);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent.back(), c.expected);
    // Read back through its layout, the same bytes come out again (a group setup without
    // its member announces one it does not hold: the member is not read).
    CallMessage m;
    ASSERT_NE(ReadMessage(*c.layout, c.expected.data(), c.expected.size(), m), kParseTooShort);
    EXPECT_EQ(WriteMessage(*c.layout, m), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Messages, Golden, ::testing::ValuesIn(GoldenCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SetupMessages, ResponseCarriesBothVideoBlocksOfAVideoCall)
{
    FakeSessionHost host;
    CDispatchSession s(host, 1, kMediaVideoCall);
    s.SetLocalParty("5000", 1, 0);
    const auto request = At(216, {{0, "00000099 50020001 12345678 FFFFFFFF 00000001"}, {24, kLine5000},
                                  {32, "00011800 C0A80001 000000000000000000000000 0FA0 0000"},
                                  {80, "00000001"}, {104, "2328"}, {136, "00000001"}, {208, k3001}});
    ASSERT_EQ(s.OnSetupRequest(request.data(), request.size()), 0);
    ASSERT_EQ(s.SendSetupResponse(1, 1), 0);
    EXPECT_EQ(host.sent.back(),
              At(196, {{0, kOwn + "50020002 00010021 12345678 01000000"}, {20, kAudioBlock}, {44, kAudioBlock},
                       {68, "00000001"}, {72, kVideoBlock}, {96, kVideoBlock}}));
    EXPECT_EQ(s.GetRemoteIp(), inet_addr("192.168.0.1"));
    EXPECT_EQ(s.GetRemoteVideoPort(), 9000);
}

TEST(SetupMessages, ConferenceWritesThirtyEncodableMembers)
{
    FakeSessionHost host;
    CDispatchSession s(host, 14, kMediaVoice);
    s.SetLocalParty("5000", 0, 0);
    for (int i = 0; i < 31; ++i)
        s.AddMember(i == 10 ? "12a4" : std::to_string(4000 + i));
    ASSERT_EQ(s.SendSetupRequest(14), 0);
    const auto &d = host.sent.back();
    ASSERT_EQ(d.size(), 208u + 8 * 30);
    CallMessage m;
    ASSERT_EQ(ReadMessage(kSetupRequestLayout, d.data(), d.size(), m), kParseOk);
    ASSERT_EQ(m.memberCount, 30u);
    std::vector<std::string> numbers;
    for (const auto &n : m.members) {
        std::string text;
        ASSERT_EQ(DecodeBcdDigits(n.data(), n.size(), text), 0);
        numbers.push_back(text);
    }
    EXPECT_EQ(numbers[9], "4009");
    EXPECT_EQ(numbers[10], "4011"); // "12a4" skipped without a gap
    EXPECT_EQ(numbers[29], "4030");
}

// What the main window sends without a session; its answers exchange the request's
// two references.
struct SessionlessCase {
    const char *name;
    std::function<Bytes()> build;
    std::vector<uint8_t> expected;
};

const DispatchMessageHeader kRequest {0x99, 0x50020005, 0x11111111, 0x22222222};
constexpr uint32_t kOwnId = 0x0A0B0C0D;

class Sessionless : public ::testing::TestWithParam<SessionlessCase> {};

TEST_P(Sessionless, Bytes) { EXPECT_EQ(GetParam().build(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Messages, Sessionless,
    ::testing::Values(
        SessionlessCase {"SetupRefusalBusy", [] { return BuildSetupRefusal(kOwnId, kRequest, 5); },
                         At(196, {{0, kOwn + "50020002 22222222 11111111 05"}})},
        SessionlessCase {"GenericReleaseResponse", [] { return BuildGenericReleaseResponse(kOwnId, kRequest, 3); },
                         At(24, {{0, kOwn + "50020006 22222222 11111111 00000000 00000003"}})},
        SessionlessCase {"VpNotifyResponse", [] { return BuildVpNotifyResponse(kOwnId, kRequest); },
                         At(20, {{0, kOwn + "50040002 22222222 11111111"}})},
        SessionlessCase {"VpReleaseResponse", [] { return BuildVpReleaseResponse(kOwnId, kRequest); },
                         At(20, {{0, kOwn + "50040006 22222222 11111111"}})},
        SessionlessCase {"KillTerminal", [] { return BuildTerminalModify(kOwnId, 40, "3001"); },
                         At(36, {{0, kOwn + "50020003 0028FFFF FFFFFFFF 00000028"}, {28, k3001}})},
        SessionlessCase {"ReviveTerminal", [] { return BuildTerminalModify(kOwnId, 41, "3001"); },
                         At(36, {{0, kOwn + "50020003 0029FFFF FFFFFFFF 00000029"}, {28, k3001}})},
        SessionlessCase {"KillWithoutNumber", [] { return BuildTerminalModify(kOwnId, 40, "30-1"); }, {}},
        SessionlessCase {"ReleaseGroupPttCall", [] { return BuildSessionlessRelease(kOwnId, 42, 7, ""); },
                         At(40, {{0, kOwn + "50020005 FFFFFFFF FFFFFFFF 0000002A"}, {36, "00000007"}})},
        SessionlessCase {"ForcedHangupOfPttUser", [] { return BuildSessionlessRelease(kOwnId, 39, 7, "3001"); },
                         At(40, {{0, kOwn + "50020005 FFFFFFFF FFFFFFFF 00000027"}, {28, k3001}})},
        SessionlessCase {"ForcedHangupWithoutNumber", [] { return BuildSessionlessRelease(kOwnId, 8, 0, ""); }, {}},
        SessionlessCase {"AddUserToGroupCall", [] { return BuildAddUserToGroupCall(kOwnId, "5000", 0x0102, "3001"); },
                         At(216, {{0, kOwn + "50020001 FFFFFFFF FFFFFFFF 0000002B"},
                                  {24, kLine5000},
                                  {132, "00000001 00000001 00000001 02010000"},
                                  {208, k3001}})},
        SessionlessCase {"StopVpNotify", [] { return BuildStopVpNotify(kOwnId, 0x42, 0x43, "3001"); },
                         At(164, {{0, kOwn + "50040001 00000042 00000043 00000007"},
                                  {20, k3001},
                                  {28, "00000001"},
                                  {32, k3001}})}),
    [](const auto &info) { return std::string(info.param.name); });

// What the console reads, at each message's minimum length and one byte short of it.
struct MinimumCase {
    uint32_t code;
    std::size_t minimum;
};

class InboundMinimum : public ::testing::TestWithParam<MinimumCase> {};

TEST_P(InboundMinimum, ShorterDatagramIsRefused)
{
    const MinimumCase &c = GetParam();
    const MessageLayout *layout = InboundLayout(c.code);
    ASSERT_NE(layout, nullptr);
    std::vector<uint8_t> d(c.minimum, 0);
    d[4] = uint8_t(c.code >> 24);
    d[5] = uint8_t(c.code >> 16);
    d[6] = uint8_t(c.code >> 8);
    d[7] = uint8_t(c.code);
    CallMessage m;
    EXPECT_EQ(ReadMessage(*layout, d.data(), d.size() - 1, m), kParseTooShort);
    EXPECT_EQ(ReadMessage(*layout, d.data(), d.size(), m), kParseOk);
    EXPECT_EQ(m.header.messageCode, c.code);
}

INSTANTIATE_TEST_SUITE_P(Messages, InboundMinimum,
                         ::testing::Values(MinimumCase {kSetupRequest, 208}, MinimumCase {kSetupResponse, 196},
                                           MinimumCase {kModifyResponse, 20}, MinimumCase {kReleaseRequest, 40},
                                           MinimumCase {kReleaseResponse, 24}, MinimumCase {kJoinResponse, 332},
                                           MinimumCase {kVpNotify, 164}, MinimumCase {kVpSetupResponse, 76},
                                           MinimumCase {kVpReleaseRequest, 16},
                                           MinimumCase {kVpReleaseResponse, 20}),
                         [](const auto &info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Code%08X", info.param.code);
                             return std::string(name);
                         });

TEST(InboundMessages, CodesTheConsoleDoesNotReadHaveNoLayout)
{
    for (uint32_t code : {kModifyRequest, kJoinRequest, kVpSetupRequest, 0x50020009u, 0x50030001u})
        EXPECT_EQ(InboundLayout(code), nullptr) << std::hex << code;
}

// Member counts whose bytes the datagram does not hold, including counts that wrap a
// 32-bit length (8 x 0x20000000 = 2^32).
TEST(InboundMessages, MemberCountPastTheDatagramReadsNoMember)
{
    struct Row {
        const MessageLayout *layout;
        std::size_t countAt;
        std::size_t size;
        uint32_t count;
        int expected;
    } rows[] = {
        {&kSetupRequestLayout, 136, 216, 1, kParseOk},
        {&kSetupRequestLayout, 136, 216, 2, kParseMalformed},
        {&kSetupRequestLayout, 136, 1500, 0x20000000, kParseMalformed},
        {&kSetupRequestLayout, 136, 1500, 0xFFFFFFFF, kParseMalformed},
        {&kSetupResponseLayout, 124, 196, 0, kParseOk},
        {&kSetupResponseLayout, 124, 211, 2, kParseMalformed},
        {&kSetupResponseLayout, 124, 1500, 0x20000001, kParseMalformed},
        {&kJoinResponseLayout, 72, 332, 32, kParseOk},
        {&kJoinResponseLayout, 72, 332, 33, kParseMalformed},
        {&kJoinResponseLayout, 72, 1500, 0x20000000, kParseMalformed},
    };
    for (const Row &r : rows) {
        std::vector<uint8_t> d(r.size, 0x11);
        d[r.countAt] = uint8_t(r.count >> 24);
        d[r.countAt + 1] = uint8_t(r.count >> 16);
        d[r.countAt + 2] = uint8_t(r.count >> 8);
        d[r.countAt + 3] = uint8_t(r.count);
        CallMessage m;
        EXPECT_EQ(ReadMessage(*r.layout, d.data(), d.size(), m), r.expected) << r.layout->name << " " << r.count;
        EXPECT_EQ(m.memberCount, r.count);
        EXPECT_EQ(m.members.size(), r.expected == kParseOk ? r.count : 0u);
    }
}

TEST(InboundMessages, VideoPushNotifyAsReceived)
{
    const auto d = At(164, {{0, "00000099 50040001 00000042 FFFFFFFF 00000011 00000007"}, {32, k3001}});
    CallMessage m;
    ASSERT_EQ(ReadMessage(kVpNotifyInLayout, d.data(), d.size(), m), kParseOk);
    EXPECT_EQ(m.header.senderRef, 0x42u);
    EXPECT_EQ(m.serviceType, 17u);
    EXPECT_EQ(m.pushInstance, 7u);
    std::string number;
    ASSERT_EQ(DecodeBcdDigits(m.target.data(), m.target.size(), number), 0);
    EXPECT_EQ(number, "3001");
}

} // namespace
