#include "console/QuickActions.h"

#include "console/MainListRules.h"
#include "core/NumberUtils.h"

#include <algorithm>
#include <set>
#include <vector>

namespace zox::quick {

namespace {

uint32_t VoiceByte(uint32_t callState) { return callState & 0xFF; }
uint32_t PttByte(uint32_t callState) { return (callState >> 8) & 0xFF; }
uint32_t VideoByte(uint32_t callState) { return (callState >> 16) & 0xFF; }

bool IsRegistered(const ST_ZOX_SYSTEM_USER &u) { return u.regState != 0 && u.regState != 3; }

constexpr uint32_t kVpUploading = 0x10000001;

} // namespace

int QuickActionKind(int index)
{
    if (index < 0 || index >= kQuickActionCount)
        return 0;
    return index < kQuickUserVideoPush ? kSelectGroup : kSelectUser;
}

bool CQuickActions::IsEnabled(int index) const
{
    switch (index) {
    case kQuickGroupVideoPush: return CanPushGroupVideo();
    case kQuickGroupStopVideo: return CanStopGroupVideo();
    case kQuickGroupPttCall: return CanStartGroupPtt();
    case kQuickGroupJoinPtt: return CanJoinGroupPtt();
    case kQuickGroupRelPtt: return CanReleaseGroupPtt();
    case kQuickGroupVoiceConf:
    case kQuickGroupVideoConf: return CanStartGroupConference();
    case kQuickGroupRelConf: return CanReleaseConference();
    case kQuickGroupAddUser: return CanAddUserToGroupCall();
    case kQuickGroupIm: return CanChatWithGroup();
    case kQuickUserVideoPush: return CanPushUserVideo();
    case kQuickUserStopVideo: return CanStopUserVideo();
    case kQuickUserPttCall: return CanStartUserPttCall();
    case kQuickUserVoiceCall: return CanStartUserVoiceCall();
    case kQuickUserVideoCall: return CanStartUserVideoCall();
    case kQuickUserHangup: return CanHangupUser();
    case kQuickUserIntrusion:
    case kQuickUserForcedRel:
    case kQuickUserMonitor: return CanBargeIntoUser();
    case kQuickUserJoin: return CanJoinUserToCall();
    case kQuickUserUeKill: return CanKillTerminal();
    case kQuickUserUeRevive: return CanReviveTerminal();
    case kQuickUserVideoPreview: return IsRtspPreviewAction();
    case kQuickUserIm: return CanChatWithUser();
    default: return false;
    }
}

bool CQuickActions::IsVisible(int index) const
{
    if (index == kQuickUserJoin)
        return CanJoinUserToCall();
    return index >= 0 && index < kQuickActionCount;
}

bool CQuickActions::IsTaskEnabled(int index) const
{
    switch (index) {
    case kTaskChat: return true;
    case kTaskEndCalls: return CanEndCalls();
    case kTaskSpeak: return CanSpeak();
    case kTaskDial: return CanShowDialPad();
    default: return false;
    }
}

// ---------------------------------------------------------------------------------
// Shared terms

bool CQuickActions::IsTargetRegistered() const { return IsRegistered(m_sel.user); }

bool CQuickActions::IsDispatchOrVehicle() const { return IsUserSelectionActive(m_sel) || IsVehicleSelected(m_sel); }

bool CQuickActions::IsNoCall() const { return !m_lines.IsAnyLineInCall(); }

std::string CQuickActions::GroupKey() const { return UserIdToHexKey(m_sel.groupId); }

int CQuickActions::CountUploadLines() const
{
    const auto &lines = m_lines.Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const auto &l) {
        return l->IsBusy() && l->kind == kMediaVideoUpload && l->session;
    }));
}

const ST_ZOX_DISPATCH_LINE_INFO *CQuickActions::ConferenceLine() const { return m_lines.FindActiveGroupLine(); }

bool CQuickActions::IsSessionMemberOfKind(const std::string &number, int32_t kind) const
{
    for (const auto &l : m_lines.Lines())
        if (l->IsBusy() && l->kind == kind && l->session && l->session->HasMember(number))
            return true;
    return false;
}

bool CQuickActions::IsFirstMemberOfUpload(const std::string &number) const
{
    for (const auto &l : m_lines.Lines())
        if (l->IsBusy() && l->kind == kMediaVideoUpload && l->session && !l->session->Members().empty() &&
            l->session->GetFirstMember() == number)
            return true;
    return false;
}

bool CQuickActions::AnyGroupMemberInGroupPtt() const
{
    if (!m_cache)
        return false;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_cache->GetGroupMembers(static_cast<uint32_t>(m_sel.groupId), members) < 0)
        return false;
    const std::string key = GroupKey();
    return std::any_of(members.begin(), members.end(),
                       [&](const ST_ZOX_SYSTEM_USER &u) { return PttByte(u.callState) == 1 && u.callRef == key; });
}

