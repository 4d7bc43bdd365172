#include "console/MainWindowLayout.h"

#include "core/EditionText.h"

#include <algorithm>

namespace zox::mainwnd {

int LowerLeftHeight(const MainWindowModes &modes)
{
    if (!modes.mapAvailable || modes.folded)
        return 0;
    return kLowerLeftHeight;
}

MainWindowGeometry LayoutMainClient(const MainWindowModes &modes, int clientWidth, int clientHeight)
{
    const int titleHeight = modes.fullScreen ? 0 : kTitleBarHeight;
    MainWindowGeometry g = LayoutMainWindow(modes, clientWidth, std::max(clientHeight, 0) + titleHeight);
    return g;
}

MainWindowGeometry LayoutMainWindow(const MainWindowModes &modes, int clientWidth, int clientHeight)
{
    MainWindowGeometry g;
    clientWidth = std::max(clientWidth, 0);
    clientHeight = std::max(clientHeight, 0);

    g.titleBarVisible = !modes.fullScreen;
    const int titleHeight = g.titleBarVisible ? kTitleBarHeight : 0;
    g.mainClient = {0, titleHeight, clientWidth, std::max(clientHeight - titleHeight, 0)};
    const int w0 = g.mainClient.width;
    const int h0 = g.mainClient.height;

    // Left column: the lists over the lower-left panel.
    const int columnWidth = modes.leftVisible ? kLeftColumnWidth : 0;
    const int lowerHeight = std::min(LowerLeftHeight(modes), h0);
    g.splitter = {0, 0, columnWidth, h0 - lowerHeight};
    g.lowerLeft = {0, g.splitter.height, columnWidth, lowerHeight};
    g.cameraHostTop = h0 - kCameraHostSize;

    // Right column.
    const int w = std::max(w0 - columnWidth, 0);
    g.rightTopVisible = !modes.fullScreen;
    int topOffset = 0;
    if (g.rightTopVisible) {
        g.rightTop = {columnWidth, 0, w, kRightTopHeight};
        topOffset = kRightTopHeight;
    } else {
        g.rightTop = {0, 0, w0, kRightTopHeight};
    }
    g.rightBottomVisible = !modes.fullScreen;
    g.mainArea = {columnWidth, topOffset, w, 0};
    if (g.rightBottomVisible) {
        g.mainArea.height = std::max(h0 - topOffset - kRightBottomHeight, 0);
        g.rightBottom = {columnWidth, g.mainArea.Bottom(), w, kRightBottomHeight};
    } else {
        g.mainArea.height = std::max(h0 - topOffset, 0);
        g.rightBottom = {columnWidth, g.mainArea.Bottom(), w, kRightBottomHeight};
    }
    g.prompt = {g.mainArea.Right() - kPromptWidth, g.mainArea.Bottom() - kPromptHeight, kPromptWidth,
                kPromptHeight};

    // Pictures.
    g.leftVisiblePicture = !modes.fullScreen;
    g.videoTitlePicture = !modes.fullScreen;
    g.splitPictures = !modes.swapped;
    g.foldPicture = modes.mapAvailable;
    g.swapPicture = modes.mapAvailable;
    g.swapPictureEnabled = !modes.folded;
    g.resizeGripVisible = !modes.maximized;
    return g;
}

const char *FullScreenHint(bool fullScreen)
{
    return ZoxText(fullScreen ? EN_ZOX_TEXT::ExitFullScreenHint : EN_ZOX_TEXT::FullScreenHint);
}
const char *LeftColumnHint(bool leftVisible)
{
    return ZoxText(leftVisible ? EN_ZOX_TEXT::HideLeftHint : EN_ZOX_TEXT::ShowLeftHint);
}
const char *FoldHint(bool folded) { return ZoxText(folded ? EN_ZOX_TEXT::ExpandUpHint : EN_ZOX_TEXT::FoldDownHint); }
const char *MaximizeHint(bool maximized) { return ZoxText(maximized ? EN_ZOX_TEXT::RestoreHint : EN_ZOX_TEXT::MaximizeHint); }

void EnterFullScreen(MainWindowModes &modes, FullScreenMemory &memory)
{
    if (modes.fullScreen)
        return;
    memory.wasMaximized = modes.maximized;
    memory.leftWasVisible = modes.leftVisible;
    modes.fullScreen = true;
    modes.maximized = true;
    modes.leftVisible = false;
}

void LeaveFullScreen(MainWindowModes &modes, const FullScreenMemory &memory)
{
    if (!modes.fullScreen)
        return;
    modes.fullScreen = false;
    modes.leftVisible = memory.leftWasVisible;
    modes.maximized = memory.wasMaximized;
}

void ToggleFullScreen(MainWindowModes &modes, FullScreenMemory &memory)
{
    if (modes.fullScreen)
        LeaveFullScreen(modes, memory);
    else
        EnterFullScreen(modes, memory);
}

bool HotKeyToggles(HotKey key, bool fullScreen)
{
    switch (key) {
    case HotKey::EnterFullScreen:
        return !fullScreen;
    case HotKey::ExitFullScreen:
        return fullScreen;
    default:
        return false;
    }
}

} // namespace zox::mainwnd
