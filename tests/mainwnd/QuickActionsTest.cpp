// The quick actions' enable tests over selections, call states, dispatch lines and the
// cache; the task buttons' tests; the contacts book's reachability check.
#include "console/MainListRules.h"
#include "console/QuickActions.h"
#include "core/NumberUtils.h"

#include "../dispatch/DispatchFakes.h"
#include "tests/support/FakeDispatchReads.h"

#include <gtest/gtest.h>

using namespace zox::quick;
using namespace zox::mainwnd;

namespace {

class FakeQuickHost : public IQuickActionHost {
public:
    bool IsVideoEnabled() const override { return video; }
    uint8_t OwnPriority() const override { return priority; }
    bool IsBridgeReady() const override { return bridge; }
    bool HasRtspClient() const override { return rtsp; }
    bool IsRtspPlaying(int type, const std::string &number) const override
    {
        return playing == std::to_string(type) + "/" + number;
    }
    bool IsCallProgressShownInPanel() const override { return progressShown; }

    bool video = true;
    uint8_t priority = 5;
    bool bridge = true;
    bool rtsp = true;
    std::string playing;
    bool progressShown = false;
};

constexpr int kGroup = 7;

class QuickActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<ST_ZOX_SYSTEM_LINE> lines;
        for (int i = 0; i < 4; ++i) {
            ST_ZOX_SYSTEM_LINE l;
            l.lineName = "50000" + std::to_string(i);
            l.status = 1;
            lines.push_back(l);
        }
        table.RebuildDispatchLines(lines);
        rules.SetCache(&cache);
    }

    // Line i carries a call of this kind and service with these members.
    ST_ZOX_DISPATCH_LINE_INFO *Busy(int i, int32_t state, int32_t kind, uint32_t service,
                                    std::vector<std::string> members = {}, uint32_t peerId = 0)
    {
        ST_ZOX_DISPATCH_LINE_INFO *line = table.Lines()[static_cast<std::size_t>(i)].get();
        auto session = std::make_unique<CDispatchSession>(sessionHost, service, static_cast<uint32_t>(kind));
        session->SetPeerGroup(peerId, "group");
        for (const std::string &m : members)
            session->AddMember(m);
        line->session = session.get();
        table.AddSession(std::move(session));
        line->state = state;
        line->kind = kind;
        return line;
    }
    void FillLines()
    {
        for (int i = 0; i < 4; ++i)
            Busy(i, kLineConnected, kMediaVideoUpload, kServiceCall, {"8" + std::to_string(i)});
    }

    void SelectUser(const std::string &number, int type, uint8_t regState, uint32_t callState, uint8_t priority = 2)
    {
        sel = ST_ZOX_CURRENT_SELECTION{};
        sel.kind = kSelectUser;
        sel.targetType = type;
        sel.groupType = kGroupTypeServer;
        sel.groupId = kGroup;
        sel.user.userNumber = number;
        sel.user.regState = regState;
        sel.user.callState = callState;
        sel.user.priority = priority;
        sel.user.userType = static_cast<uint8_t>(type == kUserTypeCamera ? 0 : type);
    }
    void SelectGroup(int id = kGroup)
    {
        sel = ST_ZOX_CURRENT_SELECTION{};
        sel.kind = kSelectGroup;
        sel.groupType = kGroupTypeServer;
        sel.groupId = id;
    }
    std::string Key() const { return UserIdToHexKey(kGroup); }

    zoxtest::FakeLineHost lineHost;
    zoxtest::FakeSessionHost sessionHost;
    CDispatchLineTable table{lineHost};
    FakeQuickHost host;
    zoxtest::FakeDispatchReads cache;
    ST_ZOX_CURRENT_SELECTION sel;
    CQuickActions rules{sel, table, host};
};

// What the console is doing while the user action is tested.
enum Calls { kNoCalls, kVoiceElsewhere, kVideoElsewhere, kPttElsewhere, kConfAudioLeg };

