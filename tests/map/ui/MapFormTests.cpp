#include "console/ui/Mapfrm.h"
#include "tests/support/MapTestPage.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QSignalSpy>
#include <QWebEngineView>

#include <memory>
#include <string>
#include <vector>

using zoxtest::EvalInPage;
using zoxtest::ReceivedByPage;
using zoxtest::RunUntil;

namespace {

std::string Join(const std::vector<std::string> &numbers)
{
    std::string text;
    for (const std::string &n : numbers)
        text += (text.empty() ? "" : "|") + n;
    return text;
}

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

class MapWindow : public ::testing::Test {
protected:
    void SetUp() override { zoxtest::uiApp(); }
    void TearDown() override
    {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A map window on the address; waits for the page's load to finish. Whether it loaded.
    bool Open(const std::string &address)
    {
        form = std::make_unique<TMapForm>(nullptr, &host, address);
        form->resize(400, 300);
        form->show();
        QSignalSpy finished(form.get(), &TMapForm::PageLoadFinished);
        if (!RunUntil([&] { return finished.count() > 0; }))
            return false;
        return finished.front().front().toBool();
    }
    QWebEnginePage *Page() const { return form->c_pWebBrowser->page(); }

    zoxtest::TempDir dir;
    RecordingHost host;
    std::unique_ptr<TMapForm> form;
};

TEST_F(MapWindow, PageCommandsStartTheirOperationsAndMalformedCallsDoNothing)
{
    ASSERT_TRUE(Open(zoxtest::WriteMapTestPage(dir)));
    EXPECT_TRUE(form->IsPageReady());
    EXPECT_TRUE(form->c_pWebBrowser->isVisible());
    // the browser's frame lies outside the panel on the left and top
    EXPECT_EQ(form->c_pWebBrowser->geometry(), QRect(-2, -2, 402, 302));
    // the call the page made while it was still loading arrives too
    ASSERT_TRUE(RunUntil([&] { return !host.calls.empty(); }, 10000));
    EXPECT_EQ(host.calls, std::vector<std::string>{"ptt:100"});
    host.calls.clear();

    // in one script, so the calls reach the console in this order; the last one marks the end
    ASSERT_TRUE(EvalInPage(Page(), R"JS(
        var x = window.external;
        x.IDocInterface('2001', '100,101');
        x.IDocInterface('2001');
        x.IDocInterface(2001, '100');
        x.IDocInterface('2001', 100);
        x.IDocInterface('2001', '100', '101');
        x.IDocInterface('abc', '100');
        x.IDocInterface('2201', '');
        x.IDocInterface('2202', '100');
        x.IDocInterface('2201', '100,101');
        x.IDocInterface('2203', '300');
        x.IDocInterface('2401', '100');
        x.IDocInterface('2402', '100,101');
        x.IDocInterface('2101', '300,301');
        x.IDocInterface('2501', '200,201');
        x.IDocInterface('9999', '1');
        x.IDocInterface('2001', ',O\'Brien\\调度 (100),,');
        true;
    )JS"));
    const std::vector<std::string> expected = {
        "pttGroup:100|101", "voice:100",    "conference:100|101", "voiceGroup:300",
        "video:100",        "videoGroup:100|101", "upload:300",   "preview:1#200",
        "ptt:O'Brien\\调度 (100)",
    };
    ASSERT_TRUE(RunUntil([&] { return host.calls.size() >= expected.size(); }, 10000)) << host.calls.size();
    EXPECT_EQ(host.calls, expected);
}

TEST_F(MapWindow, ScriptsReachThePageWithTheirTextsIntact)
{
    const std::string name = "O'Brien\\调度 (100)";
    // before the page has completed, nothing runs
    form = std::make_unique<TMapForm>(nullptr, &host, zoxtest::WriteMapTestPage(dir));
    EXPECT_FALSE(form->SetSpeaker(name));
    form.reset();

    ASSERT_TRUE(Open(zoxtest::WriteMapTestPage(dir)));
    EXPECT_TRUE(form->SetSpeaker(name));
    EXPECT_TRUE(form->SelectUser(name));
    EXPECT_TRUE(form->SelectGroup(12));
    EXPECT_TRUE(form->UnsetSpeaker());
    EXPECT_TRUE(form->HideMapLogo());
    const QJsonArray expected = {
        QJsonArray{"setSpeeker", QString::fromUtf8(name)}, QJsonArray{"selectUser", QString::fromUtf8(name)},
        QJsonArray{"selectGroup", 12}, QJsonArray{"unsetSpeeker"}, QJsonArray{"HideMapLogo"}};
    EXPECT_EQ(ReceivedByPage(Page()), expected);
    const auto logo = EvalInPage(Page(), "getComputedStyle(document.getElementById('logo')).display");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->toString(), "none");
}

TEST_F(MapWindow, APageThatFailsHidesTheBrowserAndDropsScripts)
{
    const std::string missing = QUrl::fromLocalFile(QString::fromStdString((dir / "none/index.html").string()))
                                    .toString()
                                    .toStdString();
    EXPECT_FALSE(Open(missing));
    EXPECT_FALSE(form->IsPageReady());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->c_pWebBrowser->isVisible());
    EXPECT_FALSE(form->SelectUser("100"));
    EXPECT_FALSE(form->ExecScript("selectGroup(1);"));

    // a page whose renderer dies is a failed page too
    ASSERT_TRUE(Open(zoxtest::WriteMapTestPage(dir)));
    QSignalSpy ended(form.get(), &TMapForm::PageLoadFinished);
    form->c_pWebBrowser->load(QUrl("chrome://crash"));
    ASSERT_TRUE(RunUntil([&] { return ended.count() > 0; }));
    EXPECT_FALSE(form->IsPageReady());
    EXPECT_FALSE(form->c_pWebBrowser->isVisible());
    EXPECT_FALSE(form->UnsetSpeaker());

    // no address configured: the window is there without a page, and nothing is loaded
    form = std::make_unique<TMapForm>(nullptr, &host, "");
    form->show();
    EXPECT_EQ(form->PageAddress().rfind("?t=", 0), 0u);
    EXPECT_FALSE(form->c_pWebBrowser->isVisible());
    EXPECT_TRUE(form->c_pWebBrowser->url().isEmpty());
    EXPECT_FALSE(form->HideMapLogo());
}

} // namespace
