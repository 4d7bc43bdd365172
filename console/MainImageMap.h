#pragma once
// The picture names of the main window's image map: twelve picture buttons of the
// title bar, the left column and the video bar. The window binds its own pictures and
// alternate tests to these rows (same order).

#include "console/PictureState.h"

#include <cstddef>

struct MainImageMapRow {
    const char *picture; // the main window's member that shows it
    const char *names[zox::skin::kPictureStateCount];
    const char *alternateNames[zox::skin::kPictureStateCount]; // all null: no alternate set
    const char *alternateWhile;                                // the window flag that selects the alternate set
};

inline constexpr std::size_t kMainImageMapCapacity = 32;
inline constexpr std::size_t kMainImageMapRowCount = 12;
extern const MainImageMapRow kMainImageMapRows[kMainImageMapRowCount];

// Index of each row.
enum MainImageMapIndex : std::size_t {
    kMainImageSetting = 0,
    kMainImageMin,
    kMainImageMax,
    kMainImageExit,
    kMainImageLeftVisible,
    kMainImageFullScreen,
    kMainImageSlideLeft,
    kMainImageSlideRight,
    kMainImageSwapWindow,
    kMainImageSwitchBottom,
    kMainImageCameraMenu,
    kMainImageVideoTitleVisible,
};
