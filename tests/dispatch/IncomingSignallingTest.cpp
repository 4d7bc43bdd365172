// The handling of what the dispatch server sends the console: an incoming setup with
// its order of checks and its answers, the alert's outcomes (also a release while the
// alert shows), releases matched by instance or by line, the answers to the console's
// own requests, the video-push notices, and the speaker pane's texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/CallMessages.h"
#include "dispatch/IncomingSignalling.h"
#include "dispatch/SessionMedia.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

constexpr uint32_t kServerId = 0x11223344;
constexpr uint32_t kServerRef = 0x00770001;

TbcdNumber Number(const std::string &n)
{
    TbcdNumber t {};
    EncodeBcdDigits(n, t.data(), t.size());
    return t;
}

MediaBlock Peer(uint16_t port)
{
    MediaBlock b;
    in_addr a {};
    inet_pton(AF_INET, "127.0.0.2", &a);
    MakeAddressRecord(a, b.record);
    b.port = port;
    b.present = true;
    return b;
}

Bytes SetupRequest(const std::string &line, uint32_t type, uint32_t mediaCode = 0,
                   std::vector<std::string> members = {"3001"}, uint32_t senderRef = kServerRef)
{
    CallMessage m;
    m.header = {kServerId, 0, senderRef, kNoReference};
    m.serviceType = type;
    m.lineNumber = Number(line);
    m.audio = Peer(6000);
    m.audioCopy = m.audio;
    m.video = Peer(6002);
    m.mediaCode = mediaCode;
    for (const auto &n : members)
        m.members.push_back(Number(n));
    m.memberCount = uint32_t(m.members.size());
    return WriteMessage(kSetupRequestLayout, m);
}

Bytes ReleaseRequest(uint32_t receiverRef, const std::string &line, uint32_t type = kServiceCall)
{
    CallMessage m;
    m.header = {kServerId, 0, kServerRef + 9, receiverRef};
    m.serviceType = type;
    m.lineNumber = Number(line);
    return WriteMessage(kReleaseRequestLayout, m);
}

Bytes Answer(const MessageLayout &layout, uint32_t receiverRef, uint8_t result, uint32_t type = 0)
{
    CallMessage m;
    m.header = {kServerId, 0, kServerRef, receiverRef};
    m.result = result;
    m.serviceType = type;
    m.audio = Peer(6000);
    m.video = Peer(6002);
    return WriteMessage(layout, m);
}

Bytes VpNotify(uint32_t kind, const std::string &number)
{
    CallMessage m;
    m.header = {kServerId, 0, 0xABCD0001, kNoReference};
    m.serviceType = kind;
    m.pushInstance = 0x0000000C;
    m.target = Number(number);
    return WriteMessage(kVpNotifyInLayout, m);
}