// ---------------------------------------------------------------------------------
// Group actions

bool CQuickActions::CanPushGroupVideo() const
{
    if (!IsGroupSelectionActive(m_sel) || !m_host.IsVideoEnabled())
        return false;
    if (m_lines.CountFreeLines() == 0 || CountUploadLines() >= kMaxUploadLines)
        return false;
    if (!m_cache)
        return false;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_cache->GetGroupMembers(static_cast<uint32_t>(m_sel.groupId), members) < 0)
        return false;
    return std::any_of(members.begin(), members.end(), [&](const ST_ZOX_SYSTEM_USER &u) {
        return u.userType == zox::mainwnd::kUserTypeDispatch && IsRegistered(u) && VideoByte(u.callState) == 0 &&
               !IsFirstMemberOfUpload(u.userNumber);
    });
}

bool CQuickActions::CanStopGroupVideo() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    const auto &lines = m_lines.Lines();
    const bool uploadWithMember = std::any_of(lines.begin(), lines.end(), [](const auto &l) {
        return l->IsBusy() && l->kind == kMediaVideoUpload && l->session && !l->session->Members().empty();
    });
    if (!uploadWithMember || !m_cache)
        return false;
    std::vector<ST_ZOX_SYSTEM_USER> members;
    if (m_cache->GetGroupMembers(static_cast<uint32_t>(m_sel.groupId), members) < 0)
        return false;
    return std::any_of(members.begin(), members.end(), [&](const ST_ZOX_SYSTEM_USER &u) {
        return u.userType == zox::mainwnd::kUserTypeDispatch && IsRegistered(u) &&
               (u.vpState & kVpUploading) == kVpUploading && IsFirstMemberOfUpload(u.userNumber);
    });
}

bool CQuickActions::CanStartGroupPtt() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    if (m_cache && m_cache->CountGroupAvailableMembers(static_cast<uint32_t>(m_sel.groupId)) < 1)
        return false;
    return IsNoCall();
}

bool CQuickActions::CanJoinGroupPtt() const
{
    return IsGroupSelectionActive(m_sel) && IsNoCall() && AnyGroupMemberInGroupPtt();
}

bool CQuickActions::CanReleaseGroupPtt() const
{
    if (!IsGroupSelectionActive(m_sel) || !m_cache)
        return false;
    std::vector<ST_ZOX_SYSTEM_USER> users;
    return m_cache->GetUsersByCallRef(GroupKey(), users) >= 0 && !users.empty();
}

bool CQuickActions::CanStartGroupConference() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    if (m_cache && m_cache->CountGroupAvailableMembersByType(static_cast<uint32_t>(m_sel.groupId),
                                                             zox::mainwnd::kUserTypeDispatch) < 1)
        return false;
    return IsNoCall();
}

bool CQuickActions::CanReleaseConference() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    const ST_ZOX_DISPATCH_LINE_INFO *conf = ConferenceLine();
    return conf && conf->state != kLineReleasing && conf->session->GetPeerId() == static_cast<uint32_t>(m_sel.groupId);
}

bool CQuickActions::CanAddUserToGroupCall() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    // A count that could not be read is no available user.
    if (!m_cache || m_cache->CountAvailableUsers() <= 0)
        return false;
    const ST_ZOX_DISPATCH_LINE_INFO *conf = ConferenceLine();
    if (conf && conf->state == kLineConnected && conf->action == kActionNone &&
        conf->session->GetPeerId() == static_cast<uint32_t>(m_sel.groupId))
        return true;
    return AnyGroupMemberInGroupPtt();
}

bool CQuickActions::CanChatWithGroup() const
{
    if (!IsGroupSelectionActive(m_sel))
        return false;
    if (m_cache && m_cache->CountGroupMembersByType(static_cast<uint32_t>(m_sel.groupId),
                                                    zox::mainwnd::kUserTypeDispatch) <= 0)
        return false;
    return m_host.IsBridgeReady();
}

// ---------------------------------------------------------------------------------
// User actions

bool CQuickActions::CanPushUserVideo() const
{
    return m_host.IsVideoEnabled() && IsUserSelectionActive(m_sel) && IsTargetRegistered() &&
           VideoByte(m_sel.user.callState) == 0 && !IsSessionMemberOfKind(m_sel.user.userNumber, kMediaVideoUpload) &&
           m_lines.CountFreeLines() > 0;
}

bool CQuickActions::CanStopUserVideo() const
{
    return IsUserSelectionActive(m_sel) && IsTargetRegistered() &&
           IsSessionMemberOfKind(m_sel.user.userNumber, kMediaVideoUpload);
}

bool CQuickActions::CanStartUserPttCall() const { return IsDispatchOrVehicle() && IsTargetRegistered() && IsNoCall(); }

