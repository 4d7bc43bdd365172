#include "console/MainListRules.h"

#include <algorithm>

namespace zox::mainwnd {

UserListSource UserListSourceOf(int groupType)
{
    switch (groupType) {
    case kGroupTypeCamera:
        return UserListSource::Cameras;
    case kGroupTypeAllUsers:
        return UserListSource::AllUsers;
    case kGroupTypeServer:
        return UserListSource::GroupMembers;
    case kGroupTypeCompany:
        return UserListSource::CompanyUsers;
    default:
        return UserListSource::None;
    }
}

std::uint8_t CameraRegState(int enabled, int status)
{
    if (!enabled)
        return 3;
    return static_cast<std::uint8_t>(status);
}

int TilePanelHeight(int tiles)
{
    if (tiles <= 0)
        return 0;
    return ((tiles + 1) / kTilesPerRow) * kTileHeight;
}

int TileRow(int index) { return std::max(index, 0) / kTilesPerRow + 1; }

ListScrollUpdate ListScrollUpdateFor(int tileCount, int hostHeight, int panelHeight, int panelTop,
                                     int firstTileHeight)
{
    ListScrollUpdate u;
    if (tileCount <= 0)
        return u;
    u.act = true;
    u.showBar = hostHeight < panelHeight;
    u.range = panelHeight;
    u.view = hostHeight;
    u.line = firstTileHeight;
    u.position = -panelTop;
    return u;
}

namespace {
bool Inside(int x, int y, const WheelList &list)
{
    return list.host.left + 3 < x && x < list.host.right + list.scrollWidth - 3 && list.host.top + 3 < y &&
           y < list.host.bottom - 3;
}
} // namespace

WheelTarget WheelTargetAt(int x, int y, const WheelList &groups, const WheelList &users)
{
    if (groups.barVisible && Inside(x, y, groups))
        return WheelTarget::Groups;
    if (users.barVisible && Inside(x, y, users))
        return WheelTarget::Users;
    return WheelTarget::None;
}

} // namespace zox::mainwnd
