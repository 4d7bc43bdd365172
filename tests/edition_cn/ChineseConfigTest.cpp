// The configuration of the Chinese-language build: no Extend/UapEnabled, a Chinese
// default title, everything else as the English build reads it.
#include "core/Edition.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
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
