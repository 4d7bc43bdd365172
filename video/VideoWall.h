#pragma once
// Window-free geometry and bookkeeping of the video wall and its popups: the nine
// split layouts, packing of the busy tiles on a layout change, the choice of a free
// tile, the common limit of 16 videos, letterboxing and the popup cascade.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zox::video {

inline constexpr int kMaxVideoWindows = 16;

struct WallRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WallRect &) const = default;
};

// One cell of a layout: 1-based row and column in an N x N grid, size in cells.
struct SplitCell {
    int row;
    int column;
    int width;
    int height;
};

struct TSplitScreenLayout {
    int count; // tiles shown
    int grid;  // N
    SplitCell cells[kMaxVideoWindows];
};

inline constexpr std::size_t kSplitLayoutCount = 9;
extern const TSplitScreenLayout kSplitScreenLayouts[kSplitLayoutCount];

// The row whose count equals count, or null.
const TSplitScreenLayout *FindSplitLayout(int count);

// Bounds of cell index of the layout on a wall of the given size (integer cells; the
// remainder strip at the right and bottom stays empty). Out of range: empty rect.
WallRect SplitCellBounds(const TSplitScreenLayout &layout, int index, int wallWidth, int wallHeight);

// What a layout change does with the tile list.
struct RelayoutPlan {
    std::vector<int> cells;     // per cell: old list index of the kept busy tile, or -1 for a new tile
    std::vector<int> parked;    // old indices of busy tiles beyond the cells (kept at size 0)
    std::vector<int> destroyed; // old indices of free tiles, removed
};
// used[i]: the tile at list position i is busy. Busy tiles keep their order.
RelayoutPlan PlanRelayout(const std::vector<bool> &used, int count);

// Index of the tile to hand out for a new video, or -1 when none is free. Only tiles
// shown in a cell (index < count) qualify: a parked tile has size 0 and its video
// would play unseen.
int FindFreeTile(const std::vector<bool> &used, int count);

// Whether a busy wall is full: no free shown tile and no way to make room. A list of
// 16 with a free parked tile can still be repacked by a larger layout.
bool WallIsFull(const std::vector<bool> &used, int count);

// The next layout to grow to: the first enabled layout (table order) whose count is
// larger than current; 0 when none. enabled[i] belongs to kSplitScreenLayouts[i].
int NextSplitCount(int current, const bool (&enabled)[kSplitLayoutCount]);

// Whether a further preview may open: popups plus busy tiles against the limit; at the
// limit a video that already plays is only moved, so it is allowed.
bool PreviewAllowed(int openPopups, int usedTiles, bool alreadyPlaying);

// Keep-aspect placement of a video of vw x vh inside a host of w x h. A zero video
// size (not decoded yet) fills the host.
WallRect LetterboxVideo(int hostWidth, int hostHeight, uint32_t videoWidth, uint32_t videoHeight);

struct PopupSize {
    int width;
    int height;
};
struct PopupPos {
    int left;
    int top;
    bool operator==(const PopupPos &) const = default;
};
// Cascade of the popups (oldest first) inside a client area of w x h.
std::vector<PopupPos> CascadePopups(int clientWidth, int clientHeight, const std::vector<PopupSize> &popups);

// Bringing popup `found` of a list forward: returns the new order (old indices) and
// fills positions (indexed by old index) with the positions after the step. The
// newest popup, or an index out of range, changes nothing.
std::vector<int> BringPopupForward(std::vector<PopupPos> &positions, int found);

} // namespace zox::video
