// Recording start and stop of a session with a fixed clock: the month folder, the file
// name, its counter within one second, the refusals and their log lines.
#include "tests/support/ConsoleEnv.h"
#include "video/SessionRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::tm At(int y, int mo, int d, int h, int mi, int s)
{
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return t;
}

// A session whose media layer only notes the files it is asked to write (and writes
// them, as the real one does once the stream flows).
class FakeRecorder : public CSessionRecord {
public:
    bool hasMedia = true;
    int mediaResult = 0;
    std::vector<std::string> started;
    int stops = 0;

    tmedia_session_mgr_t *GetSessionManager() override
    {
        return hasMedia ? reinterpret_cast<tmedia_session_mgr_t *>(this) : nullptr;
    }

protected:
    int StartMediaRecord(tmedia_session_mgr_t *, const std::string &path) override
    {
        started.push_back(path);
        if (mediaResult == 0)
            std::ofstream(path) << "stream";
        return mediaResult;
    }
    void StopMediaRecord(tmedia_session_mgr_t *) override { ++stops; }
};

class SessionRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        env = std::make_unique<zoxtest::ConsoleEnv>("127.0.0.1", "127.0.0.2", "[Video]\nRecordPath=./rec\n");
        root = "rec";
    }
    std::unique_ptr<zoxtest::ConsoleEnv> env;
    fs::path root;
};

} // namespace

struct NameCase {
    const char *name;
    const char *prefix;
    const char *ext;
    std::tm when;
    const char *file; // under rec/
};

void PrintTo(const NameCase &c, std::ostream *os) { *os << c.file; }

class SessionRecordNames : public SessionRecordTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(SessionRecordNames, FolderAndFileFollowTheStartTime)
{
    const NameCase &c = GetParam();
    FakeRecorder r;
    r.SetClock([&] { return c.when; });
    ASSERT_EQ(r.StartRecord(c.name, c.prefix, c.ext), 0);
    EXPECT_TRUE(r.IsRecording());
    EXPECT_EQ(fs::path(r.GetRecordFile()).lexically_normal(), root / c.file);
    ASSERT_EQ(r.started.size(), 1u);
    EXPECT_TRUE(fs::is_directory(fs::path(r.GetRecordFile()).parent_path()));
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionRecordNames,
    ::testing::Values(NameCase{"17", "camera", ".264", At(2023, 6, 18, 9, 5, 7), "202306/camera17_20230618090507.264"},
                      NameCase{"501", "", ".265", At(2024, 12, 31, 23, 59, 59), "202412/501_20241231235959.265"},
                      NameCase{"8", "camera", ".264", At(2025, 1, 2, 3, 4, 5), "202501/camera8_20250102030405.264"}),
    [](const auto &info) { return std::string(*info.param.prefix ? info.param.prefix : "vehicle") + info.param.name; });

TEST_F(SessionRecordTest, RecordingsWithinOneSecondGetACounterAndNoneIsOverwritten)
{
    const std::tm t = At(2023, 6, 18, 9, 5, 7);
    const fs::path month = root / "202306";
    std::vector<std::string> files;
    for (int i = 0; i < 3; ++i) {
        FakeRecorder r;
        r.SetClock([&] { return t; });
        ASSERT_EQ(r.StartRecord("17", "camera", ".264"), 0);
        files.push_back(fs::path(r.GetRecordFile()).lexically_normal().string());
        EXPECT_EQ(r.StopRecord(), 0);
        EXPECT_EQ(r.stops, 1);
    }
    EXPECT_EQ(files, (std::vector<std::string>{(month / "camera17_20230618090507.264").string(),
                                               (month / "camera17_20230618090507_0.264").string(),
                                               (month / "camera17_20230618090507_1.264").string()}));

    // Every counter of that second taken: refused with a log line, nothing overwritten.
    for (int i = 2; i <= 999; ++i)
        std::ofstream(month / ("camera17_20230618090507_" + std::to_string(i) + ".264")) << "old";
    FakeRecorder full;
    full.SetClock([&] { return t; });
    EXPECT_EQ(full.StartRecord("17", "camera", ".264"), -2);
    EXPECT_FALSE(full.IsRecording());
    EXPECT_TRUE(full.started.empty());
    std::ifstream last(month / "camera17_20230618090507_999.264");
    std::string text;
    last >> text;
    EXPECT_EQ(text, "old");
    const std::string log = env->LogText();
    EXPECT_NE(log.find("session-record[17]:: no free file name for camera17_20230618090507.264."), std::string::npos);
    EXPECT_NE(log.find("session-record[17]:: failed to start session recorder!"), std::string::npos);
}

TEST_F(SessionRecordTest, RefusalsAndStopLeaveTheRightTraces)
{
    std::tm t = At(2023, 6, 18, 9, 5, 7);
    FakeRecorder r;
    r.SetClock([&] { return t; });

    // Nothing records: stop changes and logs nothing.
    EXPECT_EQ(r.StopRecord(), 0);
    EXPECT_EQ(r.stops, 0);
    EXPECT_EQ(env->LogText().find("session-record["), std::string::npos);

    // No media session: -1, nothing logged.
    r.hasMedia = false;
    EXPECT_EQ(r.StartRecord("17", "camera", ".264"), -1);
    EXPECT_EQ(env->LogText().find("session-record["), std::string::npos);

    // The media layer refuses: -2, flag clear.
    r.hasMedia = true;
    r.mediaResult = -1;
    EXPECT_EQ(r.StartRecord("17", "camera", ".264"), -2);
    EXPECT_FALSE(r.IsRecording());

    r.mediaResult = 0;
    ASSERT_EQ(r.StartRecord("17", "camera", ".264"), 0);
    EXPECT_EQ(r.StartRecord("17", "camera", ".264"), -1); // recording already
    EXPECT_EQ(r.started.size(), 2u);
    t = At(2023, 6, 18, 9, 6, 0);
    EXPECT_EQ(r.StopRecord(), 0);
    EXPECT_FALSE(r.IsRecording());
    EXPECT_EQ(r.GetStopTimeText(), "2023-06-18 09:06:00");
    const std::string log = env->LogText();
    EXPECT_NE(log.find("session-record[17]:: start session recorder time 2023-06-18 09:05:07."), std::string::npos);
    EXPECT_NE(log.find("session-record[17]:: start session recorder success."), std::string::npos);
    EXPECT_NE(log.find("session-record[17]:: stop session recorder time 2023-06-18 09:06:00."), std::string::npos);
}
