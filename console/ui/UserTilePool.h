#pragma once
// The user tiles of the main window's user list: only the rows that can be seen have
// a tile, and a tile whose row scrolled out of sight is bound to the next row that
// comes into sight. The rows, their states and the selection live in the list's
// CUserListModel; a tile only shows its row.
#include "console/UserListModel.h"

#include <functional>
#include <unordered_map>
#include <vector>

class QWidget;
class TUserCellCtrl;

class CUserTilePool {
public:
    // panel: the tile panel the tiles are placed on; setup: wires a new tile's handlers.
    CUserTilePool(QWidget *panel, std::function<void(TUserCellCtrl *)> setup);
    CUserTilePool(const CUserTilePool &) = delete;
    CUserTilePool &operator=(const CUserTilePool &) = delete;

    // The rows of range that have no tile yet.
    std::vector<int> Unbound(TileRange range) const;
    // Gives every row of range a tile, reusing first the free tiles, then the tiles of
    // rows outside range, and making new ones only when none is left.
    void Show(const CUserListModel &model, TileRange range);
    // The row's tile, bound now when it has none.
    TUserCellCtrl *Bind(const CUserListModel &model, int row);
    // Every tile lets go of its row and is hidden (the rows are about to change).
    void Release();
    // Shows a row's current texts, state, tip and selection on its tile (when it has one).
    void Redraw(const CUserListModel &model, int row);

    TUserCellCtrl *TileOf(int row) const;
    int RowOf(const TUserCellCtrl *tile) const;   // -1 when the tile shows no row
    std::vector<int> BoundRows() const;           // ascending
    int TileCount() const { return static_cast<int>(m_byRow.size() + m_free.size()); }

private:
    TUserCellCtrl *TakeTile(TileRange keep);
    void Attach(const CUserListModel &model, int row, TUserCellCtrl *tile);

    QWidget *m_panel;
    std::function<void(TUserCellCtrl *)> m_setup;
    std::unordered_map<int, TUserCellCtrl *> m_byRow;
    std::unordered_map<const TUserCellCtrl *, int> m_rowOf;
    std::vector<TUserCellCtrl *> m_free;
};
