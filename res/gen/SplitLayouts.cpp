// The nine split-layout pictures of the video bar, drawn from the wall's layouts.
#include "Skin.h"

#include <vector>

namespace skin {
namespace {

struct Cell {
    int row, col, w, h; // 1-based, in an n x n grid
};
struct Layout {
    const char *stem;
    int n;
    std::vector<Cell> cells;
};

std::vector<Cell> Grid(int n)
{
    std::vector<Cell> cells;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            cells.push_back({r, c, 1, 1});
    return cells;
}

const std::vector<Layout> &Layouts()
{
    static const std::vector<Layout> layouts = {
        {"IMG_SPLIT_SCREEN_ONE", 1, {{1, 1, 1, 1}}},
        {"IMG_SPLIT_SCREEN_TWO", 2, {{1, 1, 1, 2}, {1, 2, 1, 2}}},
        {"IMG_SPLIT_SCREEN_THREE", 4, {{1, 1, 3, 4}, {1, 4, 1, 2}, {3, 4, 1, 2}}},
        {"IMG_SPLIT_SCREEN_FOUR", 2, Grid(2)},
        {"IMG_SPLIT_SCREEN_SIX", 3, {{1, 1, 2, 2}, {1, 3, 1, 1}, {2, 3, 1, 1}, {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}}},
        {"IMG_SPLIT_SCREEN_EIGHT",
         4,
         {{1, 1, 3, 3}, {1, 4, 1, 1}, {2, 4, 1, 1}, {3, 4, 1, 1}, {4, 1, 1, 1}, {4, 2, 1, 1}, {4, 3, 1, 1}, {4, 4, 1, 1}}},
        {"IMG_SPLIT_SCREEN_NINE", 3, Grid(3)},
        {"IMG_SPLIT_SCREEN_THIRTEEN",
         4,
         {{1, 1, 1, 1},
          {1, 2, 1, 1},
          {1, 3, 1, 1},
          {1, 4, 1, 1},
          {2, 1, 1, 1},
          {2, 2, 2, 2},
          {2, 4, 1, 1},
          {3, 1, 1, 1},
          {3, 4, 1, 1},
          {4, 1, 1, 1},
          {4, 2, 1, 1},
          {4, 3, 1, 1},
          {4, 4, 1, 1}}},
        {"IMG_SPLIT_SCREEN_SIXTEEN", 4, Grid(4)},
    };
    return layouts;
}

void Paint(QPainter &p, const QRectF &r, const Look &l, const Layout &layout)
{
    Plate(p, r.adjusted(1, 4, -1, -4), l, 3);
    const QRectF box(r.center().x() - 8, r.center().y() - 7 + l.shift, 16, 14);
    const qreal gap = layout.n >= 4 ? 1.0 : 1.4;
    const qreal cw = (box.width() + gap) / layout.n, ch = (box.height() + gap) / layout.n;
    QColor fill = l.state == Pressed ? pal::kAccent : (l.state == Focused ? QColor(Qt::white) : pal::kInkDim);
    if (l.state == Pressed)
        fill = QColor(0x7F, 0xE0, 0xFA);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    for (const Cell &c : layout.cells) {
        const QRectF cell(box.left() + (c.col - 1) * cw, box.top() + (c.row - 1) * ch, c.w * cw - gap, c.h * ch - gap);
        p.drawRoundedRect(cell, 0.8, 0.8);
    }
}

} // namespace

void AddSplitLayouts(Catalogue &cat)
{
    for (const Layout &layout : Layouts()) {
        AddStates(cat, layout.stem, 26, 30, {Normal, Focused, Pressed},
                  [&layout](QPainter &p, const QRectF &r, const Look &l) { Paint(p, r, l, layout); });
    }
}

} // namespace skin
