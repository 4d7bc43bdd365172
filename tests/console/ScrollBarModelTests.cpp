// The scroll bar's arithmetic, including degenerate geometry.
#include "console/ScrollBarModel.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ScrollBarModel, SetParamsTable)
{
    struct Case {
        const char *what;
        int range, view, line, position;
        bool notified;
        int page, maxPos, pos, thumb;
    } cases[] = {
        {"page is whole lines", 600, 190, 60, 0, false, 180, 420, 0, 52},
        {"position inside bounds", 600, 190, 60, 120, false, 180, 420, 120, 52},
        {"position beyond max clamped", 600, 190, 60, 500, true, 180, 420, 420, 52},
        {"negative position clamped", 600, 190, 60, -5, true, 180, 420, 0, 52},
        {"range not above page", 150, 190, 60, 0, false, 180, 0, 0, 210},
        {"range not above page, position clamped", 150, 190, 60, 30, true, 180, 0, 0, 210},
        {"line not below view", 600, 60, 60, 0, false, 60, 540, 0, 3},
        {"line 0: page is the view", 600, 190, 0, 0, false, 190, 410, 0, 52},
        {"negative line: page is the view", 600, 190, -7, 0, false, 190, 410, 0, 52},
        {"collapsed host", 600, 0, 60, 100, false, 0, 600, 100, 0},
        {"view below the arrows: no negative thumb", 100, 10, 60, 0, false, 10, 90, 0, 0},
        {"negative view", 600, -40, 60, 0, false, 0, 600, 0, 0},
    };
    for (const Case &c : cases) {
        ScrollBarModel m;
        m.SetTrackHeight(140);
        EXPECT_EQ(m.SetParams(c.range, c.view, c.line, c.position), c.notified) << c.what;
        EXPECT_EQ(m.Page(), c.page) << c.what;
        EXPECT_EQ(m.MaxPosition(), c.maxPos) << c.what;
        EXPECT_EQ(m.GetPosition(), c.pos) << c.what;
        EXPECT_EQ(m.ThumbHeight(), c.thumb) << c.what;
        EXPECT_GE(m.ThumbTop(), 0) << c.what;
    }
}

TEST(ScrollBarModel, RangeBelowOneChangesNothing)
{
    ScrollBarModel m;
    m.SetTrackHeight(140);
    for (int range : {0, -1, INT_MIN}) {
        EXPECT_FALSE(m.SetParams(range, 190, 60, 100));
        EXPECT_EQ(m.Page(), ScrollBarModel::kInitialPage);
        EXPECT_EQ(m.ThumbHeight(), ScrollBarModel::kInitialThumbHeight);
        EXPECT_EQ(m.GetPosition(), 0);
        EXPECT_EQ(m.Line(), 0);
    }
    // Until the first SetParams the line is 0 and line steps do nothing.
    EXPECT_FALSE(m.ScrollLineDown());
    EXPECT_FALSE(m.ScrollLineUp());
}

TEST(ScrollBarModel, StepsAndThumb)
{
    ScrollBarModel m;
    m.SetTrackHeight(140);
    m.SetParams(600, 190, 60, 0);
    struct Step {
        bool (ScrollBarModel::*op)();
        bool moved;
        int pos, thumbTop;
    } steps[] = {
        {&ScrollBarModel::ScrollLineUp, false, 0, 0},       // already at the top
        {&ScrollBarModel::ScrollLineDown, true, 60, 12},    // 88 * 60 / 420
        {&ScrollBarModel::ScrollPageDown, true, 240, 50},   // 88 * 240 / 420
        {&ScrollBarModel::ScrollPageDown, true, 420, 86},   // clamped to max: 140 - 52 - 2
        {&ScrollBarModel::ScrollLineDown, false, 420, 86},  // at max
        {&ScrollBarModel::ScrollLineUp, true, 360, 75},
        {&ScrollBarModel::ScrollPageUp, true, 180, 37},
        {&ScrollBarModel::ScrollPageUp, true, 0, 0},        // position <= page gives 0
    };
    for (const Step &s : steps) {
        EXPECT_EQ((m.*s.op)(), s.moved);
        EXPECT_EQ(m.GetPosition(), s.pos);
        EXPECT_EQ(m.ThumbTop(), s.thumbTop);
    }
}

