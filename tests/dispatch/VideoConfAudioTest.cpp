// The console's audio channel of a video conference: opened on a free line with the
// connected video calls as its video shares, refused without a line or instance,
// joined and left by video calls, released with the release request.
#include <gtest/gtest.h>

#include "DispatchFakes.h"
#include "dispatch/CallMessages.h"
#include "dispatch/VideoConfAudio.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

ST_ZOX_SYSTEM_LINE Line(const std::string &name)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = 1;
    l.softPhone = 1;
    return l;
}

class ConfAudio : public ::testing::Test {
public:
    void SetUp() override
    {
        sessions.nextVideoId = 101;
        lines.RebuildDispatchLines({Line("500001"), Line("500002"), Line("500003")});
    }
    CDispatchSession *VideoCall(const std::string &line, const std::string &member)
    {
        auto s = std::make_unique<CDispatchSession>(sessions, kServiceCall, kMediaVideoCall);
        s->SetLocalParty(line, 1, 0);
        s->AddMember(member);
        EXPECT_EQ(s->SendSetupRequest(kServiceCall), 0); // makes the media
        EXPECT_EQ(s->Open(), 0);
        sessions.sent.clear();
        CDispatchSession *p = s.get();
        lines.AddSession(std::move(s));
        ST_ZOX_DISPATCH_LINE_INFO *l = lines.FindLineByName(line);
        l->session = p;
        l->kind = kMediaVideoCall;
        l->state = kLineConnected;
        return p;
    }
    std::vector<CallMessage> Sent(uint32_t code, const MessageLayout &layout)
    {
        std::vector<CallMessage> out;
        for (const auto &d : sessions.sent) {
            CallMessage m;
            DispatchMessageHeader h;
            if (DispatchMessageHeader::Read(d.data(), d.size(), h) && h.messageCode == code &&
                ReadMessage(layout, d.data(), d.size(), m) == kParseOk)
                out.push_back(m);
        }
        return out;
    }

    FakeLineHost lineHost;
    FakeSessionHost sessions;
    CDispatchLineTable lines {lineHost};
    CVideoConfAudio conf {lines, sessions};
};

TEST_F(ConfAudio, OpensOnAFreeLineWithTheConnectedVideoCallsAsShares)
{
    CDispatchSession *a = VideoCall("500001", "3001");
    ASSERT_EQ(conf.Setup("8001"), 0);
    ST_ZOX_DISPATCH_LINE_INFO *line = lines.FindLineByName("500002");
    ASSERT_NE(line->session, nullptr);
    EXPECT_EQ(line->state, kLineCalling);
    EXPECT_EQ(line->action, kActionCall);
    EXPECT_EQ(line->kind, kMediaVoice);
    EXPECT_EQ(line->confAudio, 1);
    EXPECT_EQ(line->timer->Period(), 120000);
    EXPECT_TRUE(line->timer->IsActive());
    CDispatchSession *channel = line->session;
    EXPECT_TRUE(channel->HasVideoFlag());
    EXPECT_EQ(channel->GetServiceType(), uint32_t(kServiceCall));
    EXPECT_EQ(channel->GetMediaKind(), uint32_t(kMediaVoice));
    EXPECT_EQ(channel->GetFirstMember(), "8001");
    EXPECT_TRUE(conf.HasChannel());
    const auto setups = Sent(kSetupRequest, kSetupRequestLayout);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].serviceType, 1u);
    EXPECT_EQ(sessions.shares,
              (std::vector<FakeShare> {{channel->GetMediaSessionId(), a->GetMediaSessionId(), true}}));

    // A further call joins, a closing one leaves.
    CDispatchSession *b = VideoCall("500003", "3002");
    EXPECT_EQ(conf.AddShare(*b), 0);
    EXPECT_EQ(conf.RemoveShare(*a), 0);
    EXPECT_EQ(sessions.shares.back(), (FakeShare {channel->GetMediaSessionId(), a->GetMediaSessionId(), false}));

    // Release: request with the line's number, releasing state, 15 s limit.
    ASSERT_EQ(conf.Release(), 0);
    const auto releases = Sent(kReleaseRequest, kReleaseRequestLayout);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].serviceType, 3u);
    EXPECT_EQ(line->state, kLineReleasing);
    EXPECT_EQ(line->action, kActionRelease);
    EXPECT_EQ(line->timer->Period(), 15000);
    EXPECT_EQ(channel->GetState(), kSessionReleasing);
    // A releasing channel is not released twice; its media ended with the request.
    EXPECT_EQ(conf.Release(), -1);
    EXPECT_EQ(conf.AddShare(*b), -1);
}

TEST_F(ConfAudio, NoChannelWithoutLineInstanceOrSend)
{
    struct Case {
        const char *what;
        std::function<void(ConfAudio &)> arrange;
        int result;
    };
    const Case cases[] = {
        {"no free line",
         [](ConfAudio &t) {
             for (const auto &l : t.lines.Lines())
                 l->state = kLineConnected;
         },
         -1},
        {"video disabled", [](ConfAudio &t) { t.lineHost.videoEnabled = false; }, -1},
        {"no instance left",
         [](ConfAudio &t) {
             while (t.sessions.pool.Acquire() >= 0) {
             }
         },
         -2},
        {"send failed", [](ConfAudio &t) { t.sessions.sendResult = -1; }, -3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        lineHost.videoEnabled = true;
        sessions.sendResult = 1;
        sessions.pool = CSessionInstancePool();
        lines.DropAllSessions();
        lines.RebuildDispatchLines({Line("500001"), Line("500002")});
        c.arrange(*this);
        EXPECT_EQ(conf.Setup("8001"), c.result);
        EXPECT_TRUE(lines.Sessions().empty());
        EXPECT_FALSE(conf.HasChannel());
        EXPECT_EQ(conf.Release(), -1);
    }
}

} // namespace
