// The log writer: line format, length limits, start-up backup, rotation, threads.
#include "core/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

class LogFixture : public ::testing::Test {
protected:
    LogFixture() : cwd(dir.path()) {}
    ~LogFixture() override { CloseLogFile(); }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        std::istringstream s(dir.read("log/log.txt"));
        for (std::string l; std::getline(s, l);)
            out.push_back(l);
        return out;
    }

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd;
};

TEST_F(LogFixture, NothingIsWrittenWhileNoLogIsOpen)
{
    WriteLog("net: lost %d", 1);
    EXPECT_EQ(WriteMediaLog(nullptr, "tlib: %s", "x"), -1);
    EXPECT_FALSE(dir.exists("log"));
}

TEST_F(LogFixture, StartMovesTheOldLogAndWritesTheVersionLine)
{
    dir.write("log/log.txt", "old log\n");
    dir.write("log/log_bak.txt", "older backup\n");
    OpenLogAtStart("V2.00.201208.EN");
    WriteLog("login: send heartbeat request.");
    CloseLogFile();
    EXPECT_EQ(dir.read("log/log_bak.txt"), "old log\n");
    auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    std::regex shape(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}>>(.*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l[0], m, shape)) << l[0];
    EXPECT_EQ(m[1], "version: V2.00.201208.EN");
    ASSERT_TRUE(std::regex_match(l[1], m, shape));
    EXPECT_EQ(m[1], "login: send heartbeat request.");
    // After the close nothing more is written.
    EXPECT_EQ(WriteMediaLog(nullptr, "late"), -1);
}

TEST_F(LogFixture, LineFeedsAndLengthLimits)
{
    OpenLogAtStart("v");
    const std::string t5119(5119, 'a'), t5120(5120, 'b'), t5121(5121, 'c');
    struct Case {
        std::string format;
        std::string arg;
        int mediaResult;
        bool written;
    } cases[] = {
        {"ends with a line feed\n", "", 0, true},
        {"", "", 0, true},
        {"%s", t5120, 0, true},       // written, cut to the line limit
        {"%s", t5121, -3, false},     // formatted text too long
        {t5119, "", 0, true},         // format just under the limit
        {std::string(5120, 'f'), "", -2, false}, // format text too long
    };
    std::size_t expectedLines = 1; // version line
    for (const Case &c : cases) {
        EXPECT_EQ(WriteMediaLog(nullptr, c.format.c_str(), c.arg.c_str()), c.mediaResult) << c.format.size();
        expectedLines += c.written ? 1 : 0;
    }
    CloseLogFile();
    std::string all = dir.read("log/log.txt");
    auto l = lines();
    ASSERT_EQ(l.size(), expectedLines);
    EXPECT_EQ(all.back(), '\n');
    EXPECT_EQ(l[1].substr(21), "ends with a line feed");
    EXPECT_EQ(l[2].size(), 21u); // time and ">>" only
    // The cut line keeps its line feed: 5119 bytes in all.
    EXPECT_EQ(l[3].size() + 1, kLogMaxLine);
    EXPECT_EQ(l[3].substr(21), std::string(kLogMaxLine - 22, 'b'));
    EXPECT_EQ(l[4].size() + 1, kLogMaxLine);
}

// The count is of the open file only: a log opened again in the same process (after
// an earlier one was written and closed) rotates when its own bytes pass the threshold.
TEST_F(LogFixture, RotatesPastTheThresholdWithoutAVersionLine)
{
    const std::string chunk(4000, 'x'); // 4022 bytes a line with time and line feed
    OpenLogAtStart("v");
    for (int i = 0; i < 500; ++i)
        WriteLog("%s", chunk.c_str());
    CloseLogFile();

    OpenLogAtStart("v");
    const std::string earlier = dir.read("log/log_bak.txt");
    ASSERT_GT(earlier.size(), 500u * 4022u);
    uint64_t written = dir.read("log/log.txt").size();
    EXPECT_EQ(GetLogWrittenBytes(), written);
    while (written + 4022 <= kLogRotateThreshold) {
        WriteLog("%s", chunk.c_str());
        written += 4022;
    }
    EXPECT_EQ(GetLogWrittenBytes(), written);
    EXPECT_EQ(dir.read("log/log.txt").size(), written);
    EXPECT_EQ(dir.read("log/log_bak.txt"), earlier); // not rotated yet
    WriteLog("%s", chunk.c_str()); // passes the threshold: rotated after this line
    EXPECT_EQ(GetLogWrittenBytes(), 0u);
    WriteLog("after rotation");
    CloseLogFile();
    std::string backup = dir.read("log/log_bak.txt");
    EXPECT_EQ(backup.size(), written + 4022);
    EXPECT_GT(backup.size(), kLogRotateThreshold);
    EXPECT_EQ(backup.substr(21, 11), "version: v\n"); // the full file is the one opened at start
    auto l = lines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].substr(21), "after rotation");
}

TEST_F(LogFixture, LinesFromManyThreadsNeverInterleave)
{
    OpenLogAtStart("v");
    const int threads = 8, perThread = 2000;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                WriteLog("thread %d line %d %s", t, i, "payload-payload-payload");
        });
    for (auto &th : pool)
        th.join();
    uint64_t count = GetLogWrittenBytes();
    CloseLogFile();
    auto l = lines();
    ASSERT_EQ(l.size(), 1u + threads * perThread);
    std::regex shape(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}>>thread \d line \d+ payload-payload-payload)");
    for (std::size_t i = 1; i < l.size(); ++i)
        ASSERT_TRUE(std::regex_match(l[i], shape)) << l[i];
    EXPECT_EQ(count, dir.read("log/log.txt").size());
}

TEST_F(LogFixture, UnopenableFileLeavesTheLogOff)
{
    dir.write("log", "a file where the folder should be");
    OpenLogAtStart("v");
    EXPECT_FALSE(IsLogOpen());
    EXPECT_EQ(WriteMediaLog(nullptr, "x"), -1);
}

} // namespace
