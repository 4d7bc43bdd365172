#include "video/ui/VideoPopupForm.h"

#include "tests/support/UiApp.h"

#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Plays into the given tile like a session would (starting, then playing).
class FakeSource : public IPopupVideoSource {
public:
    std::vector<std::string> calls;
    int playResult = 0;
    int moveResult = 0;
    IVideoTile *driven = nullptr;

    int PlayVideo(int type, const std::string &number, IVideoTile *tile) override
    {
        calls.push_back("play " + std::to_string(type) + " " + number);
        if (playResult == 0) {
            driven = tile;
            tile->SetState(ZOX_VIDEOWND_STARTING);
        }
        return playResult;
    }
    int MoveVideo(int type, const std::string &number, IVideoTile *tile) override
    {
        calls.push_back("move " + std::to_string(type) + " " + number);
        if (moveResult == 0 && driven) {
            tile->Clone(driven);
            driven->SetState(ZOX_VIDEOWND_FREE);
            driven = tile;
        }
        return moveResult;
    }
    void StopVideo(int type, const std::string &number) override
    {
        calls.push_back("stop " + std::to_string(type) + " " + number);
    }
    void DetachTile(int, const std::string &, IVideoTile *tile) override
    {
        if (tile == driven) {
            calls.push_back("detach");
            driven = nullptr;
        }
    }
};

class FakeOwner : public IVideoPopupOwner, public CVideoWndHandler {
public:
    std::unique_ptr<QWidget> wall = std::make_unique<QWidget>();
    TVideoWndCtrl *freeTile = nullptr;
    std::vector<std::string> *calls = nullptr;

    TVideoWndCtrl *GetFreeVideoWindow() override { return freeTile; }
    void CloseVideoPopup(TVideoPopupForm *popup) override
    {
        calls->push_back("closePopup");
        popup->close();
    }
    void OnVideoWindowSelected(QWidget *, bool) override {}
    void SetSingleVideoWindow(QWidget *, bool) override {}
    void AutoShowTopBar(QWidget *) override {}
    void SwapVideoWindows(QWidget *, QWidget *) override {}
    void StopVideoUploadOfWindow(const std::string &, const std::string &) override {}
    void HangupVideoWindow(const std::string &, const std::string &) override {}
    void StopRtspVideo(int, const std::string &) override {}
    void OnForwardVideo(int, const std::string &, int) override {}
    void ToggleSessionRecord(const std::string &, int) override {}
    void ToggleRtspRecord(int, const std::string &) override {}
    int ToggleRtspAudio(int, const std::string &, TVideoWndCtrl *) override { return -1; }
};

class VideoPopupFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { zoxtest::uiApp(); }
    void SetUp() override
    {
        owner.calls = &source.calls;
        popup = new TVideoPopupForm(nullptr, &owner, "Gate", "5", 2, &source);
        popup->show();
    }
    void TearDown() override
    {
        delete popup.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Gone()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(popup.isNull());
    }

    FakeSource source;
    FakeOwner owner;
    QPointer<TVideoPopupForm> popup;
};

TEST_F(VideoPopupFormTest, EveryWayOfClosingStopsThePreviewAndLeavesTheList)
{
    struct Case {
        const char *how;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"close picture", {"play 2 5", "stop 2 5", "closePopup", "detach"}},
        {"window manager", {"play 2 5", "stop 2 5", "closePopup", "detach"}},
        {"accept, wall full", {"play 2 5", "stop 2 5", "closePopup", "detach"}},
    };
    for (const auto &c : cases) {
        TearDown();
        source = FakeSource();
        SetUp();
        ASSERT_EQ(popup->StartPreview(), 0);
        const std::string how = c.how;
        if (how == "close picture")
            popup->OnImageCloseClick();
        else if (how == "window manager")
            popup->close();
        else
            popup->OnImageAcceptClick();
        EXPECT_EQ(source.calls, c.calls) << c.how;
        EXPECT_EQ(source.driven, nullptr) << c.how; // no session keeps a freed tile
        Gone();
    }
}

TEST_F(VideoPopupFormTest, AcceptMovesThePreviewIntoAFreeWallTile)
{
    owner.freeTile = new TVideoWndCtrl(owner.wall.get(), &owner);
    ASSERT_EQ(popup->StartPreview(), 0);
    EXPECT_TRUE(popup->c_pImageAccept->isHidden());
    popup->OnTimerOut();
    EXPECT_FALSE(popup->c_pImageAccept->isHidden());
    popup->OnImageAcceptClick();
    EXPECT_EQ(source.calls, (std::vector<std::string>{"play 2 5", "move 2 5", "closePopup"}));
    EXPECT_EQ(source.driven, owner.freeTile);
    EXPECT_EQ(owner.freeTile->GetState(), ZOX_VIDEOWND_STARTING);
    Gone();
}

TEST_F(VideoPopupFormTest, FailuresAndAnEndedPreview)
{
    // a failed move stops the preview instead of leaving it running unseen
    owner.freeTile = new TVideoWndCtrl(owner.wall.get(), &owner);
    source.moveResult = -1;
    ASSERT_EQ(popup->StartPreview(), 0);
    popup->OnImageAcceptClick();
    EXPECT_EQ(source.calls, (std::vector<std::string>{"play 2 5", "move 2 5", "stop 2 5", "closePopup", "detach"}));
    Gone();

    // a preview that never started offers only the close picture
    source = FakeSource();
    source.playResult = -3;
    SetUp();
    EXPECT_EQ(popup->StartPreview(), -3);
    popup->OnTimerOut();
    EXPECT_TRUE(popup->c_pImageAccept->isHidden());
    popup->OnImageAcceptClick();
    EXPECT_EQ(source.calls, (std::vector<std::string>{"play 2 5", "stop 2 5", "closePopup"}));
    Gone();
}

} // namespace
