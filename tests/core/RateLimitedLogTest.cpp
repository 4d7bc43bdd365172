// The rate-limited log line: at most one line per kind and interval, every event counted,
// driven by an injected clock.
#include "core/RateLimitedLog.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

class RateLimitedLogTest : public ::testing::Test {
protected:
    int64_t now = 5000;
    std::vector<std::string> lines;
    CRateLimitedLog log {60000, [this] { return now; }, [this](const std::string &l) { lines.push_back(l); }};
};

} // namespace

// Events of one kind at given times: which of them write a line, and its text.
TEST_F(RateLimitedLogTest, OneLinePerIntervalCarryingTheCountSinceTheLastLine)
{
    struct Step {
        int64_t at;
        bool writes;
        const char *line; // expected text when written
    } steps[] = {
        {5000, true, "drop 1"},
        {5001, false, nullptr},
        {64999, false, nullptr},                                                      // 59.999 s after the line
        {65000, true, "drop 4 (3 since the last report, 4 in all)"},            // exactly the interval
        {65000, false, nullptr},
        {200000, true, "drop 6 (2 since the last report, 6 in all)"},
        {260000, true, "drop 7 (1 since the last report, 7 in all)"},
    };
    int n = 0;
    for (const Step &s : steps) {
        now = s.at;
        ++n;
        const std::size_t before = lines.size();
        EXPECT_EQ(s.writes, log.Note("short", "drop %d", n)) << "event " << n;
        ASSERT_EQ(before + (s.writes ? 1 : 0), lines.size()) << "event " << n;
        if (s.writes) {
            EXPECT_EQ(s.line, lines.back()) << "event " << n;
        }
    }
    EXPECT_EQ(7u, log.Count("short"));
    EXPECT_EQ(0u, log.Unreported("short"));
}

// Each kind has its own interval and counts; the total spans them all.
TEST_F(RateLimitedLogTest, KindsAreLimitedAndCountedApart)
{
    EXPECT_TRUE(log.Note("short", "a"));
    EXPECT_TRUE(log.Note("foreign", "b"));
    now += 1000;
    EXPECT_FALSE(log.Note("short", "a"));
    EXPECT_FALSE(log.Note("short", "a"));
    EXPECT_FALSE(log.Note("foreign", "b"));
    EXPECT_TRUE(log.Note("family", "c"));

    EXPECT_EQ(3u, log.Count("short"));
    EXPECT_EQ(2u, log.Unreported("short"));
    EXPECT_EQ(2u, log.Count("foreign"));
    EXPECT_EQ(1u, log.Unreported("foreign"));
    EXPECT_EQ(0u, log.Count("never"));
    EXPECT_EQ(6u, log.Total());
    EXPECT_EQ(3u, lines.size());
}

// A text longer than the line buffer is cut, never overrun.
TEST_F(RateLimitedLogTest, LongTextIsCut)
{
    const std::string big(5000, 'x');
    EXPECT_TRUE(log.Note("long", "%s", big.c_str()));
    ASSERT_EQ(1u, lines.size());
    EXPECT_LT(lines[0].size(), 1024u);
    EXPECT_EQ(std::string(lines[0].size(), 'x'), lines[0]);
}

// Many threads noting at once: every event counted, one line within the interval.
TEST_F(RateLimitedLogTest, CountsEveryEventFromManyThreads)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this] {
            for (int i = 0; i < 5000; ++i)
                log.Note("short", "drop");
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(20000u, log.Count("short"));
    EXPECT_EQ(19999u, log.Unreported("short"));
    EXPECT_EQ(1u, lines.size());
}