class FakeIncomingHost : public IIncomingCallHost {
public:
    FakeIncomingHost(CDispatchLineTable &lines, FakeSessionHost &sessions) : lines(lines), sessions(sessions) {}
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return sessions; }
    bool IsCallAlertVisible() const override { return alertVisible; }
    int ShowCallAlert(int32_t callId, const std::string &number, int32_t kind) override
    {
        alerts.push_back({callId, number, kind});
        alertVisible = true;
        alertId = callId;
        dismissed = false;
        const int r = whileAlerting ? whileAlerting() : alertResult;
        alertVisible = false;
        return dismissed ? 2 : r;
    }
    int32_t CallAlertId() const override { return alertId; }
    void DismissCallAlert() override { dismissed = true; }
    void StartRingIn() override { ++ringIns; }
    void StopRingIn() override { ++ringInStops; }
    IDispatchTile *GetFreeVideoWindow() override { return tileFree ? &tile : nullptr; }
    void ShowCallStatus(int32_t kind, const std::string &object) override { status = {kind, object}; }
    void SetupVideoConfAudio() override { ++confAudioSetups; }
    void HangupVideoCalls() override { ++videoHangups; }
    void UpdateOperateButtons() override {}
    bool IsVideoEnabled() const override { return videoEnabled; }
    bool IsVpAlertShown(const std::string &n) const override { return std::count(vpAlerts.begin(), vpAlerts.end(), n) > 0; }
    int VpAlertCount() const override { return int(vpAlerts.size()); }
    void AddVpAlert(const std::string &n, const std::string &, uint32_t source, uint32_t dest) override
    {
        vpAlerts.push_back(n);
        vpAlertIds = {source, dest};
    }
    void RemoveVpAlert(const std::string &n) override { std::erase(vpAlerts, n); }
    void PlayCompleteSound() override { ++completeSounds; }
    void SetSpeakerText(const std::string &t) override { speaker = t; }
    void MapSetSpeaker(const std::string &n) override { mapSpeaker = n; }
    void MapUnsetSpeaker() override { mapSpeaker = "<none>"; }

    struct Alert {
        int32_t id;
        std::string number;
        int32_t kind;
    };
    CDispatchLineTable &lines;
    FakeSessionHost &sessions;
    bool alertVisible = false;
    int32_t alertId = 0;
    bool dismissed = false;
    int alertResult = 1;
    std::function<int()> whileAlerting;
    std::vector<Alert> alerts;
    int ringIns = 0, ringInStops = 0, confAudioSetups = 0, videoHangups = 0, completeSounds = 0;
    FakeTile tile;
    bool tileFree = true;
    std::pair<int32_t, std::string> status;
    bool videoEnabled = true;
    std::vector<std::string> vpAlerts;
    std::pair<uint32_t, uint32_t> vpAlertIds {};
    std::string speaker;
    std::string mapSpeaker;
};

ST_ZOX_SYSTEM_LINE Line(const std::string &name, uint8_t softPhone)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = 1;
    l.softPhone = softPhone;
    return l;
}

class Incoming : public ::testing::Test {
public:
    void SetUp() override
    {
        lines.RebuildDispatchLines({Line("5000", 1), Line("500001", 0), Line("500003", 1)});
        sessions.AddUser("3001", "Driver One");
    }

    ST_ZOX_DISPATCH_LINE_INFO *L(const std::string &n) { return lines.FindLineByName(n); }

    void Deliver(const Bytes &b)
    {
        const uint32_t code = uint32_t(b[4]) << 24 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 8 | b[7];
        if ((code >> 16) == 0x5004)
            handler.OnNetVideoPush(b.data(), b.size());
        else
            handler.OnNetCall(b.data(), b.size());
    }

    // The datagrams sent with this code.
    std::vector<CallMessage> Sent(uint32_t code, const MessageLayout &layout)
    {
        std::vector<CallMessage> out;
        for (const auto &d : sessions.sent) {
            DispatchMessageHeader h;
            if (DispatchMessageHeader::Read(d.data(), d.size(), h) && h.messageCode == code) {
                CallMessage m;
                ReadMessage(layout, d.data(), d.size(), m);
                out.push_back(m);
            }
        }
        return out;
    }
    std::vector<uint32_t> SetupResults()
    {
        std::vector<uint32_t> r;
        for (const auto &m : Sent(kSetupResponse, kSetupResponseLayout))
            r.push_back(m.result);
        return r;
    }

    // A call connected on a line (the session in the list).
    CDispatchSession *Connected(const std::string &line, uint32_t kind, uint32_t type = kServiceCall)
    {
        auto s = std::make_unique<CDispatchSession>(sessions, type, kind);
        s->AddMember("3009");
        s->SetState(kSessionOpen);
        CDispatchSession *p = s.get();
        lines.AddSession(std::move(s));
        L(line)->session = p;
        L(line)->kind = int32_t(kind);
        L(line)->state = kLineConnected;
        return p;
    }

    FakeLineHost lineHost;
    FakeSessionHost sessions;
    CDispatchLineTable lines {lineHost};
    FakeIncomingHost host {lines, sessions};
    CIncomingSignalling handler {host};
};

