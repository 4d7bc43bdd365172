#include "video/CameraMenu.h"
#include "core/Log.h"
#include "video/CameraForms.h"
#include "video/RtspClient.h"

bool CCameraMenu::CanOpen(int currentGroupId) { return currentGroupId == 0xFFFE; }

bool CCameraMenu::Add()
{
    if (m_host.RunAddCameraDialog() != 1)
        return false;
    m_host.ReloadCameraList();
    if (CRtspClient *client = m_host.RtspClient())
        client->AddCameraPingSessions();
    return true;
}

bool CCameraMenu::Edit(const std::string &cid)
{
    if (cid.empty())
        return false;
    ST_ZOX_RTSP_CAMERA camera;
    if (m_store.GetRtspCamera(cid, camera) != 0) {
        m_host.ShowTip(EN_ZOX_TEXT::CameraGetDataError);
        return false;
    }
    if (m_host.RunEditCameraDialog(camera) != 1)
        return false;
    if (CRtspClient *client = m_host.RtspClient()) {
        client->StopVideo(kOwnerCamera, cid);
        client->ReloadCamera(camera.cid);
    }
    m_host.ReloadCameraList();
    return true;
}

bool CCameraMenu::Delete(const std::string &cid)
{
    if (cid.empty())
        return false;
    if (m_host.AskDeleteCamera() == 2)
        return false;
    ST_ZOX_RTSP_CAMERA camera;
    if (m_store.GetRtspCamera(cid, camera) != 0) {
        m_host.ShowTip(EN_ZOX_TEXT::CameraGetDataError);
        return false;
    }
    if (m_store.DeleteRtspCamera(cid) != 0) {
        m_host.ShowTip(EN_ZOX_TEXT::CameraOperationFailed);
        return false;
    }
    if (CRtspClient *client = m_host.RtspClient()) {
        client->StopVideo(kOwnerCamera, cid);
        client->RemoveSession(kOwnerCamera, cid, kMediaVideo);
    }
    m_host.ReloadCameraList();
    return true;
}
