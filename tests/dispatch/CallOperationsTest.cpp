// The dispatcher's call operations without a window: each session operation's request
// on the wire and the line it arms, the server's answer completing or releasing it,
// the failures that leave nothing behind, the releases (among them the conference's,
// which must find the conference and not its audio channel), the requests without a
// session, the group uploads' limits, the add-to menu, the talk bursts, end-all, the
// chat program, the starters by number and the call progress panel.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/CallMessages.h"
#include "dispatch/CallOperations.h"
#include "dispatch/IncomingSignalling.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

constexpr uint32_t kServerId = 0x11223344;
constexpr uint32_t kGroupId = 21;

std::string Digits(const TbcdNumber &n)
{
    std::string s;
    DecodeBcdDigits(n.data(), n.size(), s);
    return s;
}

ST_ZOX_SYSTEM_USER User(const std::string &number, const std::string &name, uint8_t regState = 1,
                        uint32_t callState = 0, uint32_t vpState = 0, const std::string &callRef = "")
{
    ST_ZOX_SYSTEM_USER u;
    u.userNumber = number;
    u.displayName = name;
    u.regState = regState;
    u.callState = callState;
    u.vpState = vpState;
    u.callRef = callRef;
    return u;
}

class FakeOpsHost : public ICallOperationsHost {
public:
    FakeOpsHost(CDispatchLineTable &lines, FakeSessionHost &sessions) : lines(lines), sessions(sessions) {}
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return sessions; }
    const ST_ZOX_CURRENT_SELECTION &Selection() const override { return selection; }
    std::string OwnNumber() const override { return "8001"; }
    bool GetSystemGroup(uint32_t id, ST_ZOX_SYSTEM_GROUP &g) override
    {
        for (const auto &x : groups)
            if (x.groupId == id) {
                g = x;
                return true;
            }
        return false;
    }
    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &out) override
    {
        out = groups;
        return 0;
    }
    int GetGroupMembers(uint32_t id, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out = members[id];
        return 0;
    }
    int GetGroupAvailableMembers(uint32_t id, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        for (const auto &u : members[id])
            if (u.regState != 0 && u.regState != 3 && u.callState == 0 && u.priority != 4)
                out.push_back(u);
        return 0;
    }
    int GetUsersByCallRef(const std::string &ref, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        for (const auto &[id, list] : members)
            for (const auto &u : list)
                if (u.callRef == ref && u.callState != 0)
                    out.push_back(u);
        return 0;
    }
    IDispatchTile *GetFreeVideoWindow() override
    {
        for (auto &t : tiles)
            if (t->states.empty() || t->states.back() == kTileFree)
                return t.get();
        return nullptr;
    }
    void ShowDispatchStatus(int kind, const std::string &object, const std::string &speaker) override
    {
        status = std::to_string(kind) + "|" + object + "|" + speaker;
    }
    void SetSpeakerText(const std::string &t) override { speaker = t; }
    void UpdateOperateButtons() override { ++buttonRefreshes; }
    bool IsBridgeReady() const override { return bridgeReady; }
    void BeginChat(int kind, int groupId, const std::string &number) override
    {
        chats.push_back(std::to_string(kind) + "/" + std::to_string(groupId) + "/" + number);
    }
    bool PickUserToAdd(std::string &number, std::string &name) override
    {
        number = picked.userNumber;
        name = picked.displayName;
        return !number.empty();
    }
    bool FileExists(const std::string &path) const override { return files.count(path) != 0; }
    bool StartProgram(const std::string &path, const std::vector<std::string> &args) override
    {
        started.push_back(path + " " + (args.empty() ? "" : args[0]));
        return true;
    }
    std::string WorkingDirectory() const override { return "/opt/zox"; }
    void ShowProgressPanel(const std::string &number) override
    {
        panelExists = panelShown = true;
        panelNumber = number;
        panelTexts.push_back("Calling ...");
        panelMode = 0;
    }
    bool HasProgressPanel() const override { return panelExists; }
    bool IsProgressPanelShown() const override { return panelShown; }
    void SetProgressStatus(const std::string &text, int mode) override
    {
        panelTexts.push_back(text);
        panelMode = mode;
    }
    std::string ProgressNumber() const override { return panelNumber; }
    void HideProgressPanel() override { panelShown = false; }
    void RunLater(int ms, std::function<void()> action) override { later.push_back({ms, std::move(action)}); }

    CDispatchLineTable &lines;
    FakeSessionHost &sessions;
    ST_ZOX_CURRENT_SELECTION selection;
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    std::map<uint32_t, std::vector<ST_ZOX_SYSTEM_USER>> members;
    std::vector<std::unique_ptr<FakeTile>> tiles;
    std::string status, speaker;
    int buttonRefreshes = 0;
    bool bridgeReady = true;
    std::vector<std::string> chats;
    ST_ZOX_SYSTEM_USER picked;
    std::set<std::string> files;
    std::vector<std::string> started;
    bool panelExists = false, panelShown = false;
    std::string panelNumber;
    std::vector<std::string> panelTexts;
    int panelMode = -1;
    std::vector<std::pair<int, std::function<void()>>> later;
};

// The signalling side the operations' answers go through.
class AnswerHost : public IIncomingCallHost {
public:
    AnswerHost(CDispatchLineTable &lines, FakeSessionHost &sessions) : lines(lines), sessions(sessions) {}
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return sessions; }
    bool IsCallAlertVisible() const override { return false; }
    int ShowCallAlert(int32_t, const std::string &, int32_t) override { return 2; }
    int32_t CallAlertId() const override { return 0; }
    void DismissCallAlert() override {}
    void StartRingIn() override {}
    void StopRingIn() override {}
    IDispatchTile *GetFreeVideoWindow() override { return nullptr; }
    void ShowCallStatus(int32_t, const std::string &) override {}
    void SetupVideoConfAudio() override {}
    void HangupVideoCalls() override {}
    void UpdateOperateButtons() override {}
    bool IsVideoEnabled() const override { return true; }
    bool IsVpAlertShown(const std::string &) const override { return false; }
    int VpAlertCount() const override { return 0; }
    void AddVpAlert(const std::string &, const std::string &, uint32_t, uint32_t) override {}
    void RemoveVpAlert(const std::string &) override {}
    void PlayCompleteSound() override {}
    void SetSpeakerText(const std::string &) override {}
    void MapSetSpeaker(const std::string &) override {}
    void MapUnsetSpeaker() override {}
    CDispatchLineTable &lines;
    FakeSessionHost &sessions;
};

