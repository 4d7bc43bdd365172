#pragma once
// The camera menu of the user list's title (add, edit, delete a camera) without its
// window: what each entry reads and writes in the server-data cache, which dialogs it
// opens, and how the RTSP client's previews and online checks follow the change.
// User-interface thread only.
#include "core/EditionText.h"
#include "core/ZoxCacheRecords.h"

#include <string>

class CRtspClient;
class ICameraStore;

class ICameraMenuHost {
public:
    virtual ~ICameraMenuHost() = default;
    // The dialogs, shown modally: 1 when the camera was stored, else 2.
    virtual int RunAddCameraDialog() = 0;
    virtual int RunEditCameraDialog(const ST_ZOX_RTSP_CAMERA &camera) = 0;
    // The delete question: every result but 2 means yes.
    virtual int AskDeleteCamera() = 0;
    virtual void ShowTip(EN_ZOX_TEXT message) = 0;
    // Forget the listed group and list the camera group again from the cache.
    virtual void ReloadCameraList() = 0;
    // The RTSP client, or null without one.
    virtual CRtspClient *RtspClient() = 0;
};

class CCameraMenu {
public:
    static constexpr int kOwnerCamera = 2;
    static constexpr int kMediaVideo = 4;

    CCameraMenu(ICameraStore &store, ICameraMenuHost &host) : m_store(store), m_host(host) {}

    // The menu opens only over the camera group; edit and delete need a camera selected.
    static bool CanOpen(int currentGroupId);

    // Each returns true when the cache changed (the list was reloaded).
    bool Add();
    bool Edit(const std::string &cid);
    bool Delete(const std::string &cid);

private:
    ICameraStore &m_store;
    ICameraMenuHost &m_host;
};
