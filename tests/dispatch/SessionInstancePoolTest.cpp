// The instance numbers of the dispatch sessions: next fit over 33..127, numbers 1..32
// for the server's choice, and the values a release or a claim must not touch.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DispatchFakes.h"
#include "dispatch/DispatchSession.h"
#include "dispatch/SessionInstancePool.h"

using namespace zoxtest;

namespace {

TEST(InstancePool, GrantsNextFitAndWrapsOnlyPast127)
{
    CSessionInstancePool pool;
    EXPECT_EQ(pool.Acquire(), 33);
    EXPECT_EQ(pool.Acquire(), 34);
    EXPECT_EQ(pool.Acquire(), 35);
    pool.Release(33);
    EXPECT_EQ(pool.Acquire(), 36); // 33 waits for the wrap
    for (int n = 37; n <= 127; ++n)
        ASSERT_EQ(pool.Acquire(), n);
    EXPECT_EQ(pool.Acquire(), 33); // wrapped
    pool.Release(100);
    pool.Release(40);
    EXPECT_EQ(pool.Acquire(), 40);
    EXPECT_EQ(pool.Acquire(), 100);
    EXPECT_EQ(pool.Acquire(), -1);
}

TEST(InstancePool, ReleaseAndClaimTouchOnlyTheirRanges)
{
    CSessionInstancePool pool;
    for (int bad : {-1, 0, 128, 1000, -2147483647 - 1})
        pool.Release(bad); // nothing written outside the pool
    struct Row {
        int number;
        bool claimed;
    } rows[] = {{0, false}, {-1, false}, {1, true}, {32, true}, {33, false}, {127, false}, {128, false}};
    for (const Row &r : rows)
        EXPECT_EQ(pool.Claim(r.number), r.claimed) << r.number;
    EXPECT_FALSE(pool.Claim(1)); // in use
    EXPECT_TRUE(pool.InUse(32));
    pool.Release(32);
    EXPECT_TRUE(pool.Claim(32));
    EXPECT_EQ(pool.Acquire(), 33); // server numbers never come from the pool
}

TEST(SessionInstances, NinetySixthLiveSessionGetsNone)
{
    FakeSessionHost host;
    std::vector<std::unique_ptr<CDispatchSession>> live;
    for (int i = 0; i < 95; ++i) {
        live.push_back(std::make_unique<CDispatchSession>(host, 1, kMediaVoice));
        ASSERT_EQ(live.back()->GetInstance(), 33 + i);
    }
    auto extra = std::make_unique<CDispatchSession>(host, 1, kMediaVoice);
    EXPECT_EQ(extra->GetInstance(), -1);
    extra.reset(); // gives back nothing
    live[5].reset();
    EXPECT_EQ(CDispatchSession(host, 1, kMediaVoice).GetInstance(), 38);
}

TEST(SessionInstances, ServerChosenNumber)
{
    FakeSessionHost host;
    auto first = std::make_unique<CDispatchSession>(host, 1, kMediaVideoUpload);
    ASSERT_EQ(first->GetInstance(), 33);
    ASSERT_TRUE(first->SetInstance(5));
    EXPECT_EQ(first->GetInstance(), 5);
    EXPECT_TRUE(first->IsInstance(5));
    EXPECT_FALSE(host.pool.InUse(33));

    CDispatchSession second(host, 1, kMediaVideoUpload);
    const int own = second.GetInstance();
    for (int bad : {5, 0, -1, 33, 127})
        EXPECT_FALSE(second.SetInstance(bad)) << bad;
    EXPECT_EQ(second.GetInstance(), own);
    EXPECT_TRUE(host.pool.InUse(own));

    first.reset();
    EXPECT_FALSE(host.pool.InUse(5));
    EXPECT_TRUE(second.SetInstance(5));
}

} // namespace