ST_ZOX_SYSTEM_LINE SystemLine(const std::string &name)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = 1;
    l.softPhone = 1;
    return l;
}

class Operations : public ::testing::Test {
public:
    void SetUp() override { Reset(3); }
    // The sessions go before the tiles they hold.
    void TearDown() override { lines.DropAllSessions(); }

    // Fresh lines 5000, 500001, ... and link; three free tiles; one group of four users.
    void Reset(int lineCount)
    {
        lines.DropAllSessions();
        std::vector<ST_ZOX_SYSTEM_LINE> l;
        for (int i = 0; i < lineCount; ++i)
            l.push_back(SystemLine(i == 0 ? "5000" : "5000" + std::string(i < 10 ? "0" : "") + std::to_string(i)));
        lines.RebuildDispatchLines(l);
        sessions.sent.clear();
        sessions.talkBursts.clear();
        sessions.mediaStarts = 0;
        sessions.sendResult = 1;
        sessions.media = FakeMediaSetup {};
        host.tiles.clear();
        for (int i = 0; i < 3; ++i)
            host.tiles.push_back(std::make_unique<FakeTile>());
        host.groups = {{"Patrol", "9001", kGroupId}, {"Harbour", "9002", 22}};
        host.members.clear();
        host.members[kGroupId] = {User("3001", "Driver One"), User("3002", "Driver Two"),
                                  User("3003", "Driver Three", 0), User("3004", "Driver Four", 1, 3)};
        for (const auto &u : host.members[kGroupId])
            sessions.users[u.userNumber] = u;
        host.status.clear();
    }

    void SelectGroup(uint32_t id = kGroupId)
    {
        host.selection = {};
        host.selection.kind = kSelectGroup;
        host.selection.groupType = 1;
        host.selection.groupId = int(id);
    }
    void SelectUser(const std::string &number, uint32_t callState = 0)
    {
        host.selection = {};
        host.selection.kind = kSelectUser;
        host.selection.targetType = 0;
        host.selection.groupType = 1;
        host.selection.groupId = int(kGroupId);
        host.selection.user = User(number, "Driver " + number, 1, callState);
    }

    ST_ZOX_DISPATCH_LINE_INFO *L(const std::string &n) { return lines.FindLineByName(n); }

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

    // The server's answer to the session of a line.
    void Answer(ST_ZOX_DISPATCH_LINE_INFO *line, uint32_t code, const MessageLayout &layout, uint8_t result)
    {
        ASSERT_NE(line->session, nullptr);
        CallMessage m;
        const uint32_t ref = code >> 16 == 0x5004 ? uint32_t(line->session->GetInstance())
                                                  : SessionSenderRef(line->session->GetServiceType(),
                                                                     line->session->GetInstance());
        m.header = {kServerId, code, 0x00990001, ref};
        m.result = result;
        m.serviceType = line->session->GetServiceType();
        m.audio.present = m.video.present = true;
        in_addr a {};
        inet_pton(AF_INET, "127.0.0.2", &a);
        MakeAddressRecord(a, m.audio.record);
        m.audio.port = 6000;
        m.video = m.audio;
        m.video.port = 6002;
        const Bytes b = WriteMessage(layout, m);
        if (code >> 16 == 0x5004)
            incoming.OnNetVideoPush(b.data(), b.size());
        else
            incoming.OnNetCall(b.data(), b.size());
    }

    FakeLineHost lineHost;
    FakeSessionHost sessions;
    CDispatchLineTable lines {lineHost};
    FakeOpsHost host {lines, sessions};
    CCallOperations ops {host};
    AnswerHost answerHost {lines, sessions};
    CIncomingSignalling incoming {answerHost};
};

