#include "video/VideoWall.h"

#include <algorithm>

namespace zox::video {

const TSplitScreenLayout kSplitScreenLayouts[kSplitLayoutCount] = {
    {1, 1, {{1, 1, 1, 1}}},
    {2, 2, {{1, 1, 1, 2}, {1, 2, 1, 2}}},
    {3, 4, {{1, 1, 3, 4}, {1, 4, 1, 2}, {3, 4, 1, 2}}},
    {4, 2, {{1, 1, 1, 1}, {1, 2, 1, 1}, {2, 1, 1, 1}, {2, 2, 1, 1}}},
    {6, 3, {{1, 1, 2, 2}, {1, 3, 1, 1}, {2, 3, 1, 1}, {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}}},
    {8, 4, {{1, 1, 3, 3}, {1, 4, 1, 1}, {2, 4, 1, 1}, {3, 4, 1, 1}, {4, 1, 1, 1}, {4, 2, 1, 1}, {4, 3, 1, 1},
            {4, 4, 1, 1}}},
    {9, 3, {{1, 1, 1, 1}, {1, 2, 1, 1}, {1, 3, 1, 1}, {2, 1, 1, 1}, {2, 2, 1, 1}, {2, 3, 1, 1}, {3, 1, 1, 1},
            {3, 2, 1, 1}, {3, 3, 1, 1}}},
    {13, 4, {{1, 1, 1, 1}, {1, 2, 1, 1}, {1, 3, 1, 1}, {1, 4, 1, 1}, {2, 1, 1, 1}, {2, 2, 2, 2}, {2, 4, 1, 1},
             {3, 1, 1, 1}, {3, 4, 1, 1}, {4, 1, 1, 1}, {4, 2, 1, 1}, {4, 3, 1, 1}, {4, 4, 1, 1}}},
    {16, 4, {{1, 1, 1, 1}, {1, 2, 1, 1}, {1, 3, 1, 1}, {1, 4, 1, 1}, {2, 1, 1, 1}, {2, 2, 1, 1}, {2, 3, 1, 1},
             {2, 4, 1, 1}, {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}, {3, 4, 1, 1}, {4, 1, 1, 1}, {4, 2, 1, 1},
             {4, 3, 1, 1}, {4, 4, 1, 1}}},
};

const TSplitScreenLayout *FindSplitLayout(int count)
{
    for (const auto &l : kSplitScreenLayouts)
        if (l.count == count)
            return &l;
    return nullptr;
}

WallRect SplitCellBounds(const TSplitScreenLayout &layout, int index, int wallWidth, int wallHeight)
{
    if (index < 0 || index >= layout.count || layout.grid <= 0)
        return {};
    const int cw = std::max(wallWidth, 0) / layout.grid;
    const int ch = std::max(wallHeight, 0) / layout.grid;
    const SplitCell &c = layout.cells[index];
    return {(c.column - 1) * cw, (c.row - 1) * ch, c.width * cw, c.height * ch};
}

RelayoutPlan PlanRelayout(const std::vector<bool> &used, int count)
{
    RelayoutPlan plan;
    std::vector<int> kept;
    for (int i = 0; i < static_cast<int>(used.size()); ++i) {
        if (used[i])
            kept.push_back(i);
        else
            plan.destroyed.push_back(i);
    }
    count = std::clamp(count, 0, kMaxVideoWindows);
    for (int i = 0; i < count; ++i)
        plan.cells.push_back(i < static_cast<int>(kept.size()) ? kept[i] : -1);
    for (int i = count; i < static_cast<int>(kept.size()); ++i)
        plan.parked.push_back(kept[i]);
    return plan;
}

int FindFreeTile(const std::vector<bool> &used, int count)
{
    const int shown = std::min(count, static_cast<int>(used.size()));
    for (int i = 0; i < shown; ++i)
        if (!used[i])
            return i;
    return -1;
}

bool WallIsFull(const std::vector<bool> &used, int count)
{
    if (FindFreeTile(used, count) >= 0)
        return false;
    if (static_cast<int>(used.size()) < kMaxVideoWindows)
        return false;
    // Sixteen tiles: only a free parked tile leaves room, which a repack reclaims.
    for (int i = std::max(count, 0); i < static_cast<int>(used.size()); ++i)
        if (!used[i])
            return false;
    return true;
}

int NextSplitCount(int current, const bool (&enabled)[kSplitLayoutCount])
{
    for (std::size_t i = 0; i < kSplitLayoutCount; ++i)
        if (enabled[i] && kSplitScreenLayouts[i].count > current)
            return kSplitScreenLayouts[i].count;
    return 0;
}

bool PreviewAllowed(int openPopups, int usedTiles, bool alreadyPlaying)
{
    const int n = openPopups + usedTiles;
    if (n > kMaxVideoWindows)
        return false;
    if (n == kMaxVideoWindows)
        return alreadyPlaying;
    return true;
}

WallRect LetterboxVideo(int hostWidth, int hostHeight, uint32_t videoWidth, uint32_t videoHeight)
{
    const int64_t W = std::max(hostWidth, 0), H = std::max(hostHeight, 0);
    const int64_t vw = videoWidth, vh = videoHeight;
    if (vw == 0 || vh == 0)
        return {0, 0, static_cast<int>(W), static_cast<int>(H)};
    if (H * vw < W * vh) {
        const int64_t w = (2 * H * vw + vh) / (2 * vh); // nearest, halves up
        return {static_cast<int>((W - w) / 2), 0, static_cast<int>(w), static_cast<int>(H)};
    }
    const int64_t h = (2 * W * vh + vw) / (2 * vw);
    return {0, static_cast<int>((H - h) / 2), static_cast<int>(W), static_cast<int>(h)};
}

std::vector<PopupPos> CascadePopups(int clientWidth, int clientHeight, const std::vector<PopupSize> &popups)
{
    std::vector<PopupPos> out;
    const int n = static_cast<int>(popups.size());
    if (n == 0)
        return out;
    const PopupSize &last = popups.back();
    const int baseLeft = std::max((clientWidth - last.width - 32 * n + 32) / 2, 0);
    const int baseTop = std::max((clientHeight - 32 * n - last.height + 32) / 2, 0);
    for (int i = 0; i < n; ++i) {
        int left = baseLeft + 32 * i;
        if (left + popups[i].width > clientWidth)
            left = std::max(clientWidth - popups[i].width, 0);
        int top = baseTop + 32 * i;
        if (top + popups[i].height > clientHeight)
            top = std::max(clientHeight - popups[i].height, 0);
        out.push_back({left, top});
    }
    return out;
}

std::vector<int> BringPopupForward(std::vector<PopupPos> &positions, int found)
{
    const int n = static_cast<int>(positions.size());
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    if (found < 0 || found >= n - 1)
        return order;
    const std::vector<PopupPos> before = positions;
    for (int j = found + 1; j < n; ++j)
        positions[j] = before[j - 1];
    positions[found] = before[n - 1];
    order.erase(order.begin() + found);
    order.push_back(found);
    return order;
}

} // namespace zox::video
