// The settings dialog's lists and what its OK writes, without the window.
#include "console/ConfigSettings.h"
#include "core/SystemConfig.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <memory>

namespace {

VideoCaptureFormat Fmt(unsigned w, unsigned h, unsigned num, unsigned den, const char *sub = "video/x-raw/YUY2")
{
    return VideoCaptureFormat{sub, w, h, num, den};
}

TEST(CameraList, SizesTheMediaLibraryKnowsAndSaneRatesOnly)
{
    const std::vector<VideoCaptureDevice> devices = {
        {"Cam A", true,
         {Fmt(640, 480, 30, 1), Fmt(640, 480, 15, 1, "image/jpeg"), Fmt(641, 480, 30, 1), Fmt(1280, 720, 30000, 1001),
          Fmt(1280, 720, 25, 0)}},
        {"", true, {Fmt(640, 480, 30, 1)}},       // no name: not offered
        {"Broken", false, {}},                     // formats unreadable: not offered
        {"Cam B", true, {Fmt(320, 240, 10, 1)}},
    };
    const ConfigCameraList list = BuildCameraList(devices);
    ASSERT_EQ(list.names, (std::vector<std::string>{"Cam A", "Cam B"}));
    const VideoFormatPairs &a = list.formats.at(0);
    ASSERT_EQ(a.size(), 3u) << "unknown size 641x480 and the rate with denominator 0 are left out";
    EXPECT_EQ(a[0].size, 8);
    EXPECT_EQ(a[1].fps, 15u);
    EXPECT_EQ(a[2].size, 12);
    EXPECT_EQ(a[2].fps, 29u) << "30000/1001 rounds down";
    EXPECT_EQ(list.formats.at(1).at(0).size, 4);
}

TEST(CameraList, ResolutionsOnceAndRatesMergedPerSize)
{
    const VideoFormatPairs f = {{8, 640, 480, 30}, {12, 1280, 720, 30}, {8, 640, 480, 15}, {8, 640, 480, 30},
                                {4, 320, 240, 20}};
    int sel = -2;
    const auto res = ResolutionEntries(f, 12, &sel);
    ASSERT_EQ(res.size(), 3u);
    EXPECT_EQ(res[0].text, "640 x 480");
    EXPECT_EQ(res[0].size, 8);
    EXPECT_EQ(res[1].text, "1280 x 720");
    EXPECT_EQ(sel, 1);
    ResolutionEntries(f, 14, &sel);
    EXPECT_EQ(sel, -1) << "a size the camera lacks is not selected";

    const auto rates = FpsEntries(f, "640 x 480", 15, &sel);
    EXPECT_EQ(rates, (std::vector<uint32_t>{30, 15}));
    EXPECT_EQ(sel, 1);
    FpsEntries(f, "640 x 480", 20, &sel);
    EXPECT_EQ(sel, -1);
    EXPECT_TRUE(FpsEntries(f, "1 x 1", 20, &sel).empty());
}

// A working folder with data/zoxcfg.ini and a loaded configuration.
class ApplyTest : public ::testing::Test {
protected:
    static constexpr const char *kIni = "; console settings\r\n"
                                        "[General]\r\n"
                                        "Title = Fleet Desk \r\n"
                                        "Department=Night shift\r\n"
                                        "\r\n"
                                        "[Video]\r\n"
                                        "RecordPath=rec\r\n"
                                        "CameraId=0\r\n"
                                        "Resolution=8\r\n"
                                        "FPS=20\r\n"
                                        "CameraPreview=0\r\n"
                                        "; end\r\n";
    void SetUp() override
    {
        std::filesystem::create_directories(dir / "rec");
        dir.write("data/zoxcfg.ini", kIni);
        oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", (dir / "home").c_str(), 1);
        cwd = std::make_unique<zoxtest::ScopedCwd>(dir.path());
        config = std::make_unique<CSystemConfig>();
        values.title = config->GetTitle();
        values.department = config->GetDepartment();
        values.recordPath = config->GetRecordPath();
        values.cameraPosition = config->GetCameraId();
        values.sizeIndex = static_cast<int>(config->GetResolution());
        values.fps = static_cast<int>(config->GetFps());
        values.cameraPreview = config->IsCameraPreview();
    }
    void TearDown() override
    {
        config.reset();
        cwd.reset();
        ::setenv("HOME", oldHome.c_str(), 1);
    }
    // The file as it should be after replacing whole lines.
    static std::string With(std::vector<std::pair<std::string, std::string>> lines)
    {
        std::string s = kIni;
        for (auto &[from, to] : lines) {
            const auto at = s.find(from);
            if (at == std::string::npos)
                ADD_FAILURE() << from;
            else
                s.replace(at, from.size(), to);
        }
        return s;
    }