// Each refusal of an incoming setup, in the order of the checks: the result sent
// (none for a short datagram), with the request's references exchanged.
TEST_F(Incoming, SetupRefusalsFollowTheOrderOfChecks)
{
    struct Case {
        const char *what;
        std::function<void(Incoming &)> arrange;
        Bytes request;
        int result; // -1: no answer at all
    };
    Bytes shortOne = SetupRequest("5000", 1);
    shortOne.resize(207);
    Bytes badLine = SetupRequest("5000", 1);
    std::fill(badLine.begin() + 24, badLine.begin() + 32, 0xAB); // not decimal digits
    const std::vector<Case> cases = {
        {"207 bytes", nullptr, shortOne, -1},
        {"alert showing", [](Incoming &t) { t.host.alertVisible = true; }, SetupRequest("5000", 1), 5},
        {"undecodable line number", nullptr, badLine, 2},
        {"unknown line", nullptr, SetupRequest("5999", 1), 2},
        {"line ringing", [](Incoming &t) { t.L("5000")->state = kLineRinging; }, SetupRequest("5000", 1), 5},
        {"line with an action", [](Incoming &t) { t.L("5000")->action = kActionCall; }, SetupRequest("5000", 1), 5},
        {"unknown service type", nullptr, SetupRequest("5000", 31), 2},
        {"voice while a call is connected", [](Incoming &t) { t.Connected("500003", kMediaVoice); },
         SetupRequest("5000", 1), 5},
        {"PTT while a call is connected", [](Incoming &t) { t.Connected("500003", kMediaVoice); },
         SetupRequest("5000", 45, 3), 5},
        {"media not made", [](Incoming &t) { t.sessions.media.create = false; }, SetupRequest("5000", 1), 2},
        {"no member", nullptr, SetupRequest("5000", 1, 0, {}), 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Incoming &t = *this; // each case on fresh lines and link
        t.sessions.sent.clear();
        t.sessions.media = FakeMediaSetup {};
        t.host.alertVisible = false;
        t.lines.DropAllSessions();
        t.lines.RebuildDispatchLines({Line("5000", 1), Line("500001", 0), Line("500003", 1)});
        if (c.arrange)
            c.arrange(t);
        t.host.alerts.clear();
        t.Deliver(c.request);
        const auto sent = t.Sent(kSetupResponse, kSetupResponseLayout);
        EXPECT_TRUE(t.host.alerts.empty());
        if (c.result < 0) {
            EXPECT_TRUE(t.sessions.sent.empty());
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(int(sent[0].result), c.result);
        EXPECT_EQ(sent[0].header.receiverRef, kServerRef);
        EXPECT_EQ(sent[0].header.senderRef, kNoReference);
        EXPECT_EQ(t.L("5000")->session, nullptr);
        t.lines.DropAllSessions();
    }
}

TEST_F(Incoming, AnsweredVoiceCallRingsThenConnects)
{
    host.whileAlerting = [&] {
        // While the alert shows: ringing answered, the line rings, a second call is busy.
        EXPECT_EQ(SetupResults(), std::vector<uint32_t>({1}));
        EXPECT_EQ(L("5000")->state, kLineRinging);
        EXPECT_EQ(L("5000")->peer, "3001");
        Deliver(SetupRequest("500003", 1, 0, {"3002"}, kServerRef + 1));
        return 1;
    };
    Deliver(SetupRequest("5000", 1));
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].number, "3001");
    EXPECT_EQ(host.alerts[0].kind, kMediaVoice);
    EXPECT_EQ(SetupResults(), std::vector<uint32_t>({1, 5, 0}));
    const auto responses = Sent(kSetupResponse, kSetupResponseLayout);
    EXPECT_EQ(responses[2].header.receiverRef, kServerRef);
    EXPECT_EQ(responses[2].audio.port, 4000); // the console's media port is announced
    ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
    ASSERT_NE(line->session, nullptr);
    EXPECT_EQ(line->state, kLineConnected);
    EXPECT_EQ(line->session->GetState(), kSessionOpen);
    EXPECT_EQ(line->session->GetRemoteAudioPort(), 6000);
    EXPECT_EQ(sessions.mediaStarts, 1);
    EXPECT_EQ(host.ringIns, 1);
    EXPECT_GE(host.ringInStops, 1);
    EXPECT_EQ(host.status.first, kMediaVoice);
    EXPECT_EQ(host.status.second, "User\xEF\xBC\x9A" "3001");
    EXPECT_EQ(host.confAudioSetups, 0);

    // Released by the server: release response 0 with its reference, line and media freed.
    const int32_t instance = line->session->GetInstance();
    Deliver(ReleaseRequest(uint32_t(instance), "5000"));
    const auto released = Sent(kReleaseResponse, kReleaseResponseLayout);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].result, 0u);
    EXPECT_EQ(released[0].header.receiverRef, kServerRef + 9);
    EXPECT_EQ(line->state, kLineIdle);
    EXPECT_EQ(line->session, nullptr);
    EXPECT_TRUE(lines.Sessions().empty());
    EXPECT_EQ(sessions.mediaReleased, 1);
}

