// Loading data/zoxcfg.ini: defaults, conversions, clamps and the setters' write-back.
#include "core/SystemConfig.h"
#include "host/IniFile.h"
#include "medialib/MediaDefaults.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A working folder with data/zoxcfg.ini and a home of its own, so that the public
// videos folder lands inside the scratch folder.
class ConfigFixture {
public:
    explicit ConfigFixture(const std::string *ini)
    {
        if (ini)
            dir.write("data/zoxcfg.ini", *ini);
        oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", (dir / "home").c_str(), 1);
        ::unsetenv("XDG_VIDEOS_DIR");
        cwd = std::make_unique<zoxtest::ScopedCwd>(dir.path());
    }
    ~ConfigFixture() { ::setenv("HOME", oldHome.c_str(), 1); }

    zoxtest::TempDir dir;
    std::string oldHome;
    std::unique_ptr<zoxtest::ScopedCwd> cwd;
};

TEST(SystemConfig, WithoutTheFileEveryDefaultApplies)
{
    ConfigFixture f(nullptr);
    CSystemConfig c;
    EXPECT_EQ(c.GetHBInterval(), 12000);
    EXPECT_EQ(c.GetLogLevel(), 2u);
    EXPECT_EQ(c.GetResolution(), 8u);
    EXPECT_EQ(c.GetFps(), 20u);
    EXPECT_TRUE(c.GetJitterBuffer());
    EXPECT_EQ(c.GetPttCodec(), "G711A");
    EXPECT_EQ(c.GetLocalUdpPort(), 8888);
    EXPECT_EQ(c.GetServerUdpPort(), 8888);
    EXPECT_EQ(c.GetServerIpAddr(), 0u);
    EXPECT_EQ(c.GetLoginUsername(), "4");
    EXPECT_EQ(c.GetLoginPassword().size(), 1u);
    EXPECT_EQ(c.GetLockUsername(), "qorvu");
    EXPECT_EQ(c.GetLocalRtpPort(), 50000);
    EXPECT_EQ(c.GetVideoMaxSize(), 1024);
    EXPECT_EQ(c.GetVideoMaxTime(), 3600);
    EXPECT_FALSE(c.IsWriteLogFile());
    EXPECT_FALSE(c.IsAutoLogin());
    EXPECT_FALSE(c.GetTitle().empty());
    EXPECT_EQ(c.GetRecordPath(), (f.dir / "home/Videos").string());
    EXPECT_TRUE(f.dir.exists("home/Videos"));
    EXPECT_TRUE(c.GetLoadNotes().empty());
}

struct LoadCase {
    const char *name;
    const char *ini;
    std::function<void(const CSystemConfig &)> check;
};

void PrintTo(const LoadCase &c, std::ostream *os) { *os << c.name; }


