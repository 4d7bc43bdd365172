// The dispatch-line table on a clock the test drives: building it from the login's
// lines, the lookups, each pending action's time limit and what its expiry releases,
// and the membership updates of the user state notices.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/DispatchLineTable.h"

using namespace zoxtest;

namespace {

ST_ZOX_SYSTEM_LINE Line(const std::string &name, uint8_t status, uint8_t softPhone = 1)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = status;
    l.softPhone = softPhone;
    return l;
}

class LineTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.RebuildDispatchLines({Line("5000", 1), Line("500001", 2), Line("500002", 1, 0), Line("500003", 1)});
    }

    ST_ZOX_DISPATCH_LINE_INFO *L(const std::string &n) { return table.FindLineByName(n); }

    // A session on the line, in the list, with the given members; the line busy.
    CDispatchSession *Carry(ST_ZOX_DISPATCH_LINE_INFO *line, uint32_t type, uint32_t kind, int32_t lineState,
                            std::vector<std::string> members = {"3001"}, int32_t sessionState = kSessionOpen)
    {
        auto s = std::make_unique<CDispatchSession>(sessions, type, kind);
        for (const auto &m : members)
            s->AddMember(m);
        s->SetState(sessionState);
        CDispatchSession *p = s.get();
        table.AddSession(std::move(s));
        line->session = p;
        line->kind = int32_t(kind);
        line->state = lineState;
        return p;
    }

    FakeLineHost host;
    FakeSessionHost sessions;
    CDispatchLineTable table {host};
};

TEST_F(LineTable, BuiltFromAcceptedLinesInOrder)
{
    const auto &lines = table.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->lineNumber, "5000");
    EXPECT_EQ(lines[1]->lineNumber, "500002");
    EXPECT_EQ(lines[1]->softPhone, 0);
    EXPECT_EQ(lines[2]->softPhone, 1);
    EXPECT_EQ(L("500001"), nullptr);
    EXPECT_EQ(table.CountFreeLines(), 3);
    for (const auto &l : lines)
        EXPECT_FALSE(l->timer->IsActive());

    // Rebuilt: a session the old table carried stays alive in the list.
    CDispatchSession *s = Carry(L("5000"), 1, kMediaVoice, kLineConnected);
    table.RebuildDispatchLines({Line("5000", 2)});
    EXPECT_TRUE(table.Lines().empty());
    EXPECT_EQ(table.GetFreeLine(false), nullptr);
    EXPECT_EQ(table.GetFreeLine(true), nullptr);
    EXPECT_EQ(table.FindSessionByInstance(s->GetInstance()), s);
}

TEST_F(LineTable, FreeLineRules)
{
    struct Row {
        const char *name;
        uint32_t busyKind; // 0: no busy line
        bool video;
        bool videoEnabled;
        const char *expected;
    } rows[] = {
        {"AllFree", 0, false, true, "5000"},
        {"VoiceCallBlocksVoice", kMediaVoice, false, true, nullptr},
        {"PttCallBlocksVoice", kMediaPttAudio, false, true, nullptr},
        {"UploadDoesNotBlock", kMediaVideoUpload, false, true, "500002"},
        {"VideoWhileInCall", kMediaVoice, true, true, "500002"},
        {"VideoDisabled", 0, true, false, nullptr},
    };
    for (const Row &r : rows) {
        SetUp();
        table.DropAllSessions();
        host.videoEnabled = r.videoEnabled;
        if (r.busyKind)
            Carry(L("5000"), 1, r.busyKind, kLineConnected);
        ST_ZOX_DISPATCH_LINE_INFO *free = table.GetFreeLine(r.video);
        EXPECT_EQ(free ? free->lineNumber : std::string("none"), r.expected ? r.expected : "none") << r.name;
    }
}