// Each session operation: the request on the wire (code, type, target or group, media
// kind), the line it arms (state, action, time limit, kind) and the status panes.
TEST_F(Operations, SessionOperationsSendTheirRequestAndArmALine)
{
    struct Case {
        const char *what;
        std::function<void(Operations &)> select;
        std::function<int(CCallOperations &)> run;
        uint32_t code;
        uint32_t type;
        std::string target;   // the number the request names (members[0] for setups)
        uint32_t groupId;
        int32_t kind, state, action, period;
        std::string status;
    };
    const std::string user = "User: ", barge = "User\xEF\xBC\x9A";
    const std::vector<Case> cases = {
        {"group PTT call", [](Operations &t) { t.SelectGroup(); }, [](CCallOperations &o) { return o.StartGroupPttCall(); },
         kSetupRequest, 32, "", kGroupId, kMediaPttAudio, kLineCalling, 21, 120000, "3|Group: Patrol|"},
        {"join the group's PTT call", [](Operations &t) { t.SelectGroup(); },
         [](CCallOperations &o) { return o.JoinGroupPttCall(); }, kJoinRequest, 34, "", kGroupId, kMediaPttAudio,
         kLineJoining, 23, 90000, "3|Group: Patrol|"},
        {"voice conference of the available members", [](Operations &t) { t.SelectGroup(); },
         [](CCallOperations &o) { return o.StartGroupVoiceConference(); }, kSetupRequest, 14, "3001", 0, kMediaVoice,
         kLineCalling, 14, 120000, "1|Group: Patrol|"},
        {"user PTT call", [](Operations &t) { t.SelectUser("3001"); },
         [](CCallOperations &o) { return o.StartSelectedUserPttCall(); }, kSetupRequest, 31, "3001", 0, kMediaPttAudio,
         kLineCalling, 20, 120000, "3|" + user + "Driver 3001 (3001)|"},
        {"voice call", [](Operations &t) { t.SelectUser("3001"); },
         [](CCallOperations &o) { return o.StartSelectedUserVoiceCall(); }, kSetupRequest, 1, "3001", 0, kMediaVoice,
         kLineCalling, 3, 120000, "1|" + user + "Driver 3001|"},
        {"video call", [](Operations &t) { t.SelectUser("3001"); },
         [](CCallOperations &o) { return o.StartSelectedUserVideoCall(); }, kSetupRequest, 1, "3001", 0,
         kMediaVideoCall, kLineCalling, 3, 120000, "2|" + user + "Driver 3001|"},
        {"intrusion into a PTT call", [](Operations &t) { t.SelectUser("3002", 0x0100); },
         [](CCallOperations &o) { return o.IntrudeSelectedUser(); }, kJoinRequest, 36, "3002", 0, kMediaPttAudio,
         kLineJoining, 10, 90000, "3|" + barge + "Driver 3002 (3002)|Interrupt-call"},
        {"intrusion into a voice call", [](Operations &t) { t.SelectUser("3002", 0x0003); },
         [](CCallOperations &o) { return o.IntrudeSelectedUser(); }, kJoinRequest, 6, "3002", 0, kMediaVoice,
         kLineJoining, 10, 90000, "1|" + barge + "Driver 3002 (3002)|Interrupt-call"},
        {"intrusion, voice and PTT", [](Operations &t) { t.SelectUser("3002", 0x0103); },
         [](CCallOperations &o) { return o.IntrudeSelectedUser(); }, kJoinRequest, 36, "3002", 0, kMediaPttAudio,
         kLineJoining, 10, 90000, "3|" + barge + "Driver 3002 (3002)|Interrupt-call"},
        {"forced release of a voice call", [](Operations &t) { t.SelectUser("3002", 0x0003); },
         [](CCallOperations &o) { return o.ForceReleaseSelectedUser(); }, kJoinRequest, 7, "3002", 0, kMediaVoice,
         kLineJoining, 11, 90000, "1|" + barge + "Driver 3002 (3002)|Forced REL"},
        {"monitoring of a PTT call", [](Operations &t) { t.SelectUser("3002", 0x0100); },
         [](CCallOperations &o) { return o.MonitorSelectedUser(); }, kJoinRequest, 38, "3002", 0, kMediaPttAudio,
         kLineJoining, 8, 90000, "3|" + barge + "Driver 3002 (3002)|Monitoring"},
        {"video upload", [](Operations &t) { t.SelectUser("3001"); },
         [](CCallOperations &o) { return o.StartSelectedUserVideoUpload(); }, kVpSetupRequest, 1, "3001", 0,
         kMediaVideoUpload, kLineCalling, 24, 3000, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Reset(3);
        c.select(*this);
        ASSERT_EQ(c.run(ops), 0);
        ASSERT_EQ(sessions.sent.size(), 1u);
        ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
        ASSERT_NE(line->session, nullptr);
        EXPECT_EQ(line->state, c.state);
        EXPECT_EQ(line->action, c.action);
        EXPECT_EQ(line->kind, c.kind);
        EXPECT_TRUE(line->timer->IsActive());
        EXPECT_EQ(line->timer->Period(), c.period);
        EXPECT_EQ(line->session->GetMediaKind(), uint32_t(c.kind));
        EXPECT_EQ(lines.Sessions().size(), 1u);
        EXPECT_EQ(host.status, c.status);
        if (c.kind == kMediaVideoCall || c.kind == kMediaVideoUpload) {
            EXPECT_EQ(line->session->GetVideoWindow(), host.tiles[0].get());
        }

        CallMessage m;
        if (c.code == kSetupRequest) {
            const auto sent = Sent(kSetupRequest, kSetupRequestLayout);
            ASSERT_EQ(sent.size(), 1u);
            m = sent[0];
            EXPECT_EQ(m.members.empty() ? "" : Digits(m.members[0]), c.target);
        } else if (c.code == kJoinRequest) {
            const auto sent = Sent(kJoinRequest, kJoinRequestLayout);
            ASSERT_EQ(sent.size(), 1u);
            m = sent[0];
            EXPECT_EQ(Digits(m.target), c.target);
        } else {
            const auto sent = Sent(kVpSetupRequest, kVpSetupRequestLayout);
            ASSERT_EQ(sent.size(), 1u);
            m = sent[0];
            EXPECT_EQ(Digits(m.target), c.target);
        }
        EXPECT_EQ(m.serviceType, c.type);
        if (c.code != kVpSetupRequest) {
            EXPECT_EQ(Digits(m.lineNumber), "5000");
        }
        if (c.groupId) {
            EXPECT_EQ(m.groupId, c.groupId);
        }
    }
}

// The conference lists exactly the available members; the ad hoc PTT group call names
// its first number and keeps the list in its peer text.
TEST_F(Operations, ListedMembersAndPeerTexts)
{
    SelectGroup();
    ASSERT_EQ(ops.StartGroupVoiceConference(), 0);
    const auto conf = Sent(kSetupRequest, kSetupRequestLayout);
    ASSERT_EQ(conf.size(), 1u);
    std::vector<std::string> listed;
    for (const auto &n : conf[0].members)
        listed.push_back(Digits(n));
    EXPECT_EQ(listed, (std::vector<std::string> {"3001", "3002"}));
    EXPECT_EQ(L("5000")->session->GetPeerId(), kGroupId);

    Reset(3);
    ASSERT_EQ(ops.StartPttGroupCall({"3001", "3002", "3004"}), 0);
    const auto ptt = Sent(kSetupRequest, kSetupRequestLayout);
    ASSERT_EQ(ptt.size(), 1u);
    EXPECT_EQ(ptt[0].serviceType, 32u);
    ASSERT_EQ(ptt[0].members.size(), 1u);
    EXPECT_EQ(Digits(ptt[0].members[0]), "3001");
    EXPECT_EQ(L("5000")->peer, "3001,3002,3004");
    EXPECT_EQ(L("5000")->action, kActionPttGroup);
    EXPECT_EQ(host.status, "3|Group: Ad hoc|");
}

// The server's answer completes the operation (state 3, no action, timer stopped) or
// releases the line (state 0, session gone).
TEST_F(Operations, TheAnswerCompletesOrReleasesTheLine)
{
    struct Case {
        const char *what;
        std::function<int(Operations &)> run;
        uint32_t answerCode;
        const MessageLayout *layout;
    };
    const std::vector<Case> cases = {
        {"voice call",
         [](Operations &t) {
             t.SelectUser("3001");
             return t.ops.StartSelectedUserVoiceCall();
         },
         kSetupResponse, &kSetupResponseLayout},
        {"monitoring",
         [](Operations &t) {
             t.SelectUser("3001", 0x0003);
             return t.ops.MonitorSelectedUser();
         },
         kJoinResponse, &kJoinResponseLayout},
        {"video upload",
         [](Operations &t) {
             t.SelectUser("3001");
             return t.ops.StartSelectedUserVideoUpload();
         },
         kVpSetupResponse, &kVpSetupResponseLayout},
    };
    for (const Case &c : cases) {
        for (uint8_t result : {uint8_t(0), uint8_t(2)}) {
            SCOPED_TRACE(std::string(c.what) + (result ? " refused" : " accepted"));
            Reset(3);
            ASSERT_EQ(c.run(*this), 0);
            ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
            Answer(line, c.answerCode, *c.layout, result);
            if (result == 0) {
                EXPECT_EQ(line->state, kLineConnected);
                EXPECT_EQ(line->action, kActionNone);
                EXPECT_FALSE(line->timer->IsActive());
                ASSERT_NE(line->session, nullptr);
                EXPECT_EQ(line->session->GetState(), kSessionOpen);
                EXPECT_EQ(sessions.mediaStarts, 1);
            } else {
                EXPECT_EQ(line->state, kLineIdle);
                EXPECT_EQ(line->session, nullptr);
                EXPECT_TRUE(lines.Sessions().empty());
            }
        }
    }
}

// A failed check, a missing line, tile or instance number, or a failed send: nothing is
// left behind (no session, no armed line, the instance number back in the pool).
TEST_F(Operations, FailuresLeaveNoSessionAndNoArmedLine)
{
    struct Case {
        const char *what;
        std::function<void(Operations &)> arrange;
        std::function<int(CCallOperations &)> run;
        std::size_t datagrams;
        bool fillsPool = false;
    };
    auto busyAll = [](Operations &t) {
        for (const auto &l : t.lines.Lines())
            l->action = kActionCall;
    };
    const std::vector<Case> cases = {
        {"PTT call with every line busy",
         [&](Operations &t) {
             t.SelectGroup();
             busyAll(t);
         },
         [](CCallOperations &o) { return o.StartGroupPttCall(); }, 0},
        {"a group the cache does not know", [](Operations &t) { t.SelectGroup(99); },
         [](CCallOperations &o) { return o.StartGroupPttCall(); }, 0},
        {"a user selected, group action", [](Operations &t) { t.SelectUser("3001"); },
         [](CCallOperations &o) { return o.JoinGroupPttCall(); }, 0},
        {"conference without available members",
         [](Operations &t) {
             t.SelectGroup();
             for (auto &u : t.host.members[kGroupId])
                 u.regState = 0;
         },
         [](CCallOperations &o) { return o.StartGroupVoiceConference(); }, 0},
        {"video call without a free tile",
         [](Operations &t) {
             t.SelectUser("3001");
             t.host.tiles.clear();
         },
         [](CCallOperations &o) { return o.StartSelectedUserVideoCall(); }, 0},
        {"the send fails",
         [](Operations &t) {
             t.SelectUser("3001");
             t.sessions.sendResult = -1;
         },
         [](CCallOperations &o) { return o.StartSelectedUserVoiceCall(); }, 1},
        {"the media cannot be made",
         [](Operations &t) {
             t.SelectUser("3001");
             t.sessions.media.create = false;
         },
         [](CCallOperations &o) { return o.StartSelectedUserPttCall(); }, 0},
        {"upload of an empty number", nullptr, [](CCallOperations &o) { return o.StartVideoUpload("", "x", -1); }, 0},
        {"upload on a server instance in use",
         [](Operations &t) { t.sessions.pool.Claim(7); },
         [](CCallOperations &o) { return o.StartVideoUpload("3001", "x", 7); }, 0},
        {"upload with the pool exhausted",
         [](Operations &t) {
             while (t.sessions.pool.Acquire() > 0) {
             }
         },
         [](CCallOperations &o) { return o.StartVideoUpload("3001", "x", -1); }, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Reset(3);
        sessions.pool = CSessionInstancePool {};
        if (c.arrange)
            c.arrange(*this);
        EXPECT_NE(c.run(ops), 0);
        EXPECT_EQ(sessions.sent.size(), c.datagrams);
        EXPECT_TRUE(lines.Sessions().empty());
        EXPECT_EQ(L("5000")->state, kLineIdle);
        EXPECT_EQ(L("5000")->session, nullptr);
        EXPECT_EQ(host.status, "");
        if (!c.fillsPool) {
            EXPECT_FALSE(sessions.pool.InUse(CSessionInstancePool::kFirstGranted));
        }
    }
    // The results the upload reports to its callers.
    Reset(3);
    EXPECT_EQ(ops.StartVideoUpload("", "x", -1), CCallOperations::kUploadNoNumber);
    host.tiles.clear();
    EXPECT_EQ(ops.StartVideoUpload("3001", "x", -1), CCallOperations::kUploadNoTile);
    lineHost.videoEnabled = false;
    EXPECT_EQ(ops.StartVideoUpload("3001", "x", -1), CCallOperations::kUploadNoLine);
}

// Releases of a line's session: the type on the wire, the line's own number, the line
// releasing (state 5, the action, 15 s) and freed by the release response.
TEST_F(Operations, ReleasesOfALine)
{
    struct Case {
        const char *what;
        std::function<int(Operations &)> start;
        std::function<int(Operations &)> release;
        uint32_t type;
        int32_t action;
    };
    const std::vector<Case> cases = {
        {"hang-up of a voice call",
         [](Operations &t) {
             t.SelectUser("3001");
             return t.ops.StartSelectedUserVoiceCall();
         },
         [](Operations &t) { return t.ops.HangupLine(t.L("5000")); }, 3, kActionRelease},
        {"hang-up of a PTT call",
         [](Operations &t) {
             t.SelectUser("3001");
             return t.ops.StartSelectedUserPttCall();
         },
         [](Operations &t) { return t.ops.HangupLine(t.L("5000")); }, 35, kActionRelease},
        {"the video tile's hang-up",
         [](Operations &t) {
             t.SelectUser("3001");
             return t.ops.StartSelectedUserVideoCall();
         },
         [](Operations &t) { return t.ops.HangupVideoWindow("3001", "Driver 3001"); }, 3, kActionRelease},
        {"REL PTT of the group's call",
         [](Operations &t) {
             t.SelectGroup();
             return t.ops.StartGroupPttCall();
         },
         [](Operations &t) { return t.ops.ReleaseGroupPttCall(); }, 42, kActionPttRelease},
        {"leaving the PTT call",
         [](Operations &t) {
             t.SelectGroup();
             return t.ops.StartGroupPttCall();
         },
         [](Operations &t) { return t.ops.ExitPttSession(); }, 35, kActionPttRelease},
        {"REL CONF",
         [](Operations &t) {
             t.SelectGroup();
             return t.ops.StartGroupVoiceConference();
         },
         [](Operations &t) { return t.ops.ReleaseConference(); }, 17, kActionReleaseConference},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Reset(3);
        ASSERT_EQ(c.start(*this), 0);
        ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
        Answer(line, kSetupResponse, kSetupResponseLayout, 0);
        ASSERT_EQ(line->state, kLineConnected);
        const int released = sessions.mediaReleased;
        sessions.sent.clear();
        ASSERT_EQ(c.release(*this), 0);
        const auto rel = Sent(kReleaseRequest, kReleaseRequestLayout);
        ASSERT_EQ(rel.size(), 1u);
        EXPECT_EQ(rel[0].serviceType, c.type);
        EXPECT_EQ(Digits(rel[0].lineNumber), "5000");
        if (c.type == 42) {
            EXPECT_EQ(rel[0].groupId, kGroupId);
        }
        EXPECT_EQ(line->state, kLineReleasing);
        EXPECT_EQ(line->action, c.action);
        EXPECT_EQ(line->timer->Period(), 15000);
        EXPECT_EQ(line->session->GetState(), kSessionReleasing);
        EXPECT_EQ(sessions.mediaReleased, released + 1); // the media stopped with the request

        // A second release of a releasing line sends nothing.
        EXPECT_NE(ops.HangupLine(line), 0);
        EXPECT_EQ(Sent(kReleaseRequest, kReleaseRequestLayout).size(), 1u);

        Answer(line, kReleaseResponse, kReleaseResponseLayout, 0);
        EXPECT_EQ(line->state, kLineIdle);
        EXPECT_EQ(line->session, nullptr);
        EXPECT_TRUE(lines.Sessions().empty());
    }
}

// "REL CONF" while the audio channel of a video conference (a voice line too) comes
// first in the table: the conference's own line is released, not the channel.
TEST_F(Operations, ReleaseConferenceFindsTheConferenceNotItsAudioChannel)
{
    auto channel = std::make_unique<CDispatchSession>(sessions, kServiceCall, kMediaVoice);
    channel->SetLocalParty("5000", 1, 0);
    CDispatchSession *ch = channel.get();
    lines.AddSession(std::move(channel));
    L("5000")->session = ch;
    L("5000")->kind = kMediaVoice;
    L("5000")->confAudio = 1;
    L("5000")->state = kLineConnected;

    SelectGroup();
    // The conference on the next line (set up directly: the channel counts as a call).
    auto conf = std::make_unique<CDispatchSession>(sessions, kServiceConference, kMediaVoice);
    conf->SetLocalParty("500001", 1, 0);
    conf->SetPeerGroup(kGroupId, "Patrol");
    CDispatchSession *cf = conf.get();
    lines.AddSession(std::move(conf));
    L("500001")->session = cf;
    L("500001")->kind = kMediaVoice;
    L("500001")->state = kLineConnected;

    ASSERT_EQ(ops.ReleaseConference(), 0);
    const auto rel = Sent(kReleaseRequest, kReleaseRequestLayout);
    ASSERT_EQ(rel.size(), 1u);
    EXPECT_EQ(rel[0].serviceType, 17u);
    EXPECT_EQ(Digits(rel[0].lineNumber), "500001");
    EXPECT_EQ(L("500001")->state, kLineReleasing);
    EXPECT_EQ(L("5000")->state, kLineConnected);
}

// Video upload stop (by the tile, the user action and the group action) sends the
// video-push release and frees the line on its response.
TEST_F(Operations, StopVideoUpload)
{
    SelectUser("3001");
    ASSERT_EQ(ops.StartSelectedUserVideoUpload(), 0);
    ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
    Answer(line, kVpSetupResponse, kVpSetupResponseLayout, 0);
    ASSERT_EQ(line->state, kLineConnected);
    sessions.sent.clear();
    ASSERT_EQ(ops.StopSelectedUserVideoUpload(), 0);
    EXPECT_EQ(Sent(kVpReleaseRequest, kVpReleaseRequestLayout).size(), 1u);
    EXPECT_EQ(line->state, kLineReleasing);
    EXPECT_EQ(line->action, kActionStopVideoUpload);
    EXPECT_EQ(line->timer->Period(), 3000);
    EXPECT_NE(ops.StopVideoUploadOfWindow("3001", ""), 0); // already stopping
    Answer(line, kVpReleaseResponse, kVpReleaseResponseLayout, 0);
    EXPECT_EQ(line->state, kLineIdle);
    EXPECT_TRUE(lines.Sessions().empty());
}

// Requests without a session: the message, its type and number or group; no line moves.
TEST_F(Operations, RequestsWithoutASession)
{
    struct Case {
        const char *what;
        std::function<void(Operations &)> select;
        std::function<int(CCallOperations &)> run;
        uint32_t code;
        uint32_t type;
        std::string number;
        uint32_t groupId;
    };
    const std::vector<Case> cases = {
        {"hang-up of a PTT user", [](Operations &t) { t.SelectUser("3002", 0x0100); },
         [](CCallOperations &o) { return o.ForceHangupSelectedUser(); }, kReleaseRequest, 39, "3002", 0},
        {"hang-up of a voice user", [](Operations &t) { t.SelectUser("3002", 0x0003); },
         [](CCallOperations &o) { return o.ForceHangupSelectedUser(); }, kReleaseRequest, 8, "3002", 0},
        {"terminal kill", [](Operations &t) { t.SelectUser("3002"); },
         [](CCallOperations &o) { return o.KillSelectedTerminal(); }, kModifyRequest, 40, "3002", 0},
        {"terminal revive", [](Operations &t) { t.SelectUser("3002"); },
         [](CCallOperations &o) { return o.ReviveSelectedTerminal(); }, kModifyRequest, 41, "3002", 0},
        {"REL PTT without a line of the group", [](Operations &t) { t.SelectGroup(); },
         [](CCallOperations &o) { return o.ReleaseGroupPttCall(); }, kReleaseRequest, 42, "", kGroupId},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Reset(3);
        c.select(*this);
        ASSERT_EQ(c.run(ops), 0);
        ASSERT_EQ(sessions.sent.size(), 1u);
        DispatchMessageHeader h;
        ASSERT_TRUE(DispatchMessageHeader::Read(sessions.sent[0].data(), sessions.sent[0].size(), h));
        EXPECT_EQ(h.messageCode, c.code);
        EXPECT_EQ(h.senderId, FakeSessionHost::kOwnId);
        const auto m = c.code == kModifyRequest ? Sent(kModifyRequest, kModifyRequestLayout)[0]
                                                : Sent(kReleaseRequest, kReleaseRequestLayout)[0];
        EXPECT_EQ(m.serviceType, c.type);
        if (!c.number.empty()) {
            EXPECT_EQ(Digits(m.target), c.number);
        }
        if (c.groupId) {
            EXPECT_EQ(m.groupId, c.groupId);
        }
        EXPECT_TRUE(lines.Sessions().empty());
        EXPECT_EQ(L("5000")->state, kLineIdle);
    }
}

// "Video Push" on a group of 20 registered members with 18 free lines and 2 uploads
// running starts 14 uploads (16 at most), skipping members who upload already, are
// offline or in a video call.
TEST_F(Operations, GroupVideoUploadStopsAtSixteen)
{
    Reset(20);
    while (host.tiles.size() < 20)
        host.tiles.push_back(std::make_unique<FakeTile>());
    std::vector<ST_ZOX_SYSTEM_USER> group;
    for (int i = 0; i < 20; ++i)
        group.push_back(User(std::to_string(4001 + i), "Unit", 1));
    group[5].regState = 3;          // disabled
    group[6].callState = 0x030000;  // in a video call
    host.members[kGroupId] = group;
    for (int i = 0; i < 2; ++i) {   // two members upload already
        auto s = std::make_unique<CDispatchSession>(sessions, kServiceCall, kMediaVideoUpload);
        s->AddMember(group[i].userNumber);
        CDispatchSession *p = s.get();
        lines.AddSession(std::move(s));
        ST_ZOX_DISPATCH_LINE_INFO *l = lines.Lines()[std::size_t(19 - i)].get();
        l->session = p;
        l->kind = kMediaVideoUpload;
        l->state = kLineConnected;
    }
    SelectGroup();
    EXPECT_EQ(ops.StartGroupVideoUpload(), 14);
    std::vector<std::string> targets;
    for (const auto &m : Sent(kVpSetupRequest, kVpSetupRequestLayout))
        targets.push_back(Digits(m.target));
    ASSERT_EQ(targets.size(), 14u);
    EXPECT_EQ(targets.front(), "4003");
    EXPECT_EQ(std::count(targets.begin(), targets.end(), "4006"), 0);
    EXPECT_EQ(std::count(targets.begin(), targets.end(), "4007"), 0);
    EXPECT_EQ(targets.back(), "4018");

    // "Stop Video" on the group stops the uploads of members the cache shows uploading.
    for (auto &u : host.members[kGroupId])
        u.vpState = 0x10000003;
    sessions.sent.clear();
    EXPECT_EQ(ops.StopGroupVideoUpload(), 16);
    EXPECT_EQ(Sent(kVpReleaseRequest, kVpReleaseRequestLayout).size(), 16u);
}

// The add-to menu: the conference first, a separator, one PTT entry per group with a
// call in progress; a PTT entry adds the user to the call of the group it names, the
// conference entry adds a member to the conference.
TEST_F(Operations, AddToMenuAndItsEntries)
{
    SelectGroup();
    ASSERT_EQ(ops.StartGroupVoiceConference(), 0);
    Answer(L("5000"), kSetupResponse, kSetupResponseLayout, 0);
    host.members[22] = {User("3100", "Boat", 1, 0x0100, 0, UserIdToHexKey(22))};
    host.members[kGroupId].push_back(User("3101", "Car", 1, 0x0100, 0, UserIdToHexKey(int32_t(kGroupId))));

    SelectUser("3009");
    const auto menu = ops.BuildAddToMenu();
    std::vector<std::string> captions;
    for (const auto &i : menu)
        captions.push_back(i.caption);
    EXPECT_EQ(captions, (std::vector<std::string> {"Voice CONF ( Patrol )", "-", "PTT Call ( Patrol )",
                                                  "PTT Call ( Harbour )"}));
    EXPECT_EQ(menu[3].tag, 22u);

    sessions.sent.clear();
    ASSERT_EQ(ops.OnAddToMenuItem(menu[3].caption, menu[3].tag), 0);
    const auto add = Sent(kSetupRequest, kSetupRequestLayout);
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].serviceType, 43u);
    EXPECT_EQ(add[0].groupId, 22u);
    EXPECT_EQ(L("500001")->state, kLineIdle);

    sessions.sent.clear();
    ASSERT_EQ(ops.OnAddToMenuItem(menu[0].caption, menu[0].tag), 0);
    const auto mod = Sent(kModifyRequest, kModifyRequestLayout);
    ASSERT_EQ(mod.size(), 1u);
    EXPECT_EQ(mod[0].serviceType, 18u);
    EXPECT_EQ(Digits(mod[0].target), "3009");
    EXPECT_EQ(L("5000")->action, kActionAddConferenceMember);
    EXPECT_EQ(L("5000")->operation, kAddMemberOperation);
    EXPECT_EQ(L("5000")->timer->Period(), 90000);
    EXPECT_EQ(L("5000")->state, kLineConnected);

    // While the member is being added the conference entry is gone.
    EXPECT_EQ(ops.BuildAddToMenu().front().caption, "PTT Call ( Patrol )");
}

