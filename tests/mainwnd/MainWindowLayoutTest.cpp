// The main window's modes against what is visible and where the panels go.
#include "console/MainWindowLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace zox::mainwnd;

namespace {

struct ModeCase {
    const char *name;
    MainWindowModes modes;
    // Expected.
    bool titleBar;
    Rect splitter, lowerLeft, rightTop, mainArea, rightBottom;
    bool rightTopVisible, rightBottomVisible;
    bool leftPicture, splitPictures, foldPicture, swapPicture, swapEnabled;
};

// Window client 1068 x 680: main client 1068 x 650 below the title bar; 1068 x 680 in
// full screen.
MainWindowModes M(bool full, bool left, bool folded, bool swapped, bool map)
{
    MainWindowModes m;
    m.fullScreen = full;
    m.leftVisible = left;
    m.folded = folded;
    m.swapped = swapped;
    m.mapAvailable = map;
    return m;
}

const ModeCase kCases[] = {
    // name, modes (full, left, folded, swapped, map)
    {"plain_with_map", M(false, true, false, false, true), true, {0, 0, 320, 410}, {0, 410, 320, 240},
     {320, 0, 748, 30}, {320, 30, 748, 542}, {320, 572, 748, 78}, true, true, true, true, true, true, true},
    {"folded", M(false, true, true, false, true), true, {0, 0, 320, 650}, {0, 650, 320, 0}, {320, 0, 748, 30},
     {320, 30, 748, 542}, {320, 572, 748, 78}, true, true, true, true, true, true, false},
    {"no_map", M(false, true, false, false, false), true, {0, 0, 320, 650}, {0, 650, 320, 0},
     {320, 0, 748, 30}, {320, 30, 748, 542}, {320, 572, 748, 78}, true, true, true, true, false, false, true},
    {"left_hidden", M(false, false, false, false, true), true, {0, 0, 0, 410}, {0, 410, 0, 240},
     {0, 0, 1068, 30}, {0, 30, 1068, 542}, {0, 572, 1068, 78}, true, true, true, true, true, true, true},
    {"swapped", M(false, true, false, true, true), true, {0, 0, 320, 410}, {0, 410, 320, 240},
     {320, 0, 748, 30}, {320, 30, 748, 542}, {320, 572, 748, 78}, true, true, true, false, true, true, true},
    {"swapped_folded", M(false, true, true, true, true), true, {0, 0, 320, 650}, {0, 650, 320, 0},
     {320, 0, 748, 30}, {320, 30, 748, 542}, {320, 572, 748, 78}, true, true, true, false, true, true, false},
    {"full_screen", M(true, false, false, false, true), false, {0, 0, 0, 440}, {0, 440, 0, 240},
     {0, 0, 1068, 30}, {0, 0, 1068, 680}, {0, 680, 1068, 78}, false, false, false, true, true, true, true},
    {"full_screen_no_map", M(true, false, false, false, false), false, {0, 0, 0, 680}, {0, 680, 0, 0},
     {0, 0, 1068, 30}, {0, 0, 1068, 680}, {0, 680, 1068, 78}, false, false, false, true, false, false, true},
    {"full_screen_folded_swapped", M(true, false, true, true, true), false, {0, 0, 0, 680}, {0, 680, 0, 0},
     {0, 0, 1068, 30}, {0, 0, 1068, 680}, {0, 680, 1068, 78}, false, false, false, false, true, true, false},
};

void PrintTo(const ModeCase &c, std::ostream *os) { *os << c.name; }

class ModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeTable, VisibilityAndGeometry)
{
    const ModeCase &c = GetParam();
    const MainWindowGeometry g = LayoutMainWindow(c.modes, 1068, 680);
    EXPECT_EQ(g.titleBarVisible, c.titleBar);
    EXPECT_EQ(g.mainClient, (Rect{0, c.titleBar ? 30 : 0, 1068, c.titleBar ? 650 : 680}));
    EXPECT_EQ(g.splitter, c.splitter);
    EXPECT_EQ(g.lowerLeft, c.lowerLeft);
    EXPECT_EQ(g.rightTopVisible, c.rightTopVisible);
    EXPECT_EQ(g.rightTop, c.rightTop);
    EXPECT_EQ(g.mainArea, c.mainArea);
    EXPECT_EQ(g.rightBottomVisible, c.rightBottomVisible);
    if (c.rightBottomVisible) {
        EXPECT_EQ(g.rightBottom, c.rightBottom);
    }
    EXPECT_EQ(g.leftVisiblePicture, c.leftPicture);
    EXPECT_EQ(g.videoTitlePicture, c.leftPicture);
    EXPECT_EQ(g.splitPictures, c.splitPictures);
    EXPECT_EQ(g.foldPicture, c.foldPicture);
    EXPECT_EQ(g.swapPicture, c.swapPicture);
    EXPECT_EQ(g.swapPictureEnabled, c.swapEnabled);
    // The prompt panel always sits in the main area's bottom right corner.
    EXPECT_EQ(g.prompt.Right(), g.mainArea.Right());
    EXPECT_EQ(g.prompt.Bottom(), g.mainArea.Bottom());
    EXPECT_EQ(g.prompt.width, 226);
    EXPECT_EQ(g.prompt.height, 222);
    EXPECT_EQ(g.cameraHostTop, g.mainClient.height - 120);
    // The column and the right side tile the main client without gap or overlap.
    EXPECT_EQ(g.splitter.height + g.lowerLeft.height, g.mainClient.height);
    EXPECT_EQ(g.mainArea.left, g.splitter.width);
    EXPECT_EQ(g.mainArea.Right(), g.mainClient.width);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ModeTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ModeCase> &i) { return std::string(i.param.name); });

