#include "console/OperateBarLayout.h"

#include <algorithm>

namespace zox::mainwnd {

OperateBarLayout LayoutOperateBar(int panelWidth, int leftArrowWidth, int rightArrowWidth, int count,
                                  int pageIndex)
{
    OperateBarLayout l;
    count = std::max(count, 0);
    pageIndex = std::max(pageIndex, 0);
    l.avail = panelWidth - leftArrowWidth - rightArrowWidth;
    // A strip narrower than one margin shows no button rather than a negative count.
    int perPage = std::max((l.avail - kOperateMargin) / kOperatePitch, 0);
    const bool allFit = perPage >= count;
    if (allFit) {
        perPage = count;
        l.first = 0;
    } else {
        l.first = (pageIndex + perPage > count) ? count - perPage : pageIndex;
    }
    l.perPage = perPage;

    int left = (l.avail - perPage * kOperatePitch + kOperateMargin) / 2 + leftArrowWidth;
    l.lefts.reserve(perPage);
    for (int i = 0; i < perPage; ++i, left += kOperatePitch)
        l.lefts.push_back(left);

    if (allFit) {
        l.leftArrowEnabled = false;
        l.rightArrowEnabled = false;
    } else if (pageIndex == 0) {
        l.leftArrowEnabled = false;
        l.rightArrowEnabled = true;
    } else {
        l.leftArrowEnabled = true;
        l.rightArrowEnabled = count > perPage + pageIndex;
    }
    return l;
}

int SlideLeft(int pageIndex) { return pageIndex > 0 ? pageIndex - 1 : pageIndex; }

int SlideRight(int pageIndex, int count) { return pageIndex + 1 < count ? pageIndex + 1 : pageIndex; }

} // namespace zox::mainwnd
