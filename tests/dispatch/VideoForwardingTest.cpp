// Forwarding the video of a tile: the pick list of the connected video calls with the
// forwards already made, the forwards added and removed as the dispatcher leaves the
// list (sessions that vanished while the dialog was open are skipped), and an upload
// forwarded partly by media (users in a video call) and partly by one push notice.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DispatchFakes.h"
#include "core/Log.h"
#include "dispatch/CallMessages.h"
#include "dispatch/VideoForwarding.h"
#include "tests/support/TempDir.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

// A media manager of the fake world is the number of its video session.
tmedia_session_mgr_t *Mgr(uint64_t id) { return reinterpret_cast<tmedia_session_mgr_t *>(uintptr_t(id)); }
uint64_t Id(tmedia_session_mgr_t *m) { return uint64_t(reinterpret_cast<uintptr_t>(m)); }

constexpr uint64_t kCameraId = 900;

class FakeForwardHost : public IVideoForwardHost {
public:
    FakeForwardHost(CDispatchLineTable &lines, FakeSessionHost &sessions) : lines(lines), sessions(sessions) {}
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return sessions; }
    tmedia_session_mgr_t *RtspMediaSession(int type, const std::string &number) override
    {
        return type == 2 && number == "5" && cameraRuns ? Mgr(kCameraId) : nullptr;
    }
    tmedia_session_mgr_t *CallMediaSession(const CDispatchSession &s) override { return Mgr(s.GetMediaSessionId()); }
    int AddVideoForward(tmedia_session_mgr_t *src, tmedia_session_mgr_t *dst) override
    {
        calls.push_back("+" + std::to_string(Id(dst)));
        if (failForwards)
            return -1;
        forwards[Id(src)].insert(Id(dst));
        return 0;
    }
    int RemoveVideoForward(tmedia_session_mgr_t *src, tmedia_session_mgr_t *dst) override
    {
        calls.push_back("-" + std::to_string(Id(dst)));
        return forwards[Id(src)].erase(Id(dst)) == 1 ? 0 : -1;
    }
    int GetVideoForwardSid(tmedia_session_mgr_t *src, uint64_t *ids, int capacity) override
    {
        int n = 0;
        for (uint64_t id : forwards[Id(src)])
            if (n < capacity)
                ids[n++] = id;
        return n;
    }
    bool PickForwardUsers(ST_VECT_USER_SELECT &list) override
    {
        shownList = list;
        ++dialogs;
        if (whileOpen)
            whileOpen();
        for (auto &item : list)
            item.checked = tick.count(item.text) ? tick[item.text] : item.preset;
        return ok;
    }
    bool PickPushTargets(const std::string &uploader, std::vector<std::string> &chosen) override
    {
        excluded = uploader;
        ++dialogs;
        if (whileOpen)
            whileOpen();
        chosen = pushChoice;
        return ok;
    }

    CDispatchLineTable &lines;
    FakeSessionHost &sessions;
    bool cameraRuns = true;
    bool failForwards = false;
    std::map<uint64_t, std::set<uint64_t>> forwards;
    std::vector<std::string> calls;
    // The dialogs: what they were shown and what the dispatcher does in them.
    ST_VECT_USER_SELECT shownList;
    std::string excluded;
    int dialogs = 0;
    std::map<std::string, bool> tick;
    std::vector<std::string> pushChoice;
    bool ok = true;
    std::function<void()> whileOpen;
};

ST_ZOX_SYSTEM_LINE Line(const std::string &name)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = 1;
    l.softPhone = 1;
    return l;
}

class Forwarding : public ::testing::Test {
protected:
    void SetUp() override
    {
        sessions.nextVideoId = 101;
        lines.RebuildDispatchLines({Line("5000"), Line("500001"), Line("500002"), Line("500003"), Line("500004")});
    }

    // A call of this kind with its media open on a line, in `state`.
    CDispatchSession *Call(const std::string &line, int32_t kind, const std::string &member,
                           int32_t state = kLineConnected)
    {
        auto s = std::make_unique<CDispatchSession>(sessions, kServiceCall, uint32_t(kind));
        s->SetLocalParty(line, 1, 0);
        s->AddMember(member.empty() ? "3999" : member);
        // The request makes the media.
        EXPECT_EQ(kind == kMediaVideoUpload ? s->SendVpSetupRequest(1) : s->SendSetupRequest(kServiceCall), 0);
        if (member.empty())
            s->RemoveMember("3999");
        EXPECT_EQ(s->Open(), 0);
        sessions.sent.clear();
        CDispatchSession *p = s.get();
        lines.AddSession(std::move(s));
        ST_ZOX_DISPATCH_LINE_INFO *l = lines.FindLineByName(line);
        l->session = p;
        l->kind = kind;
        l->state = state;
        return p;
    }