TEST_F(QuickActions, UserActionsOverTargetsAndCallStates)
{
    struct Case {
        const char *what;
        int type;
        uint8_t regState;
        uint32_t callState;
        uint8_t priority; // the console's is 5
        Calls calls;
        bool hangup, barge, kill, revive, ptt, voice, video;
    };
    const Case cases[] = {
        {"in a voice call", kUserTypeDispatch, 1, 0x00000003, 2, kNoCalls, true, true, true, false, true, true, true},
        {"in a video call", kUserTypeDispatch, 1, 0x00030000, 2, kNoCalls, true, false, true, false, true, true, true},
        {"in a PTT call", kUserTypeDispatch, 1, 0x00000100, 2, kNoCalls, true, true, true, false, true, true, true},
        {"calling out", kUserTypeDispatch, 1, 0x00000001, 2, kNoCalls, false, false, true, false, true, true, true},
        {"ringing", kUserTypeDispatch, 1, 0x00000002, 2, kNoCalls, false, false, true, false, true, true, true},
        {"equal priority", kUserTypeDispatch, 1, 0x00000003, 5, kNoCalls, true, false, true, false, true, true, true},
        {"higher priority", kUserTypeDispatch, 1, 0x00000100, 6, kNoCalls, true, false, true, false, true, true, true},
        {"console in a voice call", kUserTypeDispatch, 1, 0x00000003, 2, kVoiceElsewhere, true, false, true, false,
         false, false, false},
        {"console in a video call", kUserTypeDispatch, 1, 0, 2, kVideoElsewhere, false, false, true, false, false,
         false, true},
        {"console in a PTT call", kUserTypeDispatch, 1, 0, 2, kPttElsewhere, false, false, true, false, false, false,
         false},
        {"console on a conference's audio leg", kUserTypeDispatch, 1, 0, 2, kConfAudioLeg, false, false, true, false,
         false, false, true},
        {"offline", kUserTypeDispatch, 0, 0x00000003, 2, kNoCalls, false, false, true, false, false, false, false},
        {"disabled", kUserTypeDispatch, 3, 0, 2, kNoCalls, false, false, false, true, false, false, false},
        {"vehicle in a call", kUserTypeVehicle, 1, 0x00000003, 2, kNoCalls, true, true, true, false, true, false,
         false},
        {"disabled vehicle", kUserTypeVehicle, 3, 0, 2, kNoCalls, false, false, false, true, false, false, false},
        {"camera", kUserTypeCamera, 1, 0x00000003, 2, kNoCalls, false, false, false, false, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        table.DropAllSessions();
        SetUp(); // idle lines again
        if (c.calls == kVoiceElsewhere || c.calls == kConfAudioLeg)
            Busy(0, kLineConnected, kMediaVoice, kServiceCall, {"3001"})->confAudio = c.calls == kConfAudioLeg;
        if (c.calls == kVideoElsewhere)
            Busy(0, kLineConnected, kMediaVideoCall, kServiceCall, {"3001"});
        if (c.calls == kPttElsewhere)
            Busy(0, kLineConnected, kMediaPttAudio, kServicePttPrivate, {"3001"});
        SelectUser("1001", c.type, c.regState, c.callState, c.priority);
        EXPECT_EQ(rules.IsEnabled(kQuickUserHangup), c.hangup);
        for (int barge : {kQuickUserIntrusion, kQuickUserForcedRel, kQuickUserMonitor})
            EXPECT_EQ(rules.IsEnabled(barge), c.barge) << barge;
        EXPECT_EQ(rules.IsEnabled(kQuickUserUeKill), c.kill);
        EXPECT_EQ(rules.IsEnabled(kQuickUserUeRevive), c.revive);
        EXPECT_EQ(rules.IsEnabled(kQuickUserPttCall), c.ptt);
        EXPECT_EQ(rules.IsEnabled(kQuickUserVoiceCall), c.voice);
        EXPECT_EQ(rules.IsEnabled(kQuickUserVideoCall), c.video);
    }
}

TEST_F(QuickActions, CallWithTheSameUserOnItsOwnKindOfLine)
{
    // A console with video enabled can hold a video call while no voice or PTT call runs;
    // the user already in it is not called again.
    Busy(0, kLineConnected, kMediaVideoCall, kServiceCall, {"1001"});
    SelectUser("1001", kUserTypeDispatch, 1, 0x00030000);
    EXPECT_FALSE(rules.CanStartUserVideoCall());
    SelectUser("1002", kUserTypeDispatch, 1, 0);
    EXPECT_TRUE(rules.CanStartUserVideoCall());
}

TEST_F(QuickActions, UserVideoPushAndStop)
{
    SelectUser("1001", kUserTypeDispatch, 1, 0);
    EXPECT_TRUE(rules.IsEnabled(kQuickUserVideoPush));
    EXPECT_FALSE(rules.IsEnabled(kQuickUserStopVideo));

    host.video = false;
    EXPECT_FALSE(rules.IsEnabled(kQuickUserVideoPush));
    host.video = true;

    SelectUser("1001", kUserTypeDispatch, 1, 0x00010000); // a video call being set up
    EXPECT_FALSE(rules.IsEnabled(kQuickUserVideoPush));

    SelectUser("1001", kUserTypeDispatch, 1, 0);
    Busy(0, kLineConnected, kMediaVideoUpload, kServiceCall, {"1001"});
    EXPECT_FALSE(rules.IsEnabled(kQuickUserVideoPush));
    EXPECT_TRUE(rules.IsEnabled(kQuickUserStopVideo));
    // An unregistered user's upload is not stopped from here.
    SelectUser("1001", kUserTypeDispatch, 0, 0);
    EXPECT_FALSE(rules.IsEnabled(kQuickUserStopVideo));

    // Another user, but no free line left.
    SelectUser("1002", kUserTypeDispatch, 1, 0);
    EXPECT_TRUE(rules.IsEnabled(kQuickUserVideoPush));
    for (int i = 1; i < 4; ++i)
        Busy(i, kLineConnected, kMediaVideoUpload, kServiceCall, {"900" + std::to_string(i)});
    EXPECT_FALSE(rules.IsEnabled(kQuickUserVideoPush));
}

TEST_F(QuickActions, GroupActionsNeedAGroupSelection)
{
    cache.Add("1001", "A");
    cache.AddGroup(kGroup, "Patrol", {"1001"});
    SelectGroup();
    EXPECT_TRUE(rules.IsEnabled(kQuickGroupPttCall));
    // A user tile of the group is selected: the group is still listed but its actions are off.
    SelectUser("1001", kUserTypeDispatch, 1, 0);
    for (int i = kQuickGroupVideoPush; i <= kQuickGroupIm; ++i)
        EXPECT_FALSE(rules.IsEnabled(i)) << i;
    // The fixed groups are no server groups.
    sel.kind = kSelectGroup;
    sel.groupType = kGroupTypeAllUsers;
    sel.groupId = 0xFFFF;
    for (int i = kQuickGroupVideoPush; i <= kQuickGroupIm; ++i)
        EXPECT_FALSE(rules.IsEnabled(i)) << i;
    // Nor does a group enable user actions.
    SelectGroup();
    for (int i = kQuickUserVideoPush; i <= kQuickUserIm; ++i)
        EXPECT_FALSE(rules.IsEnabled(i)) << i;
}

TEST_F(QuickActions, GroupPttAndConferenceNeedAnAvailableMember)
{
    cache.Add("1001", "offline", 0);
    cache.Add("1002", "disabled", 3);
    cache.Add("1003", "busy", 1, 0x00000003);
    cache.Add("1004", "hidden", 1, 0, 0, 4);
    cache.Add("1005", "truck", 1, 0, kUserTypeVehicle);
    cache.AddGroup(kGroup, "Patrol", {"1001", "1002", "1003", "1004"});
    SelectGroup();
    EXPECT_FALSE(rules.CanStartGroupPtt());
    EXPECT_FALSE(rules.CanStartGroupConference());

    // A vehicle counts for a PTT call, not for a conference of dispatch users.
    cache.members[kGroup].push_back("1005");
    EXPECT_TRUE(rules.CanStartGroupPtt());
    EXPECT_FALSE(rules.CanStartGroupConference());
    cache.Add("1006", "idle");
    cache.members[kGroup].push_back("1006");
    EXPECT_TRUE(rules.CanStartGroupPtt());
    EXPECT_TRUE(rules.IsEnabled(kQuickGroupVoiceConf));
    EXPECT_TRUE(rules.IsEnabled(kQuickGroupVideoConf));

    // Not while the console is in a call.
    Busy(0, kLineConnected, kMediaVoice, kServiceCall, {"3001"});
    EXPECT_FALSE(rules.CanStartGroupPtt());
    EXPECT_FALSE(rules.CanStartGroupConference());
    table.Lines()[0]->state = kLineIdle;
    table.Lines()[0]->kind = kMediaNone;

    // A count that fails is no member.
    cache.fail = true;
    EXPECT_FALSE(rules.CanStartGroupPtt());
    EXPECT_FALSE(rules.CanStartGroupConference());
    // Without a cache the count is not asked.
    rules.SetCache(nullptr);
    EXPECT_TRUE(rules.CanStartGroupPtt());
    EXPECT_TRUE(rules.CanStartGroupConference());
}

TEST_F(QuickActions, GroupPttCallOfTheGroupRunning)
{
    cache.Add("1001", "A");
    cache.Add("1002", "B");
    cache.Add("3001", "outsider", 1, 0x00000100).callRef = Key();
    cache.AddGroup(kGroup, "Patrol", {"1001", "1002"});
    SelectGroup();
    // Someone else carries the group's call reference: the group call can be released
    // but not joined through a member.
    EXPECT_FALSE(rules.CanJoinGroupPtt());
    EXPECT_TRUE(rules.CanReleaseGroupPtt());
    EXPECT_FALSE(rules.CanAddUserToGroupCall());

    cache.User("1002")->callState = 0x00000100;
    cache.User("1002")->callRef = "FFFFFFFF"; // another group's call
    EXPECT_FALSE(rules.CanJoinGroupPtt());
    cache.User("1002")->callRef = Key();
    EXPECT_TRUE(rules.CanJoinGroupPtt());
    EXPECT_TRUE(rules.CanAddUserToGroupCall()); // 1001 is available

    // Joining needs a console without a call; adding a user does not.
    Busy(0, kLineConnected, kMediaPttAudio, kServicePttGroup, {"1002"}, kGroup);
    EXPECT_FALSE(rules.CanJoinGroupPtt());
    EXPECT_TRUE(rules.CanAddUserToGroupCall());

    // Nobody left to add.
    cache.User("1001")->regState = 0;
    EXPECT_FALSE(rules.CanAddUserToGroupCall());
    cache.User("1001")->regState = 1;
    // The count of available users could not be read: nothing is offered.
    cache.fail = true;
    EXPECT_FALSE(rules.CanAddUserToGroupCall());
    EXPECT_FALSE(rules.CanReleaseGroupPtt());
}

TEST_F(QuickActions, ConferenceOfTheGroup)
{
    cache.Add("1001", "A");
    cache.AddGroup(kGroup, "Patrol", {"1001"});
    SelectGroup();
    EXPECT_FALSE(rules.CanReleaseConference());
    EXPECT_FALSE(rules.CanAddUserToGroupCall());

    ST_ZOX_DISPATCH_LINE_INFO *conf = Busy(0, kLineCalling, kMediaVoice, kServiceConference, {"1002"}, kGroup);
    EXPECT_TRUE(rules.CanReleaseConference());
    EXPECT_FALSE(rules.CanAddUserToGroupCall()); // not connected yet
    conf->state = kLineConnected;
    EXPECT_TRUE(rules.CanAddUserToGroupCall());
    conf->action = kActionAddConferenceMember;
    EXPECT_FALSE(rules.CanAddUserToGroupCall()); // one addition at a time
    conf->action = kActionNone;
    conf->state = kLineReleasing;
    EXPECT_FALSE(rules.CanReleaseConference());

    // Another group's conference.
    conf->state = kLineConnected;
    SelectGroup(kGroup + 1);
    EXPECT_FALSE(rules.CanReleaseConference());
    EXPECT_FALSE(rules.CanAddUserToGroupCall());
}

TEST_F(QuickActions, GroupVideoPushAndStop)
{
    cache.Add("1001", "A");
    cache.Add("1002", "B", 0);
    cache.Add("1005", "truck", 1, 0, kUserTypeVehicle);
    cache.AddGroup(kGroup, "Patrol", {"1001", "1002", "1005"});
    SelectGroup();
    EXPECT_TRUE(rules.CanPushGroupVideo());
    EXPECT_FALSE(rules.CanStopGroupVideo());
    host.video = false;
    EXPECT_FALSE(rules.CanPushGroupVideo());
    host.video = true;

    // 1001, the only member that can upload, is uploading already.
    Busy(0, kLineConnected, kMediaVideoUpload, kServiceCall, {"1001"});
    EXPECT_FALSE(rules.CanPushGroupVideo());
    EXPECT_FALSE(rules.CanStopGroupVideo()); // the cache does not show the upload yet
    cache.User("1001")->vpState = 0x10000003;
    EXPECT_TRUE(rules.CanStopGroupVideo());
    cache.User("1001")->vpState = 0x10000002; // downloading only
    EXPECT_FALSE(rules.CanStopGroupVideo());
    cache.User("1001")->vpState = 0x10000001;
    EXPECT_TRUE(rules.CanStopGroupVideo());

    // Another member becomes able to upload; then the lines run out.
    cache.User("1002")->regState = 1;
    EXPECT_TRUE(rules.CanPushGroupVideo());
    for (int i = 1; i < 4; ++i)
        Busy(i, kLineConnected, kMediaVideoUpload, kServiceCall, {"900" + std::to_string(i)});
    EXPECT_FALSE(rules.CanPushGroupVideo());
}

TEST_F(QuickActions, GroupVideoPushStopsAtSixteenUploads)
{
    std::vector<ST_ZOX_SYSTEM_LINE> lines;
    for (int i = 0; i < 17; ++i) {
        ST_ZOX_SYSTEM_LINE l;
        l.lineName = "5000" + std::to_string(10 + i);
        l.status = 1;
        lines.push_back(l);
    }
    table.RebuildDispatchLines(lines);
    cache.Add("1001", "A");
    cache.AddGroup(kGroup, "Patrol", {"1001"});
    SelectGroup();
    for (int i = 0; i < 15; ++i)
        Busy(i, kLineConnected, kMediaVideoUpload, kServiceCall, {"90" + std::to_string(10 + i)});
    EXPECT_TRUE(rules.CanPushGroupVideo());
    Busy(15, kLineConnected, kMediaVideoUpload, kServiceCall, {"9025"});
    ASSERT_TRUE(table.Lines()[16]->IsFree());
    EXPECT_FALSE(rules.CanPushGroupVideo());
}

TEST_F(QuickActions, ChatNeedsTheBridge)
{
    cache.Add("1001", "A");
    cache.Add("1005", "truck", 1, 0, kUserTypeVehicle);
    cache.AddGroup(kGroup, "Patrol", {"1001"});
    cache.AddGroup(kGroup + 1, "Trucks", {"1005"});
    SelectGroup();
    EXPECT_TRUE(rules.IsEnabled(kQuickGroupIm));
    SelectGroup(kGroup + 1); // no dispatch user to chat with
    EXPECT_FALSE(rules.IsEnabled(kQuickGroupIm));
    SelectUser("1001", kUserTypeDispatch, 0, 0); // an offline user can be written to
    EXPECT_TRUE(rules.IsEnabled(kQuickUserIm));
    SelectUser("1005", kUserTypeVehicle, 1, 0);
    EXPECT_FALSE(rules.IsEnabled(kQuickUserIm));

    host.bridge = false;
    SelectGroup();
    EXPECT_FALSE(rules.IsEnabled(kQuickGroupIm));
    SelectUser("1001", kUserTypeDispatch, 1, 0);
    EXPECT_FALSE(rules.IsEnabled(kQuickUserIm));
}

TEST_F(QuickActions, JoinOfferedOnlyWhenACallCanTakeTheUser)
{
    cache.AddGroup(kGroup, "Patrol", {"1001"});
    cache.AddGroup(kGroup + 1, "Harbour", {"3001"});
    SelectUser("1001", kUserTypeDispatch, 1, 0);
    EXPECT_FALSE(rules.IsEnabled(kQuickUserJoin));
    EXPECT_FALSE(rules.IsVisible(kQuickUserJoin));
    EXPECT_TRUE(rules.IsVisible(kQuickUserHangup)); // every other entry is always visible

    // A PTT call of some server group runs.
    cache.Add("3001", "C", 1, 0x00000100).callRef = UserIdToHexKey(kGroup + 1);
    EXPECT_TRUE(rules.IsEnabled(kQuickUserJoin));
    EXPECT_TRUE(rules.IsVisible(kQuickUserJoin));
    // A user in a call of his own is not joined.
    SelectUser("1001", kUserTypeDispatch, 1, 0x00000001);
    EXPECT_FALSE(rules.IsEnabled(kQuickUserJoin));

    // The console's own conference, connected and idle, takes him too.
    SelectUser("1001", kUserTypeDispatch, 1, 0);
    cache.User("3001")->callState = 0;
    EXPECT_FALSE(rules.IsEnabled(kQuickUserJoin));
    ST_ZOX_DISPATCH_LINE_INFO *conf = Busy(0, kLineConnected, kMediaVoice, kServiceConference, {"1002"}, kGroup);
    EXPECT_TRUE(rules.IsEnabled(kQuickUserJoin));
    conf->action = kActionAddConferenceMember;
    EXPECT_FALSE(rules.IsEnabled(kQuickUserJoin));
}

TEST_F(QuickActions, VideoPreviewOfCamerasAndVehicles)
{
    struct Case {
        const char *what;
        int type;
        uint8_t regState;
        bool rtsp;
        const char *playing;
        bool enabled;
    };
    const Case cases[] = {
        {"online camera", kUserTypeCamera, 1, true, "", true},
        {"camera already playing", kUserTypeCamera, 1, true, "2/77", false},
        {"another camera playing", kUserTypeCamera, 1, true, "2/78", true},
        {"disabled camera", kUserTypeCamera, 3, true, "", false},
        {"offline camera", kUserTypeCamera, 0, true, "", false},
        {"no RTSP client", kUserTypeCamera, 1, false, "", false},
        {"vehicle", kUserTypeVehicle, 1, true, "", true},
        {"vehicle playing", kUserTypeVehicle, 1, true, "1/77", false},
        {"dispatch user", kUserTypeDispatch, 1, true, "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        host.rtsp = c.rtsp;
        host.playing = c.playing;
        SelectUser("77", c.type, c.regState, 0);
        EXPECT_EQ(rules.IsEnabled(kQuickUserVideoPreview), c.enabled);
    }
}

TEST_F(QuickActions, TaskButtons)
{
    EXPECT_TRUE(rules.IsTaskEnabled(kTaskChat));
    EXPECT_FALSE(rules.IsTaskEnabled(kTaskEndCalls));
    EXPECT_FALSE(rules.IsTaskEnabled(kTaskSpeak));
    EXPECT_TRUE(rules.IsTaskEnabled(kTaskDial));
    host.progressShown = true;
    EXPECT_FALSE(rules.IsTaskEnabled(kTaskDial));

    // An upload is no call to end.
    Busy(0, kLineConnected, kMediaVideoUpload, kServiceCall, {"1001"});
    EXPECT_FALSE(rules.CanEndCalls());
    ST_ZOX_DISPATCH_LINE_INFO *ptt = Busy(1, kLineCalling, kMediaPttAudio, kServicePttGroup, {}, kGroup);
    EXPECT_TRUE(rules.CanEndCalls());
    EXPECT_FALSE(rules.CanSpeak()); // not connected yet
    ptt->state = kLineConnected;
    EXPECT_TRUE(rules.CanSpeak());
    ptt->state = kLineReleasing;
    EXPECT_FALSE(rules.CanEndCalls());
    EXPECT_FALSE(rules.CanSpeak());

    // Speak is off during a monitoring session even though it is connected.
    ST_ZOX_DISPATCH_LINE_INFO *monitor = Busy(2, kLineConnected, kMediaPttAudio, kServicePttMonitor, {"1002"});
    ptt->state = kLineIdle;
    ptt->kind = kMediaNone;
    ASSERT_EQ(table.FindLineByKey(kMediaPttAudio), monitor);
    EXPECT_FALSE(rules.CanSpeak());
    EXPECT_TRUE(rules.CanEndCalls());
}

TEST_F(QuickActions, ReachabilityBeforeTheContactsBookDials)
{
    cache.Add("1001", "idle");
    cache.Add("1002", "offline", 0);
    cache.Add("1003", "disabled", 3);
    cache.Add("1005", "truck", 1, 0, kUserTypeVehicle);
    EXPECT_TRUE(rules.IsUserReachable("1001"));
    EXPECT_TRUE(rules.IsUserReachable("013912345678")); // not a user of the server
    EXPECT_FALSE(rules.IsUserReachable("1002"));
    EXPECT_FALSE(rules.IsUserReachable("1003"));
    EXPECT_FALSE(rules.IsUserReachable("1005"));

    // A cache that cannot be read proves nothing.
    cache.fail = true;
    EXPECT_FALSE(rules.IsUserReachable("1001"));
    EXPECT_FALSE(rules.IsUserReachable("013912345678"));
    cache.fail = false;

    // Not while the console is in a call, even an outside number.
    Busy(0, kLineConnected, kMediaPttAudio, kServicePttPrivate, {"3001"});
    EXPECT_FALSE(rules.IsUserReachable("013912345678"));
}

} // namespace
