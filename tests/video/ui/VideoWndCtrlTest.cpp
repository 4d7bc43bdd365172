#include "video/ui/VideoWndCtrl.h"

#include "tests/support/UiApp.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every report of a tile as one line.
class RecordingHandler : public CVideoWndHandler {
public:
    std::vector<std::string> calls;
    int audioResult = 0;

    void OnVideoWindowSelected(QWidget *, bool byUser) override
    {
        calls.push_back(std::string("selected ") + (byUser ? "user" : "code"));
    }
    void SetSingleVideoWindow(QWidget *, bool on) override { calls.push_back(std::string("single ") + (on ? "on" : "off")); }
    void AutoShowTopBar(QWidget *) override {}
    void SwapVideoWindows(QWidget *, QWidget *) override { calls.push_back("swap"); }
    void StopVideoUploadOfWindow(const std::string &number, const std::string &name) override
    {
        calls.push_back("stopUpload " + number + " " + name);
    }
    void HangupVideoWindow(const std::string &number, const std::string &name) override
    {
        calls.push_back("hangup " + number + " " + name);
    }
    void StopRtspVideo(int type, const std::string &number) override
    {
        calls.push_back("stopRtsp " + std::to_string(type) + " " + number);
    }
    void OnForwardVideo(int type, const std::string &number, int service) override
    {
        calls.push_back("forward " + std::to_string(type) + " " + number + " " + std::to_string(service));
    }
    void ToggleSessionRecord(const std::string &number, int kind) override
    {
        calls.push_back("record " + number + " " + std::to_string(kind));
    }
    void ToggleRtspRecord(int type, const std::string &number) override
    {
        calls.push_back("rtspRecord " + std::to_string(type) + " " + number);
    }
    int ToggleRtspAudio(int type, const std::string &number, TVideoWndCtrl *) override
    {
        calls.push_back("audio " + std::to_string(type) + " " + number);
        return audioResult;
    }
};

int g_karCalls = 0;
int g_lastKeep = -1;
int RecordKar(const void *, int keep)
{
    ++g_karCalls;
    g_lastKeep = keep;
    return 0;
}

class VideoWndCtrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { zoxtest::uiApp(); }
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        owner->resize(800, 600);
        tile = new TVideoWndCtrl(owner.get(), &handler);
        tile->setGeometry(0, 0, 402, 330); // host panel 400 x 300 under the 28-pixel title bar
        owner->show();
    }
    void Play(EN_ZOX_VIDEOWND_SERVICE service, const std::string &name = "Gate", const std::string &number = "1005",
              int type = 2)
    {
        tile->SetState(ZOX_VIDEOWND_STARTING);
        tile->SetUser(name, number, type);
        tile->SetService(service);
        tile->SetState(ZOX_VIDEOWND_PLAYING);
    }
    bool Shown(TVideoWndCtrl::Tool t) const { return tile->ToolButton(t)->isVisibleTo(tile->TitleBar()); }

    RecordingHandler handler;
    std::unique_ptr<QWidget> owner;
    TVideoWndCtrl *tile = nullptr;
    int dummy = 0;
};