TEST_F(LineTable, LookupsFindBusyLinesByKindAndMember)
{
    Carry(L("5000"), 14, kMediaVoice, kLineConnected, {"3001", "3002"});
    Carry(L("500002"), 1, kMediaVideoCall, kLineConnected, {"3003"});
    Carry(L("500003"), 1, kMediaVideoUpload, kLineCalling, {"3004"});
    EXPECT_EQ(table.FindLineByKey(kMediaVideoCall), L("500002"));
    EXPECT_EQ(table.FindLineBySessionUser("3002"), L("5000"));
    EXPECT_EQ(table.FindLineBySessionUser("3004"), nullptr); // an upload is no call
    EXPECT_EQ(table.FindVideoCallLine("3003"), L("500002"));
    EXPECT_EQ(table.FindVideoCallLine("3001"), nullptr);
    EXPECT_EQ(table.FindVideoUploadLine("3004"), L("500003"));
    EXPECT_EQ(table.FindActiveGroupLine(), L("5000"));
    EXPECT_TRUE(table.IsAnyLineInCall());
    std::vector<CDispatchSession *> video {nullptr, nullptr};
    table.CollectVideoCallSessions(video);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0], L("500002")->session);
    EXPECT_EQ(table.CountFreeLines(), 0);

    L("5000")->state = kLineIdle; // a line that is not busy is no match
    EXPECT_EQ(table.FindLineBySessionUser("3002"), nullptr);
    EXPECT_EQ(table.FindActiveGroupLine(), nullptr);
}

// Each pending action: nothing happens one ms before its time limit; at the limit the
// line is released (its session destroyed) or, for a member add whose conference still
// has members, only the action is cleared.
struct ActionCase {
    int32_t action;
    int periodMs;
    bool sessionHasMembers;
    bool released;
};

class LineActionTimeout : public LineTable, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(LineActionTimeout, ExpiryReleasesOrClears)
{
    const ActionCase &c = GetParam();
    ST_ZOX_DISPATCH_LINE_INFO *line = L("500003");
    CDispatchSession *s = Carry(line, 14, kMediaVoice, kLineConnected,
                                c.sessionHasMembers ? std::vector<std::string> {"3001"} : std::vector<std::string> {});
    const int32_t instance = s->GetInstance();
    table.SetLineAction(line, c.action, "op", "peer");
    EXPECT_EQ(line->timer->Period(), c.periodMs);
    host.clock.Advance(c.periodMs - 1);
    ASSERT_EQ(line->action, c.action);
    ASSERT_EQ(line->session, s);
    host.clock.Advance(1);
    EXPECT_EQ(line->action, kActionNone);
    EXPECT_EQ(line->operation, "");
    EXPECT_EQ(line->peer, "");
    EXPECT_FALSE(line->timer->IsActive());
    if (c.released) {
        EXPECT_EQ(line->state, kLineIdle);
        EXPECT_EQ(line->session, nullptr);
        EXPECT_EQ(line->kind, kMediaNone);
        EXPECT_EQ(table.FindSessionByInstance(instance), nullptr);
        EXPECT_FALSE(sessions.pool.InUse(instance));
    } else {
        EXPECT_EQ(line->state, kLineConnected);
        EXPECT_EQ(line->session, s);
    }
    host.clock.Advance(200000); // stopped: nothing more
    EXPECT_EQ(table.Sessions().size(), c.released ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineActionTimeout,
    ::testing::Values(ActionCase {kActionCall, 120000, true, true}, ActionCase {kActionRelease, 15000, true, true},
                      ActionCase {kActionMonitor, 90000, true, true}, ActionCase {kActionPttRelease, 15000, true, true},
                      ActionCase {kActionIntrude, 90000, true, true}, ActionCase {kActionForceRelease, 90000, true, true},
                      ActionCase {kActionAdHocGroup, 120000, true, true},
                      ActionCase {kActionConference, 120000, true, true},
                      ActionCase {kActionReleaseConference, 15000, true, true},
                      ActionCase {kActionAddConferenceMember, 90000, true, false},
                      ActionCase {kActionAddConferenceMember, 90000, false, true},
                      ActionCase {kActionPttPrivate, 120000, true, true},
                      ActionCase {kActionPttGroup, 120000, true, true},
                      ActionCase {kActionPttJoinGroup, 90000, true, true},
                      ActionCase {kActionVideoUpload, 3000, true, true},
                      ActionCase {kActionStopVideoUpload, 3000, true, true}),
    [](const auto &info) {
        return "Action" + std::to_string(info.param.action) + (info.param.sessionHasMembers ? "" : "Empty");
    });

TEST_F(LineTable, ClearedActionStopsItsTimer)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
    CDispatchSession *s = Carry(line, 1, kMediaVoice, kLineCalling);
    table.SetLineAction(line, kActionCall, "call", "3001");
    host.clock.Advance(60000);
    table.ClearLineAction(line);
    table.SetLineState(line, kLineConnected);
    host.clock.Advance(120000);
    EXPECT_EQ(line->session, s);
    EXPECT_EQ(line->state, kLineConnected);
}

