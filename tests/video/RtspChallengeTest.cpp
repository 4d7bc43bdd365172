// The RTSP client's answer to a camera's 401: the next request carries credentials
// for a challenge it can quote back, and none for a challenge whose values would break
// the Authorization header (quotes, control characters, a CR inside the line).
#include "FakeRtspResponder.h"
#include "medialib/RtspStack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

std::mutex g_lock;
std::condition_variable g_changed;
int g_events = 0; // answers and closed connections

int OnEvent(const trtsp_event_t *e)
{
    if (e->type == trtsp_event_message || e->type == trtsp_event_transport_closed) {
        std::lock_guard<std::mutex> lk(g_lock);
        ++g_events;
        g_changed.notify_all();
    }
    return 0;
}

bool WaitEvents(int count)
{
    std::unique_lock<std::mutex> lk(g_lock);
    return g_changed.wait_for(lk, std::chrono::seconds(5), [&] { return g_events >= count; });
}

bool WaitRequests(FakeRtspResponder &camera, size_t count)
{
    for (int i = 0; i < 250 && camera.RequestCount() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return camera.RequestCount() >= count;
}

TEST(RtspChallenge, CredentialsFollowOnlyAChallengeThatCanBeQuotedBack)
{
    struct Case {
        const char *what;
        std::string challenge;
        const char *authorization; // the start of the second request's header, or null for none
    };
    const Case cases[] = {
        {"Basic", "Basic realm=\"cam\"", "Authorization: Basic YWRtaW46c2VjcmV0\r\n"},
        {"Digest", "Digest realm=\"cam\", nonce=\"n1\", opaque=\"o\"",
         "Authorization: Digest username=\"admin\", realm=\"cam\", nonce=\"n1\""},
        {"quote inside the realm", "Digest realm=\"a\\\"b\", nonce=\"n1\"", nullptr},
        {"control character in the nonce", "Digest realm=\"cam\", nonce=\"n\x01\"", nullptr},
        {"CR inside the header line", "Digest realm=\"c\rInjected: 1\", nonce=\"n1\"", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeRtspResponder camera(401, c.challenge);
        trtsp_stack_t *stack = trtsp_stack_create(OnEvent, "127.0.0.1", nullptr);
        ASSERT_NE(stack, nullptr);
        ASSERT_EQ(trtsp_stack_start(stack), 0);
        trtsp_session_t *session = trtsp_session_create(stack, "admin", "secret", "", nullptr);
        int seen;
        {
            std::lock_guard<std::mutex> lk(g_lock);
            seen = g_events;
        }
        ASSERT_EQ(trtsp_action_perform(session, "127.0.0.1", camera.Port(), camera.Url().c_str(), "OPTIONS", 2000,
                                       {{"CSeq", "1"}}),
                  0);
        ASSERT_TRUE(WaitEvents(seen + 1));
        ASSERT_EQ(trtsp_action_perform(session, "127.0.0.1", camera.Port(), camera.Url().c_str(), "OPTIONS", 2000,
                                       {{"CSeq", "2"}}),
                  0);
        ASSERT_TRUE(WaitRequests(camera, 2));
        const std::string second = camera.Requests()[1];
        if (c.authorization)
            EXPECT_NE(second.find(c.authorization), std::string::npos) << second;
        else
            EXPECT_EQ(second.find("Authorization"), std::string::npos) << second;
        trtsp_stack_stop(stack);
        tsk_object_unref(session);
        tsk_object_unref(stack);
    }
}

} // namespace