    zoxtest::TempDir dir;
    std::string oldHome;
    std::unique_ptr<zoxtest::ScopedCwd> cwd;
    std::unique_ptr<CSystemConfig> config;
    ConfigDialogValues values;
};

TEST_F(ApplyTest, OkWithoutChangesWritesThePreviewFlagOnly)
{
    ApplyConfigValues(*config, values);
    EXPECT_EQ(dir.read("data/zoxcfg.ini"), kIni) << "CameraPreview=0 written again as 0";
    values.cameraPreview = true;
    ApplyConfigValues(*config, values);
    EXPECT_EQ(dir.read("data/zoxcfg.ini"), With({{"CameraPreview=0", "CameraPreview=1"}}));
}

struct ApplyCase {
    std::string name;
    std::function<void(ConfigDialogValues &)> change;
    std::vector<std::pair<std::string, std::string>> lines; // expected line changes
};

void PrintTo(const ApplyCase &c, std::ostream *os) { *os << c.name; }

class ApplyCaseTest : public ApplyTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyCaseTest, OnlyTheChangedKeysAreRewritten)
{
    GetParam().change(values);
    ApplyConfigValues(*config, values);
    EXPECT_EQ(dir.read("data/zoxcfg.ini"), With(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ApplyCaseTest,
    ::testing::Values(
        ApplyCase{"title_trimmed", [](auto &v) { v.title = "  Harbour  "; }, {{"Title = Fleet Desk ", "Title=Harbour"}}},
        ApplyCase{"empty_title_keeps_the_old", [](auto &v) { v.title = "   "; }, {}},
        ApplyCase{"empty_department_is_written", [](auto &v) { v.department = ""; },
                  {{"Department=Night shift", "Department="}}},
        ApplyCase{"folder_without_trailing_separator", [](auto &v) { v.recordPath = "/srv/videos/"; },
                  {{"RecordPath=rec", "RecordPath=/srv/videos"}}},
        ApplyCase{"empty_folder_keeps_the_old", [](auto &v) { v.recordPath = ""; }, {}},
        ApplyCase{"new_camera_without_offered_size_or_rate",
                  [](auto &v) {
                      v.cameraPosition = 2;
                      v.sizeIndex = -1;
                      v.fps = -1;
                  },
                  {{"CameraId=0", "CameraId=2"}}},
        ApplyCase{"size_and_rate",
                  [](auto &v) {
                      v.sizeIndex = 12;
                      v.fps = 29;
                  },
                  {{"Resolution=8", "Resolution=12"}, {"FPS=20", "FPS=29"}}},
        ApplyCase{"no_camera_selected_writes_no_video_value",
                  [](auto &v) {
                      v.cameraPosition = -1;
                      v.sizeIndex = -1;
                      v.fps = -1;
                  },
                  {}}),
    zoxtest::CaseName());

TEST_F(ApplyTest, AFileThatCannotBeWrittenIsReported)
{
    std::filesystem::remove(dir / "data/zoxcfg.ini");
    std::filesystem::create_directories(dir / "data/zoxcfg.ini"); // a folder where the file should be
    values.department = "Day shift";
    EXPECT_THROW(ApplyConfigValues(*config, values), EIniFileException);
}

} // namespace