// "Add User" on a group: the picked user joins the group's connected conference, or
// else the group's PTT call; a cancelled picker sends nothing.
TEST_F(Operations, AddUserToGroupCall)
{
    SelectGroup(22);
    host.picked = {};
    EXPECT_NE(ops.AddUserToGroupCall(), 0);
    EXPECT_TRUE(sessions.sent.empty());
    host.picked = User("3050", "New");
    ASSERT_EQ(ops.AddUserToGroupCall(), 0);
    const auto add = Sent(kSetupRequest, kSetupRequestLayout);
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].serviceType, 43u);
    EXPECT_EQ(add[0].groupId, 22u);
    ASSERT_FALSE(add[0].members.empty());
    EXPECT_EQ(Digits(add[0].members[0]), "3050");
}

// Speak: exactly the request on press and the release on release, on the PTT call's
// audio, with the speaker pane's texts; without a PTT call nothing is sent.
TEST_F(Operations, TalkBurstRequestAndRelease)
{
    EXPECT_NE(ops.RequestTalkBurst(), 0);
    EXPECT_TRUE(sessions.talkBursts.empty());
    SelectGroup();
    ASSERT_EQ(ops.StartGroupPttCall(), 0);
    Answer(L("5000"), kSetupResponse, kSetupResponseLayout, 0);
    ASSERT_EQ(ops.RequestTalkBurst(), 0);
    EXPECT_EQ(host.speaker, "Apply right to speak");
    ASSERT_EQ(ops.ReleaseTalkBurst(), 0);
    EXPECT_EQ(host.speaker, "Release the right to speak");
    EXPECT_EQ(sessions.talkBursts, (std::vector<uint8_t> {0, 4}));
}