// What else can end the alert: each refuses the call with 2 and frees the line.
TEST_F(Incoming, AlertOutcomesOtherThanAnAnswerRefuse)
{
    struct Case {
        const char *what;
        int alertResult;
        std::function<void(Incoming &)> arrange;
        uint32_t mediaCode;
    };
    const std::vector<Case> cases = {
        {"declined or timed out", 2, nullptr, 0},
        {"answer, media does not start", 1, [](Incoming &t) { t.sessions.media.startResult = -3; }, 0},
        {"answer, answer not sent", 1,
         [](Incoming &t) {
             t.host.whileAlerting = [&t] {
                 t.sessions.sendResult = 0;
                 return 1;
             };
         },
         0},
        {"answer of a video call without a free tile", 1, [](Incoming &t) { t.host.tileFree = false; }, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sessions.sent.clear();
        sessions.media = FakeMediaSetup {};
        sessions.sendResult = 1;
        host.whileAlerting = nullptr;
        host.tileFree = true;
        host.alertResult = c.alertResult;
        if (c.arrange)
            c.arrange(*this);
        Deliver(SetupRequest("5000", 1, c.mediaCode));
        EXPECT_EQ(SetupResults().front(), 1u);
        EXPECT_EQ(SetupResults().back(), 2u);
        EXPECT_EQ(L("5000")->state, kLineIdle);
        EXPECT_EQ(L("5000")->session, nullptr);
        EXPECT_TRUE(lines.Sessions().empty());
    }
}

TEST_F(Incoming, AnsweringNeedsARingingSession)
{
    EXPECT_EQ(handler.AnswerCall(nullptr), -1);
    EXPECT_EQ(handler.AnswerCall(L("5000")), -1);
    Connected("5000", kMediaVoice);
    EXPECT_EQ(handler.AnswerCall(L("5000")), -2);
}

TEST_F(Incoming, ReleaseWhileAlertingDismissesAndLeavesTheGoneSessionAlone)
{
    host.whileAlerting = [&] {
        Deliver(ReleaseRequest(uint32_t(host.alertId), "5000"));
        return 1; // the dispatcher answers just as the release arrived
    };
    Deliver(SetupRequest("5000", 1));
    EXPECT_TRUE(host.dismissed);
    EXPECT_EQ(Sent(kReleaseResponse, kReleaseResponseLayout).size(), 1u);
    EXPECT_EQ(SetupResults(), std::vector<uint32_t>({1})); // nothing more for the gone call
    EXPECT_EQ(L("5000")->state, kLineIdle);
    EXPECT_TRUE(lines.Sessions().empty());
    EXPECT_EQ(sessions.mediaStarts, 0);
}

TEST_F(Incoming, ReleaseRequestFindsTheSessionByInstanceOrByLine)
{
    Connected("500003", kMediaVoice);
    CDispatchSession *kept = Connected("5000", kMediaVoice);
    // The reference matches nothing; bytes 20..27 name 500003.
    Deliver(ReleaseRequest(0x0001FFFF, "500003"));
    EXPECT_EQ(L("500003")->state, kLineIdle);
    EXPECT_EQ(L("500003")->session, nullptr);
    EXPECT_EQ(Sent(kReleaseResponse, kReleaseResponseLayout).size(), 1u);
    EXPECT_EQ(L("5000")->state, kLineConnected);
    ASSERT_EQ(lines.Sessions().size(), 1u);
    EXPECT_EQ(lines.Sessions()[0].get(), kept);

    // Neither the reference nor the line: the generic answer with the references exchanged.
    sessions.sent.clear();
    Deliver(ReleaseRequest(0x0001FFFF, "500001", 7));
    const auto r = Sent(kReleaseResponse, kReleaseResponseLayout);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].header.receiverRef, kServerRef + 9);
    EXPECT_EQ(r[0].header.senderRef, 0x0001FFFFu);
    EXPECT_EQ(r[0].serviceType, 7u);
    EXPECT_EQ(L("5000")->state, kLineConnected);
}

