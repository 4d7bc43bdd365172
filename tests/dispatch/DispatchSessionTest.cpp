// One dispatch session: its members, what its builders refuse and what they change,
// and how the answers it reads move its state.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/DispatchSession.h"
#include "tests/protocol/WireFixture.h"

using namespace zox::call;
using namespace zoxtest;

namespace {

using Piece = std::pair<std::size_t, std::string>;

std::vector<uint8_t> At(std::size_t size, const std::vector<Piece> &pieces)
{
    std::vector<uint8_t> out(size, 0);
    for (const auto &[offset, hex] : pieces) {
        const std::vector<uint8_t> b = Hex(hex);
        std::copy(b.begin(), b.end(), out.begin() + offset);
    }
    return out;
}

const std::string kPeerRecord = "00011800 C0A80001 000000000000000000000000";
const std::string k3001 = "0310FFFFFFFFFFFF";
const std::string k3002 = "0320FFFFFFFFFFFF";

TEST(SessionMembers, ListKeepsOrderAndCase)
{
    FakeSessionHost host;
    CDispatchSession s(host, 14, kMediaVoice);
    EXPECT_EQ(s.GetFirstMember(), "");
    for (const char *n : {"3001", "3002", "3001", "A1", "a1"})
        s.AddMember(n);
    ASSERT_EQ(s.Members().size(), 4u);
    EXPECT_TRUE(s.HasMember("a1"));
    s.RemoveMember("A1");
    s.RemoveMember("9999");
    EXPECT_FALSE(s.HasMember("A1"));
    EXPECT_TRUE(s.HasMember("a1"));
    EXPECT_EQ(s.GetFirstMember(), "3001");
}

TEST(SessionMembers, CheckMembersOnlineRemovesThoseWhoLeftTheCall)
{
    struct Row {
        const char *name;
        std::string callRef;
        std::vector<std::string> expectedLeft;
    } rows[] = {
        {"EmptyReferenceRemovesNothing", "", {"4001", "4002", "4003", "4004", "4005", "4006"}},
        // 4001 in another call, 4002 idle: both adjacent, both gone; 4003 in a PTT call
        // elsewhere stays; 4004 is in this call; 4005 is unknown to the cache; 4006 in
        // another call again.
        {"OthersLeft", "0000000A", {"4003", "4004", "4005"}},
    };
    for (const Row &r : rows) {
        FakeSessionHost host;
        host.AddUser("4001", "", 0x03, "0000000B");
        host.AddUser("4002", "", 0x00, "");
        host.AddUser("4003", "", 0x0100, "0000000B");
        host.AddUser("4004", "", 0x03, "0000000A");
        host.AddUser("4006", "", 0x0103, "0000000C");
        CDispatchSession s(host, 14, kMediaVoice);
        for (const char *n : {"4001", "4002", "4003", "4004", "4005", "4006"})
            s.AddMember(n);
        const int removed = s.CheckMembersOnline(r.callRef);
        std::vector<std::string> left;
        for (const auto &m : s.Members())
            left.push_back(m.number);
        EXPECT_EQ(left, r.expectedLeft) << r.name;
        EXPECT_EQ(removed, 6 - int(r.expectedLeft.size())) << r.name;
    }
}

// The builders' refusals: the code, nothing that counts as sent, the state unchanged.
struct RefusalCase {
    const char *name;
    uint32_t serviceType;
    uint32_t mediaKind;
    bool hasMedia;
    std::vector<std::string> members;
    bool mediaCreates;
    int sendResult;
    std::function<int(CDispatchSession &, FakeSessionHost &)> send;
    int expected;
};

class BuilderRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BuilderRefusal, ReportsItsCode)
{
    const RefusalCase &c = GetParam();
    FakeSessionHost host;
    host.media.create = c.mediaCreates;
    host.sendResult = c.sendResult;
    FakeTile tile; // tiles outlive the sessions bound to them
    CDispatchSession s(host, c.serviceType, c.mediaKind);
    s.SetLocalParty("5000", c.hasMedia, 0);
    for (const auto &m : c.members)
        s.AddMember(m);
    s.SetVideoWindow(&tile);
    EXPECT_EQ(c.send(s, host), c.expected);
    EXPECT_EQ(s.GetState(), kSessionIdle);
    EXPECT_EQ(host.ringBacks, 0);
    EXPECT_TRUE(tile.states.empty());
    EXPECT_EQ(s.GetVideoWindow(), &tile); // a failed release closes nothing
}