const LoadCase kLoadCases[] = {
    {"resolution 99 clamps to 14", "[Video]\nResolution=99",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetResolution(), 14u); }},
    {"resolution -1 clamps to 14", "[Video]\nResolution=-1",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetResolution(), 14u); }},
    {"resolution 14 stays", "[Video]\nResolution=14", [](const CSystemConfig &c) { EXPECT_EQ(c.GetResolution(), 14u); }},
    {"fps 4 becomes 20", "[Video]\nFPS=4", [](const CSystemConfig &c) { EXPECT_EQ(c.GetFps(), 20u); }},
    {"fps 61 becomes 20", "[Video]\nFPS=61", [](const CSystemConfig &c) { EXPECT_EQ(c.GetFps(), 20u); }},
    {"fps 5 stays", "[Video]\nFPS=5", [](const CSystemConfig &c) { EXPECT_EQ(c.GetFps(), 5u); }},
    {"fps 60 stays", "[Video]\nFPS=60", [](const CSystemConfig &c) { EXPECT_EQ(c.GetFps(), 60u); }},
    {"log level 0 becomes 2", "[Debug]\nWriteLogLevel=0", [](const CSystemConfig &c) { EXPECT_EQ(c.GetLogLevel(), 2u); }},
    {"log level 5 becomes 2", "[Debug]\nWriteLogLevel=5", [](const CSystemConfig &c) { EXPECT_EQ(c.GetLogLevel(), 2u); }},
    {"log level 4 stays", "[Debug]\nWriteLogLevel=4", [](const CSystemConfig &c) { EXPECT_EQ(c.GetLogLevel(), 4u); }},
    {"lock interval 2000 becomes 1440", "[Security]\nLockInterval=2000",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetLockInterval(), 1440u); }},
    {"negative lock interval becomes 1440", "[Security]\nLockInterval=-3",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetLockInterval(), 1440u); }},
    {"heartbeat interval 0 is 0 ms", "[Security]\nHBInterval=0",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetHBInterval(), 0); }},
    {"heartbeat interval 30 is 30000 ms", "[Security]\nHBInterval=30",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetHBInterval(), 30000); }},
    {"huge heartbeat interval is clamped and noted", "[Security]\nHBInterval=3000000",
     [](const CSystemConfig &c) {
         EXPECT_EQ(c.GetHBInterval(), CSystemConfig::kMaxHBIntervalSeconds * 1000);
         ASSERT_EQ(c.GetLoadNotes().size(), 1u);
     }},
    {"negative heartbeat interval is clamped to 0 and noted", "[Security]\nHBInterval=-5",
     [](const CSystemConfig &c) {
         EXPECT_EQ(c.GetHBInterval(), 0);
         EXPECT_EQ(c.GetLoadNotes().size(), 1u);
     }},
    {"local rtp port 0 becomes 50000", "[System]\nLocalRtpPort=0",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetLocalRtpPort(), 50000); }},
    {"odd local rtp port is raised", "[System]\nLocalRtpPort=40001",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetLocalRtpPort(), 40002); }},
    {"dar 16:9", "[Video]\nDAR=16:9", [](const CSystemConfig &c) { EXPECT_EQ(c.GetDarX(), 16); EXPECT_EQ(c.GetDarY(), 9); }},
    {"dar 16 alone is 0:0", "[Video]\nDAR=16", [](const CSystemConfig &c) { EXPECT_EQ(c.GetDarX(), 0); EXPECT_EQ(c.GetDarY(), 0); }},
    {"dar empty is 0:0", "[Video]\nDAR=", [](const CSystemConfig &c) { EXPECT_EQ(c.GetDarX(), 0); EXPECT_EQ(c.GetDarY(), 0); }},
    {"ptt codec empty is G711A", "[Audio]\nPttCodec=", [](const CSystemConfig &c) { EXPECT_EQ(c.GetPttCodec(), "G711A"); }},
    {"ptt codec trimmed", "[Audio]\nPttCodec=  iLBC  ", [](const CSystemConfig &c) { EXPECT_EQ(c.GetPttCodec(), "iLBC"); }},
    {"missing heartbeat key gives 0", "[Security]\nAutoLogin=1",
     [](const CSystemConfig &c) { EXPECT_EQ(c.GetHeartbeat(), 0); EXPECT_TRUE(c.IsAutoLogin()); }},
    {"addresses in network order", "[System]\nServerIpAddr=10.1.2.3\nLocalIpAddr=127.0.0.1\nRtspClientIP=bogus",
     [](const CSystemConfig &c) {
         EXPECT_EQ(c.GetServerIpAddr(), ::inet_addr("10.1.2.3"));
         EXPECT_EQ(c.GetLocalIpAddr(), htonl(0x7F000001));
         EXPECT_EQ(c.GetRtspClientIp(), 0xFFFFFFFFu);
     }},
    {"flag is on when not zero in 16 bits", "[Video]\nVideoEnabled=2\nAutoRecord=65536",
     [](const CSystemConfig &c) { EXPECT_TRUE(c.IsVideoEnabled()); EXPECT_FALSE(c.IsAutoRecord()); }},
    {"gis needs a server url", "[GIS]\nGisEnabled=1\nServerUrl=",
     [](const CSystemConfig &c) { EXPECT_FALSE(c.IsGisAvailable()); }},
    {"gis with server url", "[GIS]\nGisEnabled=1\nServerUrl=http://127.0.0.1/map",
     [](const CSystemConfig &c) { EXPECT_TRUE(c.IsGisAvailable()); EXPECT_EQ(c.GetServerUrl(), "http://127.0.0.1/map"); }},
    {"hexadecimal number converts", "[Video]\nCameraId=$10", [](const CSystemConfig &c) { EXPECT_EQ(c.GetCameraId(), 16); }},
    {"comma in a text kept", "[General]\nDepartment=North, East;1", [](const CSystemConfig &c) { EXPECT_EQ(c.GetDepartment(), "North, East;1"); }},
};

class SystemConfigLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(SystemConfigLoad, ConvertsAndFixesUp)
{
    std::string ini = GetParam().ini;
    ConfigFixture f(&ini);
    CSystemConfig c;
    GetParam().check(c);
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemConfigLoad, ::testing::ValuesIn(kLoadCases),
                         zoxtest::CaseName());