// Answers to the console's own requests, matched by action and instance.
TEST_F(Incoming, AnswersToOwnRequests)
{
    // Setup response 0 to an outgoing call: connected, action cleared.
    auto call = std::make_unique<CDispatchSession>(sessions, kServiceCall, kMediaVoice);
    call->SetLocalParty("500001", 0, 0);
    call->AddMember("3001");
    ASSERT_EQ(call->SendSetupRequest(kServiceCall), 0);
    CDispatchSession *c = call.get();
    lines.AddSession(std::move(call));
    L("500001")->session = c;
    L("500001")->kind = kMediaVoice;
    lines.SetLineAction(L("500001"), kActionCall, "call", "3001");
    lines.SetLineState(L("500001"), kLineCalling);
    Bytes wrongRef = Answer(kSetupResponseLayout, SessionSenderRef(1, c->GetInstance() + 1), 0);
    Deliver(wrongRef);
    EXPECT_EQ(L("500001")->state, kLineCalling);
    Bytes shortOk = Answer(kSetupResponseLayout, SessionSenderRef(1, c->GetInstance()), 0);
    shortOk[127] = 2; // two members announced, none there
    Deliver(shortOk);
    EXPECT_EQ(L("500001")->state, kLineCalling);
    Deliver(Answer(kSetupResponseLayout, SessionSenderRef(1, c->GetInstance()), 0));
    EXPECT_EQ(L("500001")->state, kLineConnected);
    EXPECT_EQ(L("500001")->action, kActionNone);

    // A refused setup frees its line.
    auto refused = std::make_unique<CDispatchSession>(sessions, kServiceCall, kMediaVoice);
    refused->SetLocalParty("500003", 0, 0);
    refused->SetState(kSessionRequested);
    CDispatchSession *r = refused.get();
    lines.AddSession(std::move(refused));
    L("500003")->session = r;
    lines.SetLineAction(L("500003"), kActionCall, "call", "3002");
    lines.SetLineState(L("500003"), kLineCalling);
    Deliver(Answer(kSetupResponseLayout, SessionSenderRef(1, r->GetInstance()), 5));
    EXPECT_EQ(L("500003")->state, kLineIdle);
    EXPECT_EQ(L("500003")->session, nullptr);

    // A join response typed 34 for an intrusion (36) on a line joining.
    auto join = std::make_unique<CDispatchSession>(sessions, kServicePttIntrude, kMediaPttAudio);
    join->SetLocalParty("500003", 0, 0);
    CDispatchSession *j = join.get();
    lines.AddSession(std::move(join));
    L("500003")->session = j;
    lines.SetLineAction(L("500003"), kActionIntrude, "intrude", "3003");
    lines.SetLineState(L("500003"), kLineJoining);
    Deliver(Answer(kJoinResponseLayout, SessionSenderRef(36, j->GetInstance()), 0, kServicePttJoinGroup));
    EXPECT_EQ(L("500003")->state, kLineConnected);
    EXPECT_EQ(L("500003")->action, kActionNone);

    // Release response to a releasing session: line freed.
    j->SetState(kSessionReleasing);
    Deliver(Answer(kReleaseResponseLayout, SessionSenderRef(36, j->GetInstance()), 0, 36));
    EXPECT_EQ(L("500003")->state, kLineIdle);
    ASSERT_EQ(lines.Sessions().size(), 1u);
    EXPECT_EQ(lines.Sessions()[0].get(), c);
}

