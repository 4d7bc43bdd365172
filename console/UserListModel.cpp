#include "console/UserListModel.h"

#include "console/MainListCache.h"
#include "console/MainListRules.h"
#include "console/UserCellRules.h"

#include <algorithm>
#include <unordered_map>

using namespace zox::mainwnd;

void CUserListModel::Clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_index.Clear();
    m_selected = -1;
}

void CUserListModel::Assign(std::vector<UserTileData> tiles)
{
    Clear();
    m_rows.reserve(tiles.size());
    for (UserTileData &t : tiles) {
        m_index.Add(t.number, static_cast<int>(m_rows.size()));
        m_rows.push_back(UserListRow{std::move(t), {}, false});
    }
}

int CUserListModel::Find(int userType, const std::string &number) const
{
    const int first = m_index.Find(number);
    if (first < 0)
        return -1;
    for (int i = first; i < Count(); ++i) {
        const UserTileData &s = Row(i).user;
        if (s.userType == userType && s.number == number)
            return i;
    }
    return -1;
}

bool CUserListModel::SetState(int row, std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState)
{
    UserTileData &s = Row(row).user;
    if (s.regState == regState && s.callState == callState && s.vpState == vpState)
        return false;
    s.regState = regState;
    s.callState = callState;
    s.vpState = vpState;
    return true;
}

TileRange VisibleTiles(int count, int position, int hostHeight, int tileHeight)
{
    if (count <= 0 || hostHeight <= 0 || tileHeight <= 0)
        return {};
    const int top = std::max(position, 0);
    const long long firstRow = top / tileHeight;
    const long long lastRow = (static_cast<long long>(top) + hostHeight - 1) / tileHeight; // inclusive
    const long long first = std::min<long long>(firstRow * kTilesPerRow, count);
    const long long last = std::min<long long>((lastRow + 1) * kTilesPerRow, count);
    return {static_cast<int>(first), static_cast<int>(last)};
}

int RefreshRowStates(IMainListCache &cache, int groupType, CUserListModel &model, const std::vector<int> &rows,
                     const std::function<void(int row)> &apply)
{
    if (rows.empty())
        return 0;
    const UserListSource source = UserListSourceOf(groupType);
    if (source == UserListSource::None)
        return 0;
    // Rows by number (a number can stand on more than one row).
    std::unordered_multimap<std::string, int> wanted;
    wanted.reserve(rows.size());
    for (int r : rows)
        if (r >= 0 && r < model.Count())
            wanted.emplace(model.Row(r).user.number, r);
    auto store = [&](const std::string &number, std::uint8_t reg, std::uint32_t call, std::uint32_t vp) {
        auto [b, e] = wanted.equal_range(number);
        for (auto it = b; it != e; ++it)
            if (model.SetState(it->second, reg, call, vp) && apply)
                apply(it->second);
    };
    if (source == UserListSource::Cameras) {
        std::vector<ST_ZOX_RTSP_CAMERA> cameras;
        const int rc = cache.GetRtspCameras(cameras);
        if (rc != 0)
            return rc;
        for (const ST_ZOX_RTSP_CAMERA &c : cameras)
            store(std::to_string(c.cid), CameraRegState(c.enabled, c.status), 0, 0);
        return 0;
    }
    std::vector<std::string> numbers;
    numbers.reserve(wanted.size());
    for (int r : rows)
        if (r >= 0 && r < model.Count())
            numbers.push_back(model.Row(r).user.number);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<ST_ZOX_SYSTEM_USER> states;
    const int rc = cache.GetUserStates(numbers, states);
    if (rc != 0)
        return rc;
    for (const ST_ZOX_SYSTEM_USER &u : states)
        store(u.userNumber, u.regState, u.callState, u.vpState);
    return 0;
}

int ReadRowTips(IMainListCache &cache, CUserListModel &model, const std::vector<int> &rows)
{
    std::vector<std::string> numbers;
    std::vector<int> asked;
    for (int r : rows) {
        if (r < 0 || r >= model.Count())
            continue;
        UserListRow &row = model.Row(r);
        if (row.tipRead)
            continue;
        if (row.user.userType != kUserTypeDispatch) {
            row.tipRead = true;
            continue;
        }
        numbers.push_back(row.user.number);
        asked.push_back(r);
    }
    if (numbers.empty())
        return 0;
    std::vector<ST_ZOX_UAP_VOIPUSER> found;
    const int rc = cache.GetUapVoipUsers(numbers, found);
    if (rc != 0)
        return rc;
    std::unordered_map<std::string, const ST_ZOX_UAP_VOIPUSER *> byNumber;
    for (const ST_ZOX_UAP_VOIPUSER &u : found)
        byNumber.emplace(u.VoipNum, &u);
    for (int r : asked) {
        UserListRow &row = model.Row(r);
        row.tipRead = true;
        auto it = byNumber.find(row.user.number);
        if (it != byNumber.end())
            row.tip = zox::skin::MakeUserTip(it->second->RealName, row.user.number, it->second->OrgName,
                                             it->second->PoliceNum);
    }
    return 0;
}