auto Setup(uint32_t type) { return [type](CDispatchSession &s, FakeSessionHost &) { return s.SendSetupRequest(type); }; }

INSTANTIATE_TEST_SUITE_P(
    Session, BuilderRefusal,
    ::testing::Values(
        RefusalCase {"SetupWithoutMember", 1, kMediaVoice, false, {}, true, 1, Setup(1), -2},
        RefusalCase {"SetupWithoutEncodableMember", 14, kMediaVoice, false, {"12a4", "x"}, true, 1, Setup(14), -2},
        RefusalCase {"SetupOfReleaseType", 3, kMediaVoice, false, {"3001"}, true, 1, Setup(3), -3},
        RefusalCase {"SetupOfJoinType", 34, kMediaPttAudio, false, {"3001"}, true, 1, Setup(34), -3},
        RefusalCase {"SetupWithoutMediaManager", 1, kMediaVoice, true, {"3001"}, false, 1, Setup(1), -4},
        RefusalCase {"SetupNotSent", 1, kMediaVoice, false, {"3001"}, true, -1, Setup(1), -5},
        RefusalCase {"SetupSentNothing", 32, kMediaPttAudio, false, {"3001"}, true, 0, Setup(32), -5},
        RefusalCase {"SetupResponseNotSent", 1, kMediaVoice, false, {}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendSetupResponse(1, 0); }, -2},
        RefusalCase {"JoinBadTarget", 9, kMediaVoice, false, {}, true, 1,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendJoinRequest(9, "30*1"); }, -2},
        RefusalCase {"JoinWithoutMediaManager", 9, kMediaVoice, true, {}, false, 1,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendJoinRequest(9, "3001"); }, -3},
        RefusalCase {"JoinNotSent", 36, kMediaPttAudio, false, {}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendJoinRequest(36, "3001"); }, -3},
        RefusalCase {"ModifyBadTarget", 14, kMediaVoice, false, {}, true, 1,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendModifyRequest(18, ""); }, -2},
        RefusalCase {"ModifyNotSent", 14, kMediaVoice, false, {}, true, -3,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendModifyRequest(18, "3001"); }, -3},
        RefusalCase {"ReleaseNotSent", 1, kMediaVoice, false, {}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendReleaseRequest(3, "5000"); }, -3},
        RefusalCase {"ReleaseResponseNotSent", 1, kMediaVoice, false, {}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendReleaseResponse(7, 3); }, -2},
        RefusalCase {"VpSetupWithoutMember", 1, kMediaVideoUpload, false, {}, true, 1,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendVpSetupRequest(1); }, -2},
        RefusalCase {"VpSetupWithoutMediaManager", 1, kMediaVideoUpload, true, {"3001"}, false, 1,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendVpSetupRequest(1); }, -4},
        RefusalCase {"VpSetupNotSent", 1, kMediaVideoUpload, false, {"3001"}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendVpSetupRequest(1); }, -3},
        RefusalCase {"VpReleaseNotSent", 1, kMediaVideoUpload, false, {"3001"}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &) { return s.SendVpReleaseRequest(); }, -3},
        RefusalCase {"VpNotifyNotSent", 1, kMediaVideoUpload, false, {"3001"}, true, 0,
                     [](CDispatchSession &s, FakeSessionHost &h) { return SendVpNotify(h, s, {"3002"}); }, -2}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SessionBuilders, SentRequestsMoveStateRingAndTile)
{
    struct Row {
        uint32_t type;
        uint32_t kind;
        int ringBacks;
    } rows[] = {{1, kMediaVoice, 1}, {14, kMediaVoice, 1}, {15, kMediaVoice, 0}, {31, kMediaPttAudio, 0},
                {32, kMediaPttAudio, 0}};
    for (const Row &r : rows) {
        FakeSessionHost host;
        FakeTile tile;
        CDispatchSession s(host, r.type, r.kind);
        s.SetLocalParty("5000", 1, 0);
        s.AddMember("3001");
        s.SetVideoWindow(&tile);
        ASSERT_EQ(s.SendSetupRequest(r.type), 0) << r.type;
        EXPECT_EQ(s.GetState(), kSessionRequested) << r.type;
        EXPECT_EQ(host.ringBacks, r.ringBacks) << r.type;
        EXPECT_EQ(tile.states, std::vector<int>{kTileStarting}) << r.type;
        EXPECT_EQ(s.GetLocalAudioPort(), 4000) << r.type;
    }
}

