// The video wall with real previews on a real X display (the test runs under
// xvfb-run): sixteen cameras of an RTSP server play in the 16-tile layout through the
// console's RTSP client into the tiles' windows, and one of them moves into a popup and
// back into the wall with the same session playing on.
#include "LiveWall.h"

#include "tests/video/server/RtspTestServer.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

class LiveWallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(wall.Open(server.Url(), 16, 1280, 800));
    }
    void TearDown() override
    {
        wall.Close();
        server.Stop();
    }
    // Whether the camera's preview decodes further pictures from now on.
    bool KeepsDecoding(const std::string &cid)
    {
        const int64_t before = wall.Frames(cid);
        return LiveWall::PumpUntil([&] { return wall.Frames(cid) >= before + 5; }, 10s);
    }

    // Colour bars of 640x360: wider than a tile of the 16-tile wall, and a height the
    // decoder pads (as 1080 is).
    static RtspTestServerOptions Pictures()
    {
        RtspTestServerOptions o;
        o.width = 640;
        o.height = 360;
        o.pattern = "smpte";
        return o;
    }
    // Whether a tile's window shows the whole picture in its colours: along a line at a
    // quarter of its height, the first coloured pixel (black borders skipped) is the
    // grey-white bar and the last one the blue bar. A picture drawn unscaled shows only
    // its left part (or its last bar cut short); planes read in the wrong layout turn it
    // green.
    static bool ShowsAllBars(TVideoWndCtrl *tile)
    {
        const QRect r(tile->VideoPanel()->mapToGlobal(QPoint(0, 0)), tile->VideoPanel()->size());
        const QImage shot =
            QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
        if (shot.isNull())
            return false;
        const int y = shot.height() / 4;
        auto coloured = [](const QColor &c) { return c.red() + c.green() + c.blue() > 120; };
        int first = 0, last = shot.width() - 1;
        while (first < shot.width() && !coloured(shot.pixelColor(first, y)))
            ++first;
        while (last > first && !coloured(shot.pixelColor(last, y)))
            --last;
        if (first >= last)
            return false;
        auto blue = [](const QColor &c) { return c.blue() > 150 && c.red() < 80 && c.green() < 80; };
        const QColor a = shot.pixelColor(first + 2, y);
        int blueRun = 0;
        while (last - blueRun > first && blue(shot.pixelColor(last - blueRun, y)))
            ++blueRun;
        // The blue bar is a seventh of the picture: a picture cut at the window's edge
        // leaves less of it.
        return a.red() > 150 && a.green() > 150 && a.blue() > 150 && blueRun * 9 >= last - first;
    }

    RtspTestServer server{Pictures()};
    LiveWall wall;
};

TEST_F(LiveWallTest, SixteenPreviewsPlayAndOneMovesToAPopupAndBack)
{
    ASSERT_TRUE(wall.PlayAll());
    ASSERT_TRUE(LiveWall::PumpUntil([&] { return wall.AllPlaying(3); }, 30s));
    TMainForm &form = wall.Form();
    EXPECT_EQ(16, form.GetCurrentWindowCount());
    EXPECT_EQ(nullptr, form.GetFreeVideoWindow());
    // Every camera in a tile of its own, each tile shown in a cell.
    std::vector<TVideoWndCtrl *> seen;
    for (const ST_ZOX_RTSP_CAMERA &c : wall.Cameras()) {
        TVideoWndCtrl *t = wall.WallTileOf(LiveWall::Id(c));
        ASSERT_NE(nullptr, t) << c.cid;
        EXPECT_GT(t->width(), 0);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), t), 0) << c.cid;
        seen.push_back(t);
    }
    ASSERT_EQ(16u, wall.Client().SessionCount());
    // Each window shows its whole picture, scaled to the tile, in its colours. (A
    // picture decoded before the stream's next key frame may show garbage for a moment.)
    std::vector<bool> shown(seen.size(), false);
    LiveWall::PumpUntil(
        [&] {
            bool all = true;
            for (std::size_t i = 0; i < seen.size(); ++i) {
                shown[i] = shown[i] || ShowsAllBars(seen[i]);
                all = all && shown[i];
            }
            return all;
        },
        10s);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_TRUE(shown[i]) << seen[i]->GetUserNumber();

    // Into a popup: the playing video moves, its wall tile becomes free.
    const std::string moved = LiveWall::Id(wall.Cameras()[5]);
    TVideoWndCtrl *before = wall.WallTileOf(moved);
    form.PreviewVideo(CRtspClient::kOwnerCamera, moved);
    ASSERT_EQ(1u, form.VideoPopups().size());
    TVideoPopupForm *popup = form.VideoPopups()[0];
    LiveWall::Pump(100ms);
    ASSERT_NE(nullptr, popup->VideoCtrl());
    EXPECT_EQ(ZOX_VIDEOWND_PLAYING, popup->VideoCtrl()->GetState());
    EXPECT_EQ(moved, popup->VideoCtrl()->GetUserNumber());
    EXPECT_EQ(ZOX_VIDEOWND_FREE, before->GetState());
    EXPECT_EQ(nullptr, wall.WallTileOf(moved));
    EXPECT_EQ(16u, wall.Client().SessionCount()); // moved, not opened again
    EXPECT_TRUE(wall.Client().IsPlaying(CRtspClient::kOwnerCamera, moved));
    EXPECT_TRUE(KeepsDecoding(moved));
    // The pictures follow the move into a window of another size.
    EXPECT_TRUE(LiveWall::PumpUntil([&] { return ShowsAllBars(popup->VideoCtrl()); }, 5s));

    // And back: the popup closes and the video plays in the freed wall tile.
    popup->OnImageAcceptClick();
    LiveWall::Pump(100ms);
    EXPECT_TRUE(form.VideoPopups().empty());
    EXPECT_EQ(before, wall.WallTileOf(moved));
    EXPECT_EQ(16u, wall.Client().SessionCount());
    EXPECT_TRUE(KeepsDecoding(moved));
    EXPECT_TRUE(LiveWall::PumpUntil([&] { return ShowsAllBars(before); }, 5s));
    EXPECT_TRUE(wall.AllPlaying());
    EXPECT_EQ(nullptr, form.GetFreeVideoWindow());
}

} // namespace
