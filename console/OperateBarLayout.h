#pragma once
// The operate bar of the main window: the quick-action buttons of the current
// selection in one row between two slide arrows, paged when they do not fit. Pure
// arithmetic; the window places its buttons and draws the arrows from the result.

#include "core/Edition.h"

#include <vector>

namespace zox::mainwnd {

inline constexpr int kOperateMargin = 10;
inline constexpr int kOperateButtonWidth = zox::edition::kQuickActionWidth;
inline constexpr int kOperatePitch = zox::edition::kQuickActionPitch; // button plus margin
inline constexpr int kOperateTop = 10;
inline constexpr int kSlideArrowWidth = 45;
inline constexpr int kTaskButtonWidth = 64;

struct OperateBarLayout {
    int avail = 0;                 // panel width without the two arrows
    int perPage = 0;               // buttons shown
    int first = 0;                 // index in the visible list of the first one shown
    std::vector<int> lefts;        // left of each shown button (perPage entries)
    bool leftArrowEnabled = false;
    bool rightArrowEnabled = false;

    bool IsShown(int index) const { return index >= first && index < first + perPage; }
};

// panelWidth: the operate panel; count: buttons in the visible list; pageIndex: the
// stored page index (not changed here: a page index past the end shows the last page).
OperateBarLayout LayoutOperateBar(int panelWidth, int leftArrowWidth, int rightArrowWidth, int count,
                                  int pageIndex);

// The slide arrows' clicks: the new page index.
int SlideLeft(int pageIndex);
int SlideRight(int pageIndex, int count);

// Width of the dispatch control panel holding the four task buttons.
inline constexpr int DispatchPanelWidth(int taskButtonWidth) { return 4 * taskButtonWidth + 8; }

} // namespace zox::mainwnd
