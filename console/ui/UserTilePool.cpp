#include "console/ui/UserTilePool.h"

#include "console/MainListRules.h"
#include "console/ui/TUserCellCtrl.h"

#include <algorithm>

using namespace zox::mainwnd;

namespace {
// Free tiles kept after a release; more are freed (a list shows far fewer at once).
constexpr std::size_t kSpareTiles = 64;
} // namespace

CUserTilePool::CUserTilePool(QWidget *panel, std::function<void(TUserCellCtrl *)> setup)
    : m_panel(panel), m_setup(std::move(setup))
{
}

std::vector<int> CUserTilePool::Unbound(TileRange range) const
{
    std::vector<int> rows;
    for (int r = range.first; r < range.last; ++r)
        if (!m_byRow.count(r))
            rows.push_back(r);
    return rows;
}

TUserCellCtrl *CUserTilePool::TakeTile(TileRange keep)
{
    if (!m_free.empty()) {
        TUserCellCtrl *t = m_free.back();
        m_free.pop_back();
        return t;
    }
    for (auto it = m_byRow.begin(); it != m_byRow.end(); ++it) {
        if (keep.Contains(it->first))
            continue;
        TUserCellCtrl *t = it->second;
        m_rowOf.erase(t);
        m_byRow.erase(it);
        return t;
    }
    auto *t = new TUserCellCtrl(m_panel, kUserTypeDispatch, "", "", 255, 0, 0);
    t->setFixedSize(kTileWidth, kTileHeight);
    if (m_setup)
        m_setup(t);
    return t;
}

void CUserTilePool::Attach(const CUserListModel &model, int row, TUserCellCtrl *tile)
{
    m_byRow[row] = tile;
    m_rowOf[tile] = row;
    tile->move((row % kTilesPerRow) * kTileWidth, (row / kTilesPerRow) * kTileHeight);
    Redraw(model, row);
    tile->show();
}

void CUserTilePool::Show(const CUserListModel &model, TileRange range)
{
    for (int row : Unbound(range))
        Attach(model, row, TakeTile(range));
}

TUserCellCtrl *CUserTilePool::Bind(const CUserListModel &model, int row)
{
    if (row < 0 || row >= model.Count())
        return nullptr;
    if (TUserCellCtrl *t = TileOf(row))
        return t;
    // Only a free or a new tile: the tiles in sight keep their rows.
    TUserCellCtrl *t = nullptr;
    if (!m_free.empty()) {
        t = m_free.back();
        m_free.pop_back();
    } else {
        t = TakeTile(TileRange{0, model.Count()});
    }
    Attach(model, row, t);
    return t;
}

void CUserTilePool::Release()
{
    for (auto &[row, tile] : m_byRow) {
        (void)row;
        tile->hide();
        tile->SetSelected(false);
        m_free.push_back(tile);
    }
    m_byRow.clear();
    m_rowOf.clear();
    while (m_free.size() > kSpareTiles) {
        TUserCellCtrl *t = m_free.back();
        m_free.pop_back();
        t->deleteLater();
    }
}

void CUserTilePool::Redraw(const CUserListModel &model, int row)
{
    TUserCellCtrl *t = TileOf(row);
    if (!t)
        return;
    const UserListRow &r = model.Row(row);
    t->BindUser(r.user.userType, r.user.name, r.user.number, r.user.regState, r.user.callState, r.user.vpState);
    t->SetUserTip(r.tip);
    t->SetSelected(row == model.Selected());
}

TUserCellCtrl *CUserTilePool::TileOf(int row) const
{
    auto it = m_byRow.find(row);
    return it == m_byRow.end() ? nullptr : it->second;
}

int CUserTilePool::RowOf(const TUserCellCtrl *tile) const
{
    auto it = m_rowOf.find(tile);
    return it == m_rowOf.end() ? -1 : it->second;
}

std::vector<int> CUserTilePool::BoundRows() const
{
    std::vector<int> rows;
    rows.reserve(m_byRow.size());
    for (const auto &[row, tile] : m_byRow) {
        (void)tile;
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}