TEST(SessionBuilders, SentReleaseClosesTheMediaSide)
{
    using Send = std::function<int(CDispatchSession &)>;
    const Send sends[] = {[](CDispatchSession &s) { return s.SendReleaseRequest(3, "5000"); },
                          [](CDispatchSession &s) { return s.SendVpReleaseRequest(); }};
    for (const Send &send : sends) {
        FakeSessionHost host;
        FakeTile tile;
        CDispatchSession s(host, 1, kMediaVideoCall);
        s.SetLocalParty("5000", 1, 0);
        s.AddMember("3001");
        s.SetVideoWindow(&tile);
        s.SetLocalPreview(true);
        ASSERT_EQ(s.SendSetupRequest(1), 0);
        ASSERT_NE(s.GetSessionMgr(), nullptr);
        ASSERT_EQ(send(s), 0);
        EXPECT_EQ(s.GetSessionMgr(), nullptr);
        EXPECT_EQ(host.mediaReleased, 1);
        EXPECT_EQ(host.sharesRemoved, 1);
        EXPECT_EQ(host.previewHidden, 1);
        EXPECT_FALSE(s.HasLocalPreview());
        EXPECT_EQ(s.GetVideoWindow(), nullptr);
        EXPECT_EQ(tile.deselects, 1);
        EXPECT_EQ(tile.states.back(), kTileFree);
    }
}

TEST(SessionOpenClose, CloseWithoutMediaOrTileChangesNothing)
{
    FakeSessionHost host;
    CDispatchSession s(host, 1, kMediaVoice);
    s.SetState(kSessionOpen);
    EXPECT_EQ(s.Close(), 0);
    EXPECT_EQ(s.GetState(), kSessionOpen);
    EXPECT_EQ(host.previewHidden + host.sharesRemoved + host.mediaReleased, 0);
    EXPECT_TRUE(host.sent.empty());
}

TEST(SessionOpenClose, OpenPlaysTheTileAndSelectsItForTheSelectedUser)
{
    for (const std::string selected : {"3001", "3002", ""}) {
        FakeSessionHost host;
        host.selected = selected;
        FakeTile tile;
        tile.number = "3001";
        CDispatchSession s(host, 1, kMediaVideoCall);
        s.SetVideoWindow(&tile);
        ASSERT_EQ(s.Open(), 0);
        EXPECT_EQ(s.GetState(), kSessionOpen);
        EXPECT_EQ(tile.states, std::vector<int>{kTilePlaying});
        EXPECT_EQ(tile.clicks, selected == "3001" ? 1 : 0) << selected;
    }
}

TEST(SessionOpenClose, FailedMediaStartLeavesTheSessionIdle)
{
    FakeSessionHost host;
    host.media.startResult = -7;
    CDispatchSession s(host, 1, kMediaVoice);
    s.SetLocalParty("5000", 1, 0);
    s.AddMember("3001");
    ASSERT_EQ(s.SendSetupRequest(1), 0);
    EXPECT_EQ(s.Open(), -1);
    EXPECT_EQ(s.GetState(), kSessionIdle);
}

// An incoming setup request: the checks in order, then the members and the peer text.
struct IncomingCase {
    const char *name;
    uint32_t mediaKind;
    bool hasMedia;
    bool mediaCreates;
    std::vector<uint8_t> datagram;
    int expected;
    std::vector<std::string> members;
};

