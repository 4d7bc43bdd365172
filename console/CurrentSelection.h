#pragma once
// The main window's current selection: the group whose users are listed and the tile
// that was clicked last. Set only by the group and user lists (also when the video wall
// or the map page selects a tile); read by the quick actions, the call handling, the
// video wall and the state refresh. User-interface thread only.
#include "core/ZoxCacheRecords.h"

#include <string>

class IMainListCache;

// Kinds.
inline constexpr int kSelectNone = 0;
inline constexpr int kSelectGroup = 1;
inline constexpr int kSelectUser = 2;

struct ST_ZOX_CURRENT_SELECTION {
    int kind = kSelectNone;   // 1 a group was selected last, 2 a user tile; 0 or -1 nothing
    int targetType = -1;      // user type of the selected tile; -1 after a group or none
    int groupType = -1;       // type of the listed group; -1 none
    int groupId = -1;         // 0xFFFF all users, 0xFFFE cameras, else the group id; -1 none
    ST_ZOX_SYSTEM_USER user;  // copy of the selected target's row
};

// The one selection of the console.
extern ST_ZOX_CURRENT_SELECTION CurrentSelection;

// The cache the selection reads its target from (null: none; the target is then not
// re-read). Set by the main window.
void SetSelectionCache(IMainListCache *cache);
IMainListCache *GetSelectionCache();

// kind 1: a group (id, type); kind 2: a user tile (number, type; the group stays);
// any other kind: nothing selected.
void SetCurrentSelection(int kind, int id, const std::string &number, int type);
// Re-reads the selected target's row (cameras: its register state only).
void RefreshCurrentTarget();

bool IsGroupSelectionActive();   // a server group
bool IsUserSelectionActive();    // a dispatch user
bool IsVehicleSelected();
bool IsCameraSelected();

// The same on any selection object (tests and helpers).
void SetSelection(ST_ZOX_CURRENT_SELECTION &selection, IMainListCache *cache, int kind, int id,
                  const std::string &number, int type);
void RefreshTarget(ST_ZOX_CURRENT_SELECTION &selection, IMainListCache *cache);
bool IsGroupSelectionActive(const ST_ZOX_CURRENT_SELECTION &selection);
bool IsUserSelectionActive(const ST_ZOX_CURRENT_SELECTION &selection);
bool IsVehicleSelected(const ST_ZOX_CURRENT_SELECTION &selection);
bool IsCameraSelected(const ST_ZOX_CURRENT_SELECTION &selection);
