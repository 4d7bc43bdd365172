#include "console/CurrentSelection.h"

#include "console/MainListCache.h"
#include "console/MainListRules.h"

ST_ZOX_CURRENT_SELECTION CurrentSelection;

namespace {
IMainListCache *g_selectionCache = nullptr;
}

void SetSelectionCache(IMainListCache *cache) { g_selectionCache = cache; }
IMainListCache *GetSelectionCache() { return g_selectionCache; }

void SetSelection(ST_ZOX_CURRENT_SELECTION &s, IMainListCache *cache, int kind, int id, const std::string &number,
                  int type)
{
    if (kind == kSelectGroup) {
        s.targetType = -1;
        s.user.userNumber.clear();
        s.groupType = type;
        s.groupId = id;
    } else if (kind == kSelectUser) {
        s.targetType = type;
        s.user.userNumber = number;
        s.kind = kind;
        RefreshTarget(s, cache);
    } else {
        s.groupType = -1;
        s.groupId = -1;
        s.targetType = -1;
        s.user.userNumber.clear();
    }
    s.kind = kind;
}

void RefreshTarget(ST_ZOX_CURRENT_SELECTION &s, IMainListCache *cache)
{
    if (!cache || s.user.userNumber.empty())
        return;
    if (s.targetType == zox::mainwnd::kUserTypeCamera) {
        ST_ZOX_RTSP_CAMERA camera;
        if (cache->GetRtspCamera(s.user.userNumber, camera) != 0)
            s.user.regState = 0;
        else
            s.user.regState = zox::mainwnd::CameraRegState(camera.enabled, camera.status);
        return;
    }
    // A number the cache no longer knows leaves the copy as it was.
    ST_ZOX_SYSTEM_USER row = s.user;
    if (cache->GetSystemUser(s.user.userNumber, row) == 0)
        s.user = row;
}

bool IsGroupSelectionActive(const ST_ZOX_CURRENT_SELECTION &s)
{
    return s.kind == kSelectGroup && s.groupType == zox::mainwnd::kGroupTypeServer && s.groupId != -1;
}

namespace {
bool IsTargetOfType(const ST_ZOX_CURRENT_SELECTION &s, int type)
{
    return s.kind == kSelectUser && s.targetType == type && !s.user.userNumber.empty();
}
} // namespace

bool IsUserSelectionActive(const ST_ZOX_CURRENT_SELECTION &s)
{
    return IsTargetOfType(s, zox::mainwnd::kUserTypeDispatch);
}
bool IsVehicleSelected(const ST_ZOX_CURRENT_SELECTION &s) { return IsTargetOfType(s, zox::mainwnd::kUserTypeVehicle); }
bool IsCameraSelected(const ST_ZOX_CURRENT_SELECTION &s) { return IsTargetOfType(s, zox::mainwnd::kUserTypeCamera); }

void SetCurrentSelection(int kind, int id, const std::string &number, int type)
{
    SetSelection(CurrentSelection, g_selectionCache, kind, id, number, type);
}
void RefreshCurrentTarget() { RefreshTarget(CurrentSelection, g_selectionCache); }
bool IsGroupSelectionActive() { return IsGroupSelectionActive(CurrentSelection); }
bool IsUserSelectionActive() { return IsUserSelectionActive(CurrentSelection); }
bool IsVehicleSelected() { return IsVehicleSelected(CurrentSelection); }
bool IsCameraSelected() { return IsCameraSelected(CurrentSelection); }