std::vector<uint8_t> Incoming(const std::string &record, const std::string &audioPort, const std::string &videoPort,
                              const std::string &count, const std::string &members, std::size_t size = 0)
{
    const std::size_t n = members.size() / 16 + 0;
    return At(size ? size : 208 + 8 * n, {{0, "00000099 50020001 12345678 FFFFFFFF 00000001"},
                                          {32, record},
                                          {52, audioPort},
                                          {104, videoPort},
                                          {136, count},
                                          {208, members}});
}

class IncomingSetup : public ::testing::TestWithParam<IncomingCase> {};

TEST_P(IncomingSetup, ChecksAndMembers)
{
    const IncomingCase &c = GetParam();
    FakeSessionHost host;
    host.media.create = c.mediaCreates;
    host.AddUser("3001", "C. Duarte");
    CDispatchSession s(host, 1, c.mediaKind);
    s.SetLocalParty("5000", c.hasMedia, 0);
    EXPECT_EQ(s.OnSetupRequest(c.datagram.data(), c.datagram.size()), c.expected);
    std::vector<std::string> members;
    for (const auto &m : s.Members())
        members.push_back(m.number);
    EXPECT_EQ(members, c.members);
    EXPECT_EQ(s.GetPeerRef(), 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(
    Session, IncomingSetup,
    ::testing::Values(
        IncomingCase {"VoiceWithMedia", kMediaVoice, true, true, Incoming(kPeerRecord, "0FA0", "", "00000002", k3001 + k3002),
                      0, {"3001", "3002"}},
        IncomingCase {"WithoutMediaNoRecordNeeded", kMediaVoice, false, true, Incoming("", "", "", "00000001", k3002), 0,
                      {"3002"}},
        IncomingCase {"ZeroAddress", kMediaVoice, true, true,
                      Incoming("00011800 00000000", "0FA0", "", "00000001", k3001), -2, {}},
        IncomingCase {"BadRecord", kMediaVoice, true, true, Incoming("01011800 C0A80001", "0FA0", "", "00000001", k3001),
                      -2, {}},
        IncomingCase {"AudioPortZero", kMediaVoice, true, true, Incoming(kPeerRecord, "0000", "2328", "00000001", k3001),
                      -3, {}},
        IncomingCase {"VideoPortZero", kMediaVideoCall, true, true,
                      Incoming(kPeerRecord, "0FA0", "0000", "00000001", k3001), -3, {}},
        IncomingCase {"NoMediaManager", kMediaVoice, true, false, Incoming(kPeerRecord, "0FA0", "", "00000001", k3001),
                      -4, {}},
        IncomingCase {"CountZero", kMediaVoice, false, true, Incoming("", "", "", "00000000", k3001), -5, {}},
        IncomingCase {"CountThirtyOne", kMediaVoice, false, true,
                      Incoming("", "", "", "0000001F", "", 208 + 8 * 31), -5, {}},
        IncomingCase {"CountPastTheDatagram", kMediaVoice, false, true, Incoming("", "", "", "00000003", k3001 + k3002),
                      -6, {}},
        IncomingCase {"HugeCount", kMediaVoice, false, true,
                      Incoming("", "", "", "20000001", k3001, 1500), -5, {}},
        IncomingCase {"SecondMemberDoesNotDecode", kMediaVoice, false, true,
                      Incoming("", "", "", "00000003", k3001 + "A3FFFFFFFFFFFFFF" + k3002), -7, {"3001"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(IncomingSetupPeer, PeerTextIsTheCachedNameOrTheNumber)
{
    for (const bool known : {true, false}) {
        FakeSessionHost host;
        if (known)
            host.AddUser("3001", "C. Duarte");
        CDispatchSession s(host, 1, kMediaVoice);
        const auto d = Incoming("", "", "", "00000001", k3001);
        ASSERT_EQ(s.OnSetupRequest(d.data(), d.size()), 0);
        EXPECT_EQ(s.GetPeerName(), known ? "C. Duarte (3001)" : "3001");
    }
}

// Answers to an outgoing setup request, by state and result.
TEST(SessionAnswers, SetupResponseByStateAndResult)
{
    struct Row {
        int32_t stateBefore;
        uint8_t result;
        int expected;
        int32_t stateAfter;
        bool remoteTaken;
        int mediaStarts;
    } rows[] = {
        {kSessionIdle, 0, -1, kSessionIdle, false, 0},          {kSessionOpen, 1, -1, kSessionOpen, false, 0},
        {kSessionRequested, 2, 0, kSessionIdle, false, 0},      {kSessionAlerting, 5, 0, kSessionIdle, false, 0},
        {kSessionRequested, 1, 0, kSessionAlerting, true, 0},   {kSessionAlerting, 0, 0, kSessionOpen, true, 1},
        {kSessionRequested, 0, 0, kSessionOpen, true, 1},       {kSessionRequested, 7, -2, kSessionRequested, false, 0},
    };
    for (const Row &r : rows) {
        FakeSessionHost host;
        CDispatchSession s(host, 1, kMediaVoice);
        s.SetLocalParty("5000", 1, 0);
        s.AddMember("3001");
        ASSERT_EQ(s.SendSetupRequest(1), 0);
        s.SetState(r.stateBefore);
        char result[3];
        std::snprintf(result, sizeof result, "%02X", r.result);
        const auto d = At(196, {{0, "00000099 50020002 0000ABCD 00010021"},
                                {16, result},
                                {20, kPeerRecord + "0FA2"},
                                {92, "2328"}});
        EXPECT_EQ(s.OnSetupResponse(d.data(), d.size()), r.expected) << int(r.result);
        EXPECT_EQ(s.GetState(), r.stateAfter) << int(r.result);
        EXPECT_EQ(s.GetPeerRef(), r.remoteTaken ? 0xABCDu : kNoReference) << int(r.result);
        EXPECT_EQ(s.GetRemoteAudioPort(), r.remoteTaken ? 4002 : 0) << int(r.result);
        EXPECT_EQ(s.GetRemoteVideoPort(), r.remoteTaken ? 9000 : 0) << int(r.result);
        EXPECT_EQ(host.mediaStarts, r.mediaStarts) << int(r.result);
    }
}

TEST(SessionAnswers, JoinResponseByServiceTypeResultAndMembers)
{
    struct Row {
        const char *name;
        uint32_t sessionType;
        uint32_t answerType;
        uint8_t result;
        uint32_t count;
        bool hasMedia;
        std::string record;
        int expected;
        int32_t stateAfter;
        std::vector<std::string> members;
    } rows[] = {
        {"PttIntrudeAnsweredAsCall", 36, 1, 0, 1, false, "", -2, kSessionIdle, {}},
        {"IntrudeAcceptedWhateverTheField", 6, 1, 0, 3, false, "", 0, kSessionOpen, {"3001", "3002"}},
        {"JoinGroupAnswered", 34, 34, 0, 1, false, "", 0, kSessionOpen, {"3001"}},
        {"Refused", 9, 9, 2, 1, false, "", 0, kSessionIdle, {}},
        {"TooManyMembers", 9, 9, 0, 33, false, "", -3, kSessionIdle, {}},
        {"ForcedReleaseReadsNoCount", 7, 7, 0, 0xFFFFFFFF, false, "", 0, kSessionOpen, {}},
        {"ZeroMediaAddress", 9, 9, 0, 1, true, "00011800 00000000", -4, kSessionIdle, {"3001"}},
        {"WithMedia", 9, 9, 0, 1, true, kPeerRecord + "0FA2", 0, kSessionOpen, {"3001"}},
        {"MediaPortZero", 38, 38, 0, 1, true, kPeerRecord + "0000", -5, kSessionIdle, {"3001"}},
    };
    for (const Row &r : rows) {
        FakeSessionHost host;
        CDispatchSession s(host, r.sessionType, r.sessionType >= 31 ? kMediaPttAudio : kMediaVoice);
        s.SetLocalParty("5000", r.hasMedia, 0);
        ASSERT_EQ(s.SendJoinRequest(r.sessionType, "3001"), 0);
        char fields[64];
        std::snprintf(fields, sizeof fields, "%02X000000 %08X", r.result, r.answerType);
        char count[9];
        std::snprintf(count, sizeof count, "%08X", r.count);
        const auto d = At(332, {{0, "00000099 50020008 0000ABCD 00090021"},
                                {16, fields},
                                {24, r.record},
                                {72, count},
                                {76, k3001 + "A0FFFFFFFFFFFFFF" + k3002}});
        EXPECT_EQ(s.OnJoinResponse(d.data(), d.size()), r.expected) << r.name;
        EXPECT_EQ(s.GetState(), r.stateAfter) << r.name;
        std::vector<std::string> members;
        for (const auto &m : s.Members())
            members.push_back(m.number);
        EXPECT_EQ(members, r.members) << r.name;
    }
}

TEST(SessionAnswers, JoinResponseOnlyWhileIdle)
{
    FakeSessionHost host;
    CDispatchSession s(host, 9, kMediaVoice);
    s.SetState(kSessionOpen);
    const auto d = At(332, {{0, "00000099 50020008 0000ABCD 00090021 00000000 00000009"}});
    EXPECT_EQ(s.OnJoinResponse(d.data(), d.size()), -1);
}

TEST(SessionAnswers, ReleaseRequestIsAnsweredWithItsReferenceAndType)
{
    FakeSessionHost host;
    CDispatchSession s(host, 14, kMediaVoice);
    s.SetState(kSessionOpen);
    const auto d = At(40, {{0, "00000099 50020005 00ABCDEF 000E0021 00000011"}});
    ASSERT_EQ(s.OnReleaseRequest(d.data(), d.size()), 0);
    EXPECT_EQ(s.GetState(), kSessionIdle);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0], At(24, {{0, "0A0B0C0D 50020006 00110021 00ABCDEF 00000000 00000011"}}));
}

TEST(SessionAnswers, ReleaseAndVideoPushAnswersByState)
{
    const auto release = At(24, {{0, "00000099 50020006 0000ABCD 00030021"}});
    const auto vpRefused = At(76, {{0, "00000099 50040004 0000ABCD 00000021 02"}});
    const auto vpAccepted = At(76, {{0, "00000099 50040004 0000ABCD 00000021 00"}, {28, kPeerRecord + "2328"}});
    struct Row {
        const char *name;
        int32_t stateBefore;
        const std::vector<uint8_t> *datagram;
        int (CDispatchSession::*handler)(const uint8_t *, std::size_t);
        int expected;
        int32_t stateAfter;
    } rows[] = {
        {"ReleaseResponseWhileReleasing", kSessionReleasing, &release, &CDispatchSession::OnReleaseResponse, 0,
         kSessionIdle},
        {"ReleaseResponseWhileOpen", kSessionOpen, &release, &CDispatchSession::OnReleaseResponse, -1, kSessionOpen},
        {"VpSetupRefused", kSessionRequested, &vpRefused, &CDispatchSession::OnVpSetupResponse, 0, kSessionIdle},
        {"VpSetupAccepted", kSessionRequested, &vpAccepted, &CDispatchSession::OnVpSetupResponse, 0, kSessionOpen},
        {"VpSetupWhileIdle", kSessionIdle, &vpAccepted, &CDispatchSession::OnVpSetupResponse, -1, kSessionIdle},
        {"VpReleaseRequest", kSessionOpen, &release, &CDispatchSession::OnVpReleaseRequest, 0, kSessionIdle},
        {"VpReleaseResponse", kSessionReleasing, &release, &CDispatchSession::OnVpReleaseResponse, 0, kSessionIdle},
    };
    for (const Row &r : rows) {
        FakeSessionHost host;
        CDispatchSession s(host, 1, kMediaVideoUpload);
        s.SetState(r.stateBefore);
        EXPECT_EQ((s.*r.handler)(r.datagram->data(), r.datagram->size()), r.expected) << r.name;
        EXPECT_EQ(s.GetState(), r.stateAfter) << r.name;
    }
    FakeSessionHost host;
    CDispatchSession s(host, 1, kMediaVideoUpload);
    s.SetState(kSessionRequested);
    ASSERT_EQ(s.OnVpSetupResponse(vpAccepted.data(), vpAccepted.size()), 0);
    EXPECT_EQ(s.GetRemoteIp(), inet_addr("192.168.0.1"));
    EXPECT_EQ(s.GetRemoteVideoPort(), 9000);
    EXPECT_EQ(s.GetPeerRef(), 0xABCDu);
}

} // namespace
