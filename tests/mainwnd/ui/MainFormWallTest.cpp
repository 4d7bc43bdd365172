#include "MainFormFixture.h"

#include "video/VideoWall.h"

#include <QRect>

namespace {

class VideoWall : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build();
        ShowForm();
        form->c_pPanelVideoGroup->resize(1000, 600);
        QCoreApplication::processEvents();
    }
    const std::vector<TVideoWndCtrl *> &Tiles() const { return form->VideoWindows(); }
    QLabel *Split(int count) const
    {
        for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i)
            if (kSplitScreenPictures[i].windowCount == count)
                return form->c_pImageSplit[i];
        return nullptr;
    }
    // Takes a free tile and plays a video of number in it.
    TVideoWndCtrl *Busy(const std::string &number)
    {
        TVideoWndCtrl *t = form->GetFreeVideoWindow();
        if (!t)
            return nullptr;
        t->SetState(ZOX_VIDEOWND_STARTING);
        t->SetUser("", number, 2);
        t->SetService(ZOX_VIDEOWND_RTSP);
        t->SetState(ZOX_VIDEOWND_PLAYING);
        return t;
    }
    static QRect Rect(const zox::video::WallRect &r) { return QRect(r.left, r.top, r.width, r.height); }
};

TEST_F(VideoWall, StartsWithFourTilesAndFollowsTheSplitBar)
{
    ASSERT_EQ(Tiles().size(), 4u);
    EXPECT_EQ(Tiles()[3]->geometry(), QRect(500, 300, 500, 300));
    for (int count : {3, 16, 1, 9}) {
        form->OnImageSplitScreenClick(Split(count));
        ASSERT_EQ(Tiles().size(), static_cast<std::size_t>(count));
        const auto *layout = zox::video::FindSplitLayout(count);
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(Tiles()[i]->geometry(), Rect(zox::video::SplitCellBounds(*layout, i, 1000, 600))) << count;
    }
    form->c_pPanelVideoGroup->resize(1001, 601);
    QCoreApplication::processEvents();
    EXPECT_EQ(Tiles()[8]->geometry(), QRect(666, 400, 333, 200));
}

TEST_F(VideoWall, BusyTilesArePackedParkedAndNeverHandedOutUnseen)
{
    form->OnImageSplitScreenClick(Split(6));
    std::vector<TVideoWndCtrl *> busy;
    for (int i = 0; i < 5; ++i)
        busy.push_back(Busy(std::to_string(10 + i)));
    form->OnImageSplitScreenClick(Split(1));
    ASSERT_EQ(Tiles().size(), 5u);
    EXPECT_EQ(Tiles()[0], busy[0]);
    EXPECT_EQ(Tiles()[0]->geometry(), QRect(0, 0, 1000, 600));
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(Tiles()[i], busy[i]);
        EXPECT_EQ(Tiles()[i]->size(), QSize(0, 0));
        EXPECT_TRUE(Tiles()[i]->IsUsed());
    }
    // a parked video ends: its tile is not given to the next video
    busy[2]->SetState(ZOX_VIDEOWND_FREE);
    TVideoWndCtrl *next = Busy("99");
    ASSERT_NE(next, nullptr);
    EXPECT_GT(next->width(), 0);
    // the free parked tile went away on the repack; the four busy ones fill 2, 3, 4, then 6 cells
    EXPECT_EQ(form->GetCurrentWindowCount(), 6);
    EXPECT_EQ(Tiles()[4], next);
    EXPECT_EQ(Tiles().size(), 6u);
}

TEST_F(VideoWall, AllocationGrowsTheLayoutUpToSixteen)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(Busy(std::to_string(i)), nullptr);
    TVideoWndCtrl *fifth = Busy("4");
    ASSERT_NE(fifth, nullptr);
    EXPECT_EQ(form->GetCurrentWindowCount(), 6);
    EXPECT_EQ(Tiles()[4], fifth);
    for (int i = 5; i < 16; ++i)
        ASSERT_NE(Busy(std::to_string(i)), nullptr) << i;
    EXPECT_EQ(form->GetCurrentWindowCount(), 16);
    EXPECT_EQ(form->GetFreeVideoWindow(), nullptr);
}

TEST_F(VideoWall, SwapSingleViewAndSelection)
{
    TVideoWndCtrl *a = Tiles()[0];
    TVideoWndCtrl *c = Tiles()[2];
    Busy("1");
    Busy("2");
    Busy("3");
    c->OnDragDropHandler(a); // tile 1 dropped on tile 3
    EXPECT_EQ(Tiles()[0], c);
    EXPECT_EQ(Tiles()[2], a);
    EXPECT_EQ(c->geometry(), QRect(0, 0, 500, 300));
    form->OnImageSplitScreenClick(Split(9));
    EXPECT_EQ(Tiles()[0], c); // the swapped order survives a layout change
    EXPECT_EQ(Tiles()[2], a);

    a->OnDblClickHandler();
    EXPECT_TRUE(form->IsSingleVideoWindow());
    EXPECT_EQ(a->geometry(), QRect(0, 0, 1000, 600));
    EXPECT_TRUE(c->isHidden());
    a->OnDblClickHandler();
    EXPECT_FALSE(form->IsSingleVideoWindow());
    EXPECT_FALSE(c->isHidden());
    EXPECT_EQ(a->geometry(), QRect(666, 0, 333, 200));

    a->OnClickHandler(a);
    c->OnClickHandler(c);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(c->IsSelected());

    form->OnImageVideoTitleVisibleClick();
    for (TVideoWndCtrl *t : Tiles())
        EXPECT_TRUE(t->TitleBar()->isHidden());
}

} // namespace

namespace {

class CountingSource : public IPopupVideoSource {
public:
    int plays = 0;
    int stops = 0;
    int PlayVideo(int, const std::string &, IVideoTile *tile) override
    {
        ++plays;
        tile->SetState(ZOX_VIDEOWND_STARTING);
        return 0;
    }
    int MoveVideo(int, const std::string &, IVideoTile *) override { return -1; }
    void StopVideo(int, const std::string &) override { ++stops; }
    void DetachTile(int, const std::string &, IVideoTile *) override {}
};

TEST_F(VideoWall, PreviewOpensPopupsUnderTheCommonLimit)
{
    FillCache();
    CountingSource source;
    form->SetPopupVideoSource(&source);
    struct Case {
        int type;
        const char *number;
        std::size_t popups; // open afterwards
    };
    // camera 6 is offline, 77 unknown, type 3 not previewable, user 1004 offline
    for (const Case c : {Case{2, "5", 1}, Case{2, "5", 1}, Case{2, "6", 1}, Case{2, "77", 1}, Case{3, "5", 1},
                         Case{1, "1004", 1}, Case{1, "1002", 2}, Case{1, "1003", 3}})
        EXPECT_EQ((form->PreviewVideo(c.type, c.number), form->VideoPopups().size()), c.popups)
            << c.type << "#" << c.number;
    EXPECT_EQ(source.plays, 3);

    // three popups and thirteen busy tiles: the limit is reached
    for (int i = 0; i < 13; ++i)
        ASSERT_NE(Busy(std::to_string(100 + i)), nullptr);
    form->VideoPopups().front()->close();
    EXPECT_EQ(form->VideoPopups().size(), 2u);
    EXPECT_EQ(source.stops, 1);
    ASSERT_NE(Busy("200"), nullptr);
    form->PreviewVideo(2, "5");
    EXPECT_EQ(form->VideoPopups().size(), 2u);
    form->SetPopupVideoSource(nullptr);
    while (!form->VideoPopups().empty())
        form->VideoPopups().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