    std::vector<CallMessage> PushNotices()
    {
        std::vector<CallMessage> out;
        for (const auto &d : sessions.sent) {
            CallMessage m;
            if (ReadMessage(kVpNotifyLayout, d.data(), d.size(), m) == kParseOk && m.header.messageCode == kVpNotify)
                out.push_back(m);
        }
        return out;
    }

    // The log lines written while `run` runs.
    std::string LogOf(const std::function<void()> &run)
    {
        OpenLogFile((logDir / "log.txt").string());
        run();
        CloseLogFile();
        return logDir.read("log.txt");
    }

    FakeLineHost lineHost;
    FakeSessionHost sessions;
    CDispatchLineTable lines {lineHost};
    FakeForwardHost host {lines, sessions};
    CVideoForwarding forwarding {host};
    zoxtest::TempDir logDir;
};

std::string Decode(const TbcdNumber &n)
{
    std::string s;
    DecodeBcdDigits(n.data(), n.size(), s);
    return s;
}

TEST_F(Forwarding, PickListOffersEveryConnectedVideoCallWithItsForwardPreset)
{
    CDispatchSession *a = Call("500001", kMediaVideoCall, "3001");
    Call("500002", kMediaVideoCall, "3002");
    Call("500003", kMediaVideoCall, "3003", kLineCalling); // not connected
    Call("500004", kMediaVoice, "3004");                   // not video
    Call("5000", kMediaVideoCall, "");                     // no member
    host.forwards[kCameraId] = {a->GetMediaSessionId(), 999};
    ST_VECT_USER_SELECT list {{"stale", true, true}};
    forwarding.BuildForwardUserList(Mgr(kCameraId), list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].text, "3001");
    EXPECT_TRUE(list[0].preset);
    EXPECT_EQ(list[1].text, "3002");
    EXPECT_FALSE(list[1].preset);
    EXPECT_FALSE(list[0].checked || list[1].checked);
}

// A camera forwarded to two video calls, one of which already receives it: the
// dispatcher ticks the other and unticks the first.
TEST_F(Forwarding, CameraForwardsFollowTheTicksThatChanged)
{
    CDispatchSession *a = Call("500001", kMediaVideoCall, "3001");
    CDispatchSession *b = Call("500002", kMediaVideoCall, "3002");
    host.forwards[kCameraId] = {a->GetMediaSessionId()};
    host.tick = {{"3001", false}, {"3002", true}};
    const std::string log = LogOf([&] { forwarding.OnForwardVideo(2, "5", kForwardRtsp); });
    EXPECT_NE(log.find("main: succeed to cancel forwarding camera(5) video to user(3001)."), std::string::npos) << log;
    EXPECT_NE(log.find("main: succeed to forward camera(5) video to user(3002)."), std::string::npos) << log;
    ASSERT_EQ(host.shownList.size(), 2u);
    EXPECT_TRUE(host.shownList[0].preset);
    EXPECT_EQ(host.forwards[kCameraId], (std::set<uint64_t> {b->GetMediaSessionId()}));
    // Unchanged ticks do nothing; Cancel does nothing; no source: no dialog.
    host.calls.clear();
    host.tick = {};
    forwarding.OnForwardVideo(2, "5", kForwardRtsp);
    host.ok = false;
    host.tick = {{"3001", true}};
    forwarding.OnForwardVideo(2, "5", kForwardRtsp);
    EXPECT_TRUE(host.calls.empty());
    host.cameraRuns = false;
    forwarding.OnForwardVideo(2, "5", kForwardRtsp);
    EXPECT_EQ(host.dialogs, 3);
}

