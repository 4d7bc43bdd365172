#include "core/RecordingName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {
std::tm at(int y, int mo, int d, int h, int mi, int s)
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
} // namespace

TEST(RecordingName, Texts)
{
    std::tm t = at(2023, 6, 18, 9, 5, 7);
    EXPECT_EQ(RecordingMonthText(t), "202306");
    EXPECT_EQ(RecordingTimeText(t), "20230618090507");
    EXPECT_EQ(MakeRecordingFilePath("/nonexistent-folder", "camera", "17", t, ".264"),
              "/nonexistent-folder/camera17_20230618090507.264");
}

TEST(RecordingName, SameSecondGetsNewNameAndNeverAnExistingOne)
{
    zoxtest::TempDir dir;
    std::tm t = at(2023, 6, 18, 9, 5, 7);
    const std::string folder = dir.path().string();
    std::string first = MakeRecordingFilePath(folder, "", "501", t, ".265");
    EXPECT_EQ(first, folder + "/501_20230618090507.265");
    dir.write("501_20230618090507.265", "x");
    EXPECT_EQ(MakeRecordingFilePath(folder, "", "501", t, ".265"), folder + "/501_20230618090507_0.265");
    dir.write("501_20230618090507_0.265", "x");
    EXPECT_EQ(MakeRecordingFilePath(folder, "", "501", t, ".265"), folder + "/501_20230618090507_1.265");
    for (int i = 1; i <= 999; ++i)
        dir.write("501_20230618090507_" + std::to_string(i) + ".265", "x");
    // Every candidate exists: no name, so nothing gets overwritten.
    EXPECT_EQ(MakeRecordingFilePath(folder, "", "501", t, ".265"), "");
    EXPECT_EQ(dir.read("501_20230618090507_999.265"), "x");
}
