// Reading and writing INI files with the semantics of the Windows profile functions.
#include "host/IniFile.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using zox::host::IniFile;

namespace {

struct ReadCase {
    const char *name;
    const char *content;
    const char *section;
    const char *key;
    const char *expected; // what ReadString gives with the default "DEF"
};

void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.name; }


const ReadCase kReadCases[] = {
    {"plain", "[System]\nServerIpAddr=10.1.2.3\n", "System", "ServerIpAddr", "10.1.2.3"},
    {"missing key gives default", "[System]\nOther=1\n", "System", "ServerIpAddr", "DEF"},
    {"missing section gives default", "[Video]\nFPS=25\n", "System", "FPS", "DEF"},
    {"present empty value is empty", "[General]\nTitle=\n", "General", "Title", ""},
    {"present blank value is empty", "[General]\nTitle=   \n", "General", "Title", ""},
    {"section name without case", "[sYsTeM]\nServerIpAddr=1.2.3.4\n", "System", "ServerIpAddr", "1.2.3.4"},
    {"key name without case", "[System]\nSERVERIPADDR=1.2.3.4\n", "System", "ServerIpAddr", "1.2.3.4"},
    {"values and names trimmed", "  [ System ]  \n  ServerIpAddr  =  1.2.3.4  \n", "System", "ServerIpAddr", "1.2.3.4"},
    {"comma kept as text", "[General]\nTitle=a,b,c\n", "General", "Title", "a,b,c"},
    {"semicolon kept as text", "[General]\nTitle=x ; y\n", "General", "Title", "x ; y"},
    {"comment line ignored", "[General]\n;Title=old\nTitle=new\n", "General", "Title", "new"},
    {"first of two keys wins", "[General]\nTitle=one\nTitle=two\n", "General", "Title", "one"},
    {"key of another section not taken", "[A]\nk=1\n[B]\nx=2\n", "B", "k", "DEF"},
    {"CRLF line ends", "[Video]\r\nFPS=25\r\n", "Video", "FPS", "25"},
    {"no line end at all", "[Video]\nFPS=30", "Video", "FPS", "30"},
    {"equals sign inside value", "[GIS]\nServerUrl=http://h/p?a=1&b=2\n", "GIS", "ServerUrl", "http://h/p?a=1&b=2"},
    {"quotes around a value dropped", "[General]\nTitle=\"Desk 1\"\n", "General", "Title", "Desk 1"},
    {"UTF-8 value byte-exact", "[General]\nTitle=调度台 «A»\n", "General", "Title", "调度台 «A»"},
    {"key line before any section ignored", "Title=x\n[General]\n", "General", "Title", "DEF"},
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, GivesTheValueOrTheDefault)
{
    const ReadCase &c = GetParam();
    zoxtest::TempDir dir;
    dir.write("a.ini", c.content);
    IniFile ini((dir / "a.ini").string());
    EXPECT_EQ(ini.ReadString(c.section, c.key, "DEF"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniRead, ::testing::ValuesIn(kReadCases),
                         zoxtest::CaseName());

TEST(IniFile, MissingFileGivesDefaults)
{
    zoxtest::TempDir dir;
    IniFile ini((dir / "none.ini").string());
    EXPECT_EQ(ini.ReadString("System", "ServerIpAddr", "0.0.0.0"), "0.0.0.0");
}

TEST(IniFile, GarbageNeverBreaksTheReader)
{
    std::string garbage;
    for (int i = 0; i < 70000; ++i)
        garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
    std::string longLine(1 << 20, 'x');
    const std::string inputs[] = {
        garbage,
        "[General]\nTitle=" + longLine + "\n",
        std::string("[General]\0Title=a\0\0", 19),
        "[[[[\n]]]]\n====\n[General\nTitle=a",
        std::string(200000, '\n'),
    };
    for (const std::string &in : inputs) {
        zoxtest::TempDir dir;
        dir.write("a.ini", in);
        IniFile ini((dir / "a.ini").string());
        std::string v = ini.ReadString("General", "Title", "DEF");
        EXPECT_LE(v.size(), in.size());
    }
    // An overlong value is read whole.
    zoxtest::TempDir dir;
    dir.write("a.ini", "[General]\nTitle=" + longLine + "\n");
    EXPECT_EQ(IniFile((dir / "a.ini").string()).ReadString("General", "Title", "DEF"), longLine);
}

TEST(IniFile, OversizedFileIsTreatedAsMissing)
{
    zoxtest::TempDir dir;
    dir.write("a.ini", "[General]\nTitle=x\n" + std::string(IniFile::kMaxFileSize, ';'));
    EXPECT_EQ(IniFile((dir / "a.ini").string()).ReadString("General", "Title", "DEF"), "DEF");
    // ...and is never replaced by a write.
    EXPECT_FALSE(IniFile((dir / "a.ini").string()).WriteString("General", "Title", "y"));
    EXPECT_GT(dir.read("a.ini").size(), IniFile::kMaxFileSize);
}

struct WriteCase {
    const char *name;
    const char *before;
    const char *section;
    const char *key;
    const char *value;
    const char *after;
};

void PrintTo(const WriteCase &c, std::ostream *os) { *os << c.name; }


const WriteCase kWriteCases[] = {
    {"replaces in place, keeps other lines and comments",
     "; settings\n[General]\nTitle=Old\nDepartment=D\n\n[Video]\nFPS=25\n", "general", "title", "New",
     "; settings\n[General]\ntitle=New\nDepartment=D\n\n[Video]\nFPS=25\n"},
    {"adds a missing key after the section's last line",
     "[General]\nTitle=T\n\n[Video]\nFPS=25\n", "General", "Department", "Ops",
     "[General]\nTitle=T\nDepartment=Ops\n\n[Video]\nFPS=25\n"},
    {"adds a missing section at the end", "[General]\nTitle=T", "Video", "CameraId", "2",
     "[General]\nTitle=T\n[Video]\nCameraId=2\n"},
    {"creates the file content", "", "Video", "FPS", "30", "[Video]\nFPS=30\n"},
    {"keeps CRLF line ends", "[Video]\r\nFPS=25\r\nDAR=0:0\r\n", "Video", "FPS", "15",
     "[Video]\r\nFPS=15\r\nDAR=0:0\r\n"},
    {"writes an empty value", "[General]\nDepartment=Ops\n", "General", "Department", "",
     "[General]\nDepartment=\n"},
    {"value with comma and semicolon", "[General]\n", "General", "Title", "a,b;c", "[General]\nTitle=a,b;c\n"},
};

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, RewritesOneKey)
{
    const WriteCase &c = GetParam();
    zoxtest::TempDir dir;
    if (*c.before)
        dir.write("a.ini", c.before);
    IniFile ini((dir / "a.ini").string());
    ASSERT_TRUE(ini.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(dir.read("a.ini"), c.after);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "DEF"), c.value);
    EXPECT_FALSE(dir.exists("a.ini.tmp"));
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWrite, ::testing::ValuesIn(kWriteCases),
                         zoxtest::CaseName());

TEST(IniFile, WriteIntoMissingFolderFailsCleanly)
{
    zoxtest::TempDir dir;
    IniFile ini((dir / "no/such/folder/a.ini").string());
    EXPECT_FALSE(ini.WriteString("General", "Title", "x"));
}

} // namespace