TEST_F(Forwarding, SessionsThatEndWhileTheDialogIsOpenAreNotTouched)
{
    Call("500001", kMediaVideoCall, "3001");
    Call("500002", kMediaVideoCall, "3002");
    host.tick = {{"3001", true}, {"3002", true}};
    // The target call ends while the list shows: the other still gets the forward.
    host.whileOpen = [&] { lines.DestroySession(lines.FindLineByName("500001")->session); };
    forwarding.OnForwardVideo(2, "5", kForwardRtsp);
    EXPECT_EQ(host.calls, (std::vector<std::string> {"+102"}));
    // The source goes away while the list shows: nothing is forwarded.
    host.calls.clear();
    host.forwards.clear();
    host.whileOpen = [&] { host.cameraRuns = false; };
    forwarding.OnForwardVideo(2, "5", kForwardRtsp);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Forwarding, CallTileForwardsFromItsOwnCall)
{
    CDispatchSession *a = Call("500001", kMediaVideoCall, "3001");
    CDispatchSession *b = Call("500002", kMediaVideoCall, "3002");
    host.tick = {{"3002", true}};
    forwarding.OnForwardVideo(0, "3001", kForwardCall);
    ASSERT_EQ(host.shownList.size(), 2u); // the source call itself is offered too
    EXPECT_EQ(host.forwards[a->GetMediaSessionId()], (std::set<uint64_t> {b->GetMediaSessionId()}));
    // A refusal of the media layer is logged as a failure; so is removing a forward
    // that is not there any more.
    host.tick = {{"3001", true}, {"3002", false}};
    host.failForwards = true;
    const std::string log = LogOf([&] {
        host.whileOpen = [&] { host.forwards.clear(); };
        forwarding.OnForwardVideo(0, "3001", kForwardCall);
    });
    EXPECT_NE(log.find("main: failed to forward user(3001) video to user(3001)."), std::string::npos) << log;
    EXPECT_NE(log.find("main: failed to cancel forwarding user(3001) video to user(3002)."), std::string::npos) << log;
}

// An upload forwarded to three users: the one in a video call with the console gets a
// media forward, the other two one push notice carrying the uploading user.
TEST_F(Forwarding, UploadGoesByMediaToCallsAndByOnePushNoticeToTheRest)
{
    CDispatchSession *up = Call("500003", kMediaVideoUpload, "3100");
    CDispatchSession *call = Call("500001", kMediaVideoCall, "3002");
    host.pushChoice = {"3001", "3002", "3003"};
    forwarding.OnForwardVideo(0, "3100", kForwardUpload);
    EXPECT_EQ(host.excluded, "3100");
    EXPECT_EQ(host.forwards[up->GetMediaSessionId()], (std::set<uint64_t> {call->GetMediaSessionId()}));
    auto notices = PushNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].serviceType, 12u);
    EXPECT_EQ(Decode(notices[0].target), "3100");
    ASSERT_EQ(notices[0].members.size(), 2u);
    EXPECT_EQ(Decode(notices[0].members[0]), "3001");
    EXPECT_EQ(Decode(notices[0].members[1]), "3003");
    EXPECT_EQ(notices[0].header.senderRef, uint32_t(up->GetInstance()));

    // Again to the same call: it already receives the upload, so no second forward and,
    // with nobody left, no notice.
    sessions.sent.clear();
    host.calls.clear();
    host.pushChoice = {"3002"};
    forwarding.OnForwardVideo(0, "3100", kForwardUpload);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(PushNotices().empty());
}

TEST_F(Forwarding, UploadForwardStopsEarly)
{
    struct Case {
        const char *what;
        std::string number;
        bool upload;
        bool ok;
        std::vector<std::string> choice;
        bool uploadEndsMeanwhile;
        int dialogs;
    };
    const Case cases[] = {
        {"empty number", "", true, true, {"3001"}, false, 0},
        {"no upload line", "3100", false, true, {"3001"}, false, 0},
        {"cancelled", "3100", true, false, {"3001"}, false, 1},
        {"nobody chosen", "3100", true, true, {}, false, 1},
        {"upload ended while the dialog showed", "3100", true, true, {"3001"}, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        lines.DropAllSessions();
        lines.RebuildDispatchLines({Line("500001"), Line("500003")});
        sessions.sent.clear();
        host.dialogs = 0;
        if (c.upload)
            Call("500003", kMediaVideoUpload, "3100");
        host.ok = c.ok;
        host.pushChoice = c.choice;
        host.whileOpen = c.uploadEndsMeanwhile
                             ? std::function<void()>([&] { lines.ReleaseLine(lines.FindLineByName("500003")); })
                             : nullptr;
        forwarding.ForwardUserVideo(c.number);
        EXPECT_EQ(host.dialogs, c.dialogs);
        EXPECT_TRUE(PushNotices().empty());
    }
}

} // namespace