// End all calls: every call line releases by its own kind (conference 17, PTT group
// call 35, anything else the hang-up); upload lines and releasing lines are left alone.
TEST_F(Operations, EndAllCallsReleasesEachCallByItsKind)
{
    Reset(5);
    struct Busy {
        const char *line;
        uint32_t type;
        uint32_t kind;
        int32_t state;
    };
    const Busy busy[] = {{"5000", kServiceConference, kMediaVoice, kLineConnected},
                         {"500001", kServicePttGroup, kMediaPttAudio, kLineConnected},
                         {"500002", kServiceCall, kMediaVideoCall, kLineCalling},
                         {"500003", kServiceCall, kMediaVideoUpload, kLineConnected},
                         {"500004", kServiceCall, kMediaVoice, kLineReleasing}};
    for (const Busy &b : busy) {
        auto s = std::make_unique<CDispatchSession>(sessions, b.type, b.kind);
        s->SetLocalParty(b.line, 1, 0);
        CDispatchSession *p = s.get();
        lines.AddSession(std::move(s));
        L(b.line)->session = p;
        L(b.line)->kind = int32_t(b.kind);
        L(b.line)->state = b.state;
    }
    EXPECT_EQ(ops.EndAllCalls(), 3);
    std::vector<std::pair<std::string, uint32_t>> rel;
    for (const auto &m : Sent(kReleaseRequest, kReleaseRequestLayout))
        rel.push_back({Digits(m.lineNumber), m.serviceType});
    EXPECT_EQ(rel, (std::vector<std::pair<std::string, uint32_t>> {{"5000", 17}, {"500001", 35}, {"500002", 3}}));
    EXPECT_EQ(L("500003")->state, kLineConnected);
}

