#pragma once
// The split-layout pictures of the main window: one entry per layout picture, of
// which exactly one is the layout shown now. A variant of the image map without an
// alternate set.

#include "console/CtrlImageMap.h"

#include <array>
#include <cstddef>

struct TSplitScreenCtrlMap {
    QObject *control = nullptr;
    bool current = false;                   // this is the layout shown now
    int state = zox::skin::kPictureNormal;  // picture state, 1 at start
    int windowCount = 0;                    // 1, 2, 3, 4, 6, 8, 9, 13 or 16
    PictureNames names;                     // pictures for states 0, 1, 2, 3
};

// One row of the split pictures, in the order of the right top bar.
struct SplitScreenPicture {
    const char *hint;
    int windowCount;
    const char *names[zox::skin::kPictureStateCount]; // disabled, normal, focused, pressed
};
inline constexpr std::size_t kSplitScreenPictureCount = 9;
extern const SplitScreenPicture kSplitScreenPictures[kSplitScreenPictureCount];

class SplitScreenCtrlMapTable {
public:
    using ShowFn = CtrlImageMapTable::ShowFn;

    // Fills entry index from row index of kSplitScreenPictures (state 1, not current).
    void Set(std::size_t index, QObject *control);
    TSplitScreenCtrlMap &Entry(std::size_t index) { return entries_.at(index); }
    const TSplitScreenCtrlMap &Entry(std::size_t index) const { return entries_.at(index); }

    // First entry of the control: enabled -> state stored, names[state] shown;
    // disabled -> names[0] shown. A state outside 0..3 is ignored.
    void SetSplitImageStatus(QObject *control, int state, bool enabled, const ShowFn &show);
    // -1 when the control is not in the map.
    int GetSplitImageStatus(const QObject *control) const;
    // Makes the control's layout the current one: false and no change when it already
    // is (or is not in the map); else the old current entry is shown in state 1, the
    // new one becomes current, its window count is written to windowCount and true
    // is returned (the caller shows the new one pressed). enabledOf tells whether a
    // picture is enabled.
    bool SelectSplitImage(QObject *control, int &windowCount, const std::function<bool(QObject *)> &enabledOf,
                          const ShowFn &show);
    // False when the control is not in the map.
    bool IsSplitImageSelected(const QObject *control) const;

private:
    std::array<TSplitScreenCtrlMap, kSplitScreenPictureCount> entries_{};
};
