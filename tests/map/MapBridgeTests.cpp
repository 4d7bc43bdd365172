#include "console/MapBridge.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include <string>
#include <vector>

using namespace zox::map;

namespace {

std::string Join(const std::vector<std::string> &numbers)
{
    std::string text;
    for (const std::string &n : numbers)
        text += (text.empty() ? "" : "|") + n;
    return text;
}

// Records each operation as "name:arguments".
class RecordingHost : public IMapCommandHost {
public:
    std::vector<std::string> calls;
    void StartPttCall(const std::string &n) override { calls.push_back("ptt:" + n); }
    void StartPttGroupCall(const std::vector<std::string> &n) override { calls.push_back("pttGroup:" + Join(n)); }
    void StartUserVideoUpload(const std::string &n) override { calls.push_back("upload:" + n); }
    int StartVoiceCall(const std::string &n) override
    {
        calls.push_back("voice:" + n);
        return 0;
    }
    void StartVoiceConference(const std::vector<std::string> &n) override { calls.push_back("conference:" + Join(n)); }
    void StartVoiceGroupCall(const std::vector<std::string> &n) override { calls.push_back("voiceGroup:" + Join(n)); }
    void StartVideoCall(const std::string &n) override { calls.push_back("video:" + n); }
    void StartVideoGroupCall(const std::vector<std::string> &n) override { calls.push_back("videoGroup:" + Join(n)); }
    void PreviewVideo(int type, const std::string &n) override
    {
        calls.push_back("preview:" + std::to_string(type) + "#" + n);
    }
};

class RecordingPage : public IMapPage {
public:
    std::vector<std::string> scripts;
    bool visible = true;
    bool accepts = true;
    bool RunScript(const std::string &script) override
    {
        if (accepts)
            scripts.push_back(script);
        return accepts;
    }
    void SetBrowserVisible(bool v) override { visible = v; }
};

struct CommandCase {
    const char *code;
    const char *data;
    const char *expected; // the one operation started, or "" for none
};

TEST(MapBridge, PageCommandsStartTheOperationTheirCodeAndCountName)
{
    const CommandCase cases[] = {
        {"2001", "100", "ptt:100"},
        {"2001", "100,101", "pttGroup:100|101"},
        {"2001", ",100,,101,", "pttGroup:100|101"},
        {"2001", ",,100,", "ptt:100"},
        {"2001", " 100", "ptt: 100"}, // a blank stays part of the number
        {"2101", "300,301", "upload:300"},
        {"2201", "100", "voice:100"},
        {"2202", "100", "voice:100"},
        {"2201", "100,101,102", "conference:100|101|102"},
        {"2202", "100,101", "conference:100|101"},
        {"2203", "100", "voiceGroup:100"},
        {"2203", "100,101", "voiceGroup:100|101"},
        {"2401", "100", "video:100"},
        {"2402", "100", "video:100"},
        {"2402", "100,101", "videoGroup:100|101"},
        {"2501", "200,201", "preview:1#200"},
        {"2001", "", ""},
        {"2001", ",,,", ""},
        {"2301", "100", ""},
        {"0", "100", ""},
    };
    for (const CommandCase &c : cases) {
        RecordingPage page;
        RecordingHost host;
        CMapBridge bridge(page, &host);
        const bool started = bridge.OnExternalCommand(c.code, c.data);
        const std::vector<std::string> expected =
            *c.expected ? std::vector<std::string>{c.expected} : std::vector<std::string>{};
        EXPECT_EQ(host.calls, expected) << c.code << " [" << c.data << "]";
        EXPECT_EQ(started, !expected.empty()) << c.code << " [" << c.data << "]";
    }
}

TEST(MapBridge, OnlyTwoStringArgumentsWithADecimalCodeMakeACommand)
{
    struct Case {
        const char *args; // the page's arguments as JSON
        bool started;
    };
    const std::string big(kMaxDataLength + 1, '1');
    const Case cases[] = {
        {R"(["2001","100"])", true},
        {R"(["+2001","100"])", true},
        {R"(["0002001","100"])", true},
        {R"(["2001"])", false},
        {R"([])", false},
        {R"(["2001","100","101"])", false},
        {R"([2001,"100"])", false},
        {R"(["2001",100])", false},
        {R"(["2001",null])", false},
        {R"(["2001",["100"]])", false},
        {R"(["","100"])", false},
        {R"(["20x1","100"])", false},
        {R"([" 2001","100"])", false},
        {R"(["2001.0","100"])", false},
        {R"(["-","100"])", false},
        {R"(["99999999999","100"])", false},
    };
    for (const Case &c : cases) {
        RecordingPage page;
        RecordingHost host;
        CMapBridge bridge(page, &host);
        const QJsonArray args = QJsonDocument::fromJson(c.args).array();
        EXPECT_EQ(bridge.OnPageCall(args), c.started) << c.args;
        EXPECT_EQ(host.calls.size(), c.started ? 1u : 0u) << c.args;
    }
    RecordingPage page;
    RecordingHost host;
    CMapBridge bridge(page, &host);
    EXPECT_FALSE(bridge.OnPageCall(QJsonArray{"2001", QString::fromStdString(big)}));
    EXPECT_TRUE(host.calls.empty());
    // without a host the commands do nothing
    CMapBridge orphan(page, nullptr);
    EXPECT_FALSE(orphan.OnPageCall(QJsonArray{"2001", "100"}));
}

TEST(MapBridge, TextsReachThePageAsStringLiteralsThatReadBackIntact)
{
    struct Case {
        std::string text;
        std::string readBack; // what the page's string holds (UTF-8)
    };
    const Case cases[] = {
        {"O'Brien\\调度 (100)", "O'Brien\\调度 (100)"},
        {"say \"hi\"');alert(1);('", "say \"hi\"');alert(1);('"},
        {"line\nbreak\r\ttab\x01\x1f\x7f", "line\nbreak\r\ttab\x01\x1f\x7f"},
        {"sep\xE2\x80\xA8para\xE2\x80\xA9", "sep\xE2\x80\xA8para\xE2\x80\xA9"},
        {"</script><b>", "</script><b>"},
        {"\xF0\x9F\x9A\x93 car 7", "\xF0\x9F\x9A\x93 car 7"},
        {"", ""},
        // bytes that are not UTF-8 each become U+FFFD
        {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},
        {"\xE8\xB0", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case &c : cases) {
        const std::string literal = JsStringLiteral(c.text);
        ASSERT_GE(literal.size(), 2u);
        EXPECT_EQ(literal.front(), '"');
        EXPECT_EQ(literal.back(), '"');
        // nothing in it ends a JavaScript line or string early
        for (unsigned char ch : literal)
            EXPECT_GE(ch, 0x20) << literal;
        EXPECT_EQ(literal.find("\xE2\x80\xA8"), std::string::npos);
        EXPECT_EQ(literal.find("\xE2\x80\xA9"), std::string::npos);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString("[" + literal + "]"), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << literal;
        ASSERT_EQ(doc.array().size(), 1);
        EXPECT_EQ(doc.array().at(0).toString().toUtf8().toStdString(), c.readBack) << literal;
    }
}

TEST(MapBridge, ScriptsAndAddress)
{
    const std::pair<std::string, std::string> cases[] = {
        {SelectGroupScript(12), "selectGroup(12);"},
        {SelectGroupScript(PageGroupId(1, 12)), "selectGroup(12);"},
        {SelectGroupScript(PageGroupId(0, 0xFFFF)), "selectGroup(0);"},
        {SelectGroupScript(PageGroupId(2, 0xFFFE)), "selectGroup(0);"},
        {SelectUserScript("100"), "selectUser(\"100\");"},
        {SetSpeakerScript("O'Brien (100)"), "setSpeeker(\"O'Brien (100)\");"},
        {UnsetSpeakerScript(), "unsetSpeeker();"},
        {HideMapLogoScript(), "HideMapLogo();"},
        {MapPageAddress("http://10.0.0.5/gis/index.html", 1765432100L),
         "http://10.0.0.5/gis/index.html?t=1765432100"},
        {MapPageAddress("http://10.0.0.5/gis?city=3", 7L), "http://10.0.0.5/gis?city=3?t=7"},
    };
    for (const auto &[actual, expected] : cases)
        EXPECT_EQ(actual, expected);
}

TEST(MapBridge, ScriptsRunOnlyWhileThisWindowsPageIsReady)
{
    RecordingPage page, other;
    CMapBridge bridge(page, nullptr);
    CMapBridge second(other, nullptr);
    EXPECT_FALSE(bridge.SelectUser("100"));
    EXPECT_TRUE(page.scripts.empty());

    bridge.OnDocumentComplete();
    EXPECT_TRUE(page.visible);
    EXPECT_TRUE(bridge.SetSpeaker("Car 7"));
    EXPECT_TRUE(bridge.UnsetSpeaker());
    EXPECT_EQ(page.scripts, (std::vector<std::string>{"setSpeeker(\"Car 7\");", "unsetSpeeker();"}));
    // another window's page is not ready because this one is
    EXPECT_FALSE(second.HideMapLogo());
    EXPECT_TRUE(other.scripts.empty());

    page.accepts = false; // the browser did not take the script
    EXPECT_FALSE(bridge.SelectGroup(3));
    page.accepts = true;

    bridge.OnNavigateError();
    EXPECT_FALSE(page.visible);
    EXPECT_FALSE(bridge.IsPageReady());
    EXPECT_FALSE(bridge.HideMapLogo());
    EXPECT_EQ(page.scripts.size(), 2u);
    // a later document (the page navigated on) is ready again
    bridge.OnDocumentComplete();
    EXPECT_TRUE(page.visible);
    EXPECT_TRUE(bridge.HideMapLogo());
}

} // namespace