bool CQuickActions::CanStartUserVoiceCall() const
{
    return IsUserSelectionActive(m_sel) && IsTargetRegistered() &&
           !IsSessionMemberOfKind(m_sel.user.userNumber, kMediaVoice) && IsNoCall();
}

bool CQuickActions::CanStartUserVideoCall() const
{
    if (!IsUserSelectionActive(m_sel) || !IsTargetRegistered() ||
        IsSessionMemberOfKind(m_sel.user.userNumber, kMediaVideoCall))
        return false;
    // Another video call may run beside it; a PTT call or an ordinary voice call may not
    // (the audio leg of a video conference is no ordinary voice call).
    for (const auto &l : m_lines.Lines()) {
        if (!l->IsBusy())
            continue;
        if (l->kind == kMediaPttAudio || (l->kind == kMediaVoice && l->confAudio == 0))
            return false;
    }
    return true;
}

bool CQuickActions::CanHangupUser() const
{
    const uint32_t cs = m_sel.user.callState;
    return IsDispatchOrVehicle() && IsTargetRegistered() &&
           (VoiceByte(cs) == 3 || VideoByte(cs) == 3 || PttByte(cs) == 1);
}

bool CQuickActions::CanBargeIntoUser() const
{
    if (!IsDispatchOrVehicle() || m_host.OwnPriority() <= m_sel.user.priority)
        return false;
    const uint32_t cs = m_sel.user.callState;
    return IsTargetRegistered() && (VoiceByte(cs) == 3 || PttByte(cs) == 1) && IsNoCall();
}

bool CQuickActions::CanJoinUserToCall() const
{
    if (!IsDispatchOrVehicle() || !IsTargetRegistered() || m_sel.user.callState != 0)
        return false;
    const ST_ZOX_DISPATCH_LINE_INFO *conf = ConferenceLine();
    if (conf && conf->state == kLineConnected && conf->action == kActionNone)
        return true;
    if (!m_cache)
        return false;
    // Some server group's PTT call runs: a user in a call carries the group's key. The
    // references in use are read once, not once per group.
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    std::vector<std::string> refs;
    if (m_cache->GetSystemGroups(groups) < 0 || groups.empty() || m_cache->GetBusyCallRefs(refs) < 0)
        return false;
    const std::set<std::string> busy(refs.begin(), refs.end());
    return std::any_of(groups.begin(), groups.end(), [&](const ST_ZOX_SYSTEM_GROUP &g) {
        return busy.count(UserIdToHexKey(static_cast<int32_t>(g.groupId))) != 0;
    });
}

bool CQuickActions::CanKillTerminal() const { return IsDispatchOrVehicle() && m_sel.user.regState != 3; }

bool CQuickActions::CanReviveTerminal() const { return IsDispatchOrVehicle() && m_sel.user.regState == 3; }

bool CQuickActions::IsRtspPreviewAction() const
{
    if (!IsCameraSelected(m_sel) && !IsVehicleSelected(m_sel))
        return false;
    return IsTargetRegistered() && m_host.HasRtspClient() &&
           !m_host.IsRtspPlaying(m_sel.targetType, m_sel.user.userNumber);
}

bool CQuickActions::CanChatWithUser() const { return IsUserSelectionActive(m_sel) && m_host.IsBridgeReady(); }

// ---------------------------------------------------------------------------------
// Task buttons

bool CQuickActions::CanEndCalls() const
{
    for (const auto &l : m_lines.Lines())
        if (l->state != kLineIdle && l->state != kLineReleasing &&
            (l->kind == kMediaVoice || l->kind == kMediaVideoCall || l->kind == kMediaPttAudio) && l->session)
            return true;
    return false;
}

bool CQuickActions::CanSpeak() const
{
    const ST_ZOX_DISPATCH_LINE_INFO *ptt = m_lines.FindLineByKey(kMediaPttAudio);
    return ptt && ptt->state == kLineConnected && ptt->session &&
           ptt->session->GetServiceType() != kServicePttMonitor;
}

bool CQuickActions::CanShowDialPad() const { return !m_host.IsCallProgressShownInPanel(); }

// ---------------------------------------------------------------------------------

bool CQuickActions::IsUserReachable(const std::string &number) const
{
    if (m_lines.IsAnyLineInCall())
        return false;
    if (m_cache) {
        ST_ZOX_SYSTEM_USER user;
        const int rc = m_cache->GetSystemUser(number, user);
        // A read that failed proves nothing about the number: no call on it.
        if (rc != 0 && rc != -2)
            return false;
        if (rc == 0 && (user.userType != zox::mainwnd::kUserTypeDispatch || !IsRegistered(user)))
            return false;
    }
    return !IsSessionMemberOfKind(number, kMediaVoice);
}

} // namespace zox::quick