TEST_F(Incoming, ModifyResponseAddsTheMemberOrReleases)
{
    CDispatchSession *conf = Connected("500001", kMediaVoice, kServiceConference);
    conf->SetOperationAndPeer("语音调度: 调度台 添加会议成员", "Driver Two (3002)");
    lines.SetLineAction(L("500001"), kActionAddConferenceMember, "add", "3002");
    Deliver(Answer(kModifyResponseLayout, SessionSenderRef(18, conf->GetInstance()), 0));
    EXPECT_TRUE(conf->HasMember("3002"));
    EXPECT_EQ(L("500001")->action, kActionNone);
    EXPECT_EQ(L("500001")->state, kLineConnected);

    // A failed add keeps a call that still has members.
    conf->SetOperationAndPeer("语音调度: 调度台 添加会议成员", "3004");
    Deliver(Answer(kModifyResponseLayout, SessionSenderRef(18, conf->GetInstance()), 1));
    EXPECT_FALSE(conf->HasMember("3004"));
    EXPECT_EQ(L("500001")->state, kLineConnected);

    // Any other operation answered 0 ends the session.
    conf->SetOperationAndPeer("other", "3004");
    Deliver(Answer(kModifyResponseLayout, SessionSenderRef(18, conf->GetInstance()), 0));
    EXPECT_EQ(L("500001")->state, kLineIdle);
    EXPECT_TRUE(lines.Sessions().empty());
}

TEST_F(Incoming, ShortDatagramsAreDroppedUnanswered)
{
    const std::vector<std::pair<Bytes, std::size_t>> cases = {
        {Answer(kSetupResponseLayout, 0x21, 0), 195},  {Answer(kJoinResponseLayout, 0x21, 0), 331},
        {Answer(kModifyResponseLayout, 0x21, 0), 19},  {ReleaseRequest(0x21, "5000"), 39},
        {Answer(kReleaseResponseLayout, 0x21, 0), 23}, {VpNotify(1, "3001"), 163},
        {Answer(kVpSetupResponseLayout, 0x21, 0), 75}, {Answer(kVpReleaseRequestLayout, 0x21, 0), 15},
        {Answer(kVpReleaseResponseLayout, 0x21, 0), 19},
    };
    Connected("5000", kMediaVoice);
    for (auto [bytes, length] : cases) {
        bytes.resize(length);
        Deliver(bytes);
    }
    EXPECT_TRUE(sessions.sent.empty());
    EXPECT_EQ(L("5000")->state, kLineConnected);
}

