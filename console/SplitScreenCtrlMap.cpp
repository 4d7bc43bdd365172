#include "console/SplitScreenCtrlMap.h"

using namespace zox::skin;

// The disabled state uses the normal picture.
const SplitScreenPicture kSplitScreenPictures[kSplitScreenPictureCount] = {
    {"Single screen", 1,
     {"IMG_SPLIT_SCREEN_ONE_NORMAL", "IMG_SPLIT_SCREEN_ONE_NORMAL", "IMG_SPLIT_SCREEN_ONE_FOCUSED",
      "IMG_SPLIT_SCREEN_ONE_PRESSED"}},
    {"Two screen", 2,
     {"IMG_SPLIT_SCREEN_TWO_NORMAL", "IMG_SPLIT_SCREEN_TWO_NORMAL", "IMG_SPLIT_SCREEN_TWO_FOCUSED",
      "IMG_SPLIT_SCREEN_TWO_PRESSED"}},
    {"Three screen", 3,
     {"IMG_SPLIT_SCREEN_THREE_NORMAL", "IMG_SPLIT_SCREEN_THREE_NORMAL", "IMG_SPLIT_SCREEN_THREE_FOCUSED",
      "IMG_SPLIT_SCREEN_THREE_PRESSED"}},
    {"Four screen", 4,
     {"IMG_SPLIT_SCREEN_FOUR_NORMAL", "IMG_SPLIT_SCREEN_FOUR_NORMAL", "IMG_SPLIT_SCREEN_FOUR_FOCUSED",
      "IMG_SPLIT_SCREEN_FOUR_PRESSED"}},
    {"Six screen", 6,
     {"IMG_SPLIT_SCREEN_SIX_NORMAL", "IMG_SPLIT_SCREEN_SIX_NORMAL", "IMG_SPLIT_SCREEN_SIX_FOCUSED",
      "IMG_SPLIT_SCREEN_SIX_PRESSED"}},
    {"Eight screen", 8,
     {"IMG_SPLIT_SCREEN_EIGHT_NORMAL", "IMG_SPLIT_SCREEN_EIGHT_NORMAL", "IMG_SPLIT_SCREEN_EIGHT_FOCUSED",
      "IMG_SPLIT_SCREEN_EIGHT_PRESSED"}},
    {"Nine screen", 9,
     {"IMG_SPLIT_SCREEN_NINE_NORMAL", "IMG_SPLIT_SCREEN_NINE_NORMAL", "IMG_SPLIT_SCREEN_NINE_FOCUSED",
      "IMG_SPLIT_SCREEN_NINE_PRESSED"}},
    {"Thirteen screen", 13,
     {"IMG_SPLIT_SCREEN_THIRTEEN_NORMAL", "IMG_SPLIT_SCREEN_THIRTEEN_NORMAL", "IMG_SPLIT_SCREEN_THIRTEEN_FOCUSED",
      "IMG_SPLIT_SCREEN_THIRTEEN_PRESSED"}},
    {"Sixteen screen", 16,
     {"IMG_SPLIT_SCREEN_SIXTEEN_NORMAL", "IMG_SPLIT_SCREEN_SIXTEEN_NORMAL", "IMG_SPLIT_SCREEN_SIXTEEN_FOCUSED",
      "IMG_SPLIT_SCREEN_SIXTEEN_PRESSED"}},
};

void SplitScreenCtrlMapTable::Set(std::size_t index, QObject *control)
{
    TSplitScreenCtrlMap &e = entries_.at(index);
    const SplitScreenPicture &row = kSplitScreenPictures[index];
    e.control = control;
    e.current = false;
    e.state = kPictureNormal;
    e.windowCount = row.windowCount;
    for (int s = 0; s < kPictureStateCount; ++s)
        e.names[s] = row.names[s];
}

void SplitScreenCtrlMapTable::SetSplitImageStatus(QObject *control, int state, bool enabled, const ShowFn &show)
{
    if (!control || !IsPictureState(state))
        return;
    for (TSplitScreenCtrlMap &e : entries_) {
        if (e.control != control)
            continue;
        if (enabled)
            e.state = state;
        if (show)
            show(control, e.names[enabled ? state : kPictureDisabled]);
        return;
    }
}

int SplitScreenCtrlMapTable::GetSplitImageStatus(const QObject *control) const
{
    for (const TSplitScreenCtrlMap &e : entries_) {
        if (control && e.control == control)
            return e.state;
    }
    return -1;
}

bool SplitScreenCtrlMapTable::SelectSplitImage(QObject *control, int &windowCount,
                                               const std::function<bool(QObject *)> &enabledOf, const ShowFn &show)
{
    TSplitScreenCtrlMap *target = nullptr;
    for (TSplitScreenCtrlMap &e : entries_) {
        if (control && e.control == control) {
            target = &e;
            break;
        }
    }
    if (!target || target->current)
        return false;
    for (TSplitScreenCtrlMap &e : entries_) {
        if (e.current) {
            e.current = false;
            SetSplitImageStatus(e.control, kPictureNormal, enabledOf ? enabledOf(e.control) : true, show);
        }
    }
    target->current = true;
    windowCount = target->windowCount;
    return true;
}

bool SplitScreenCtrlMapTable::IsSplitImageSelected(const QObject *control) const
{
    for (const TSplitScreenCtrlMap &e : entries_) {
        if (control && e.control == control)
            return e.current;
    }
    return false;
}