TEST_F(LineTable, LeavingRingingOrCallingStopsTheSoundOnSoftPhones)
{
    struct Row {
        const char *line;
        int32_t from;
        int32_t to;
        int ringIn;
        int ringBack;
    } rows[] = {
        {"5000", kLineRinging, kLineIdle, 1, 0},      {"5000", kLineRinging, kLineConnected, 1, 0},
        {"5000", kLineCalling, kLineConnected, 0, 1}, {"5000", kLineRinging, kLineRinging, 0, 0},
        {"500002", kLineRinging, kLineIdle, 0, 0},    {"500002", kLineCalling, kLineIdle, 0, 0},
    };
    for (const Row &r : rows) {
        host.ringInStops = host.ringBackStops = 0;
        L(r.line)->state = r.from;
        table.SetLineState(L(r.line), r.to);
        EXPECT_EQ(host.ringInStops, r.ringIn) << r.line << " " << r.from << "->" << r.to;
        EXPECT_EQ(host.ringBackStops, r.ringBack) << r.line << " " << r.from << "->" << r.to;
    }
}

TEST_F(LineTable, ReleasedRingingLineTellsProgressAndClearsStatus)
{
    ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
    Carry(line, 1, kMediaVoice, kLineRinging);
    line->fromProgress = 1;
    line->confAudio = 1;
    const int buttons = host.buttonRefreshes;
    table.ReleaseLine(line);
    EXPECT_EQ(host.ringInStops, 1);
    EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>> {{kLineRinging, kLineIdle}}));
    EXPECT_EQ(host.statusCleared, 1);
    EXPECT_EQ(host.buttonRefreshes, buttons + 1);
    EXPECT_EQ(line->fromProgress, 0);
    EXPECT_EQ(line->confAudio, 0);
    EXPECT_TRUE(table.Sessions().empty());
}

TEST_F(LineTable, StatusStaysWhileAnotherLineIsInACall)
{
    Carry(L("5000"), 1, kMediaVoice, kLineConnected);
    Carry(L("500002"), 1, kMediaPttAudio, kLineConnected);
    table.ReleaseLine(L("5000"));
    EXPECT_EQ(host.statusCleared, 0);
    table.ReleaseLine(L("500002"));
    EXPECT_EQ(host.statusCleared, 1);
}

TEST_F(LineTable, LastVideoCallReleasesTheConferenceAudio)
{
    Carry(L("5000"), 1, kMediaVideoCall, kLineConnected);
    Carry(L("500002"), 1, kMediaVideoCall, kLineConnected);
    Carry(L("500003"), 14, kMediaVoice, kLineConnected); // a voice session is not counted
    table.ReleaseLine(L("5000"));
    EXPECT_EQ(host.confAudioReleases, 0);
    L("500002")->state = kLineReleasing; // a releasing call no longer counts
    CDispatchSession *s = table.Sessions()[0].get();
    ASSERT_EQ(s->GetMediaKind(), kMediaVideoCall);
    table.DestroySession(s);
    EXPECT_EQ(host.confAudioReleases, 1);
    EXPECT_EQ(L("500002")->session, nullptr);
    table.ReleaseLine(L("500003"));
    EXPECT_EQ(host.confAudioReleases, 1);
}

TEST_F(LineTable, DroppedSessionsSendNothingAndLeaveNoDanglingLine)
{
    Carry(L("5000"), 1, kMediaVoice, kLineConnected);
    Carry(L("500002"), 1, kMediaVideoCall, kLineConnected);
    table.DropAllSessions();
    EXPECT_TRUE(table.Sessions().empty());
    EXPECT_EQ(L("5000")->session, nullptr);
    EXPECT_EQ(L("500002")->session, nullptr);
    EXPECT_TRUE(sessions.sent.empty());
    EXPECT_FALSE(sessions.pool.InUse(33));
    EXPECT_FALSE(sessions.pool.InUse(34));
}

