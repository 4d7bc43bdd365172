#pragma once
// The rows of the main window's user list, apart from the tiles that show them. A
// group switch reads the group's rows once into the model; only the rows that can be
// seen get a tile, and the tiles are bound to other rows as the list scrolls, so the
// selection belongs to the row (the user), not to a tile. The 500 ms refresh and the
// platform tips read only the rows that have a tile, one statement each.
#include "console/UserListReader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IMainListCache;

struct UserListRow {
    UserTileData user;
    std::string tip;        // the user platform's tip (dispatch users it knows)
    bool tipRead = false;   // whether the tip was looked up already
};

class CUserListModel {
public:
    void Clear();
    void Assign(std::vector<UserTileData> tiles);

    int Count() const { return static_cast<int>(m_rows.size()); }
    bool Empty() const { return m_rows.empty(); }
    const UserListRow &Row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    UserListRow &Row(int row) { return m_rows[static_cast<std::size_t>(row)]; }

    // The first row with this user type and number (case-sensitive); -1 when none.
    int Find(int userType, const std::string &number) const;

    // The selected row (-1 none).
    int Selected() const { return m_selected; }
    void Select(int row) { m_selected = row >= 0 && row < Count() ? row : -1; }

    // Stores a row's state; false when it was the same already.
    bool SetState(int row, std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState);

private:
    std::vector<UserListRow> m_rows;
    CUserCellIndex m_index;   // number -> first row
    int m_selected = -1;
};

// Tile indexes [first, last) that a host of hostHeight shows when the tile panel is
// scrolled by position pixels (tiles of tileHeight, two a row).
struct TileRange {
    int first = 0;
    int last = 0;
    bool Contains(int index) const { return index >= first && index < last; }
};
TileRange VisibleTiles(int count, int position, int hostHeight, int tileHeight);

// Reads the current states of the given rows of the shown group in one statement
// (cameras: the camera table; users: the rows of their numbers) and stores them in
// the model; apply is called for each of the rows whose state changed. Returns the
// cache's result (-1: nothing changed).
int RefreshRowStates(IMainListCache &cache, int groupType, CUserListModel &model, const std::vector<int> &rows,
                     const std::function<void(int row)> &apply);

// Looks up the platform tips of the given dispatch-user rows that were not looked up
// yet, in one statement. Rows of other user types get no tip. Returns the cache's
// result; on failure the rows stay unread and are tried again next time.
int ReadRowTips(IMainListCache &cache, CUserListModel &model, const std::vector<int> &rows);
