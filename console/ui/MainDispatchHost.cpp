#include "console/ui/MainDispatchHost.h"

#include "console/CurrentSelection.h"
#include "console/MainListCache.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/VpAlertfrm.h"
#include "core/SessionIdentity.h"
#include "core/Sounds.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"
#include "core/ui/Loginfrm.h"
#include "core/Log.h"
#include "dispatch/QtLineTimer.h"
#include "host/WindowMessage.h"

#include <QCoreApplication>

std::unique_ptr<ILineTimer> CMainDispatchHost::CreateLineTimer(std::function<void()> onTimeout)
{
    return MakeQtLineTimer(std::move(onTimeout));
}

void CMainDispatchHost::StopRingIn() { ::StopRingIn(); }

void CMainDispatchHost::StopRingBack() { ::StopRingBack(); }

void CMainDispatchHost::OnCallLineStateChanged(int32_t oldState, int32_t newState)
{
    m_form.OnCallLineStateChanged(oldState, newState);
}

void CMainDispatchHost::ClearDispatchStatus() { m_form.ShowDispatchStatus(0, "", ""); }

void CMainDispatchHost::UpdateOperateButtons() { m_form.UpdateOperateButtons(); }

void CMainDispatchHost::ReleaseVideoConfAudio() { m_form.ReleaseVideoConfAudio(); }

bool CMainDispatchHost::IsLineUser(const std::string &lineNumber, const std::string &callRef) const
{
    return g_pLoginForm && g_pLoginForm->IsLineUser(lineNumber, callRef);
}

bool CMainDispatchHost::IsVideoEnabled() const { return g_pSystemConfig && g_pSystemConfig->IsVideoEnabled(); }

int CMainDispatchHost::SendUdp(const uint8_t *data, std::size_t length) { return NetSendUdp(data, length); }

uint32_t CMainDispatchHost::OwnUserId() const { return g_nOwnUserId.load(); }

uint32_t CMainDispatchHost::LocalIp() const { return g_pSystemConfig ? g_pSystemConfig->GetLocalIpAddr() : 0; }

std::unique_ptr<IDispatchMedia> CMainDispatchHost::CreateMedia(CDispatchSession &session)
{
    return CSessionMedia::Create(session, *this);
}

bool CMainDispatchHost::GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    IMainListCache *cache = m_form.GetListCache();
    return cache && cache->GetSystemUser(number, user) == 0;
}

void CMainDispatchHost::StartRingBack() { ::StartRingBack(); }

std::string CMainDispatchHost::SelectedUserNumber() const
{
    return CurrentSelection.kind == kSelectUser ? CurrentSelection.user.userNumber : std::string();
}

void CMainDispatchHost::HideLocalPreview() { m_form.ShowCameraPreview(false); }

void CMainDispatchHost::RemoveConferenceVideoShare(CDispatchSession &session) { m_form.RemoveConfVideoShare(&session); }

std::string CMainDispatchHost::RecordFolder() const { return g_pSystemConfig ? g_pSystemConfig->GetRecordPath() : ""; }

// ------------------------------------------------------------------ media of the calls

std::string CMainDispatchHost::PttCodec() const { return g_pSystemConfig ? g_pSystemConfig->GetPttCodec() : ""; }

int CMainDispatchHost::CameraId() const { return g_pSystemConfig ? g_pSystemConfig->GetCameraId() : 0; }

bool CMainDispatchHost::AutoRecord() const { return g_pSystemConfig && g_pSystemConfig->IsAutoRecord(); }

uintptr_t CMainDispatchHost::LayoutCameraPreview() { return m_form.LayoutCameraPreview(); }

void CMainDispatchHost::ShowCameraPreview(bool on) { m_form.ShowCameraPreview(on); }

void CMainDispatchHost::AddConfVideoShare(CDispatchSession &session) { m_form.AddConfVideoShare(&session); }

void CMainDispatchHost::PostTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker)
{
    // The speaker's name travels inside its own message.
    QCoreApplication::postEvent(&m_form, new CWindowMessage(message, wParam, 0, QByteArray::fromStdString(speaker)));
}

void CMainDispatchHost::PostVideoSize(int32_t instance, uint32_t width, uint32_t height)
{
    TMainForm *form = &m_form;
    QMetaObject::invokeMethod(
        form, [form, instance, width, height] { form->OnVideoSize(instance, width, height); }, Qt::QueuedConnection);
}

// ------------------------------------------------------------------ incoming calls

CDispatchLineTable &CMainDispatchHost::Lines() { return m_form.DispatchLines(); }

bool CMainDispatchHost::IsCallAlertVisible() const { return m_form.IsCallAlertVisible(); }

int CMainDispatchHost::ShowCallAlert(int32_t callId, const std::string &number, int32_t kind)
{
    return m_form.ShowCallAlert(callId, number, kind);
}

int32_t CMainDispatchHost::CallAlertId() const { return m_form.CallAlertId(); }

void CMainDispatchHost::DismissCallAlert() { m_form.DismissCallAlert(); }

void CMainDispatchHost::StartRingIn() { ::StartRingIn(); }

IDispatchTile *CMainDispatchHost::GetFreeVideoWindow() { return m_form.GetFreeVideoWindow(); }

void CMainDispatchHost::ShowCallStatus(int32_t kind, const std::string &object)
{
    m_form.ShowDispatchStatus(kind, object, "");
}

void CMainDispatchHost::SetupVideoConfAudio() { m_form.SetupVideoConfAudio(); }

void CMainDispatchHost::HangupVideoCalls() { m_form.HangupVideoCalls(); }

bool CMainDispatchHost::IsVpAlertShown(const std::string &number) const
{
    return m_form.VpAlertForm() && m_form.VpAlertForm()->HasAlert(number);
}

int CMainDispatchHost::VpAlertCount() const { return m_form.VpAlertForm() ? m_form.VpAlertForm()->GetAlertCount() : 0; }

void CMainDispatchHost::AddVpAlert(const std::string &number, const std::string &displayName, uint32_t sourceId,
                                   uint32_t destinationId)
{
    TVpAlertForm *alerts = m_form.GetVpAlertForm();
    alerts->AddAlert(number, displayName, sourceId, destinationId);
    // Modal while pushes are pending; a push that arrives meanwhile only joins the stack.
    alerts->ShowAlerts();
}

void CMainDispatchHost::RemoveVpAlert(const std::string &number)
{
    if (m_form.VpAlertForm())
        m_form.VpAlertForm()->RemoveAlert(number);
}

void CMainDispatchHost::PlayCompleteSound() { ::PlayCompleteSound(); }

void CMainDispatchHost::SetSpeakerText(const std::string &text) { m_form.SetSpeakerText(text); }

void CMainDispatchHost::MapSetSpeaker(const std::string &name) { m_form.MapSetSpeaker(name); }

void CMainDispatchHost::MapUnsetSpeaker() { m_form.MapUnsetSpeaker(); }
