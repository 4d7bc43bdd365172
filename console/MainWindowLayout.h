#pragma once
// The main window's frame as a pure function of its modes: which panels and pictures
// are visible and where each panel sits. The window applies the result to its widgets;
// nothing here touches a window.
//
// Panels below the title bar (all in the coordinates of the main client panel):
//   left column:  the contact splitter (group list over user list) and under it the
//                 lower-left panel (the map container, or the video wall while swapped);
//   right column: the split-layout bar on top, the main area (the video wall, or the map
//                 while swapped), the bottom strip (operate bar, task buttons, status).

namespace zox::mainwnd {

inline constexpr int kTitleBarHeight = 30;
inline constexpr int kLeftColumnWidth = 320;
inline constexpr int kLowerLeftHeight = 240;   // the unfolded lower-left panel
inline constexpr int kSplitterBarPos = 215;    // height of the group pane
inline constexpr int kRightTopHeight = 30;
inline constexpr int kRightBottomHeight = 78;
inline constexpr int kPromptWidth = 226;
inline constexpr int kPromptHeight = 222;
inline constexpr int kCameraHostSize = 120;
inline constexpr int kMinWidth = 640;
inline constexpr int kMinHeight = 480;
inline constexpr int kDesignClientWidth = 1068;
inline constexpr int kDesignClientHeight = 680;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const Rect &) const = default;
};

// The window's switches.
struct MainWindowModes {
    bool fullScreen = false;
    bool leftVisible = true;
    bool folded = false;
    bool swapped = false;        // the map fills the main area, the wall sits lower left
    bool mapAvailable = false;   // a map is configured (enabled and an address set)
    bool maximized = true;
    bool operator==(const MainWindowModes &) const = default;
};

// Where everything goes for a window whose client area is clientWidth x clientHeight.
struct MainWindowGeometry {
    bool titleBarVisible = true;
    Rect mainClient;             // below the title bar, in window coordinates

    // In main-client coordinates from here on.
    Rect splitter;               // the contact lists
    Rect lowerLeft;              // map container (or the wall while swapped)
    bool rightTopVisible = true;
    Rect rightTop;
    Rect mainArea;               // the wall (or the map while swapped)
    bool rightBottomVisible = true;
    Rect rightBottom;
    Rect prompt;                 // bottom right corner of the main area
    int cameraHostTop = 0;

    // Pictures.
    bool leftVisiblePicture = true;
    bool videoTitlePicture = true;
    bool splitPictures = true;   // the nine layouts and the full-screen picture
    bool foldPicture = true;
    bool swapPicture = true;
    bool swapPictureEnabled = true;
    bool resizeGripVisible = false;

    bool operator==(const MainWindowGeometry &) const = default;
};

MainWindowGeometry LayoutMainWindow(const MainWindowModes &modes, int clientWidth, int clientHeight);
// The same for a main client panel already clientWidth x clientHeight (below the title
// bar when it shows).
MainWindowGeometry LayoutMainClient(const MainWindowModes &modes, int clientWidth, int clientHeight);

// Height of the lower-left panel for the modes: 0 without a map or while folded.
int LowerLeftHeight(const MainWindowModes &modes);

// The picture hints the modes give.
const char *FullScreenHint(bool fullScreen);     // "Full Screen" / "Exit full screen"
const char *LeftColumnHint(bool leftVisible);    // "Hide left column" / "Show left column"
const char *FoldHint(bool folded);               // "Upward expansion" / "Fold downward"
const char *MaximizeHint(bool maximized);        // "Restore" / "Maximize"

// Full screen and its keys. Entering remembers how the window was; leaving restores it.
struct FullScreenMemory {
    bool wasMaximized = false;
    bool leftWasVisible = true;
};
void EnterFullScreen(MainWindowModes &modes, FullScreenMemory &memory);
void LeaveFullScreen(MainWindowModes &modes, const FullScreenMemory &memory);
// The full-screen picture's click: enters or leaves.
void ToggleFullScreen(MainWindowModes &modes, FullScreenMemory &memory);

enum class HotKey { EnterFullScreen, ExitFullScreen, Other };
// A hot key toggles only in the mode it is meant for: F1 outside full screen, Esc in it.
bool HotKeyToggles(HotKey key, bool fullScreen);

} // namespace zox::mainwnd