TEST_F(VideoWndCtrlTest, ToolsAndReportsPerService)
{
    struct Case {
        EN_ZOX_VIDEOWND_SERVICE service;
        bool soundEnabled;
        const char *stopCaption;
        bool soundShown;
        std::vector<std::string> reports; // Stop, Forward, Record, Sound
    };
    const std::vector<Case> cases = {
        {ZOX_VIDEOWND_UPLOAD, false, "Stop    ", false,
         {"stopUpload 1005 Gate", "forward 2 1005 0", "record 1005 4"}},
        {ZOX_VIDEOWND_CALL, false, "Hangup ", false, {"hangup 1005 Gate", "forward 2 1005 1", "record 1005 2"}},
        {ZOX_VIDEOWND_CALL, true, "Hangup ", true, {"hangup 1005 Gate", "forward 2 1005 1", "record 1005 2"}},
        {ZOX_VIDEOWND_RTSP, true, "Stop    ", true,
         {"stopRtsp 2 1005", "forward 2 1005 2", "rtspRecord 2 1005", "audio 2 1005"}},
    };
    for (const auto &c : cases) {
        SetUp();
        EXPECT_FALSE(Shown(TVideoWndCtrl::ToolStop));
        EXPECT_TRUE(tile->TitleLabel()->text().isEmpty());
        tile->SetSoundEnable(c.soundEnabled);
        Play(c.service);
        EXPECT_EQ(tile->TitleLabel()->text(), "Gate");
        EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolStop)->text().toStdString(), c.stopCaption);
        for (auto t : {TVideoWndCtrl::ToolStop, TVideoWndCtrl::ToolForward, TVideoWndCtrl::ToolStretch,
                       TVideoWndCtrl::ToolRecord})
            EXPECT_TRUE(Shown(t)) << t;
        EXPECT_FALSE(Shown(TVideoWndCtrl::ToolMaximize));
        EXPECT_EQ(Shown(TVideoWndCtrl::ToolSound), c.soundShown);
        handler.calls.clear();
        tile->ToolButton(TVideoWndCtrl::ToolStop)->click();
        tile->ToolButton(TVideoWndCtrl::ToolForward)->click();
        tile->ToolButton(TVideoWndCtrl::ToolRecord)->click();
        tile->OnBtnSoundClick();
        EXPECT_EQ(handler.calls, c.reports) << c.service;
        // tools stand right-aligned, one pixel apart
        const int right = tile->TitleBar()->width() - 1;
        EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolStop)->x(), right - 75);
        EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolForward)->x(), right - 75 - 1 - 80);
        EXPECT_EQ(tile->ToolIcon(TVideoWndCtrl::ToolForward)->x(), right - 75 - 1 - 80 + 7);
    }
}

TEST_F(VideoWndCtrlTest, TitleNumberAndLeavingPlay)
{
    tile->SetSoundEnable(true);
    tile->SetState(ZOX_VIDEOWND_STARTING);
    tile->SetUser("", "1005", 1);
    EXPECT_EQ(tile->GetUserNumber(), "");
    tile->SetService(ZOX_VIDEOWND_RTSP);
    tile->SetState(ZOX_VIDEOWND_PLAYING);
    EXPECT_EQ(tile->TitleLabel()->text(), "1005");
    EXPECT_EQ(tile->GetUserNumber(), "1005");
    tile->SetSoundOpen(true);
    tile->SetRecording(true);
    EXPECT_EQ(tile->ToolIconName(TVideoWndCtrl::ToolSound), "IMG_BTN_VOLUME_NORMAL");
    EXPECT_EQ(tile->ToolIconName(TVideoWndCtrl::ToolRecord), "IMG_BTN_RECORD_STARTED");

    tile->SetState(ZOX_VIDEOWND_FREE);
    EXPECT_TRUE(tile->TitleLabel()->text().isEmpty());
    for (int t = 0; t < TVideoWndCtrl::ToolCount; ++t)
        EXPECT_FALSE(Shown(TVideoWndCtrl::Tool(t))) << t;
    EXPECT_FALSE(tile->IsSoundEnabled());
    EXPECT_FALSE(tile->IsSoundOpen()); // the next video starts muted
    EXPECT_TRUE(tile->IsRecording());  // only the recorder changes this
    EXPECT_FALSE(tile->IsUsed());
}

TEST_F(VideoWndCtrlTest, SoundToolFlipsOnlyWhenTheOwnerToggled)
{
    tile->SetSoundEnable(true);
    Play(ZOX_VIDEOWND_RTSP);
    handler.audioResult = -1;
    tile->ToolButton(TVideoWndCtrl::ToolSound)->click();
    EXPECT_FALSE(tile->IsSoundOpen());
    handler.audioResult = 0;
    tile->ToolButton(TVideoWndCtrl::ToolSound)->click();
    EXPECT_TRUE(tile->IsSoundOpen());
    EXPECT_EQ(tile->ToolIconName(TVideoWndCtrl::ToolSound), "IMG_BTN_VOLUME_NORMAL");
}

