#include "console/ScrollBarModel.h"

#include <algorithm>
#include <cstdint>

bool ScrollBarModel::SetParams(int range, int view, int line, int position)
{
    if (range < 1)
        return false;
    view = std::max(view, 0);
    range_ = range;
    line_ = std::max(line, 0);
    // A page is the view rounded down to whole lines.
    page_ = (line_ > 0 && line_ < view) ? line_ * (view / line_) : view;
    maxPosition_ = range_ > page_ ? range_ - page_ : 0;
    const int wanted = position;
    position_ = std::clamp(position, 0, maxPosition_);
    const std::int64_t thumb = static_cast<std::int64_t>(view) * (view - 2 * kArrowHeight) / range_;
    thumbHeight_ = static_cast<int>(std::clamp<std::int64_t>(thumb, 0, INT32_MAX));
    UpdateTrackPos();
    return position_ != wanted;
}

void ScrollBarModel::SetTrackHeight(int height)
{
    trackHeight_ = std::max(height, 0);
    UpdateTrackPos();
}

int ScrollBarModel::ThumbLimit() const
{
    return std::max(trackHeight_ - thumbHeight_ - 2, 0);
}

void ScrollBarModel::UpdateTrackPos()
{
    if (position_ <= 0) {
        thumbTop_ = 0;
    } else if (position_ >= maxPosition_) {
        thumbTop_ = ThumbLimit();
    } else {
        const std::int64_t room = std::max(trackHeight_ - thumbHeight_, 0);
        thumbTop_ = static_cast<int>(room * position_ / maxPosition_);
    }
}

bool ScrollBarModel::StepUp(int step)
{
    if (step <= 0 || position_ <= 0)
        return false;
    position_ = position_ <= step ? 0 : position_ - step;
    UpdateTrackPos();
    return true;
}

bool ScrollBarModel::StepDown(int step)
{
    if (step <= 0 || position_ >= maxPosition_)
        return false;
    position_ = static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(position_) + step, maxPosition_));
    UpdateTrackPos();
    return true;
}

bool ScrollBarModel::ScrollLineUp() { return StepUp(line_); }
bool ScrollBarModel::ScrollLineDown() { return StepDown(line_); }
bool ScrollBarModel::ScrollPageUp() { return StepUp(page_); }
bool ScrollBarModel::ScrollPageDown() { return StepDown(page_); }

bool ScrollBarModel::ResetViewport(int row)
{
    // Without a view nothing can be brought into it.
    if (page_ <= 0)
        return false;
    const std::int64_t top = row > 0 ? static_cast<std::int64_t>(row - 1) * line_ : 0;
    const std::int64_t bottom = static_cast<std::int64_t>(row) * line_;
    std::int64_t pos = position_;
    if (top < pos) {
        do {
            pos = pos <= page_ ? 0 : pos - page_;
        } while (top < pos);
    } else {
        if (pos + page_ >= bottom)
            return false;
        do {
            if (pos + page_ > maxPosition_) {
                pos = maxPosition_;
                break;
            }
            pos += page_;
        } while (pos + page_ < bottom);
    }
    position_ = static_cast<int>(pos);
    UpdateTrackPos();
    return true;
}

bool ScrollBarModel::TrackClick(int y)
{
    return thumbTop_ > y ? ScrollPageUp() : ScrollPageDown();
}

void ScrollBarModel::BeginDrag(int y)
{
    dragAnchorY_ = y;
}

bool ScrollBarModel::DragTo(int y)
{
    const int t = y + thumbTop_ - dragAnchorY_;
    const int limit = trackHeight_ - thumbHeight_ - 2;
    int pos;
    if (t <= 0) {
        thumbTop_ = 0;
        pos = 0;
    } else if (t >= limit) {
        thumbTop_ = std::max(limit, 0);
        pos = maxPosition_;
    } else {
        // Here 0 < t < limit, so the track is at least 3 pixels taller than the thumb.
        thumbTop_ = t;
        pos = static_cast<int>(static_cast<std::int64_t>(t) * maxPosition_ / (trackHeight_ - thumbHeight_));
    }
    if (pos == position_)
        return false;
    position_ = pos;
    return true;
}