TEST(MainWindowLayout, TinyWindowGivesNoNegativeSizes)
{
    const MainWindowGeometry g = LayoutMainWindow(M(false, true, false, false, true), 100, 50);
    EXPECT_GE(g.mainArea.height, 0);
    EXPECT_GE(g.mainArea.width, 0);
    EXPECT_GE(g.splitter.height, 0);
    EXPECT_EQ(g.lowerLeft.height, 20); // the lower panel never exceeds the column
}

TEST(MainWindowLayout, ResizeGripOnlyWhenNotMaximised)
{
    MainWindowModes m = M(false, true, false, false, false);
    m.maximized = true;
    EXPECT_FALSE(LayoutMainWindow(m, 800, 600).resizeGripVisible);
    m.maximized = false;
    EXPECT_TRUE(LayoutMainWindow(m, 800, 600).resizeGripVisible);
}

TEST(FullScreen, RoundTripRestoresEveryMode)
{
    for (bool maximized : {false, true})
        for (bool left : {false, true})
            for (bool folded : {false, true})
                for (bool swapped : {false, true}) {
                    MainWindowModes m = M(false, left, folded, swapped, true);
                    m.maximized = maximized;
                    const MainWindowModes before = m;
                    FullScreenMemory mem;
                    ToggleFullScreen(m, mem);
                    EXPECT_TRUE(m.fullScreen);
                    EXPECT_TRUE(m.maximized);
                    EXPECT_FALSE(m.leftVisible);
                    EXPECT_EQ(m.folded, folded);
                    EXPECT_EQ(m.swapped, swapped);
                    ToggleFullScreen(m, mem);
                    EXPECT_EQ(m, before) << maximized << left << folded << swapped;
                }
}

TEST(FullScreen, EnteringTwiceKeepsTheFirstMemory)
{
    MainWindowModes m = M(false, true, false, false, true);
    m.maximized = false;
    FullScreenMemory mem;
    EnterFullScreen(m, mem);
    EnterFullScreen(m, mem); // a second enter must not record the full-screen state
    LeaveFullScreen(m, mem);
    EXPECT_FALSE(m.maximized);
    EXPECT_TRUE(m.leftVisible);
}

TEST(FullScreen, HotKeysActOnlyInTheirMode)
{
    EXPECT_TRUE(HotKeyToggles(HotKey::EnterFullScreen, false));
    EXPECT_FALSE(HotKeyToggles(HotKey::EnterFullScreen, true));
    EXPECT_TRUE(HotKeyToggles(HotKey::ExitFullScreen, true));
    EXPECT_FALSE(HotKeyToggles(HotKey::ExitFullScreen, false));
    EXPECT_FALSE(HotKeyToggles(HotKey::Other, false));
    EXPECT_FALSE(HotKeyToggles(HotKey::Other, true));
}

} // namespace
