// The main window's video forwarding, the video-push alerts, the record and sound
// tools of the tiles, the conference audio channel of video calls and the local
// camera preview. The decisions are in dispatch/VideoForwarding, VideoPushAlerts,
// VideoConfAudio and video/CameraPreviewLayout; this file reaches them to the window.
#include "console/ui/Mainfrm.h"
#include "console/ui/Forwardvideofrm.h"

#include "console/ui/SkinPanel.h"
#include "console/ui/VpAlertfrm.h"
#include "console/ui/VpSelectUserfrm.h"
#include "core/Log.h"
#include "core/MediaLibrary.h"
#include "core/SessionIdentity.h"
#include "core/SystemConfig.h"
#include "dispatch/SessionMedia.h"
#include "dispatch/VideoConfAudio.h"
#include "dispatch/VideoForwarding.h"
#include "dispatch/VideoPushAlerts.h"
#include "medialib/MediaDefaults.h"
#include "video/CameraPreviewLayout.h"
#include "video/RtspClient.h"

#include <QGuiApplication>

namespace {

tmedia_session_mgr_t *ManagerOf(const CDispatchSession &session)
{
    auto *media = dynamic_cast<CSessionMedia *>(session.GetSessionMgr());
    return media ? media->Manager() : nullptr;
}

// The forwarding decisions' view of the main window and the media layer.
class CMainForwardHost : public IVideoForwardHost {
public:
    explicit CMainForwardHost(TMainForm &form) : m_form(form) {}
    CDispatchLineTable &Lines() override { return m_form.DispatchLines(); }
    IDispatchSessionHost &SessionHost() override { return m_form.DispatchSessionHost(); }
    tmedia_session_mgr_t *RtspMediaSession(int userType, const std::string &number) override
    {
        return m_form.HasRtspClient() && g_pRtspClient ? g_pRtspClient->GetMediaSession(userType, number) : nullptr;
    }
    tmedia_session_mgr_t *CallMediaSession(const CDispatchSession &session) override { return ManagerOf(session); }
    int AddVideoForward(tmedia_session_mgr_t *source, tmedia_session_mgr_t *target) override
    {
        return ::AddVideoForward(source, target);
    }
    int RemoveVideoForward(tmedia_session_mgr_t *source, tmedia_session_mgr_t *target) override
    {
        return ::RemoveVideoForward(source, target);
    }
    int GetVideoForwardSid(tmedia_session_mgr_t *source, uint64_t *ids, int capacity) override
    {
        return ::GetVideoForwardSid(source, ids, capacity);
    }
    bool PickForwardUsers(ST_VECT_USER_SELECT &list) override { return m_form.PickForwardUsers(list); }
    bool PickPushTargets(const std::string &uploader, std::vector<std::string> &chosen) override
    {
        return m_form.PickPushTargets(uploader, chosen);
    }

private:
    TMainForm &m_form;
};

// What an answered or declined push sends, for the alert window.
class CMainVpAlertActions : public IVpAlertActions {
public:
    explicit CMainVpAlertActions(TMainForm &form) : m_form(form) {}
    int StartVideoUpload(const std::string &number, const std::string &name, int32_t instance) override
    {
        return m_form.StartVideoUpload(number, name, instance);
    }
    void SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number) override
    {
        m_form.SendStopVpNotify(sourceId, destinationId, number);
    }

private:
    TMainForm &m_form;
};

CVideoConfAudio ConfAudio(TMainForm &form)
{
    return CVideoConfAudio(form.DispatchLines(), form.DispatchSessionHost());
}

} // namespace

// ------------------------------------------------------------------ forwarding

void TMainForm::OnForwardVideo(int userType, const std::string &number, int service)
{
    CMainForwardHost host(*this);
    CVideoForwarding(host).OnForwardVideo(userType, number, service);
}

void TMainForm::BuildForwardUserList(tmedia_session_mgr_t *source, ST_VECT_USER_SELECT &list)
{
    CMainForwardHost host(*this);
    CVideoForwarding(host).BuildForwardUserList(source, list);
}

void TMainForm::ForwardUserVideo(const std::string &number)
{
    CMainForwardHost host(*this);
    CVideoForwarding(host).ForwardUserVideo(number);
}

