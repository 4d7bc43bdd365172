// The configuration of the Chinese-language build: no Extend/UapEnabled, a Chinese
// default title, everything else as the English build reads it.
#include "core/Edition.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <sstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<CSystemConfig> LoadIn(zoxtest::TempDir &dir, const std::string &ini)
{
    dir.write("data/zoxcfg.ini", ini);
    ::setenv("HOME", (dir / "home").c_str(), 1);
    ::unsetenv("XDG_VIDEOS_DIR");
    zoxtest::ScopedCwd cwd(dir.path());
    return std::make_unique<CSystemConfig>();
}

// Every value the configuration holds, one per line.
std::string Snapshot(const CSystemConfig &c)
{
    std::ostringstream o;
    o << c.GetServerIpAddr() << ' ' << c.GetLocalIpAddr() << ' ' << c.GetLocalRegIpAddr() << ' '
      << c.GetRtspClientIp() << ' ' << c.GetLocalUdpPort() << ' ' << c.GetServerUdpPort() << '\n'
      << c.GetTitle() << '\n' << c.GetDepartment() << '\n' << c.IsAutoLogin() << ' ' << c.GetLoginUsername() << ' '
      << c.GetLoginPassword() << ' ' << c.GetLockUsername() << ' ' << c.GetLockPassword() << '\n'
      << c.GetHeartbeat() << ' ' << c.GetHBInterval() << ' ' << c.IsWriteLogFile() << ' ' << c.GetLogLevel() << '\n'
      << c.IsVideoEnabled() << ' ' << c.GetJitterBuffer() << ' ' << c.GetVideoPktLossRetry() << ' '
      << c.IsKeepAspectRatio() << ' ' << c.IsAutoRecord() << ' ' << c.GetRecordPath() << ' ' << c.GetCameraId() << ' '
      << c.GetResolution() << ' ' << c.GetFps() << ' ' << c.GetDarX() << ':' << c.GetDarY() << ' '
      << c.IsCameraPreview() << ' ' << c.GetPttCodec() << '\n'
      << c.IsGisAvailable() << ' ' << c.GetServerUrl() << ' ' << c.IsCmsEnabled() << ' ' << c.IsUapEnabled() << '\n'
      << c.GetLocalRtpPort() << ' ' << c.GetLockInterval() << ' ' << c.GetVideoMaxSize() << ' '
      << c.GetVideoMaxTime() << ' ' << c.GetPublisher() << '\n';
    for (const std::string &note : c.GetLoadNotes())
        o << "note: " << note << '\n';
    return o.str();
}

} // namespace

TEST(ChineseConfig, UapKeyIsNotReadAndTheDefaultTitleIsChinese)
{
    const std::string base = "[System]\nServerIpAddr=127.0.0.1\n[Extend]\nCmsEnabled=1\n";
    struct Case {
        const char *name;
        std::string ini;
    };
    const Case cases[] = {
        {"without the key", base},
        {"with UapEnabled=1", base + "UapEnabled=1\n"},
        {"with UapEnabled that is no number", base + "UapEnabled=yes\n"},
    };
    const char *oldHome = std::getenv("HOME");
    const std::string home = oldHome ? oldHome : "";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        zoxtest::TempDir dir;
        auto config = LoadIn(dir, c.ini);
        EXPECT_FALSE(config->IsUapEnabled());
        EXPECT_TRUE(config->IsCmsEnabled());
        EXPECT_TRUE(config->GetLoadNotes().empty());
        EXPECT_EQ(config->GetTitle(), zox::edition::kProductTitle);
        EXPECT_EQ(config->GetLocalUdpPort(), 8888);
    }
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(std::string(zox::edition::kProductTitle), "ZoxClient 调度台");
    EXPECT_EQ(std::string(zox::edition::kVersionText), "V2.00.200213.CN");
    EXPECT_EQ(std::string(zox::edition::kLanguageText), "简体中文");
}

// The key is not read at all: with or without it (in any spelling), a file loads to
// the very same values, and a file without keys takes the defaults with the Chinese
// title.
TEST(ChineseConfig, AFileLoadsTheSameWithOrWithoutTheUapKey)
{
    const std::string full = "[System]\nServerIpAddr=10.1.2.3\nRtspClientIP=10.1.2.4\n"
                             "[General]\nDepartment=调度中心\n[Video]\nDAR=16:9\nFPS=25\n"
                             "[Audio]\nPttCodec= PCMA \n[GIS]\nGisEnabled=1\nServerUrl=http://gis/\n"
                             "[Extend]\nCmsEnabled=1\n";
    struct Case {
        const char *name;
        std::string without, with;
    };
    const Case cases[] = {
        {"no keys", "", "[Extend]\nUapEnabled=1\n"},
        {"every section", full, full + "UapEnabled=1\n"},
        {"key before the others", full, "[extend]\nuapenabled=7\n" + full},
        {"value that is no number", full, full + "UapEnabled=not a number\n"},
    };
    const char *oldHome = std::getenv("HOME");
    const std::string home = oldHome ? oldHome : "";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        zoxtest::TempDir dir;
        const auto without = LoadIn(dir, c.without);
        const auto with = LoadIn(dir, c.with);
        EXPECT_EQ(Snapshot(*without), Snapshot(*with));
        EXPECT_FALSE(with->IsUapEnabled());
        EXPECT_EQ(without->GetTitle(), "ZoxClient 调度台");
    }
    ::setenv("HOME", home.c_str(), 1);
}
