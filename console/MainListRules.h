#pragma once
// Rules of the main window's group and user lists that need no window: the fixed
// groups, where a group's users come from, the tile-panel height, when a list needs
// its scroll bar and with which parameters, and which list the mouse wheel scrolls.

#include <cstdint>

namespace zox::mainwnd {

// Group types.
inline constexpr int kGroupTypeAllUsers = 0;
inline constexpr int kGroupTypeServer = 1;
inline constexpr int kGroupTypeCamera = 2;
inline constexpr int kGroupTypeCompany = 3;

// Ids of the fixed groups.
inline constexpr int kGroupIdAllUsers = 0xFFFF;
inline constexpr int kGroupIdCamera = 0xFFFE;
inline constexpr const char *kGroupCaptionAllUsers = "All user";
inline constexpr const char *kGroupCaptionCamera = "Camera";

// User types.
inline constexpr int kUserTypeDispatch = 0;
inline constexpr int kUserTypeVehicle = 1;
inline constexpr int kUserTypeCamera = 2;

// Tiles: two a row.
inline constexpr int kTileWidth = 150;
inline constexpr int kTileHeight = 60;
inline constexpr int kTilesPerRow = 2;
inline constexpr int kListScrollWidth = 14;
inline constexpr int kGroupListLeft = 2;
inline constexpr int kUserListLeft = 3;

enum class UserListSource { Cameras, AllUsers, GroupMembers, CompanyUsers, None };
// Where the user list of a group type comes from.
UserListSource UserListSourceOf(int groupType);

// The register state a camera tile shows: its status when enabled, else 3 (disabled).
std::uint8_t CameraRegState(int enabled, int status);

// Height of a tile panel holding tiles tiles (rows of two).
int TilePanelHeight(int tiles);

// Row (counted from 1) of the tile at index, for scrolling it into view.
int TileRow(int index);

// What a list does with its scroll bar after a rebuild or a resize.
struct ListScrollUpdate {
    bool act = false;        // false: an empty list changes nothing
    bool showBar = false;    // the tiles do not fit: the bar is needed (created on first need)
    int range = 0, view = 0, line = 0, position = 0;   // SetParams arguments
};
ListScrollUpdate ListScrollUpdateFor(int tileCount, int hostHeight, int panelHeight, int panelTop,
                                     int firstTileHeight);

// The mouse wheel: which list it scrolls. Rectangles are screen coordinates with an
// exclusive right and bottom edge, as a window rectangle.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct WheelList {
    bool barVisible = false;   // the list's scroll bar exists and shows
    ScreenRect host;           // the host panel of its tiles
    int scrollWidth = kListScrollWidth;
};
enum class WheelTarget { None, Groups, Users };
// The group list wins when the cursor is over it (host widened by its scroll panel,
// 3 pixels inside every edge); else the user list; else nothing.
WheelTarget WheelTargetAt(int x, int y, const WheelList &groups, const WheelList &users);
// A negative wheel delta scrolls one line down, anything else one line up.
inline bool WheelScrollsDown(int delta) { return delta < 0; }

} // namespace zox::mainwnd
