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

    // Pictures of 640x360: a height the decoder pads (as 1080 is), whose padded
    // pictures once reached the window read as planes of another layout.
    static RtspTestServerOptions Pictures()
    {
        RtspTestServerOptions o;
        o.width = 640;
        o.height = 360;
        return o;
    }
    // Pixels of a tile's video that are green: the test pattern is black and white.
    static int GreenPixels(TVideoWndCtrl *tile)
    {
        const QRect r(tile->VideoPanel()->mapToGlobal(QPoint(0, 0)), tile->VideoPanel()->size());
        const QImage shot =
            QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
        int green = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                green += c.green() > c.red() + 60 && c.green() > c.blue() + 60 ? 1 : 0;
            }
        return green;
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
    // What the windows show is the pictures, not their planes mixed up.
    // (A picture decoded before the stream's next key frame may show garbage for a
    // moment; planes read in the wrong layout stay green.)
    std::vector<int> green(seen.size(), -1);
    LiveWall::PumpUntil(
        [&] {
            bool clean = true;
            for (std::size_t i = 0; i < seen.size(); ++i) {
                if (green[i] != 0)
                    green[i] = GreenPixels(seen[i]);
                clean = clean && green[i] == 0;
            }
            return clean;
        },
        10s);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(0, green[i]) << seen[i]->GetUserNumber();

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

    // And back: the popup closes and the video plays in the freed wall tile.
    popup->OnImageAcceptClick();
    LiveWall::Pump(100ms);
    EXPECT_TRUE(form.VideoPopups().empty());
    EXPECT_EQ(before, wall.WallTileOf(moved));
    EXPECT_EQ(16u, wall.Client().SessionCount());
    EXPECT_TRUE(KeepsDecoding(moved));
    EXPECT_TRUE(wall.AllPlaying());
    EXPECT_EQ(nullptr, form.GetFreeVideoWindow());
}

} // namespace
