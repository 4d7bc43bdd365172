#pragma once
// Reading the user list of a group from the server-data cache: the rows to show when
// the group is shown (CUserListModel keeps them), and a refresh that reads the whole
// group's rows again and hands each row to the position with the same number (the main
// window reads only the rows in sight instead, UserListModel.h).
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class IMainListCache;

// Number -> position of the tile in the user list. The first tile of a number wins.
class CUserCellIndex {
public:
    void Clear() { m_index.clear(); }
    void Add(const std::string &number, int position) { m_index.emplace(number, position); }
    int Find(const std::string &number) const
    {
        auto it = m_index.find(number);
        return it == m_index.end() ? -1 : it->second;
    }
    std::size_t Size() const { return m_index.size(); }

private:
    std::unordered_map<std::string, int> m_index;
};

// One tile of the user list.
struct UserTileData {
    int userType = 0;
    std::string name;
    std::string number;
    std::uint8_t regState = 0;
    std::uint32_t callState = 0;
    std::uint32_t vpState = 0;
};

// The tiles of a group, in the cache's order (users by number; cameras in table order,
// number = the camera id in decimal). Returns the cache's result; a group type without
// a source gives no tiles and 0.
int ReadUserTiles(IMainListCache &cache, int groupType, int groupId, std::vector<UserTileData> &tiles);

using ApplyCellState = std::function<void(int position, std::uint8_t regState, std::uint32_t callState,
                                          std::uint32_t vpState)>;

// Reads the rows of the shown group (cameras, all users, a server group's members or a
// company's vehicles) and calls apply for each row whose number has a tile. Returns the
// cache's result (0, or -1 when the read failed: nothing is applied then).
int RefreshShownStates(IMainListCache &cache, int groupType, int groupId, const CUserCellIndex &index,
                       const ApplyCellState &apply);