TEST(SystemConfig, NumberThatDoesNotConvertFailsTheLoad)
{
    const char *bad[] = {"[Security]\nHeartbeat=abc", "[Security]\nHeartbeat=", "[Video]\nFPS=12x",
                         "[Video]\nResolution=99999999999", "[Debug]\nWriteLogFile=1.5"};
    for (const char *b : bad) {
        std::string ini = b;
        ConfigFixture f(&ini);
        EXPECT_THROW(CSystemConfig c, EConvertError) << b;
    }
    std::string ini = "[Security]\nHeartbeat=abc";
    ConfigFixture f(&ini);
    try {
        CSystemConfig c;
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

TEST(SystemConfig, GarbageFileLoadsDefaultsOrFailsCleanly)
{
    std::string garbage;
    for (int i = 0; i < 50000; ++i)
        garbage.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
    const std::string inputs[] = {garbage, std::string(3 << 20, 'A'), "[Video]" + std::string(100000, ' ') + "FPS=1"};
    for (const std::string &in : inputs) {
        ConfigFixture f(&in);
        try {
            CSystemConfig c;
            EXPECT_EQ(c.GetLocalUdpPort(), 8888);
        } catch (const EConvertError &) {
            SUCCEED();
        }
    }
}

TEST(SystemConfig, RecordPathRules)
{
    {
        std::string ini;
        ConfigFixture f(&ini);
        std::string existing = (f.dir / "rec").string();
        f.dir.write("rec/.keep", "");
        ini = "[Video]\nRecordPath=" + existing + "/\n";
        f.dir.write("data/zoxcfg.ini", ini);
        CSystemConfig c;
        EXPECT_EQ(c.GetRecordPath(), existing);
    }
    {
        std::string ini;
        ConfigFixture f(&ini);
        std::string creatable = (f.dir / "a/b/c").string();
        f.dir.write("data/zoxcfg.ini", "[Video]\nRecordPath=" + creatable + "\n");
        CSystemConfig c;
        EXPECT_EQ(c.GetRecordPath(), creatable);
        EXPECT_TRUE(f.dir.exists("a/b/c"));
    }
    {
        std::string ini;
        ConfigFixture f(&ini);
        f.dir.write("blocker", "a file, not a folder");
        f.dir.write("data/zoxcfg.ini", "[Video]\nRecordPath=" + (f.dir / "blocker/sub").string() + "\n");
        CSystemConfig c;
        EXPECT_EQ(c.GetRecordPath(), (f.dir / "home/Videos").string());
    }
}

TEST(SystemConfig, SettersWriteOneKeyAndKeepTheRest)
{
    std::string ini = "; desk 4\n[General]\nTitle=Desk\nDepartment=Ops\n\n[Video]\nCameraId=1\nResolution=8\nFPS=20\n";
    ConfigFixture f(&ini);
    CSystemConfig c;

    c.SetCameraId(1); // unchanged: nothing written
    EXPECT_EQ(f.dir.read("data/zoxcfg.ini"), ini);

    c.SetTitle(""); // empty title changes nothing
    EXPECT_EQ(c.GetTitle(), "Desk");
    EXPECT_EQ(f.dir.read("data/zoxcfg.ini"), ini);

    c.SetDepartment("");
    EXPECT_EQ(c.GetDepartment(), "");
    c.SetCameraId(3);
    c.SetRecordPath("/srv/rec/");
    EXPECT_EQ(c.GetRecordPath(), "/srv/rec");
    c.SetCameraPreview(true);
    c.SetFps(25);
    EXPECT_EQ(tmedia_defaults_get().videoFps, 25);
    c.SetResolution(5);
    EXPECT_EQ(tmedia_defaults_get().prefVideoSize, 5);

    EXPECT_EQ(f.dir.read("data/zoxcfg.ini"),
              "; desk 4\n[General]\nTitle=Desk\nDepartment=\n\n[Video]\nCameraId=3\nResolution=5\nFPS=25\n"
              "RecordPath=/srv/rec\nCameraPreview=1\n");
}

TEST(SystemConfig, FailedWriteBackRaisesAndKeepsTheNewValue)
{
    std::string ini = "[General]\nTitle=Desk\n";
    ConfigFixture f(&ini);
    CSystemConfig c;
    std::filesystem::remove_all(f.dir / "data");
    f.dir.write("data", "a file where the folder was");
    EXPECT_THROW(c.SetDepartment("Ops"), EIniFileException);
    EXPECT_EQ(c.GetDepartment(), "Ops");
}

} // namespace