bool TMainForm::PickForwardUsers(ST_VECT_USER_SELECT &list)
{
    if (m_forwardPicker)
        return m_forwardPicker(list);
    TForwardVideoForm dialog(this);
    dialog.SetUsers(list);
    if (dialog.ShowModal() != 1)
        return false;
    dialog.GetUsers(list);
    return true;
}

bool TMainForm::PickPushTargets(const std::string &uploader, std::vector<std::string> &chosen)
{
    if (m_pushPicker)
        return m_pushPicker(uploader, chosen);
    auto *dialog = new TVpSelectUserForm(this, GetListCache());
    dialog->ExcludeUser(uploader);
    const bool ok = dialog->exec() == 1;
    if (ok)
        dialog->GetSelectedUsers(chosen);
    delete dialog;
    return ok;
}

// ------------------------------------------------------------------ record and sound tools

void TMainForm::ToggleSessionRecord(const std::string &number, int lineKind)
{
    if (number.empty())
        return;
    ST_ZOX_DISPATCH_LINE_INFO *line = lineKind == kMediaVideoUpload ? FindVideoUploadLine(number)
                                      : lineKind == kMediaVideoCall ? FindVideoCallLine(number)
                                                                    : nullptr;
    if (line && line->session)
        line->session->ToggleRecord(number);
}

void TMainForm::ToggleRtspRecord(int userType, const std::string &number)
{
    if (m_hasRtspClient && g_pRtspClient)
        g_pRtspClient->ToggleRecord(userType, number);
}

int TMainForm::ToggleRtspAudio(int userType, const std::string &number, TVideoWndCtrl *tile)
{
    if (!m_hasRtspClient || !g_pRtspClient)
        return -1;
    return g_pRtspClient->ToggleVehicleAudio(userType, number, tile);
}

// ------------------------------------------------------------------ video-push alerts

TVpAlertForm *TMainForm::GetVpAlertForm()
{
    if (!m_pVpAlertForm)
        m_pVpAlertForm = new TVpAlertForm(this, std::make_unique<CMainVpAlertActions>(*this));
    return m_pVpAlertForm;
}

// ------------------------------------------------------------------ conference audio channel

void TMainForm::SetupVideoConfAudio() { ConfAudio(*this).Setup(g_strOwnNumber.Get()); }

void TMainForm::ReleaseVideoConfAudio() { ConfAudio(*this).Release(); }

void TMainForm::AddConfVideoShare(CDispatchSession *session)
{
    if (session)
        ConfAudio(*this).AddShare(*session);
}

void TMainForm::RemoveConfVideoShare(CDispatchSession *session)
{
    if (session)
        ConfAudio(*this).RemoveShare(*session);
}

// ------------------------------------------------------------------ local camera preview

uintptr_t TMainForm::LayoutCameraPreview()
{
    unsigned width = 0;
    unsigned height = 0;
    const int index = g_pSystemConfig ? int(g_pSystemConfig->GetResolution()) : -1;
    if (tmedia_video_get_size(index, &width, &height) == 0 && width > 0 && height > 0) {
        const int darX = g_pSystemConfig->GetDarX();
        const int darY = g_pSystemConfig->GetDarY();
        const zox::video::CameraPreviewGeometry g = zox::video::LayoutCameraPreview(width, height, darX, darY);
        c_pPanelCameraHost->setFixedSize(g.hostWidth, g.hostHeight);
        c_pPanelCameraWnd->setGeometry(g.left, g.top, g.width, g.height);
        LayoutLeftColumn();
    }
    // Only a real display has windows that a video sink can draw into.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return 0;
    c_pPanelCameraWnd->setAttribute(Qt::WA_NativeWindow);
    return uintptr_t(c_pPanelCameraWnd->winId());
}

void TMainForm::ShowCameraPreview(bool show)
{
    if (show && !(g_pSystemConfig && g_pSystemConfig->IsCameraPreview()))
        return;
    if (c_pPanelCameraHost->isVisibleTo(c_pPanelMainClient) == show)
        return;
    c_pPanelCameraHost->setVisible(show);
    if (show)
        c_pPanelCameraHost->raise();
    LayoutLeftColumn();
}