TEST(ScrollBarModel, ResetViewportTable)
{
    struct Case {
        int start, row;
        bool moved;
        int pos;
    } cases[] = {
        {0, 1, false, 0},     {0, 3, false, 0},     // already fully visible
        {0, 4, true, 180},    {0, 10, true, 420},   // whole pages, stopping at max
        {420, 1, true, 0},    {240, 5, false, 240}, // up in pages to 0; visible
        {300, 5, true, 120},  {60, 0, true, 0},     // row 0 counts as the first row
        {0, INT_MAX, true, 420}, {420, INT_MIN, true, 0},
    };
    for (const Case &c : cases) {
        ScrollBarModel m;
        m.SetTrackHeight(140);
        m.SetParams(600, 190, 60, c.start);
        EXPECT_EQ(m.ResetViewport(c.row), c.moved) << "start " << c.start << " row " << c.row;
        EXPECT_EQ(m.GetPosition(), c.pos) << "start " << c.start << " row " << c.row;
    }
}

TEST(ScrollBarModel, DegenerateGeometryNeverHangsOrDivides)
{
    // Collapsed host: page 0. Page steps and ResetViewport return at once.
    ScrollBarModel m;
    m.SetTrackHeight(0);
    m.SetParams(600, 0, 60, 120);
    EXPECT_FALSE(m.ResetViewport(1));
    EXPECT_FALSE(m.ResetViewport(50));
    EXPECT_FALSE(m.ScrollPageDown());
    EXPECT_FALSE(m.ScrollPageUp());
    EXPECT_TRUE(m.ScrollLineDown()); // lines still step
    EXPECT_EQ(m.GetPosition(), 180);

    // Line 0: line steps do nothing, ResetViewport works in pages.
    ScrollBarModel z;
    z.SetTrackHeight(140);
    z.SetParams(600, 190, 0, 300);
    EXPECT_FALSE(z.ScrollLineDown());
    EXPECT_FALSE(z.ScrollLineUp());
    EXPECT_TRUE(z.ResetViewport(3)); // top 0 < 300: pages up to 0
    EXPECT_EQ(z.GetPosition(), 0);

    // A thumb as high as its track, and taller: drags stay in bounds.
    ScrollBarModel t;
    t.SetParams(1000, 300, 60, 0); // thumb 300 * 276 / 1000 = 82
    for (int track : {82, 83, 84, 0, 10}) {
        t.SetTrackHeight(track);
        t.BeginDrag(5);
        t.DragTo(40);
        EXPECT_GE(t.ThumbTop(), 0);
        EXPECT_TRUE(t.GetPosition() == 0 || t.GetPosition() == t.MaxPosition());
        t.DragTo(-40);
        EXPECT_EQ(t.GetPosition(), 0);
    }
}

TEST(ScrollBarModel, DragAndTrackClicks)
{
    ScrollBarModel m;
    m.SetTrackHeight(140);
    m.SetParams(600, 190, 60, 0); // thumb 52, room 88, lowest top 86
    m.BeginDrag(10);
    EXPECT_EQ(m.DragAnchorY(), 10);
    // Each move: the thumb top becomes y + top - 10, clamped to [0, 86].
    struct Move {
        int y;
        bool notified;
        int thumbTop, pos;
    } moves[] = {
        {54, true, 44, 210},    // 44 * 420 / 88
        {10, false, 44, 210},   // same place: same position, no notice
        {52, true, 86, 420},    // exactly the lowest top: the maximum
        {9, true, 85, 405},     // one above it: 85 * 420 / 88
        {500, true, 86, 420},   // below the track
        {-500, true, 0, 0},     // above the track
        {11, true, 1, 4},       // one below the top
        {9, true, 0, 0},        // exactly the top
    };
    for (const Move &mv : moves) {
        SCOPED_TRACE(mv.y);
        EXPECT_EQ(m.DragTo(mv.y), mv.notified);
        EXPECT_EQ(m.ThumbTop(), mv.thumbTop);
        EXPECT_EQ(m.GetPosition(), mv.pos);
    }

    m.SetParams(600, 190, 60, 210);
    EXPECT_EQ(m.ThumbTop(), 44);
    EXPECT_TRUE(m.TrackClick(10)); // above the thumb: a page up
    EXPECT_EQ(m.GetPosition(), 30);
    EXPECT_TRUE(m.TrackClick(120)); // below: a page down
    EXPECT_EQ(m.GetPosition(), 210);

    // Range not above the page: nothing moves the position from 0.
    ScrollBarModel s;
    s.SetTrackHeight(140);
    s.SetParams(150, 190, 60, 0);
    EXPECT_FALSE(s.ScrollLineDown());
    EXPECT_FALSE(s.ScrollPageDown());
    EXPECT_FALSE(s.TrackClick(100));
    s.BeginDrag(0);
    s.DragTo(100);
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.ThumbTop(), 0);
}