TEST_F(Incoming, VideoPushNotices)
{
    struct Case {
        const char *what;
        std::function<void(Incoming &)> arrange;
        Bytes notify;
        bool alerted;
        bool stopped;
    };
    const std::vector<Case> cases = {
        {"push shown", nullptr, VpNotify(1, "3001"), true, false},
        {"video disabled", [](Incoming &t) { t.host.videoEnabled = false; }, VpNotify(17, "3001"), false, true},
        {"unknown user", nullptr, VpNotify(1, "3999"), false, true},
        {"already uploading",
         [](Incoming &t) {
             CDispatchSession *s = t.Connected("500003", kMediaVideoUpload, 12);
             s->AddMember("3001");
         },
         VpNotify(1, "3001"), false, false},
        {"duplicate alert", [](Incoming &t) { t.host.vpAlerts = {"3001"}; }, VpNotify(1, "3001"), false, false},
        {"as many alerts as free lines", [](Incoming &t) { t.host.vpAlerts = {"a", "b", "c"}; },
         VpNotify(1, "3001"), false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sessions.sent.clear();
        lines.DropAllSessions();
        lines.RebuildDispatchLines({Line("5000", 1), Line("500001", 0), Line("500003", 1)});
        host.videoEnabled = true;
        host.vpAlerts.clear();
        if (c.arrange)
            c.arrange(*this);
        const std::size_t alertsBefore = host.vpAlerts.size();
        Deliver(c.notify);
        ASSERT_FALSE(sessions.sent.empty());
        EXPECT_EQ(Sent(kVpNotifyResponse, kVpNotifyResponseLayout).size(), 1u);
        EXPECT_EQ(host.vpAlerts.size() > alertsBefore, c.alerted);
        const auto stops = Sent(kVpNotify, kVpNotifyInLayout);
        ASSERT_EQ(stops.size(), c.stopped ? 1u : 0u);
        if (c.stopped) {
            EXPECT_EQ(stops[0].serviceType, 7u);
            EXPECT_EQ(stops[0].header.senderRef, 0x0000000Cu);   // the instance the push named
            EXPECT_EQ(stops[0].header.receiverRef, 0xABCD0001u); // the push's own reference
        }
        if (c.alerted) {
            EXPECT_EQ(host.vpAlertIds, (std::pair<uint32_t, uint32_t>(0x0000000C, 0xABCD0001)));
        }
    }
    // Kind 7 withdraws the alert.
    host.vpAlerts = {"3001"};
    Deliver(VpNotify(7, "3001"));
    EXPECT_TRUE(host.vpAlerts.empty());
}

TEST_F(Incoming, VideoPushReleases)
{
    CDispatchSession *up = Connected("500003", kMediaVideoUpload, 12);
    Deliver(Answer(kVpReleaseRequestLayout, uint32_t(up->GetInstance()), 0));
    EXPECT_EQ(L("500003")->state, kLineIdle);
    EXPECT_EQ(Sent(kVpReleaseResponse, kVpReleaseResponseLayout).size(), 1u);
    // No line: still answered.
    Deliver(Answer(kVpReleaseRequestLayout, 0x77, 0));
    EXPECT_EQ(Sent(kVpReleaseResponse, kVpReleaseResponseLayout).size(), 2u);
    // The release response to the console's own release frees the line.
    up = Connected("500003", kMediaVideoUpload, 12);
    Deliver(Answer(kVpReleaseResponseLayout, uint32_t(up->GetInstance()), 0));
    EXPECT_EQ(L("500003")->state, kLineIdle);
}

TEST(SpeakerPane, TextsOfTheTalkBurstMessages)
{
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        const char *speaker;
        const char *text;
    };
    const Case cases[] = {
        {WM_TBCP_IDLE, 1, "", "Monitoring..."},
        {WM_TBCP_IDLE, 0, "", "Press button to speak"},
        {WM_TBCP_TAKEN, 0, "Driver 7", "Speaker: Driver 7"},
        {WM_TBCP_TAKEN, 0, "", "Busy"},
        {WM_TBCP_GRANTED, 0, "", "Please speak"},
        {WM_TBCP_DENY, 0, "", "Please try again later"},
        {WM_TBCP_RELEASE, 0, "", ""},
    };
    for (const Case &c : cases) {
        std::string text = "stale";
        ASSERT_TRUE(SpeakerPaneText(c.message, c.wParam, c.speaker, text)) << c.message;
        EXPECT_EQ(text, c.text) << c.message;
    }
    std::string text;
    EXPECT_FALSE(SpeakerPaneText(WM_NET_CALL, 0, "", text));
}

TEST(TalkBurstEvents, SubtypeToWindowMessage)
{
    struct Case {
        uint8_t subtype;
        uint32_t service;
        uint32_t message;
        uintptr_t wParam;
    };
    const Case cases[] = {
        {1, 32, WM_TBCP_GRANTED, 0}, {2, 32, WM_TBCP_TAKEN, 0},   {3, 32, WM_TBCP_DENY, 0},
        {4, 32, WM_TBCP_RELEASE, 0}, {5, 32, WM_TBCP_IDLE, 0},    {0x25, 32, WM_TBCP_IDLE, 0},
        {5, 38, WM_TBCP_IDLE, 1},    {0, 32, 0, 0},               {6, 32, 0, 0},
        {7, 32, 0, 0},               {31, 32, 0, 0},
    };
    for (const Case &c : cases) {
        uintptr_t w = 99;
        EXPECT_EQ(TalkBurstMessage(c.subtype, c.service, w), c.message) << int(c.subtype);
        EXPECT_EQ(w, c.wParam) << int(c.subtype);
    }
}

TEST(TalkBurstEvents, PttCodecSetting)
{
    EXPECT_EQ(CSessionMedia::PttCodecFlag("ilbc"), tmedia_codec_id_ilbc);
    EXPECT_EQ(CSessionMedia::PttCodecFlag("iLBC"), tmedia_codec_id_ilbc);
    EXPECT_EQ(CSessionMedia::PttCodecFlag("G711A"), tmedia_codec_id_pcma);
    EXPECT_EQ(CSessionMedia::PttCodecFlag(""), tmedia_codec_id_pcma);
}

} // namespace