// Chat: the program starts only when its file exists; "IM" needs the bridge and, for a
// group, an id above 0.
TEST_F(Operations, ChatProgramAndIm)
{
    EXPECT_FALSE(ops.StartChatProgram());
    EXPECT_TRUE(host.started.empty());
    host.files.insert("/opt/zox/quorva/Quorva.exe");
    EXPECT_TRUE(ops.StartChatProgram());
    EXPECT_EQ(host.started, (std::vector<std::string> {"/opt/zox/quorva/Quorva.exe dispatcher"}));

    SelectGroup(0);
    EXPECT_FALSE(ops.BeginGroupChat());
    SelectGroup();
    EXPECT_TRUE(ops.BeginGroupChat());
    SelectUser("3001");
    host.bridgeReady = false;
    EXPECT_FALSE(ops.BeginUserChat());
    host.bridgeReady = true;
    EXPECT_TRUE(ops.BeginUserChat());
    EXPECT_EQ(host.chats, (std::vector<std::string> {"1/21/", "0/0/3001"}));
}

// The starters' checks: a video call goes ahead beside the conference audio channel
// and not beside a PTT call; a voice call to an unknown (telephone) number is allowed,
// to an offline user not.
TEST_F(Operations, StartersByNumberFollowTheirChecks)
{
    struct Case {
        const char *what;
        std::function<void(Operations &)> arrange;
        std::function<int(CCallOperations &)> run;
        bool starts;
    };
    auto busyLine = [](Operations &t, int32_t kind, uint8_t confAudio) {
        auto s = std::make_unique<CDispatchSession>(t.sessions, kServiceCall, uint32_t(kind));
        CDispatchSession *p = s.get();
        t.lines.AddSession(std::move(s));
        ST_ZOX_DISPATCH_LINE_INFO *l = t.L("500002");
        l->session = p;
        l->kind = kind;
        l->confAudio = confAudio;
        l->state = kLineConnected;
    };
    const std::vector<Case> cases = {
        {"video call beside the conference audio channel", [&](Operations &t) { busyLine(t, kMediaVoice, 1); },
         [](CCallOperations &o) { return o.StartVideoCall("3001"); }, true},
        {"video call beside a PTT call", [&](Operations &t) { busyLine(t, kMediaPttAudio, 0); },
         [](CCallOperations &o) { return o.StartVideoCall("3001"); }, false},
        {"video call beside a voice call", [&](Operations &t) { busyLine(t, kMediaVoice, 0); },
         [](CCallOperations &o) { return o.StartVideoCall("3001"); }, false},
        {"video call to an offline user", nullptr, [](CCallOperations &o) { return o.StartVideoCall("3003"); }, false},
        {"voice call to a telephone number", nullptr, [](CCallOperations &o) { return o.StartVoiceCall("01234567"); },
         true},
        {"voice call to an offline user", nullptr, [](CCallOperations &o) { return o.StartVoiceCall("3003"); }, false},
        {"voice call while a call is connected", [&](Operations &t) { busyLine(t, kMediaVideoCall, 0); },
         [](CCallOperations &o) { return o.StartVoiceCall("3001"); }, false},
        {"PTT call to a user in a video call", nullptr, [](CCallOperations &o) { return o.StartPttCall("3004"); },
         true},
        {"upload of a user who uploads already",
         [](Operations &t) {
             auto s = std::make_unique<CDispatchSession>(t.sessions, kServiceCall, kMediaVideoUpload);
             s->AddMember("3001");
             CDispatchSession *p = s.get();
             t.lines.AddSession(std::move(s));
             t.L("500002")->session = p;
             t.L("500002")->kind = kMediaVideoUpload;
             t.L("500002")->state = kLineConnected;
         },
         [](CCallOperations &o) { return o.StartUserVideoUpload("3001"); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Reset(3);
        if (c.arrange)
            c.arrange(*this);
        const std::size_t before = lines.Sessions().size();
        EXPECT_EQ(c.run(ops) == 0, c.starts);
        EXPECT_EQ(lines.Sessions().size(), before + (c.starts ? 1 : 0));
        EXPECT_EQ(sessions.sent.size(), c.starts ? 1u : 0u);
    }
}

// The call progress panel follows a dialled call: failure at once, refusal, connection
// and its end; the hang-up button releases the dialled line.
TEST_F(Operations, CallProgressFollowsTheDialledCall)
{
    // Dialling while a call is connected fails at once.
    SelectUser("3001");
    ASSERT_EQ(ops.StartSelectedUserVoiceCall(), 0);
    Answer(L("5000"), kSetupResponse, kSetupResponseLayout, 0);
    EXPECT_NE(ops.DialNumber("3002"), 0);
    EXPECT_EQ(host.panelTexts, (std::vector<std::string> {"Calling ...", "Call failed"}));
    EXPECT_EQ(host.panelMode, 1);

    // Refused by the server: failed when the line is released from state 2.
    Reset(3);
    host.panelTexts.clear();
    lineHost.progress.clear();
    ASSERT_EQ(ops.DialNumber("3002"), 0);
    EXPECT_EQ(L("5000")->fromProgress, 1);
    Answer(L("5000"), kSetupResponse, kSetupResponseLayout, 2);
    ASSERT_FALSE(lineHost.progress.empty());
    for (auto [o, n] : lineHost.progress)
        ops.OnCallLineStateChanged(o, n);
    EXPECT_EQ(host.panelTexts, (std::vector<std::string> {"Calling ...", "Call failed"}));
    EXPECT_TRUE(host.panelShown);
    EXPECT_EQ(L("5000")->fromProgress, 0);

    // Connected, then ended by the server: the panel goes away.
    Reset(3);
    host.panelTexts.clear();
    lineHost.progress.clear();
    ASSERT_EQ(ops.DialNumber("3002"), 0);
    Answer(L("5000"), kSetupResponse, kSetupResponseLayout, 0);
    ops.HangupLine(L("5000"));
    Answer(L("5000"), kReleaseResponse, kReleaseResponseLayout, 0);
    for (auto [o, n] : lineHost.progress)
        ops.OnCallLineStateChanged(o, n);
    EXPECT_EQ(host.panelTexts, (std::vector<std::string> {"Calling ...", "Connected ..."}));
    EXPECT_FALSE(host.panelShown);

    // The hang-up button releases the voice line that calls the panel's number.
    Reset(3);
    ASSERT_EQ(ops.DialNumber("3002"), 0);
    sessions.sent.clear();
    EXPECT_EQ(ops.CancelCallProgress(), 1);
    EXPECT_FALSE(host.panelShown);
    ASSERT_EQ(Sent(kReleaseRequest, kReleaseRequestLayout).size(), 1u);
    EXPECT_EQ(L("5000")->state, kLineReleasing);
}

// Call again: the panel shows afresh at once and the call starts after the pause, on a
// timer; a second press during the pause, or closing the panel, dials nothing more.
TEST_F(Operations, RedialWaitsWithoutBlocking)
{
    EXPECT_NE(ops.DialNumber("3003"), 0); // offline: failed, call-again offered
    host.panelTexts.clear();
    ops.RedialCallProgress();
    ops.RedialCallProgress();
    ASSERT_EQ(host.later.size(), 1u);
    EXPECT_EQ(host.later[0].first, 500);
    EXPECT_EQ(host.panelTexts, (std::vector<std::string> {"Calling ..."}));
    EXPECT_TRUE(sessions.sent.empty());
    sessions.users["3003"].regState = 1;
    host.later[0].second();
    EXPECT_EQ(sessions.sent.size(), 1u);
    EXPECT_EQ(L("5000")->fromProgress, 1);

    Reset(3);
    host.later.clear();
    sessions.users["3003"].regState = 1;
    host.panelShown = true;
    host.panelNumber = "3003";
    ops.RedialCallProgress();
    ops.HideCallProgress();
    ASSERT_EQ(host.later.size(), 1u);
    host.later[0].second();
    EXPECT_TRUE(sessions.sent.empty());
    EXPECT_FALSE(ops.IsRedialPending());
}

} // namespace