TEST_F(VideoWndCtrlTest, LetterboxFollowsTheDecodedSize)
{
    ASSERT_EQ(tile->HostPanel()->size(), QSize(400, 300));
    Play(ZOX_VIDEOWND_RTSP);
    tile->SetVideoKarCallback(&dummy, &RecordKar);
    if (tile->IsStretch()) {
        g_karCalls = 0;
        tile->ToolButton(TVideoWndCtrl::ToolStretch)->click();
        EXPECT_EQ(g_karCalls, 1);
        EXPECT_EQ(g_lastKeep, 1);
    }
    ASSERT_FALSE(tile->IsStretch());
    tile->SetVideoSize(1280, 720);
    EXPECT_EQ(tile->VideoPanel()->geometry(), QRect(0, 37, 400, 225));
    tile->SetVideoSize(0, 720); // not decoded yet: ignored, no division by zero
    tile->SetVideoSize(1280, 0);
    EXPECT_EQ(tile->VideoPanel()->geometry(), QRect(0, 37, 400, 225));
    tile->resize(642, 510); // host 640 x 480
    tile->SetVideoSize(720, 576);
    EXPECT_EQ(tile->VideoPanel()->geometry(), QRect(20, 0, 600, 480));

    tile->ToolButton(TVideoWndCtrl::ToolStretch)->click();
    EXPECT_EQ(g_lastKeep, 0);
    EXPECT_EQ(tile->VideoPanel()->geometry(), QRect(0, 0, 640, 480));
    tile->SetVideoSize(1280, 720); // stretching: no change
    EXPECT_EQ(tile->VideoPanel()->geometry(), QRect(0, 0, 640, 480));
}

TEST_F(VideoWndCtrlTest, SelectionDoubleClickAndDrop)
{
    tile->OnClickHandler(nullptr);
    tile->OnClickHandler(tile->HostPanel()); // already selected: nothing
    EXPECT_EQ(handler.calls, std::vector<std::string>{"selected code"});
    EXPECT_TRUE(tile->IsBorderBold());
    tile->SetSelected(false);
    EXPECT_EQ(tile->FlatColor(), QColor(38, 48, 53));
    tile->OnClickHandler(tile->VideoPanel());
    EXPECT_EQ(handler.calls.back(), "selected user");

    tile->OnDblClickHandler();
    EXPECT_EQ(handler.calls.back(), "single on");
    EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolMaximize)->text(), "Restore ");
    tile->OnDblClickHandler();
    EXPECT_EQ(handler.calls.back(), "single off");

    auto *other = new TVideoWndCtrl(owner.get(), &handler);
    QWidget stranger;
    EXPECT_TRUE(tile->OnDragOverHandler(other->VideoPanel()));
    EXPECT_FALSE(tile->OnDragOverHandler(&stranger));
    handler.calls.clear();
    tile->OnDragDropHandler(tile);
    tile->OnDragDropHandler(&stranger);
    EXPECT_TRUE(handler.calls.empty());
    tile->OnDragDropHandler(other);
    EXPECT_EQ(handler.calls, std::vector<std::string>{"swap"});

    tile->SetWndClickEnabled(false);
    tile->SetSelected(false);
    handler.calls.clear();
    tile->OnClickHandler(nullptr);
    tile->OnDblClickHandler();
    EXPECT_TRUE(handler.calls.empty());
}

TEST_F(VideoWndCtrlTest, CloneTakesOverAPlayingTile)
{
    tile->SetSoundEnable(true);
    Play(ZOX_VIDEOWND_RTSP, "Gate", "7", 2);
    tile->SetVideoKarCallback(&dummy, &RecordKar);
    tile->SetRecording(true);
    tile->OnClickHandler(nullptr);
    auto *fresh = new TVideoWndCtrl(owner.get(), &handler);
    const QColor before = fresh->FlatColor();
    fresh->Clone(nullptr);
    EXPECT_FALSE(fresh->IsUsed());
    fresh->Clone(tile);
    EXPECT_EQ(fresh->GetState(), ZOX_VIDEOWND_PLAYING);
    EXPECT_EQ(fresh->GetService(), ZOX_VIDEOWND_RTSP);
    EXPECT_EQ(fresh->GetUserNumber(), "7");
    EXPECT_TRUE(fresh->IsSelected());
    EXPECT_EQ(fresh->FlatColor(), before);
    EXPECT_EQ(fresh->ToolIconName(TVideoWndCtrl::ToolRecord), "IMG_BTN_RECORD_STARTED");
    EXPECT_EQ(fresh->GetHandle(), 0u); // offscreen: nothing to render into
}

} // namespace