// The user state notice of an own line: members that left the line's call are pruned,
// and a connected call without members and without pending operation is released.
TEST_F(LineTable, OwnLineNoticePrunesAndReleases)
{
    struct Row {
        const char *name;
        const char *line;
        int32_t lineState;
        int32_t action;
        std::string callRef;
        bool released;
        std::size_t membersLeft;
    } rows[] = {
        {"LeftTheCall", "5000", kLineConnected, kActionNone, "0000000A", true, 0},
        {"EmptyReference", "5000", kLineConnected, kActionNone, "", false, 1},
        {"StillInTheCall", "5000", kLineConnected, kActionNone, "0000000B", false, 1},
        {"OperationPending", "5000", kLineConnected, kActionAddConferenceMember, "0000000A", false, 0},
        {"NotConnected", "5000", kLineCalling, kActionNone, "0000000A", false, 0},
        {"NotSoftPhone", "500002", kLineConnected, kActionNone, "0000000A", false, 1},
    };
    for (const Row &r : rows) {
        SetUp();
        table.DropAllSessions();
        sessions.AddUser("3001", "", 0x03, "0000000B");
        ST_ZOX_DISPATCH_LINE_INFO *line = L(r.line);
        CDispatchSession *s = Carry(line, 1, kMediaVoice, r.lineState);
        line->action = r.action;
        table.RemoveUserFromLine(r.line, 1, r.callRef, 0x03);
        EXPECT_EQ(line->state == kLineIdle && line->session == nullptr, r.released) << r.name;
        if (!r.released) {
            EXPECT_EQ(s->Members().size(), r.membersLeft) << r.name;
        }
    }
    table.RemoveUserFromLine("9999", 1, "0000000A", 3); // no such line: nothing
}

TEST_F(LineTable, UserSessionEventRemovesMembersThatLeft)
{
    struct Row {
        const char *name;
        uint32_t callState;
        std::string callRef;
        int32_t lineState;
        bool tiedToLine;
        bool removed;
    } rows[] = {
        {"IdleUserLeavesConnectedCall", 0, "", kLineConnected, false, true},
        {"InAnotherCall", 0x03, "0000000C", kLineConnected, false, true},
        {"InAnotherPttCall", 0x0100, "0000000C", kLineConnected, false, true},
        {"InThisLinesCall", 0x03, "0000000B", kLineConnected, true, false},
        {"RingingLineKeepsMember", 0, "", kLineRinging, false, false},
        {"CallingUserStays", 0x01, "0000000C", kLineConnected, false, false},
    };
    for (const Row &r : rows) {
        SetUp();
        table.DropAllSessions();
        host.lineUsers.clear();
        if (r.tiedToLine)
            host.lineUsers.insert("5000/" + r.callRef);
        CDispatchSession *s = Carry(L("5000"), 14, kMediaVoice, r.lineState, {"3001", "3002"});
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = "3001";
        u.callState = r.callState;
        u.callRef = r.callRef;
        const int buttons = host.buttonRefreshes;
        table.OnUserSessionEvent(u);
        EXPECT_EQ(!s->HasMember("3001"), r.removed) << r.name;
        EXPECT_GT(host.buttonRefreshes, buttons) << r.name;
    }
}

TEST_F(LineTable, LastMemberRemovedReleasesAnOpenCall)
{
    struct Row {
        int32_t sessionState;
        int32_t action;
        bool released;
    } rows[] = {{kSessionOpen, kActionNone, true}, {kSessionOpen, kActionAddConferenceMember, false},
                {kSessionAlerting, kActionNone, false}};
    for (const Row &r : rows) {
        SetUp();
        table.DropAllSessions();
        ST_ZOX_DISPATCH_LINE_INFO *line = L("5000");
        Carry(line, 1, kMediaVoice, kLineConnected, {"3001"}, r.sessionState);
        line->action = r.action;
        table.RemoveLineMember(line, "3001");
        EXPECT_EQ(line->session == nullptr, r.released) << r.sessionState << "/" << r.action;
    }
    table.RemoveLineMember(nullptr, "3001");
    table.RemoveLineMember(L("500003"), "3001"); // no session: nothing
}

TEST(LineTableEmpty, EveryLookupToleratesNoLines)
{
    FakeLineHost host;
    CDispatchLineTable table(host);
    EXPECT_EQ(table.CountFreeLines(), 0);
    EXPECT_EQ(table.GetFreeLine(false), nullptr);
    EXPECT_EQ(table.FindLineByName("5000"), nullptr);
    EXPECT_EQ(table.FindLineByKey(1), nullptr);
    EXPECT_EQ(table.FindLineBySessionUser("1"), nullptr);
    EXPECT_EQ(table.FindActiveGroupLine(), nullptr);
    EXPECT_FALSE(table.IsAnyLineInCall());
    ST_ZOX_SYSTEM_USER u;
    table.OnUserSessionEvent(u);
    table.OnLineTimerOut(nullptr);
    table.ReleaseLine(nullptr);
    table.SetLineState(nullptr, 3);
}

} // namespace
