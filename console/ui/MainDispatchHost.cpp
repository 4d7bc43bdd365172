#include "console/ui/MainDispatchHost.h"

#include "console/CurrentSelection.h"
#include "console/MainListCache.h"
#include "console/ui/Mainfrm.h"
#include "core/SessionIdentity.h"
#include "core/Sounds.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"
#include "core/ui/Loginfrm.h"
#include "dispatch/QtLineTimer.h"

std::unique_ptr<ILineTimer> CMainDispatchHost::CreateLineTimer(std::function<void()> onTimeout)
{
    return MakeQtLineTimer(std::move(onTimeout));
}

void CMainDispatchHost::StopRingIn() { ::StopRingIn(); }

void CMainDispatchHost::StopRingBack() { ::StopRingBack(); }

void CMainDispatchHost::OnCallLineStateChanged(int32_t, int32_t)
{
    // The call progress panel is not part of the console yet.
}

void CMainDispatchHost::ClearDispatchStatus() { m_form.ShowDispatchStatus(0, "", ""); }

void CMainDispatchHost::UpdateOperateButtons() { m_form.UpdateOperateButtons(); }

void CMainDispatchHost::ReleaseVideoConfAudio()
{
    // The console opens no conference audio channel yet, so there is none to release.
}

bool CMainDispatchHost::IsLineUser(const std::string &lineNumber, const std::string &callRef) const
{
    return g_pLoginForm && g_pLoginForm->IsLineUser(lineNumber, callRef);
}

bool CMainDispatchHost::IsVideoEnabled() const { return g_pSystemConfig && g_pSystemConfig->IsVideoEnabled(); }

int CMainDispatchHost::SendUdp(const uint8_t *data, std::size_t length) { return NetSendUdp(data, length); }

uint32_t CMainDispatchHost::OwnUserId() const { return g_nOwnUserId.load(); }

uint32_t CMainDispatchHost::LocalIp() const { return g_pSystemConfig ? g_pSystemConfig->GetLocalIpAddr() : 0; }

std::unique_ptr<IDispatchMedia> CMainDispatchHost::CreateMedia(CDispatchSession &)
{
    // Calls on soft-phone lines get their media once the call media is part of the
    // console; until then such a call fails with its "create session mgr" log line.
    return nullptr;
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

void CMainDispatchHost::HideLocalPreview()
{
    // No call shows the local camera preview yet.
}

void CMainDispatchHost::RemoveConferenceVideoShare(CDispatchSession &)
{
    // No conference audio channel shares video yet.
}
