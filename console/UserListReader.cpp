#include "console/UserListReader.h"

#include "console/MainListCache.h"
#include "console/MainListRules.h"

using namespace zox::mainwnd;

namespace {
int ReadFullUserRows(IMainListCache &cache, UserListSource source, int groupId, std::vector<ST_ZOX_SYSTEM_USER> &rows);

// The rows of a list to show (only the tile's columns needed).
int ReadUserRows(IMainListCache &cache, UserListSource source, int groupId, std::vector<ST_ZOX_SYSTEM_USER> &rows)
{
    switch (source) {
    case UserListSource::AllUsers:
        return cache.GetShownUsers(rows);
    case UserListSource::GroupMembers:
        return cache.GetShownMembers(static_cast<uint32_t>(groupId), rows);
    default:
        return ReadFullUserRows(cache, source, groupId, rows);
    }
}

int ReadFullUserRows(IMainListCache &cache, UserListSource source, int groupId, std::vector<ST_ZOX_SYSTEM_USER> &rows)
{
    switch (source) {
    case UserListSource::AllUsers:
        return cache.GetSystemUsers(rows);
    case UserListSource::GroupMembers:
        return cache.GetGroupMembers(static_cast<uint32_t>(groupId), rows);
    case UserListSource::CompanyUsers:
        return cache.GetCompanyUsers(groupId, rows);
    default:
        rows.clear();
        return 0;
    }
}
} // namespace

int ReadUserTiles(IMainListCache &cache, int groupType, int groupId, std::vector<UserTileData> &tiles)
{
    tiles.clear();
    const UserListSource source = UserListSourceOf(groupType);
    if (source == UserListSource::Cameras) {
        std::vector<ST_ZOX_RTSP_CAMERA> cameras;
        const int rc = cache.GetRtspCameras(cameras);
        tiles.reserve(cameras.size());
        for (const ST_ZOX_RTSP_CAMERA &c : cameras)
            tiles.push_back({kUserTypeCamera, c.cname, std::to_string(c.cid), CameraRegState(c.enabled, c.status), 0, 0});
        return rc;
    }
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    const int rc = ReadUserRows(cache, source, groupId, rows);
    tiles.reserve(rows.size());
    for (ST_ZOX_SYSTEM_USER &u : rows)
        tiles.push_back({u.userType, std::move(u.displayName), std::move(u.userNumber), u.regState, u.callState, u.vpState});
    return rc;
}

int RefreshShownStates(IMainListCache &cache, int groupType, int groupId, const CUserCellIndex &index,
                       const ApplyCellState &apply)
{
    const UserListSource source = UserListSourceOf(groupType);
    if (source == UserListSource::Cameras) {
        std::vector<ST_ZOX_RTSP_CAMERA> cameras;
        const int rc = cache.GetRtspCameras(cameras);
        if (rc != 0)
            return rc;
        for (const ST_ZOX_RTSP_CAMERA &c : cameras) {
            const int pos = index.Find(std::to_string(c.cid));
            if (pos >= 0)
                apply(pos, CameraRegState(c.enabled, c.status), 0, 0);
        }
        return 0;
    }
    if (source == UserListSource::None)
        return 0;
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    const int rc = ReadUserRows(cache, source, groupId, rows);
    if (rc != 0)
        return rc;
    for (const ST_ZOX_SYSTEM_USER &u : rows) {
        const int pos = index.Find(u.userNumber);
        if (pos >= 0)
            apply(pos, u.regState, u.callState, u.vpState);
    }
    return 0;
}
