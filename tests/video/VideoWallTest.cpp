#include "video/VideoWall.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zox::video;

namespace {

struct CellCase {
    int count;
    int wallWidth, wallHeight;
    std::vector<WallRect> cells;
};

TEST(VideoWallGeometry, EveryLayoutAtTwoWallSizes)
{
    const std::vector<CellCase> cases = {
        {1, 1000, 600, {{0, 0, 1000, 600}}},
        {1, 801, 453, {{0, 0, 801, 453}}},
        {2, 1000, 600, {{0, 0, 500, 600}, {500, 0, 500, 600}}},
        {2, 801, 453, {{0, 0, 400, 452}, {400, 0, 400, 452}}},
        {3, 1000, 600, {{0, 0, 750, 600}, {750, 0, 250, 300}, {750, 300, 250, 300}}},
        {3, 801, 453, {{0, 0, 600, 452}, {600, 0, 200, 226}, {600, 226, 200, 226}}},
        {4, 1001, 601, {{0, 0, 500, 300}, {500, 0, 500, 300}, {0, 300, 500, 300}, {500, 300, 500, 300}}},
        {4, 800, 450, {{0, 0, 400, 225}, {400, 0, 400, 225}, {0, 225, 400, 225}, {400, 225, 400, 225}}},
        {6, 900, 600,
         {{0, 0, 600, 400}, {600, 0, 300, 200}, {600, 200, 300, 200}, {0, 400, 300, 200}, {300, 400, 300, 200},
          {600, 400, 300, 200}}},
        {6, 1000, 601,
         {{0, 0, 666, 400}, {666, 0, 333, 200}, {666, 200, 333, 200}, {0, 400, 333, 200}, {333, 400, 333, 200},
          {666, 400, 333, 200}}},
        {8, 1000, 600,
         {{0, 0, 750, 450}, {750, 0, 250, 150}, {750, 150, 250, 150}, {750, 300, 250, 150}, {0, 450, 250, 150},
          {250, 450, 250, 150}, {500, 450, 250, 150}, {750, 450, 250, 150}}},
        {8, 803, 603,
         {{0, 0, 600, 450}, {600, 0, 200, 150}, {600, 150, 200, 150}, {600, 300, 200, 150}, {0, 450, 200, 150},
          {200, 450, 200, 150}, {400, 450, 200, 150}, {600, 450, 200, 150}}},
        {9, 900, 600,
         {{0, 0, 300, 200}, {300, 0, 300, 200}, {600, 0, 300, 200}, {0, 200, 300, 200}, {300, 200, 300, 200},
          {600, 200, 300, 200}, {0, 400, 300, 200}, {300, 400, 300, 200}, {600, 400, 300, 200}}},
        {9, 902, 605,
         {{0, 0, 300, 201}, {300, 0, 300, 201}, {600, 0, 300, 201}, {0, 201, 300, 201}, {300, 201, 300, 201},
          {600, 201, 300, 201}, {0, 402, 300, 201}, {300, 402, 300, 201}, {600, 402, 300, 201}}},
        {13, 1000, 600,
         {{0, 0, 250, 150}, {250, 0, 250, 150}, {500, 0, 250, 150}, {750, 0, 250, 150}, {0, 150, 250, 150},
          {250, 150, 500, 300}, {750, 150, 250, 150}, {0, 300, 250, 150}, {750, 300, 250, 150},
          {0, 450, 250, 150}, {250, 450, 250, 150}, {500, 450, 250, 150}, {750, 450, 250, 150}}},
        {13, 403, 203,
         {{0, 0, 100, 50}, {100, 0, 100, 50}, {200, 0, 100, 50}, {300, 0, 100, 50}, {0, 50, 100, 50},
          {100, 50, 200, 100}, {300, 50, 100, 50}, {0, 100, 100, 50}, {300, 100, 100, 50}, {0, 150, 100, 50},
          {100, 150, 100, 50}, {200, 150, 100, 50}, {300, 150, 100, 50}}},
    };
    for (const auto &c : cases) {
        const TSplitScreenLayout *layout = FindSplitLayout(c.count);
        ASSERT_NE(layout, nullptr) << c.count;
        ASSERT_EQ(layout->count, static_cast<int>(c.cells.size()));
        for (int i = 0; i < layout->count; ++i)
            EXPECT_EQ(SplitCellBounds(*layout, i, c.wallWidth, c.wallHeight), c.cells[i])
                << "count " << c.count << " wall " << c.wallWidth << "x" << c.wallHeight << " cell " << i;
        EXPECT_EQ(SplitCellBounds(*layout, layout->count, c.wallWidth, c.wallHeight), WallRect{});
    }
}

TEST(VideoWallGeometry, SixteenSplitTilesTheWallWithoutOverlap)
{
    for (const auto &[w, h] : {std::pair{1600, 900}, std::pair{1283, 721}}) {
        const TSplitScreenLayout *layout = FindSplitLayout(16);
        ASSERT_NE(layout, nullptr);
        long area = 0;
        for (int i = 0; i < 16; ++i) {
            const WallRect r = SplitCellBounds(*layout, i, w, h);
            EXPECT_EQ(r.left, (i % 4) * (w / 4));
            EXPECT_EQ(r.top, (i / 4) * (h / 4));
            area += long(r.width) * r.height;
        }
        EXPECT_EQ(area, long(w / 4 * 4) * (h / 4 * 4));
    }
    EXPECT_EQ(FindSplitLayout(5), nullptr);
    EXPECT_EQ(FindSplitLayout(0), nullptr);
}

TEST(VideoWallGeometry, RelayoutPacksBusyTilesInOrder)
{
    struct Case {
        std::vector<bool> used;
        int count;
        std::vector<int> cells, parked, destroyed;
    };
    const std::vector<Case> cases = {
        // five busy tiles of the 6-split, then one tile: one shown, four parked
        {{true, true, false, true, true, true}, 1, {0}, {1, 3, 4, 5}, {2}},
        // four busy tiles grow into six: two new cells
        {{true, true, true, true}, 6, {0, 1, 2, 3, -1, -1}, {}, {}},
        // free tiles between busy ones are dropped, busy ones move up
        {{false, true, false, true}, 4, {1, 3, -1, -1}, {}, {0, 2}},
        {{}, 4, {-1, -1, -1, -1}, {}, {}},
        // a free parked tile is removed on the next layout
        {{true, true, false}, 2, {0, 1}, {}, {2}},
    };
    for (const auto &c : cases) {
        const RelayoutPlan p = PlanRelayout(c.used, c.count);
        EXPECT_EQ(p.cells, c.cells) << c.count;
        EXPECT_EQ(p.parked, c.parked) << c.count;
        EXPECT_EQ(p.destroyed, c.destroyed) << c.count;
    }
}

TEST(VideoWallAllocation, FreeTileGrowthAndLimit)
{
    std::vector<bool> four(4, true);
    EXPECT_EQ(FindFreeTile(four, 4), -1);
    EXPECT_FALSE(WallIsFull(four, 4));
    bool allEnabled[kSplitLayoutCount];
    std::fill(std::begin(allEnabled), std::end(allEnabled), true);
    EXPECT_EQ(NextSplitCount(4, allEnabled), 6);
    const RelayoutPlan grown = PlanRelayout(four, 6);
    EXPECT_EQ(grown.cells[4], -1); // the new video gets the fifth cell

    bool some[kSplitLayoutCount] = {true, true, true, true, false, false, true, true, true};
    EXPECT_EQ(NextSplitCount(4, some), 9);
    EXPECT_EQ(NextSplitCount(16, allEnabled), 0);

    std::vector<bool> sixteen(16, true);
    EXPECT_EQ(FindFreeTile(sixteen, 16), -1);
    EXPECT_TRUE(WallIsFull(sixteen, 16));

    // A tile parked at size 0 is never handed out, even when it is free...
    std::vector<bool> parked = {true, false};
    EXPECT_EQ(FindFreeTile(parked, 1), -1);
    EXPECT_EQ(FindFreeTile({true, false, true}, 4), 1);
    // ...and with sixteen tiles a free parked one still leaves room for a repack.
    std::vector<bool> mostly(16, true);
    mostly[12] = false;
    EXPECT_EQ(FindFreeTile(mostly, 9), -1);
    EXPECT_FALSE(WallIsFull(mostly, 9));
    EXPECT_EQ(PlanRelayout(mostly, 16).cells[15], -1);
}

TEST(VideoWallAllocation, PreviewLimitCountsPopupsAndBusyTiles)
{
    struct Case {
        int popups, tiles;
        bool playing, allowed;
    };
    for (const Case c : {Case{6, 10, false, false}, Case{6, 10, true, true}, Case{5, 10, false, true},
                         Case{0, 16, true, true}, Case{1, 16, true, false}, Case{0, 0, false, true}})
        EXPECT_EQ(PreviewAllowed(c.popups, c.tiles, c.playing), c.allowed) << c.popups << "+" << c.tiles;
}

TEST(VideoWallGeometry, Letterbox)
{
    struct Case {
        int w, h;
        uint32_t vw, vh;
        WallRect r;
    };
    for (const Case c : {Case{400, 300, 1280, 720, {0, 37, 400, 225}}, Case{640, 480, 720, 576, {20, 0, 600, 480}},
                         Case{400, 300, 400, 300, {0, 0, 400, 300}}, Case{400, 101, 3, 2, {124, 0, 152, 101}},
                         // a size not decoded yet never divides by zero
                         Case{400, 300, 0, 720, {0, 0, 400, 300}}, Case{400, 300, 1280, 0, {0, 0, 400, 300}},
                         Case{0, 0, 1280, 720, {0, 0, 0, 0}}})
        EXPECT_EQ(LetterboxVideo(c.w, c.h, c.vw, c.vh), c.r) << c.w << "x" << c.h << " " << c.vw << "x" << c.vh;
}

TEST(VideoPopupCascade, Placement)
{
    const std::vector<PopupPos> three = CascadePopups(1600, 900, std::vector<PopupSize>(3, {642, 394}));
    EXPECT_EQ(three, (std::vector<PopupPos>{{447, 221}, {479, 253}, {511, 285}}));
    const std::vector<PopupPos> six = CascadePopups(700, 500, std::vector<PopupSize>(6, {642, 394}));
    ASSERT_EQ(six.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(six[i], (PopupPos{std::min(32 * i, 58), std::min(32 * i, 106)})) << i;
    // larger than the client: pinned at 0
    EXPECT_EQ(CascadePopups(300, 200, {{642, 394}, {642, 394}}), (std::vector<PopupPos>{{0, 0}, {0, 0}}));
}

TEST(VideoPopupCascade, BringForward)
{
    struct Case {
        int count, found;
        std::vector<int> order;
        std::vector<int> posFromOld; // new position of each popup = old position of this index
    };
    const std::vector<Case> cases = {
        {3, 1, {0, 2, 1}, {0, 2, 1}},
        {4, 1, {0, 2, 3, 1}, {0, 3, 1, 2}},
        {4, 0, {1, 2, 3, 0}, {3, 0, 1, 2}},
        {3, 2, {0, 1, 2}, {0, 1, 2}}, // the newest: nothing
        {3, 7, {0, 1, 2}, {0, 1, 2}},
    };
    for (const auto &c : cases) {
        std::vector<PopupPos> pos;
        for (int i = 0; i < c.count; ++i)
            pos.push_back({10 * i, 100 + i});
        const std::vector<PopupPos> before = pos;
        EXPECT_EQ(BringPopupForward(pos, c.found), c.order) << c.found;
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(pos[i], before[c.posFromOld[i]]) << "found " << c.found << " popup " << i;
    }
}

} // namespace
